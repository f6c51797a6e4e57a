// libFuzzer target: any bytes handed to --from-json must end in our error or a sound report (see
// report_reader_exercise.h). Built only with -DCORVANE_FUZZ=ON; bench/fuzz.sh report runs it.

#include "report_reader_exercise.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken =
        corvane::testing::exerciseReportReader(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!broken.empty()) {
        std::fprintf(stderr, "%s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
