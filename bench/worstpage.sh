#!/usr/bin/env bash
# The worst legal page (32,767 lines of 32,766 bytes, every line selected) scanned
# alone and through the window, each set beside `cat page > report` timed the same way
# in the same rounds: once into a report that does not exist yet, once into an existing
# one, which the scan empties as the shell does for cat. The window scans twice: in a
# window just opened, into a new report, then again, into the report it has just
# written. The rounds alternate the tools so a busy machine weighs on all of them alike;
# medians count.
#
# Every run starts from the same state: nothing left to write back, and an existing
# report is the same gigabyte, on disk. Emptying a report that is still being written
# back waits for the disk, and a file system mounted with discard waits again for the
# blocks it frees: had each tool emptied what the one before it left, the figures would
# weigh whose report came before, not the tools.
# Usage: bench/worstpage.sh PROGRAM FOLDER [ROUNDS [EARLIER]]
# PROGRAM is pagesift_worstpage; EARLIER, another build of it (an older commit's), runs
# in the same rounds, for a before and after from one run.
set -euo pipefail
program=$1
folder=$2
rounds=${3:-5}
earlier=${4:-}
programs=("$program")
[ -z "$earlier" ] || programs+=("$earlier")

page="$folder/worst.html"
report="$folder/worst.txt"
[ -f "$page" ] || "$program" write "$page"
cat "$page" >/dev/null

# `cat page > report`: seconds, then the processor seconds it spent, user and system.
cat_into() {
    local shell=$BASHPID start=${EPOCHREALTIME/./} before after
    before=$(awk '{ print $14 + $15 + $16 + $17 }' "/proc/$shell/stat")
    cat "$page" >"$report"
    local taken=$(( ${EPOCHREALTIME/./} - start ))
    after=$(awk '{ print $14 + $15 + $16 + $17 }' "/proc/$shell/stat")
    awk -v us="$taken" -v ticks="$((after - before))" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "%.4f %.4f\n", us / 1e6, ticks / hz }'
}
# The state each run starts from.
no_report() { rm -f "$report"; sync; }
old_report() { no_report; cat "$page" >"$report"; sync; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A runs peak
add() { runs[$1]+=" $2" runs[$1.cpu]+=" $3"; }
for ((round = 1; round <= rounds; ++round)); do
    # Every other round the other build goes first: the first after cat runs while its
    # gigabyte is still being written back.
    order=("${programs[@]}")
    ((round % 2)) || order=("${programs[@]:1}" "${programs[0]}")
    no_report; read -r wall cpu < <(cat_into); add cat_new "$wall" "$cpu"
    for each in "${order[@]}"; do
        no_report; read -r wall cpu < <("$each" scan "$page" "$report"); add "$each.scan_new" "$wall" "$cpu"
    done
    old_report; read -r wall cpu < <(cat_into); add cat_old "$wall" "$cpu"
    for each in "${order[@]}"; do
        old_report; read -r wall cpu < <("$each" scan "$page" "$report"); add "$each.scan_old" "$wall" "$cpu"
    done
    for each in "${order[@]}"; do
        no_report
        read -r wall cpu again again_cpu memory < <("$each" click "$page" "$report" 2>/dev/null)
        add "$each.click_new" "$wall" "$cpu"; add "$each.click_old" "$again" "$again_cpu"
        peak[$each]=$(( memory > ${peak[$each]:-0} ? memory : ${peak[$each]:-0} ))
    done
done
rm -f "$report"

for each in "${programs[@]}"; do
    figures=()
    for name in cat_new scan_new click_new cat_old scan_old click_old; do
        key=$name
        [[ $name == cat_* ]] || key=$each.$name
        # shellcheck disable=SC2086 # the runs are words
        figures+=(-v "$name=$(median ${runs[$key]})" -v "${name}_cpu=$(median ${runs[$key.cpu]})")
    done
    awk -v rounds="$rounds" -v peak="${peak[$each]}" -v program="$each" "${figures[@]}" 'BEGIN {
        printf "%s\n", program
        printf "Worst page, 1 GiB, every line selected: medians of %d alternating rounds, seconds\n", rounds
        printf "                       new report          existing report     (processor time: new, existing)\n"
        printf "  cat page > report   %6.3f               %6.3f               (%.3f, %.3f)\n", cat_new, cat_old, cat_new_cpu, cat_old_cpu
        printf "  scan alone          %6.3f = %.2fx cat   %6.3f = %.2fx cat   (%.3f = %.2fx, %.3f = %.2fx)   target <= 1.2x\n",
               scan_new, scan_new / cat_new, scan_old, scan_old / cat_old,
               scan_new_cpu, scan_new_cpu / cat_new_cpu, scan_old_cpu, scan_old_cpu / cat_old_cpu
        printf "  click to painted    %6.3f = %.2fx cat   %6.3f = %.2fx cat   (%.3f = %.2fx, %.3f = %.2fx)   target <= 3x\n",
               click_new, click_new / cat_new, click_old, click_old / cat_old,
               click_new_cpu, click_new_cpu / cat_new_cpu, click_old_cpu, click_old_cpu / cat_old_cpu
        printf "  (the window: its first scan, into a new report; then its second, into the report it wrote)\n"
        printf "  peak memory of the window: %d MB\n", peak
    }'
done
