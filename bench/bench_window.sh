#!/usr/bin/env bash
# The installed-like program as a user runs it: build/skyloupe in a real
# window under Xvfb, connected at 921600 baud to the simulated receiver
# over a pseudo-terminal, every view of the window shown. Prints the
# program's CPU seconds per second of stream, from /proc/PID/stat, over
# SECONDS after a warm-up, in the table format of run-bench.sh.
#   bench/bench_window.sh BUILD_DIR TAG SECONDS SIM_OPTIONS...
# e.g. bench/bench_window.sh build-release dual10 30 --rate 10 --signals 2
# With BENCH_TRANSPORT=tcp the same stream comes over a loopback TCP
# connection instead (skyloupe-sim --tcp, skyloupe --source tcp://...).
set -euo pipefail
build=$(cd "${1:?build dir}" && pwd)
tag=${2:?tag}
seconds=${3:?seconds}
shift 3
work=$(mktemp -d)
link="$work/gnss"
cleanup() { kill "${sim:-}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

transport=${BENCH_TRANSPORT:-serial}
if [ "$transport" = tcp ]; then
    port=$(( 20000 + RANDOM % 20000 ))
    "$build/skyloupe-sim" --seed 1 --tcp "$port" "$@" >"$work/sim.out" 2>"$work/sim.err" &
    open=(--source "tcp://127.0.0.1:$port")
    over="over loopback TCP"
    sleep 0.5
else
    "$build/skyloupe-sim" --seed 1 --link "$link" "$@" >"$work/sim.out" 2>"$work/sim.err" &
    open=(--port "$link" --baud 921600 --connect)
    over="at 921600 baud over a pty"
fi
sim=$!
[ "$transport" = tcp ] || for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

ticks=$(getconf CLK_TCK)
xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    cd "$4"
    program="$1/skyloupe"
    seconds=$3
    shift 4
    "$program" "$@" >/dev/null 2>&1 &
    app=$!
    sleep 5
    read -r -a a < /proc/$app/stat
    start=$(( ${a[13]} + ${a[14]} )); t0=$(date +%s.%N)
    sleep "$seconds"
    read -r -a a < /proc/$app/stat
    end=$(( ${a[13]} + ${a[14]} )); t1=$(date +%s.%N)
    rss=$(awk "/VmRSS/ {print \$2}" /proc/$app/status)
    kill $app; wait $app 2>/dev/null || true
    echo "$start $end $t0 $t1 $rss"
' _ "$build" "$link" "$seconds" "$work" "${open[@]}" >"$work/cpu.txt"
read -r start end t0 t1 rss <"$work/cpu.txt"
awk -v s="$start" -v e="$end" -v t0="$t0" -v t1="$t1" -v hz="$ticks" -v tag="$tag" -v rss="$rss" -v opts="$*" -v over="$over" 'BEGIN {
    printf "window.%s.cpu_per_s\t%.4f\tCPU s/s\tbuild/skyloupe under Xvfb, to skyloupe-sim %s %s (one write an epoch), /proc/PID/stat user+system over %.0f s after 5 s\n", tag, (e - s) / hz / (t1 - t0), opts, over, t1 - t0
    printf "window.%s.rss\t%.1f\tMB\tVmRSS of the same at the end\n", tag, rss / 1024
}'
