#include "support/file_contents.h"

#include <fstream>
#include <sstream>

namespace corvane::testing {

std::string fileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

} // namespace corvane::testing
