#!/usr/bin/env bash
# Fuzzes one reader of hostile input for a given time:
#
#   bench/fuzz.sh stream [SECONDS]   the component stream reader (tests/stream/fuzz_reader.cpp)
#   bench/fuzz.sh report [SECONDS]   the --from-json report reader (tests/cli/fuzz_report_reader.cpp)
#
# SECONDS defaults to 600. Builds the fuzz target with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (or $FUZZ_BUILD), starts from the target's seed corpus
# in the repository and keeps what it finds in build-fuzz/corpus-TARGET/. A failing input is saved
# as build-fuzz/crash-* (or leak-, timeout-, oom-); replay one with the target's binary and FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-} in
stream) target=tests/stream/fuzz_stream_reader seeds=tests/stream/corpus ;;
report) target=tests/cli/fuzz_report_reader seeds=tests/cli/report_corpus ;;
*)
    echo "usage: bench/fuzz.sh stream|report [SECONDS]" >&2
    exit 2
    ;;
esac
seconds=${2:-600}
build=${FUZZ_BUILD:-build-fuzz}
[[ $build == /* ]] || build="$PWD/$build"
jobs=${FUZZ_JOBS:-1}

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh needs clang++ (Debian: apt-get install clang libclang-rt-dev)" >&2
    exit 1
fi

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCORVANE_FUZZ=ON -DCORVANE_SANITIZE=ON >/dev/null
cmake --build "$build" --target "$(basename "$target")"

corpus="$build/corpus-$1"
mkdir -p "$corpus"
# Each input is at most 64 KiB; no single allocation may pass 256 MiB (a length the reader trusted
# would), no input may take 10 s (a loop that does not consume bytes would).
options=(-max_total_time="$seconds" -max_len=65536 -malloc_limit_mb=256 -rss_limit_mb=2048 -timeout=10
    -print_final_stats=1 -artifact_prefix="$build/")
if [[ $jobs -gt 1 ]]; then
    # Parallel runs write their logs (fuzz-N.log) to the current folder: keep them in the build.
    options+=(-jobs="$jobs" -workers="$jobs")
fi
seeds="$PWD/$seeds"
cd "$build"
exec "./$target" "${options[@]}" "$corpus" "$seeds"
