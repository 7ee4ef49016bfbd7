#!/usr/bin/env bash
# Soak run: the program (offscreen, connected with --connect) against the
# simulated receiver in flood mode with 5% corrupted and cut lines, for
# SOAK_MINUTES (default 30). Prints the program's resident memory at the
# start and the end, the blocks it handled (every handled block is in its
# log file), and every message it printed. Fails when the program dies,
# when the simulator stops being read, or when resident memory grew by more
# than SOAK_MAX_GROWTH_KB (default 5120) from the end of the first minute
# (or of the first quarter of a shorter run) to the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${BUILD:-build}" && pwd)
minutes=${SOAK_MINUTES:-30}
max_growth_kb=${SOAK_MAX_GROWTH_KB:-5120}
app="$build/skyloupe"
sim="$build/skyloupe-sim"
for exe in "$app" "$sim"; do
    [ -x "$exe" ] || { echo "soak: $exe is not built (make build)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/skyloupe-soak.XXXXXX)
app_pid=""
sim_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
[ -n "${SOAK_KEEP:-}" ] && trap - EXIT

total_s=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')
warm_s=$(( total_s / 4 < 60 ? total_s / 4 : 60 ))

# The simulator reads this script's pipe and ends with it.
coproc SIM { exec "$sim" --seed 5 --rate 10 --flood --line-rate 921600 --garbage 0.05 \
    --chunk 64 --stdin-lifetime 2>"$work/sim.log"; }
sim_pid=$SIM_PID
read -r -t 15 port <&"${SIM[0]}" || { echo "soak: simulator did not start" >&2; exit 1; }

cd "$work"
QT_QPA_PLATFORM=offscreen "$app" --port "$port" --baud 921600 --connect >"$work/app.out" 2>&1 &
app_pid=$!

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status" 2>/dev/null || echo 0; }
log_bytes() { cat "$work"/log/*.nma 2>/dev/null | wc -c || true; }
alive() { kill -0 "$app_pid" 2>/dev/null; }

echo "soak: $minutes min, flood at 921600 baud, 5% faults, program pid $app_pid on $port"
sleep "$warm_s"
alive || { echo "soak: the program died during warm-up" >&2; cat "$work/app.out" >&2; exit 1; }
rss_start=$(rss_kb)
bytes_start=$(log_bytes)
echo "soak: resident memory after ${warm_s} s: $rss_start kB"

elapsed=$warm_s
peak=$rss_start
while [ "$elapsed" -lt "$total_s" ]; do
    step=$(( total_s - elapsed < 30 ? total_s - elapsed : 30 ))
    sleep "$step"
    elapsed=$(( elapsed + step ))
    alive || break
    now=$(rss_kb)
    [ "$now" -gt "$peak" ] && peak=$now
    echo "soak: ${elapsed} s: resident $now kB, log $(log_bytes) bytes"
done

status=0
if ! alive; then
    code=0; wait "$app_pid" || code=$?
    echo "soak: FAILED: the program ended during the run (exit ${code:-0})" >&2
    status=1
    rss_end=0
else
    rss_end=$(rss_kb)
fi
bytes_end=$(log_bytes)
lines=$(cat "$work"/log/*.nma 2>/dev/null | wc -l)
epochs=$(cat "$work"/log/*.nma 2>/dev/null | grep -ac 'GGA,' || true)
blocks=$(cat "$work"/log/*.nma 2>/dev/null | grep -ac 'GSV,' || true)
growth=$(( rss_end - rss_start ))

echo "soak: resident memory start $rss_start kB, end $rss_end kB, peak $peak kB, growth $growth kB"
echo "soak: handled $lines lines ($epochs GGA, $blocks GSV) in $bytes_end bytes of log;" \
     "$(( (bytes_end - bytes_start) / (total_s - warm_s > 0 ? total_s - warm_s : 1) )) bytes/s after warm-up"
echo "soak: the program printed (count, message):"
sed -E 's/0x[0-9a-f]+/0x?/g' "$work/app.out" | sort | uniq -c | sort -rn | head -20 | sed 's/^/    /'
if [ "$bytes_end" -le "$bytes_start" ]; then
    echo "soak: FAILED: nothing was handled after the warm-up" >&2
    status=1
fi
if [ "$status" -eq 0 ] && [ "$growth" -gt "$max_growth_kb" ]; then
    echo "soak: FAILED: resident memory grew by $growth kB (limit $max_growth_kb kB)" >&2
    status=1
fi
exit $status
