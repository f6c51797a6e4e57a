#!/usr/bin/env bash
# Times `corvane-cli find` on one tree with each search filter and keep rule unused and used,
# beside the same search by the program as it stood at BASE (before them), so that what an unused
# option costs shows. Run by hand, never in CI.
#
#   bench/filters_bench.sh [-n RUNS] [--base COMMIT] TREE
#
# TREE is a benchmark tree, e.g. made with
#   python3 ../shared/bench/make_dataset.py --preset small-many --files 30000 DIR
# Figures are medians over RUNS runs (default 7) after one warm-up run, alternating between the
# programs so that drift of the machine hits all alike: wall seconds, CPU seconds, peak RSS MiB.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd -P)
repo=$(cd "$here/.." && pwd -P)
runs=7 base=""
while [[ $# -gt 0 ]]; do
    case "$1" in
    -n) runs=$2; shift 2 ;;
    --base) base=$2; shift 2 ;;
    -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
tree=${1:?usage: filters_bench.sh [-n RUNS] [--base COMMIT] TREE}
tree=$(cd "$tree" && pwd -P)

build() { # build SOURCE BUILD: a Release corvane-cli, without tests
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF > /dev/null
    cmake --build "$2" --target corvane-cli -j 2 > /dev/null
}
echo "building corvane-cli (Release)..." >&2
build "$repo" "$repo/build-bench-cli"
cli=$repo/build-bench-cli/corvane-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
base_cli=""
if [[ -n $base ]]; then
    echo "building corvane-cli of $base (Release)..." >&2
    mkdir "$work/base"
    git -C "$repo" archive "$base" | tar -x -C "$work/base"
    build "$work/base" "$work/base/build"
    base_cli=$work/base/build/corvane-cli
fi

# name|program|arguments (the tree is added at the end)
cases=()
[[ -n $base_cli ]] && cases+=("$base (no filters)|$base_cli|find -q")
cases+=(
    "no filters|$cli|find -q"
    "--min-size 0|$cli|find -q --min-size 0"
    "--min-size 16K|$cli|find -q --min-size 16K"
    "--max-size 4K|$cli|find -q --max-size 4K"
    "--exclude matching nothing|$cli|find -q --exclude */no-such-name"
    "--exclude 2 top folders|$cli|find -q --exclude */d0_01 --exclude */d0_02"
    "-x|$cli|find -q -x"
    "--skip-hard-links|$cli|find -q --skip-hard-links"
    "--keep original|$cli|find -q --keep original"
    "--keep newest|$cli|find -q --keep newest"
    "--keep first-folder,shortest-path|$cli|find -q --keep first-folder,shortest-path"
)
median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print "-"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

for entry in "${cases[@]}"; do # warm-up, and the totals of each case
    IFS='|' read -r name program args <<< "$entry"
    # shellcheck disable=SC2086
    totals=$("$program" $args "$tree" 2>&1 > /dev/null | grep -E 'Duplicate files' || true)
    echo "$name: $totals" >&2
done
for ((i = 0; i < runs; i++)); do
    for k in "${!cases[@]}"; do
        IFS='|' read -r name program args <<< "${cases[$k]}"
        # shellcheck disable=SC2086
        /usr/bin/time -a -o "$work/$k.time" -f '%e %U %S %M' "$program" $args "$tree" > /dev/null 2>&1
    done
done
printf '| %-32s | %7s | %7s | %12s |\n' "find" "wall s" "CPU s" "peak RSS MiB"
printf '|%s|%s|%s|%s|\n' "----------------------------------" "---------" "---------" "--------------"
for k in "${!cases[@]}"; do
    IFS='|' read -r name program args <<< "${cases[$k]}"
    wall=$(awk '{print $1}' "$work/$k.time" | median)
    cpu=$(awk '{print $2 + $3}' "$work/$k.time" | median)
    rss=$(awk '{printf "%.1f\n", $4 / 1024}' "$work/$k.time" | median)
    printf '| %-32s | %7.2f | %7.2f | %12.1f |\n' "$name" "$wall" "$cpu" "$rss"
done
