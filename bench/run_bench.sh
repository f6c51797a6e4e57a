#!/usr/bin/env bash
# Times `corvane-cli find` against the general-purpose duplicate finders of Debian (fdupes, jdupes,
# rdfind, rmlint, duff) on the shared benchmark trees, checks every report against the trees'
# ground truth, and prints one table with Corvane's ratio to the fastest peer. Run by hand, never
# in CI.
#
#   bench/run_bench.sh [-n RUNS] [--no-peers] [--peers "fdupes jdupes ..."] [--cold] [--build DIR]
#                      [--trees "small-many large-few million"] [DATA]
#
# DATA (default $CORVANE_BENCH_DATA, else ~/corvane-bench) holds the trees; missing ones are made
# with the shared seeded generator. The peers are installed from Debian's packages when missing
# (as root). Figures are medians over RUNS counted runs after one warm-up run: wall seconds, CPU
# seconds (user + system), peak resident memory. With --cold (root only), the page cache is dropped
# before every counted run of every tool, Corvane's and the peers' alike, and before the window
# benchmark. --build DIR: where corvane-cli is built (default build-bench in the repository).
# --peers: the peers to time (default all five; rmlint alone takes minutes a run on million).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd -P)
repo=$(cd "$here/.." && pwd -P)
shared=${CORVANE_SHARED_BENCH:-$repo/../shared/bench}
runs=5 peers=1 cold=0 trees="small-many large-few"
peer_list=()
build=""
while [[ $# -gt 0 ]]; do
    case "$1" in
    -n) runs=$2; shift 2 ;;
    --no-peers) peers=0; shift ;;
    --peers) peer_list=(--peers "$2"); shift 2 ;;
    --cold) cold=1; shift ;;
    --build) build=$2; shift 2 ;;
    --trees) trees=$2; shift 2 ;;
    -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
data=${1:-${CORVANE_BENCH_DATA:-$HOME/corvane-bench}}
[[ -d $shared ]] || { echo "cannot find the shared benchmark tools at $shared (set CORVANE_SHARED_BENCH)" >&2; exit 2; }
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
[[ $cold -eq 0 ]] || drop_caches

missing=()
for pkg in time fdupes jdupes rdfind rmlint duff; do
    dpkg-query -W -f '${db:Status-Abbrev}' "$pkg" 2>/dev/null | grep -q '^ii' || missing+=("$pkg")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    if [[ $(id -u) -eq 0 ]]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" > /dev/null
    else
        echo "needs: sudo apt-get install -y ${missing[*]}" >&2
        exit 2
    fi
fi

echo "building corvane-cli and the window benchmark (Release)..." >&2
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF \
    -DCORVANE_BUILD_BENCH=ON > /dev/null
cmake --build "$build" --target corvane-cli corvane-window-bench -j "$(nproc)" > /dev/null
cli="$build/corvane-cli"
window_bench="$build/corvane-window-bench"

make_tree() {
    local name=$1 dir="$data/$1"
    [[ -d $dir && -f $dir.truth.json ]] && return 0
    echo "making $name in $dir..." >&2
    case "$name" in
    small-many | large-few) python3 "$shared/make_dataset.py" --preset "$name" "$dir" ;;
    million) python3 "$shared/make_dataset.py" --files 1000000 --depth 6 --fanout 6 --small-min 64 \
        --small-max 4K --medium-frac 0 --large-frac 0 "$dir" ;;
    *) echo "unknown tree $name" >&2; exit 2 ;;
    esac > /dev/null
}

median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print "-"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
summary=()
for tree in $trees; do
    make_tree "$tree"
    dir="$data/$tree"
    echo "== $tree"
    # Warm-up run: fills the page cache and gives the report that is checked.
    "$cli" find -q "$dir" > "$work/corvane.out" 2> "$work/corvane.err"
    check=$(python3 "$shared/check_groups.py" "$dir.truth.json" blocks "$work/corvane.out" --brief || true)
    : > "$work/corvane.time"
    for ((i = 0; i < runs; i++)); do
        [[ $cold -eq 0 ]] || drop_caches
        /usr/bin/time -a -o "$work/corvane.time" -f '%e %U %S %M' "$cli" find -q "$dir" > /dev/null 2>&1
    done
    wall=$(awk '/^[0-9]/ {print $1}' "$work/corvane.time" | median)
    cpu=$(awk '/^[0-9]/ {print $2 + $3}' "$work/corvane.time" | median)
    rss=$(awk '/^[0-9]/ {printf "%.1f\n", $4 / 1024}' "$work/corvane.time" | median)
    printf '%-9s %-24s %9s %9s %9s  %s\n' corvane "$("$cli" --version | awk '{print $2}')" "$wall" "$cpu" "$rss" "$check"
    [[ $cold -eq 0 ]] || drop_caches
    "$cli" find -q --stats "$dir" 2>&1 > /dev/null | grep '^scan' | sed 's/^/          phases: /'
    [[ $cold -eq 0 ]] || drop_caches
    QT_QPA_PLATFORM=offscreen "$window_bench" "$dir" 2>/dev/null | sed 's/^/          /' || true
    fastest="-" fastest_wall="" fastest_rss=""
    if [[ $peers -eq 1 ]]; then
        cold_flag=()
        [[ $cold -eq 0 ]] || cold_flag=(--cold)
        "$shared/run_peers.sh" -n "$runs" "${cold_flag[@]}" "${peer_list[@]}" "$dir" | tee "$work/peers.txt" | grep -v '^data set\|^truth\|^peer '
        read -r fastest fastest_wall fastest_rss < <(awk '$1 ~ /^(fdupes|jdupes|rdfind|rmlint|duff)$/ && $3 ~ /^[0-9.]+$/ {print $1, $3, $5}' \
            "$work/peers.txt" | sort -k2 -g | head -1) || true
    fi
    if [[ -n $fastest_wall ]]; then
        ratio=$(awk -v a="$wall" -v b="$fastest_wall" 'BEGIN {printf "%.2f", a / b}')
        summary+=("$(printf '%-11s corvane %7s s %7s MiB | fastest peer %-7s %7s s %7s MiB | ratio %s' \
            "$tree" "$wall" "$rss" "$fastest" "$fastest_wall" "$fastest_rss" "$ratio")")
    else
        summary+=("$(printf '%-11s corvane %7s s %7s MiB' "$tree" "$wall" "$rss")")
    fi
done
echo
echo "summary (median of $runs $([[ $cold -eq 1 ]] && echo cold || echo warm) runs):"
printf '  %s\n' "${summary[@]}"
