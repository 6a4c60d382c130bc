#!/bin/sh
# Installs the Debian packages the program needs (and, with --tests, what the
# tests need too: the peers LibreOffice, xlrd and Apache POI, which runs from
# a Java source file and so needs a JDK; xlwt for fuzz seeds), skipping those
# already installed.
set -e
packages="cmake make g++ qt6-base-dev qt6-qpa-plugins fonts-arphic-uming"
if [ "$1" = "--tests" ]; then
    packages="$packages libgtest-dev libbenchmark-dev libreoffice-calc-nogui python3-xlrd python3-xlwt"
    packages="$packages libapache-poi-java default-jre-headless default-jdk-headless"
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
