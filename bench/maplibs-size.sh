#!/usr/bin/env bash
# What each map library would add to a Debian 12 machine that has the
# project's other packages: the packages apt would install (simulated, none
# installed) and their installed size. Needs `apt-get update` once.
#   bench/maplibs-size.sh
set -euo pipefail

measure() {
    local name=$1
    shift
    local list
    list=$(apt-get install -s --no-install-recommends "$@" 2>/dev/null | awk '/^Inst/{print $2}')
    local count kb
    count=$(printf '%s\n' "$list" | grep -c . || true)
    kb=0
    [ "$count" -gt 0 ] && kb=$(printf '%s\n' "$list" | xargs apt-cache show --no-all-versions 2>/dev/null |
        awk '/^Installed-Size/{s += $2} END {print s + 0}')
    awk -v n="$name" -v c="$count" -v k="$kb" -v p="$*" 'BEGIN { printf "%s\t%d packages\t%.1f MB\t%s\n", n, c, k / 1024, p }'
}

# What the program needs at run time, and what building it needs besides.
measure "Qt Location, run time" libqt5quickwidgets5 qml-module-qtquick2 qml-module-qtlocation qml-module-qtpositioning
measure "Qt Location, build" qtdeclarative5-dev libqt5quickwidgets5 qml-module-qtquick2 qml-module-qtlocation qml-module-qtpositioning
measure "Marble, run time" marble-qt
measure "Marble, build" libmarble-dev marble-plugins marble-qt-data
