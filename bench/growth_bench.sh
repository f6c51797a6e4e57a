#!/usr/bin/env bash
# How the time and the peak memory of `corvane-cli find` grow with the number of files, on trees of
# the million tree's shape (small files of 64 B to 4 KiB, six levels of six folders) with 250,000,
# 500,000 and 1,000,000 files. Run by hand, never in CI.
#
#   bench/growth_bench.sh [-n RUNS] [--cold] [--build DIR] [DATA]
#
# DATA (default $CORVANE_BENCH_DATA, else ~/corvane-bench) holds "million"; the smaller trees
# ("million-250k", "million-500k") are made there with the shared seeded generator when missing.
# For each tree: the median over RUNS counted runs (after one warm-up run whose report is checked
# against the tree's ground truth) of wall seconds and peak resident memory, then microseconds
# and bytes per file, and between one tree and the next the cost of each further file. Linear
# growth shows as equal costs per further file. --cold (root only): the page cache is dropped
# before every counted run. --build DIR: where corvane-cli is built (default build-bench).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd -P)
repo=$(cd "$here/.." && pwd -P)
shared=${CORVANE_SHARED_BENCH:-$repo/../shared/bench}
runs=3 cold=0 build=""
while [[ $# -gt 0 ]]; do
    case "$1" in
    -n) runs=$2; shift 2 ;;
    --cold) cold=1; shift ;;
    --build) build=$2; shift 2 ;;
    -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
data=${1:-${CORVANE_BENCH_DATA:-$HOME/corvane-bench}}
[[ -d $shared ]] || { echo "cannot find the shared benchmark tools at $shared (set CORVANE_SHARED_BENCH)" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "needs GNU time: apt-get install time" >&2; exit 2; }
mkdir -p "$data"
data=$(cd "$data" && pwd -P)
build=${build:-$repo/build-bench}

drop_caches() {
    sync
    if ! echo 3 > /proc/sys/vm/drop_caches 2> /dev/null; then
        echo "cannot drop the page cache (needs root)" >&2
        exit 2
    fi
}

echo "building corvane-cli (Release)..." >&2
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" --target corvane-cli -j "$(nproc)" > /dev/null
cli="$build/corvane-cli"

median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print "-"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-13s %9s %8s %8s %9s %9s %11s %11s  %s\n' tree files "wall s" "RSS MiB" "us/file" "B/file" \
    "us/further" "B/further" check
prev_files="" prev_wall="" prev_rss=""
for tree_size in million-250k:250000 million-500k:500000 million:1000000; do
    name=${tree_size%%:*} count=${tree_size##*:}
    dir="$data/$name"
    if [[ ! -d $dir || ! -f $dir.truth.json ]]; then
        echo "making $name ($count files) in $dir..." >&2
        python3 "$shared/make_dataset.py" --files "$count" --depth 6 --fanout 6 --small-min 64 --small-max 4K \
            --medium-frac 0 --large-frac 0 "$dir" > /dev/null
    fi
    [[ -f $dir.files ]] || find "$dir" -type f | wc -l > "$dir.files"
    files=$(cat "$dir.files")
    "$cli" find -q "$dir" > "$work/report" 2> /dev/null
    check=$(python3 "$shared/check_groups.py" "$dir.truth.json" blocks "$work/report" --brief || true)
    : > "$work/time"
    for ((i = 0; i < runs; i++)); do
        [[ $cold -eq 0 ]] || drop_caches
        /usr/bin/time -a -o "$work/time" -f '%e %M' "$cli" find -q "$dir" > /dev/null 2>&1
    done
    wall=$(awk '/^[0-9]/ {print $1}' "$work/time" | median)
    rss=$(awk '/^[0-9]/ {print $2 * 1024}' "$work/time" | median) # bytes
    further_us="-" further_b="-"
    if [[ -n $prev_files ]]; then
        further_us=$(awk -v w="$wall" -v pw="$prev_wall" -v f="$files" -v pf="$prev_files" \
            'BEGIN {printf "%.2f", (w - pw) * 1e6 / (f - pf)}')
        further_b=$(awk -v r="$rss" -v pr="$prev_rss" -v f="$files" -v pf="$prev_files" \
            'BEGIN {printf "%.0f", (r - pr) / (f - pf)}')
    fi
    printf '%-13s %9d %8.2f %8.1f %9.2f %9.0f %11s %11s  %s\n' "$name" "$files" "$wall" \
        "$(awk -v r="$rss" 'BEGIN {print r / 1048576}')" "$(awk -v w="$wall" -v f="$files" 'BEGIN {print w * 1e6 / f}')" \
        "$(awk -v r="$rss" -v f="$files" 'BEGIN {print r / f}')" "$further_us" "$further_b" "$check"
    prev_files=$files prev_wall=$wall prev_rss=$rss
done
