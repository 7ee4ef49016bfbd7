#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into FUZZ_BUILD (default
# build-fuzz), gathers their seed corpora and runs each for FUZZ_SECONDS
# (default 60). Prints the executions per second of each target; fails when
# any target finds a crash, a sanitizer report or a broken property (the
# input is saved as FUZZ_BUILD/findings/<target>/crash-*).
#
# Seeds: slices of the recorded captures (SKYLOUPE_CAPTURE_DIR, default
# ../shared/nmea; skipped when absent), the simulated receiver's output in
# its several modes (needs BUILD/skyloupe-sim, default build/), and the
# kept regression inputs under fuzz/regressions/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
build=${BUILD:-build}
fuzz_build=${FUZZ_BUILD:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
captures=${SKYLOUPE_CAPTURE_DIR:-$src/../shared/nmea}
targets=(fuzz_lineframer fuzz_checksum fuzz_intake_units fuzz_session fuzz_loadplot fuzz_rtcmframer)
[ -n "${FUZZ_TARGETS:-}" ] && read -r -a targets <<<"$FUZZ_TARGETS"

cmake -S . -B "$fuzz_build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKYLOUPE_FUZZ=ON >/dev/null
cmake --build "$fuzz_build" --target fuzz_targets -j "${JOBS:-$(nproc)}"
# Absolute from here: a target may change its working folder (the session's
# target works in a folder of its own, as its logs go to the working folder).
fuzz_build=$(cd "$fuzz_build" && pwd)

# --- seed corpora -----------------------------------------------------------
seeds="$fuzz_build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds/stream" "$seeds/commands"
n=0
add_stream() {   # a file of NMEA text cut into seeds of about 2 KB
    local file=$1 tag=$2
    split -b 2048 -a 3 -d "$file" "$seeds/stream/$tag-"
}
if [ -d "$captures" ]; then
    for f in "$captures"/*; do
        [ -f "$f" ] || continue
        # The first 16 KB of each capture: every receiver's kinds of line.
        head -c 16384 "$f" >"$seeds/$(basename "$f").head"
        add_stream "$seeds/$(basename "$f").head" "cap$((n++))"
        rm "$seeds/$(basename "$f").head"
    done
else
    echo "fuzz: no captures at $captures; seeds from the simulator only" >&2
fi
sim="$build/skyloupe-sim"
if [ -x "$sim" ]; then
    modes=("" "--nmea 3" "--lf-only" "--garbage 0.05" "--nmea 3 --lf-only --garbage 0.2")
    for m in "${modes[@]}"; do
        # shellcheck disable=SC2086
        "$sim" --seed 3 --rate 1 $m --epochs 8 --output "$seeds/sim.nma" 2>/dev/null
        add_stream "$seeds/sim.nma" "sim$((n++))"
    done
    rm -f "$seeds/sim.nma"
else
    echo "fuzz: $sim not built; no simulator seeds" >&2
fi
# Commands: the program's own, typed forms of them, and capture lines.
printf '%s' 'PAIR004' >"$seeds/commands/hot"
printf '$PMTK605*31\r\n' >"$seeds/commands/query"
printf 'PAIR050,1000\r\n' >"$seeds/commands/rate"
printf '$PAIR062,0,1*3F\r\nrest' >"$seeds/commands/typed"
head -c 4096 "$seeds"/stream/* 2>/dev/null | grep -a '^\$' | head -n 64 | split -l 1 -a 3 -d - "$seeds/commands/line-" || true

# RTCM 3: the 1005 example frame twice, with NMEA between.
mkdir -p "$seeds/rtcm"
printf '\xd3\x00\x13\x3e\xd7\xd3\x02\x02\x98\x0e\xde\xef\x34\xb4\xbd\x62\xac\x09\x41\x98\x6f\x33\x36\x0b\x98$GPGGA,,*hh\r\n\xd3\x00\x13\x3e\xd7\xd3\x02\x02\x98\x0e\xde\xef\x34\xb4\xbd\x62\xac\x09\x41\x98\x6f\x33\x36\x0b\x98' >"$seeds/rtcm/two-frames"

corpus_for() {   # target -> the seed folder it starts from
    case $1 in
    fuzz_rtcmframer) echo "$seeds/rtcm" ;;
    fuzz_checksum) echo "$seeds/commands" ;;
    *) echo "$seeds/stream" ;;
    esac
}

# --- runs -------------------------------------------------------------------
failed=()
summary=()
for t in "${targets[@]}"; do
    corpus="$fuzz_build/corpus/$t"
    findings="$fuzz_build/findings/$t"
    mkdir -p "$corpus" "$findings"
    regressions=()
    [ -d "$src/fuzz/regressions/$t" ] && regressions=("$src/fuzz/regressions/$t")
    log="$fuzz_build/$t.log"
    echo "fuzz: $t for $seconds s"
    set +e
    ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}" \
    LSAN_OPTIONS="suppressions=$src/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        "$fuzz_build/$t" "$corpus" "$(corpus_for "$t")" "${regressions[@]}" \
        -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=3072 \
        -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
    rc=$?
    set -e
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    line=$(printf '%-20s %10s runs %8s exec/s' "$t" "${execs:-?}" "${rate:-?}")
    if [ $rc -ne 0 ]; then
        line="$line  FINDING (exit $rc), see $log and $findings/"
        failed+=("$t")
        grep -E 'ERROR|property broken|runtime error|SUMMARY' "$log" | head -5 >&2 || true
    fi
    summary+=("$line")
done
printf '%s\n' "fuzz summary:" "${summary[@]}"
[ ${#failed[@]} -eq 0 ] || { echo "fuzz: findings in ${failed[*]}" >&2; exit 1; }
