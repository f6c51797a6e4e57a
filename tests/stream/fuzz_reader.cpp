// libFuzzer target: any byte sequence must end in a clean error or a faithful read (see
// reader_exercise.h). Built only with -DCORVANE_FUZZ=ON; bench/fuzz.sh stream runs it.

#include "reader_exercise.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = corvane::testing::exerciseReader(std::span<const uint8_t>(data, size));
    if (!broken.empty()) {
        std::fprintf(stderr, "%s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
