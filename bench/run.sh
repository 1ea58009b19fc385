#!/usr/bin/env bash
# Builds Release, runs the benchmarks, and sets the scan's throughput on the realistic
# page beside that of `wc -l` and `grep -cP` on the very same file, all from this one
# run. Then the window's click-to-paint and copy-all times, and the worst legal page
# scanned alone and through the window beside `cat page > report` (bench/worstpage.sh),
# with the window's peak memory (these steps write about 2 GiB to the temporary folder).
# Arguments go to the scan benchmark, e.g. --benchmark_filter=realistic. With
# PAGESIFT_EARLIER naming another build of pagesift_worstpage (an older commit's), the
# worst page's rounds run it too, for a before and after from one run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset release >/dev/null
cmake --build --preset release

pages=$(mktemp -d "${TMPDIR:-/tmp}/pagesift-bench-XXXXXX")
trap 'rm -rf "$pages"' EXIT

build/release/bench/pagesift_scanbench --pages="$pages" \
    --benchmark_out="$pages/scan.json" --benchmark_out_format=json "$@"

page="$pages/realistic.html"
if [ ! -f "$page" ]; then
    echo "(no realistic page in this run: no comparison)"
    exit 0
fi

# The scan's bytes per second and records on the realistic page, from the JSON report.
read -r scan records < <(awk '
    /"name": "scan\/realistic\/real_time"/ { found = 1 }
    found && /"bytes_per_second"/ { gsub(/,/, "", $2); rate = $2 }
    found && /"records"/ { gsub(/,/, "", $2); print rate, $2; exit }' "$pages/scan.json")

# Best of five, in microseconds. The output goes to a file: grep stops at the first
# match when it writes to /dev/null.
best_of_five() {
    local best=0
    for _ in 1 2 3 4 5; do
        local start=${EPOCHREALTIME/./}
        "$@" >"$pages/tool.out"
        local taken=$(( ${EPOCHREALTIME/./} - start ))
        if [ "$best" -eq 0 ] || [ "$taken" -lt "$best" ]; then best=$taken; fi
    done
    echo "$best"
}

# The selection rules as one Perl pattern: a backslash; a first "/" that does not
# follow "<" (or opens the line); a listed extension in any case. Tabs need no
# handling: a tab is neither "<" nor a letter.
pattern='\\|^[^/]*+(?<!<)/|\.(?i:jpg|gif|htm|bmp|flh)'
export LC_ALL=C
size=$(stat -c %s "$page")
cat "$page" >/dev/null
wc_us=$(best_of_five wc -l "$page")
grep_us=$(best_of_five grep -cP "$pattern" "$page")
grep_count=$(cat "$pages/tool.out")
# The scan's figure has no process start in it; these tell what the tools' own take.
wc_start_us=$(best_of_five wc -l /dev/null)
grep_start_us=$(best_of_five grep -cP "$pattern" /dev/null || true)

awk -v size="$size" -v scan="$scan" -v wc_us="$wc_us" -v grep_us="$grep_us" \
    -v wc_start_us="$wc_start_us" -v grep_start_us="$grep_start_us" \
    -v records="$records" -v grep_count="$grep_count" 'BEGIN {
    wc = size / (wc_us / 1e6); grep = size / (grep_us / 1e6)
    printf "\nRealistic page, %.1f MB, page cache warm (wc and grep: best of 5, process start included)\n", size / 1e6
    printf "  scan     %8.0f MB/s   %d records\n", scan / 1e6, records
    printf "  wc -l    %8.0f MB/s   scan / wc -l    = %.2f  (target >= 0.40)\n", wc / 1e6, scan / wc
    printf "  grep -cP %8.0f MB/s   scan / grep -cP = %.2f  (target >= 4)   %d lines matched\n",
           grep / 1e6, scan / grep, grep_count
    wc_net = size / ((wc_us - wc_start_us) / 1e6); grep_net = size / ((grep_us - grep_start_us) / 1e6)
    printf "  without the tools\047 process start (%.1f ms for wc, %.1f ms for grep):\n", wc_start_us / 1e3, grep_start_us / 1e3
    printf "  wc -l    %8.0f MB/s   scan / wc -l    = %.2f\n", wc_net / 1e6, scan / wc_net
    printf "  grep -cP %8.0f MB/s   scan / grep -cP = %.2f\n", grep_net / 1e6, scan / grep_net
    if (records != grep_count) print "  note: grep matched a different number of lines than the scan selected"
}'

echo
build/release/bench/pagesift_windowbench
echo
bench/worstpage.sh build/release/bench/pagesift_worstpage "$pages" 5 "${PAGESIFT_EARLIER:-}"
echo
build/release/bench/pagesift_peakmemory "$pages"
