#!/usr/bin/env bash
# Fuzzes the component stream reader (tests/stream/fuzz_reader.cpp) for a given time.
#
#   bench/fuzz_stream.sh [SECONDS]        default 600
#
# Builds the fuzz target with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/ (or $FUZZ_BUILD), starts from the seed corpus in tests/stream/corpus/ and keeps what it
# finds in build-fuzz/corpus/. A failing input is saved as build-fuzz/crash-* (or leak-, timeout-,
# oom-); replay one with: build-fuzz/tests/stream/fuzz_stream_reader FILE
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
build=${FUZZ_BUILD:-build-fuzz}
[[ $build == /* ]] || build="$PWD/$build"
jobs=${FUZZ_JOBS:-1}

if ! command -v clang++ >/dev/null; then
    echo "fuzz_stream.sh needs clang++ (Debian: apt-get install clang libclang-rt-dev)" >&2
    exit 1
fi

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCORVANE_FUZZ=ON -DCORVANE_SANITIZE=ON >/dev/null
cmake --build "$build" --target fuzz_stream_reader

mkdir -p "$build/corpus"
# Each input is at most 64 KiB; no single allocation may pass 256 MiB (a length the reader trusted
# would), no input may take 10 s (a loop that does not consume bytes would).
options=(-max_total_time="$seconds" -max_len=65536 -malloc_limit_mb=256 -rss_limit_mb=2048 -timeout=10
    -print_final_stats=1 -artifact_prefix="$build/")
if [[ $jobs -gt 1 ]]; then
    # Parallel runs write their logs (fuzz-N.log) to the current folder: keep them in the build.
    options+=(-jobs="$jobs" -workers="$jobs")
fi
corpus=("$build/corpus" "$PWD/tests/stream/corpus")
cd "$build"
exec ./tests/stream/fuzz_stream_reader "${options[@]}" "${corpus[@]}"
