#!/usr/bin/env bash
# What hostile input costs: for each shape, wall seconds and peak memory of corvane-cli at sizes that
# double, so that growth in proportion to the input shows as a steady cost per unit. Run by hand,
# never in CI.
#
#   bench/hostile_bench.sh [CORVANE_CLI]     default build/cli/corvane-cli
#
# Shapes:
# - one group of N identical files on disk: find, trash --dry-run, and trash --dry-run of find's own
#   report (every file read again: the report carries no comparison), then that report acted on;
# - a report with one group of N paths, none of them there (the reader and the planner's look);
# - a path N folders deep, given to find and in a report (the trash test over its parents);
# - JSON of N bytes made of empty lists ([],[],...), refused late as no report: the reader's memory.
set -euo pipefail

cli=${1:-build/cli/corvane-cli}
[[ -x $cli ]] || { echo "no corvane-cli at $cli (build it first)" >&2; exit 1; }
cli=$(cd "$(dirname "$cli")" && pwd -P)/$(basename "$cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/share XDG_STATE_HOME=$work/state

# Runs the command, prints its label, seconds and peak memory, and a per-unit cost for N units.
measure() {
    local label=$1 units=$2
    shift 2
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || true
    # A command that fails gets a line of its own before the figures.
    read -r seconds kib < <(tail -n 1 "$work/time")
    awk -v l="$label" -v n="$units" -v s="$seconds" -v k="$kib" \
        'BEGIN { printf "%-34s %9d %8.2f s %8.1f MiB %9.2f us/unit %9.1f B/unit\n", l, n, s, k / 1024, s * 1e6 / n, k * 1024 / n }'
}

printf '%-34s %9s %10s %12s %14s %14s\n' shape N wall peak time memory
for n in ${GROUP_SIZES:-5000 10000 20000 40000}; do
    tree=$work/same-$n
    mkdir -p "$tree"
    python3 - "$tree" "$n" <<'PY'
import os, sys
root, n = sys.argv[1], int(sys.argv[2])
for i in range(n):
    folder = os.path.join(root, "d%03d" % (i % 200))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%06d" % i), "wb") as f:
        f.write(b"the same bytes in every file\n")
PY
    measure "group on disk: find" "$n" "$cli" find -q "$tree"
    "$cli" find -q --json "$tree" >"$work/report-$n.json" 2>/dev/null
    measure "group on disk: trash -n" "$n" "$cli" trash -q -n "$tree"
    measure "group on disk: trash -n from report" "$n" "$cli" trash -q -n --from-json "$work/report-$n.json"
    measure "group on disk: trash from report" "$n" "$cli" trash -q --from-json "$work/report-$n.json"
    python3 - "$work/paths-$n.json" "$n" <<'PY'
import json, sys
out, n = sys.argv[1], int(sys.argv[2])
paths = ["/nowhere/d%03d/f%06d" % (i % 200, i) for i in range(n)]
json.dump({"version": 2, "groups": [{"original": paths[0], "duplicates": paths[1:]}]}, open(out, "w"))
PY
    measure "report of absent paths: trash -n" "$n" "$cli" trash -q -n --from-json "$work/paths-$n.json"
    rm -rf "$tree" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
done
for depth in 5000 10000 20000 40000; do
    deep=$(python3 -c "print('x/' * $depth, end='')")
    measure "deep path: find" "$depth" "$cli" find -q "$work/$deep"
    printf '{"groups": [{"original": "%s/a", "duplicates": ["%s/b"]}]}' "$work/$deep" "$work/$deep" \
        >"$work/deep.json"
    measure "deep path: trash -n from report" "$depth" "$cli" trash -q -n --from-json "$work/deep.json"
done
for mib in 2 4 8 16; do
    python3 -c "import sys; n = $mib * 1024 * 1024 // 3; sys.stdout.write('[' + ','.join(['[]'] * n) + ']')" \
        >"$work/lists.json"
    measure "JSON of empty lists: trash -n" "$(stat -c %s "$work/lists.json")" \
        "$cli" trash -q -n --from-json "$work/lists.json"
done
