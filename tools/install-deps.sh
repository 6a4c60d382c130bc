#!/bin/sh
# Installs the Debian packages the program needs (with --tests, what the tests
# and the package checks need too; with --windows, also the MinGW-w64 cross
# compiler, GoogleTest's sources and Wine for the Windows build), skipping
# those already installed.
set -e
packages="cmake make g++ qt6-base-dev qt6-qpa-plugins fonts-arphic-uming"
tests="libgtest-dev libbenchmark-dev libreoffice-calc-nogui python3-xlrd appstream
       desktop-file-utils dpkg-dev"
case "$1" in
--tests) packages="$packages $tests" ;;
--windows) packages="$packages $tests g++-mingw-w64-x86-64-posix googletest wine64" ;;
esac
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# apt may be busy with another install: wait for it rather than fail.
$sudo apt-get -o DPkg::Lock::Timeout=600 update
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y \
    --no-install-recommends $missing
