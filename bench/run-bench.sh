#!/usr/bin/env bash
# Runs the benchmarks of a Release build and prints one table: each figure
# with its unit, the goal it is held against, and how it was measured.
#   bench/run-bench.sh BUILD_DIR
# BENCH_INTAKE_RUNS (default 3) sets how many times the hour is fed through
# the window; BENCH_SECONDS (default 60) how long the full line runs;
# BENCH_VIEW_RUNS (default 3) and BENCH_VIEW_SECONDS (default 40) how often
# and how long the 10 Hz line runs with the views hidden and shown.
set -euo pipefail

build=${1:-build-release}
runs=${BENCH_INTAKE_RUNS:-3}
seconds=${BENCH_SECONDS:-60}
view_runs=${BENCH_VIEW_RUNS:-3}
view_seconds=${BENCH_VIEW_SECONDS:-40}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows="$work/rows.tsv"
log="$work/bench.log"

step() {
    echo "bench: $1" >&2
    shift
    if ! "$@" >>"$rows" 2>>"$log"; then
        echo "bench: failed: $*" >&2
        tail -20 "$log" >&2
        exit 1
    fi
}

step "writing a one-hour 10 Hz stream" \
    "$build/skyloupe-sim" --output "$work/hour.nma" --epochs 36000 --rate 10 --seed 1
step "1/10 intake of the hour through loadPlot ($runs runs)" \
    "$build/bench/bench_intake" "$work/hour.nma" "$runs"
step "2/10 full 921600-baud line for $seconds s" \
    "$build/bench/bench_line" --baud 921600 --rate 10 --flood --seconds "$seconds"
step "3/10 115200 baud, 1 Hz, for 40 s" \
    "$build/bench/bench_line" --baud 115200 --rate 1 --seconds 40
step "4/10 latency at 1 Hz over 50 s" \
    "$build/bench/bench_line" --baud 115200 --rate 1 --unpaced --seconds 50
step "5/10 a day of history (864,000 epochs) in the models and views" \
    "$build/bench/bench_history" 864000 "$work/hour.nma"
# The window at 10 Hz with the views hidden and shown, in turns, since the
# machine's load moves single figures; the median of each and of the ratios.
for run in $(seq "$view_runs"); do
    step "6/10 10 Hz at 921600 baud for $view_seconds s, views hidden (run $run of $view_runs)" \
        "$build/bench/bench_line" --baud 921600 --rate 10 --seconds "$view_seconds" --settle 3
    step "7/10 10 Hz at 921600 baud for $view_seconds s, views shown (run $run of $view_runs)" \
        "$build/bench/bench_line" --baud 921600 --rate 10 --seconds "$view_seconds" --settle 3 --docks
done
awk -F'\t' '
    function median(a, n,   i, j, t) {
        for (i = 2; i <= n; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    $1 == "line921600.10hz.cpu_pct" { hidden[++h] = $2 }
    $1 == "line921600.10hz.docks.cpu_pct" { shown[++s] = $2; ratio[s] = $2 / hidden[h] }
    END {
        if (h == 0 || s == 0) exit
        printf "views.hidden_cpu_pct\t%.6g\t%% of a core\tmedian of %d runs of 6\n", median(hidden, h), h
        printf "views.shown_cpu_pct\t%.6g\t%% of a core\tmedian of %d runs of 7\n", median(shown, s), s
        printf "views.cpu_ratio\t%.6g\tx\tmedian of the %d ratios shown / hidden, each run of 7 over the run of 6 before it\n", median(ratio, s), s
    }' "$rows" >>"$rows"

flood=${BENCH_FLOOD_SECONDS:-120}
step "8/10 the window at 10 Hz, two bands, under Xvfb for 60 s" \
    bench/bench_window.sh "$build" dual10 60 --rate 10 --signals 2
step "8b/10 the same stream over loopback TCP for 60 s" \
    env BENCH_TRANSPORT=tcp bench/bench_window.sh "$build" dual10tcp 60 --rate 10 --signals 2
awk -F'\t' '
    $1 == "window.dual10.cpu_per_s" { serial = $2 }
    $1 == "window.dual10tcp.cpu_per_s" { tcp = $2 }
    END { if (serial > 0 && tcp > 0)
        printf "window.tcp_vs_serial\t%.4g\tx\tCPU per stream second over TCP / over the serial line, the two runs above\n", tcp / serial }
' "$rows" >>"$rows"
step "9/10 noise at 1 MB/s for $flood s" \
    bench/bench_flood.sh "$build" mb1 1000000 "$flood"
step "10/10 noise as fast as the line is read for $flood s" \
    bench/bench_flood.sh "$build" unpaced 0 "$flood"
step "11 skyloupe --analyze of the hour, one core" \
    "$build/bench/bench_analyze" "$work/hour.nma"
step "12 a day at 10 Hz on the map" \
    "$build/bench/bench_map" 864000
step "13 an hour at 10 Hz, two bands, played back flat out in the window, every dock shown" \
    "$build/bench/bench_replay"

# key <TAB> label <TAB> goal ("<N", ">=N" or empty), in the order shown.
cat >"$work/layout.tsv" <<'EOF'
intake.block.median	1 intake: cost per block, median	
intake.block.p99	1 intake: cost per block, p99	
intake.line.median	1 intake: cost per line, median	
intake.line.p99	1 intake: cost per line, p99	
intake.lines_per_s	1 intake: lines per second	
intake.x_line_rate	1 intake: multiple of a full 921600 line	>=5
intake.loadplot_share	1 intake: share of it inside loadPlot	
intake.session.block.median	1 intake: the session alone, per block	
line921600.flood.stream_rate	2 921600 full: stream rate	
line921600.flood.cpu_per_s	2 921600 full: CPU per stream second	
line921600.flood.cpu_per_s.median10	2 921600 full: CPU per stream s, 10 s windows	
line921600.flood.heartbeat_worst	2 921600 full: worst heartbeat delay	<100
line921600.flood.backlog_worst	2 921600 full: worst backlog	<92160
line921600.flood.backlog_end	2 921600 full: backlog at the end	<92160
line921600.flood.rss_10s	2 921600 full: RSS after 10 s	
line921600.flood.rss_peak	2 921600 full: RSS peak	
line921600.flood.rss_end	2 921600 full: RSS at the end	
line921600.flood.rss_growth	2 921600 full: RSS end minus after 10 s	<5
line921600.flood.latency_row.median	2 921600 full: sentence latency, median	
line921600.flood.latency_row.p99	2 921600 full: sentence latency, p99	
line115200.1hz.cpu_pct	3 115200 1 Hz: CPU	<3
line115200.1hz.heartbeat_worst	3 115200 1 Hz: worst heartbeat delay	<100
line115200.1hz.backlog_worst	3 115200 1 Hz: worst backlog	
line115200.1hz.rss_peak	3 115200 1 Hz: RSS peak	
line115200.1hz.rss_growth	3 115200 1 Hz: RSS end minus after 10 s	<5
line115200.1hz.latency_row.median	3 115200 1 Hz paced: sentence latency, median	
line115200.1hz.latency_row.p99	3 115200 1 Hz paced: sentence latency, p99	
line115200.1hz.unpaced.latency_row.median	4 latency 1 Hz: write -> table row, median	
line115200.1hz.unpaced.latency_row.p99	4 latency 1 Hz: write -> table row, p99	<50
history.rss_models	5 day of history: RSS, the models	
history.rss_views	5 day of history: RSS, models and views	<200
history.add_epoch_us	5 day of history: one epoch into both	
history.refresh_history_ms	5 day of history: history view refresh	
history.refresh_accuracy_ms	5 day of history: accuracy view refresh	
history.chart_points	5 day of history: points the charts hold	
history.sentence_counter_block_us	5 sentence counter: cost per block	
map.track_mb	12 map, a 10 Hz day: the track's points	<30
map.rss_growth	12 map, a 10 Hz day: RSS the track adds	<30
map.draw_whole_ms	12 map, a 10 Hz day: whole track, one picture	<100
map.draw_worst_ms	12 map, a 10 Hz day: worst zoom, one picture	<100
views.hidden_cpu_pct	6 10 Hz, views hidden: CPU	
line921600.10hz.rss_end	6 10 Hz, views hidden: RSS at the end	
views.shown_cpu_pct	7 10 Hz, views shown: CPU	
line921600.10hz.docks.rss_end	7 10 Hz, views shown: RSS at the end	
views.cpu_ratio	7 views shown / hidden: CPU	<1.5
window.dual10.cpu_per_s	8 window 10 Hz two bands: CPU per stream second	<0.045
window.dual10.rss	8 window 10 Hz two bands: RSS	
window.dual10tcp.cpu_per_s	8 same stream over TCP: CPU per stream second	
window.tcp_vs_serial	8 same stream, TCP / serial: CPU	<1.1
flood.mb1.rss_peak	9 noise 1 MB/s: RSS peak	<150
flood.mb1.log_missing	9 noise 1 MB/s: bytes written but not in the log	<1
flood.mb1.idle_after	9 noise 1 MB/s: idle again after its end	<2
flood.unpaced.rss_peak	10 noise unpaced: RSS peak	<150
flood.unpaced.log_missing	10 noise unpaced: bytes written but not in the log	<1
flood.unpaced.idle_after	10 noise unpaced: idle again after its end	<2
analyze.sentences_per_s	11 analyze: sentences per CPU second	>=1000000
analyze.rss_peak	11 analyze: peak RSS	<100
analyze.json_only.sentences_per_s	11 analyze, summary only: sentences per CPU s	>=1000000
analyze.json_only.rss_peak	11 analyze, summary only: peak RSS	
replay.index_s	13 replay: index of the hour built	
replay.x_real_time	13 replay flat out: multiple of real time	>=20
replay.input_wait.p99	13 replay flat out: input wait, p99	<100
replay.input_wait.worst	13 replay flat out: input wait, worst	<100
replay.seek.median	13 replay: seek to an epoch shown, median	<500
replay.seek.worst	13 replay: seek to an epoch shown, worst	<500
EOF

awk -F'\t' '
    FNR == NR { value[$1] = $2; unit[$1] = $3; how[$1] = $4; next }
    function met(v, goal,   n) {
        if (goal == "") return ""
        if (substr(goal, 1, 2) == ">=") { n = substr(goal, 3) + 0; return v >= n ? "yes" : "NO" }
        n = substr(goal, 2) + 0; return v < n ? "yes" : "NO"
    }
    BEGIN { printf "%-46s %12s %-12s %-8s %-4s %s\n", "figure", "value", "unit", "goal", "met", "how it was measured" }
    {
        key = $1; goal = $3
        if (!(key in value)) { printf "%-46s %12s\n", $2, "missing"; next }
        printf "%-46s %12.4g %-12s %-8s %-4s %s\n", $2, value[key], unit[key], goal, met(value[key], goal), how[key]
    }
' "$rows" "$work/layout.tsv"
echo "The 115200 paced latency holds a sentence until a read ends in a line feed (the framing of the serial worker), normally the epoch's last byte; figure 4 writes each epoch at once."
