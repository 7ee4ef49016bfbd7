#!/usr/bin/env bash
# Starts the program (beside the simulated receiver when it is built).
# Without a display it runs under Xvfb for about 15 seconds, saves a
# screenshot to BUILD/screenshot.png and prints its path.
set -euo pipefail
build=${1:-build}
build=$(cd "$build" && pwd)
app="$build/skyloupe"
sim="$build/skyloupe-sim"
seconds=${SKYLOUPE_DEMO_SECONDS:-15}

args=()
sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true; }
trap cleanup EXIT

if [ -x "$sim" ]; then
    # The simulator prints its serial line's path first; the program connects
    # to it. It reads this script's pipe as standard input and ends when the
    # script ends, however the script ends.
    coproc SIM { exec "$sim" --seed 1 --start now --stdin-lifetime 2>"$build/sim-commands.log"; }
    sim_pid=$SIM_PID
    read -r -t 10 port <&"${SIM[0]}"
    echo "Simulated receiver on $port (its command log: $build/sim-commands.log)" >&2
    args=(--port "$port" --baud 115200 --connect)
fi

if [ -n "${DISPLAY:-}" ]; then
    "$app" "${args[@]}"
    exit 0
fi

shot="$build/screenshot.png"
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    "$1" "${@:4}" &
    app=$!
    sleep "$2"
    import -window root "$3"
    kill $app 2>/dev/null
    wait $app 2>/dev/null || true
' _ "$app" "$seconds" "$shot" "${args[@]}"
echo "$shot"
