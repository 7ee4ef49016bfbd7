#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, and
# only those that are missing, so a second run costs a moment.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev
    libqwt-qt5-dev libqwt-qt5-6
    qtdeclarative5-dev libqt5quickwidgets5 qml-module-qtquick2 qml-module-qtlocation qml-module-qtpositioning
    libxml2-utils
    fonts-liberation
    xvfb xauth imagemagick
    gpsd ser2net rtklib qt5keychain-dev
    lintian
)
[ "${SKYLOUPE_WITH_CLANG:-0}" = 1 ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" != 0 ]; then
    if command -v sudo >/dev/null; then sudo="sudo"; else
        echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
        exit 1
    fi
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
