#!/bin/sh
# Installs the Debian packages the program needs, skipping those already
# installed. With --tests, also what the tests and the package checks need:
# the peers LibreOffice, xlrd and Apache POI (run from a Java source file, so
# with a JDK) and xlwt for fuzz seeds. With --windows, also the MinGW-w64 cross
# compiler, libgcrypt for Windows, GoogleTest's sources and Wine for the
# Windows build, NSIS for its installer, a virtual display with Chinese
# fonts and xdotool for the window's tests under Wine, and Debian's source
# lines with Tcl, from which tools/windows/sqlite.sh makes SQLite for Windows.
set -e
packages="cmake make g++ libgcrypt20-dev libsqlite3-dev qt6-base-dev qt6-qpa-plugins fonts-arphic-uming"
tests="libgtest-dev libbenchmark-dev libreoffice-calc-nogui python3-xlrd appstream
       desktop-file-utils dpkg-dev python3-xlwt libapache-poi-java default-jre-headless
       default-jdk-headless"
case "$1" in
--tests) packages="$packages $tests" ;;
--windows) packages="$packages $tests g++-mingw-w64-x86-64-posix libgcrypt-mingw-w64-dev googletest
                     wine64 nsis xvfb xdotool fonts-wqy-microhei tcl" ;;
esac
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# SQLite for Windows is built from Debian's own source package: the source
# lines of the suites the machine installs from.
src_list=/etc/apt/sources.list.d/lanqi-source.sources
if [ "$1" = "--windows" ] && ! grep -rqsE "^(Types:.*deb-src|deb-src )" /etc/apt/sources.list /etc/apt/sources.list.d/; then
    sed -n 's/^Types: *deb *$/Types: deb-src/p; /^\(URIs\|Suites\|Components\|Signed-By\):/p; /^$/p' \
        /etc/apt/sources.list.d/debian.sources | $sudo tee "$src_list" >/dev/null
    $sudo apt-get -o DPkg::Lock::Timeout=600 update
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
# apt may be busy with another install: wait for it rather than fail.
$sudo apt-get -o DPkg::Lock::Timeout=600 update
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends $missing
