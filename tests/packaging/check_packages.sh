#!/bin/sh
# The Linux packages, made with cpack from the build folder: the .deb holds
# the programs, the shipped workbook, the desktop entry, icons and AppStream
# metadata, which pass their validators; the program installed from it and
# started with a fresh home folder makes the user's workbook from the shipped
# one and never overwrites it afterwards; the portable folder keeps its
# workbook beside the program and leaves the home folder alone.
#   check_packages.sh BUILD_FOLDER SAMPLE_TALLY
set -eu
build=$1
sample=$2
scratch=$(mktemp -d /tmp/lanqi-packages.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

rm -rf "$build/packages"
(cd "$build" && cpack -G "DEB;TGZ") >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log"
    fail "cpack"
}
deb=$(ls "$build"/packages/lanqi_*.deb)
tgz=$(ls "$build"/packages/lanqi-*-portable.tar.gz)
ls -l "$deb" "$tgz"

dpkg-deb -c "$deb" | awk '{print $6}' >"$scratch/contents"
for f in bin/lanqi bin/lanqi-tally share/lanqi/账单明细.xls share/lanqi/对账单.xls \
    share/applications/lanqi.desktop \
    share/metainfo/cn.lanqi.lanqi.metainfo.xml; do
    grep -qx "./usr/$f" "$scratch/contents" || fail "the .deb has no /usr/$f"
done
for size in 16 24 32 48 64 128 256; do
    grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/lanqi.png" "$scratch/contents" ||
        fail "the .deb has no ${size}x${size} icon"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the .deb does not depend on Qt"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/lanqi.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/cn.lanqi.lanqi.metainfo.xml"

# Starts the window offscreen and ends it once it is shown.
start() {
    env HOME="$1" XDG_DATA_HOME="$2" XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen \
        LANQI_EXIT_AFTER_SHOW=1 timeout 60 "$3" || fail "$3 did not start and end"
}
shipped=$root/usr/share/lanqi/账单明细.xls

home=$scratch/home
mkdir "$home"
start "$home" "" "$root/usr/bin/lanqi"
mine=$home/.local/share/lanqi/账单明细.xls
cmp "$mine" "$shipped" || fail "no copy of the shipped workbook in the user's data folder"
# The user's copy is theirs: a bill changes it, the next start keeps it.
"$root/usr/bin/lanqi-tally" --bill "$mine" "$sample" >/dev/null
before=$(md5sum <"$mine")
start "$home" "" "$root/usr/bin/lanqi"
[ "$(md5sum <"$mine")" = "$before" ] || fail "the next start overwrote the user's workbook"
[ ! -e "$root/usr/bin/账单明细.xls" ] || fail "a workbook was made beside the installed program"

start "$home" "$scratch/data" "$root/usr/bin/lanqi"
cmp "$scratch/data/lanqi/账单明细.xls" "$shipped" || fail "XDG_DATA_HOME was not followed"

portable=$scratch/portable
mkdir "$portable"
tar -xzf "$tgz" -C "$portable"
folder=$(dirname "$(ls "$portable"/*/lanqi)")
[ -f "$folder/账单明细.xls" ] && [ -f "$folder/对账单.xls" ] && [ -x "$folder/lanqi-tally" ] ||
    fail "the portable folder is not whole"
home2=$scratch/home2
mkdir "$home2"
start "$home2" "" "$folder/lanqi"
[ ! -e "$home2/.local/share/lanqi" ] || fail "the portable program used the home folder"
echo "packages checked: $(basename "$deb"), $(basename "$tgz")"
