#!/usr/bin/env bash
# Measures how long a Tarvolin window program takes from its start to its
# first mapped window, on a private Xvfb server.
#
#   bench/startup/measure-startup.sh [-n RUNS] [-r] [PROGRAM [ARGS...]]
#
# PROGRAM defaults to build/src/app/tarvolin-demo (the program on the
# simulated radio, which needs no wireless adapter). Each run starts the
# program, waits for the X server to report the first top-level window
# mapped (a MapNotify on the root window, watched by xev), checks with
# xdotool that the window is Tarvolin's, and ends the program with SIGTERM.
# One warm-up run is not counted. Prints every run and the median in ms.
#
# Needs Xvfb, xev (x11-utils) and xdotool. The machine should be quiet:
# other work on the cores shows up in the figures, so take the median of
# many runs and compare figures measured the same way. On a busy machine -r
# runs the server and the program at real-time priority (needs root or
# CAP_SYS_NICE), which keeps other work from stretching the figures.
set -euo pipefail

runs=15
realtime=
while [[ ${1-} == -* ]]; do
    case $1 in
    -n) runs=$2; shift 2 ;;
    -r) realtime=1; shift ;;
    *) echo "usage: measure-startup.sh [-n RUNS] [-r] [PROGRAM [ARGS...]]" >&2; exit 2 ;;
    esac
done
if [[ -n $realtime && -z ${TARVOLIN_MEASURE_RT-} ]]; then
    TARVOLIN_MEASURE_RT=1 exec chrt -f 10 "$0" -n "$runs" "$@"
fi
top=$(cd "$(dirname "$0")/../.." && pwd)
program=${1:-$top/build/src/app/tarvolin-demo}
[[ $# -gt 0 ]] && shift
args=("$@")

for tool in Xvfb xev xdotool; do
    command -v "$tool" >/dev/null || { echo "measure-startup: $tool is missing" >&2; exit 1; }
done
[[ -x $program ]] || { echo "measure-startup: cannot run $program" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n ${xev_pid-} ]] && kill "$xev_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the pipe.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.05
done
display=:$(head -n 1 "$work/display")
export DISPLAY=$display
export XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME"

# Every top-level window the server maps is reported on xev's output.
mkfifo "$work/events"
stdbuf -oL xev -root -event substructure >"$work/events" 2>/dev/null &
xev_pid=$!
exec {events}<"$work/events"

measure_once() {
    local start end pid line
    start=$EPOCHREALTIME
    "$program" "${args[@]}" >/dev/null 2>&1 &
    pid=$!
    while read -r -u "$events" line; do
        if [[ $line == MapNotify* ]]; then
            end=$EPOCHREALTIME
            break
        fi
    done
    if ! xdotool search --onlyvisible --name '^Tarvolin$' >/dev/null; then
        echo "measure-startup: the window mapped first is not Tarvolin's" >&2
        kill "$pid" 2>/dev/null || true
        exit 1
    fi
    kill -TERM "$pid"
    wait "$pid" || true
    # Whatever else the run mapped or unmapped is not the next run's.
    while read -r -t 0.3 -u "$events" line; do :; done
    # Microseconds to milliseconds with one decimal.
    local us=$(( 10#${end//[.,]/} - 10#${start//[.,]/} ))
    printf '%d.%d\n' $((us / 1000)) $(((us % 1000) / 100))
}

measure_once >/dev/null  # warm-up: libraries and fonts into the page cache
times=()
for i in $(seq "$runs"); do
    t=$(measure_once)
    times+=("$t")
    echo "run $i: $t ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
echo "median of $runs runs: $median ms (start to first mapped window, $(basename "$program") on Xvfb)"
