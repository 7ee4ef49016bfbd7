#!/usr/bin/env bash
# Junk on the line: build/skyloupe under Xvfb, connected at 921600 baud to
# the simulated receiver sending only noise (--baud-noise), at RATE bytes a
# second or, with RATE 0, as fast as the line is read, for SECONDS. Prints,
# in the table format of run-bench.sh: peak resident memory, the bytes the
# log holds against the bytes written, and how soon after the noise stops
# the program is idle again (CPU under 5 % over half a second).
#   bench/bench_flood.sh BUILD_DIR TAG RATE SECONDS
set -euo pipefail
build=$(cd "${1:?build dir}" && pwd)
tag=${2:?tag}
rate=${3:?bytes per second, 0 for unpaced}
seconds=${4:?seconds}
work=$(mktemp -d)
link="$work/gnss"
cleanup() { kill -CONT "${sim:-}" 2>/dev/null || true; kill "${sim:-}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

pace=()
[ "$rate" -gt 0 ] && pace=(--line-rate $((rate * 10)))
"$build/skyloupe-sim" --seed 1 --link "$link" --flood --baud-noise --rate 10 "${pace[@]}" \
    --write-log "$work/writes.txt" >"$work/sim.out" 2>"$work/sim.err" &
sim=$!
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    cd "$4"
    "$1/skyloupe" --port "$2" --baud 921600 --connect >/dev/null 2>&1 &
    app=$!
    ticks=$(getconf CLK_TCK)
    cpu() { read -r -a a < /proc/$app/stat; echo $(( ${a[13]} + ${a[14]} )); }
    peak=0
    end=$(( $(date +%s) + $3 ))
    while [ "$(date +%s)" -lt "$end" ]; do
        rss=$(awk "/VmRSS/ {print \$2}" /proc/$app/status)
        [ "$rss" -gt "$peak" ] && peak=$rss
        sleep 0.5
    done
    kill -STOP '"$sim"'
    stopped=$(date +%s.%N)
    # Idle again: less than 5 % of a core over half a second.
    idle=-1
    for i in $(seq 60); do
        c0=$(cpu); sleep 0.5; c1=$(cpu)
        if [ $(( (c1 - c0) * 100 * 2 )) -lt $(( ticks * 5 )) ]; then
            idle=$(echo "$(date +%s.%N) - $stopped" | bc); break
        fi
    done
    # The last bytes reach the log, then the program goes.
    sleep 1
    kill $app; wait $app 2>/dev/null || true
    logged=$(cat log/*.nma | wc -c)
    echo "$peak $idle $logged"
' _ "$build" "$link" "$seconds" "$work" >"$work/result.txt"
read -r peak idle logged <"$work/result.txt"
written=$(tail -1 "$work/writes.txt" | cut -d" " -f2)
how="build/skyloupe under Xvfb at 921600 baud, skyloupe-sim --baud-noise --flood $([ "$rate" -gt 0 ] && echo "at $rate B/s" || echo "as fast as the line is read") for $seconds s"
printf "flood.%s.rss_peak\t%.1f\tMB\tpeak VmRSS sampled every 0.5 s; %s\n" "$tag" "$(echo "$peak / 1024" | bc -l)" "$how"
printf "flood.%s.log_missing\t%d\tB\tbytes written minus bytes in the log (%s of %s); the last unfinished line is written when the program ends\n" "$tag" $((written - logged)) "$logged" "$written"
printf "flood.%s.idle_after\t%.2f\ts\tfrom the end of the noise until the program used under 5 %% of a core over 0.5 s\n" "$tag" "$idle"
