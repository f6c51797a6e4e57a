#!/usr/bin/env bash
# Copies a benchmark tree onto an XFS file system made for the run (an image through a loop
# device; needs root and xfsprogs), then times `corvane-cli dedupe` on the copy and reports the
# bytes the kernel shared and the space the file system gained. Run by hand, never in CI.
#
#   bench/dedupe_bench.sh TREE
#
# TREE is a benchmark tree, e.g. made with
#   python3 ../shared/bench/make_dataset.py --preset large-few --files 40 DIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd -P)
repo=$(cd "$here/.." && pwd -P)
tree=${1:?usage: dedupe_bench.sh TREE}
tree=$(cd "$tree" && pwd -P)
[[ $(id -u) -eq 0 ]] || { echo "needs root, to mount the XFS image" >&2; exit 2; }

echo "building corvane-cli (Release)..." >&2
cmake -S "$repo" -B "$repo/build-bench-cli" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF > /dev/null
cmake --build "$repo/build-bench-cli" --target corvane-cli -j 2 > /dev/null
cli=$repo/build-bench-cli/corvane-cli

work=$(mktemp -d)
cleanup() {
    mountpoint -q "$work/xfs" && umount "$work/xfs"
    rm -rf "$work"
}
trap cleanup EXIT
bytes=$(du -sb "$tree" | awk '{print $1}')
image_size=$(( bytes * 5 / 4 + (400 << 20) ))
truncate -s "$image_size" "$work/xfs.img"
mkfs.xfs -q "$work/xfs.img"
mkdir "$work/xfs"
mount -o loop "$work/xfs.img" "$work/xfs"
echo "copying $(( bytes >> 20 )) MiB onto XFS..." >&2
cp -a "$tree" "$work/xfs/tree"
sync
free_before=$(df -B1 --output=avail "$work/xfs" | tail -1)
# The first read of the copy comes from the disk image, as a real clean-up would.
echo 3 > /proc/sys/vm/drop_caches
/usr/bin/time -o "$work/time" -f '%e %U %S %M' "$cli" dedupe -q "$work/xfs/tree" > "$work/out" 2> "$work/err" || true
sync
free_after=$(df -B1 --output=avail "$work/xfs" | tail -1)
read -r wall user sys rss < "$work/time"
grep -E '^Deduplicated' "$work/err" >&2 || cat "$work/err" >&2
shared=$(sed -n 's/^Deduplicated [0-9]* files (\([0-9]*\) bytes shared).*/\1/p' "$work/err")
files=$(grep -c '^deduped ' "$work/out" || true)
printf '| tree | files deduped | bytes shared | space gained | wall s | CPU s | peak RSS MiB |\n'
printf '|---|---|---|---|---|---|---|\n'
printf '| %s (%d MiB) | %d | %d (%.2f GiB) | %.2f GiB | %.2f | %.2f | %.1f |\n' "$(basename "$tree")" \
    $(( bytes >> 20 )) "$files" "${shared:-0}" "$(echo "${shared:-0} / 1073741824" | bc -l)" \
    "$(echo "($free_after - $free_before) / 1073741824" | bc -l)" "$wall" "$(echo "$user + $sys" | bc -l)" \
    "$(echo "$rss / 1024" | bc -l)"
