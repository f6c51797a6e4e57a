// corvane-stream-text: converts a component stream between its binary and its text form.
//   corvane-stream-text to-binary IN.txt OUT     compiles a text form (errors name the line)
//   corvane-stream-text to-text IN OUT.txt       prints a binary stream as text

#include "stream/byte_streams.h"
#include "stream/error.h"
#include "stream/text_form.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void writeFile(const std::string& path, const void* data, size_t size) {
    corvane::stream::FileOutputStream out(path);
    out.write(std::span(static_cast<const uint8_t*>(data), size));
    out.close();
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvane::stream;
    if (argc != 4 || (std::strcmp(argv[1], "to-binary") != 0 && std::strcmp(argv[1], "to-text") != 0)) {
        std::fputs("Usage: corvane-stream-text to-binary|to-text INPUT OUTPUT\n", stderr);
        return 2;
    }
    const std::string input = argv[2];
    const std::string output = argv[3];
    try {
        const std::vector<uint8_t> bytes = readWholeFile(input);
        if (std::strcmp(argv[1], "to-binary") == 0) {
            std::vector<uint8_t> stream;
            try {
                stream =
                    textToStream(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            } catch (const TextFormError& error) {
                std::fprintf(stderr, "%s:%d: %s\n", input.c_str(), error.line(), error.reason().c_str());
                return 1;
            }
            writeFile(output, stream.data(), stream.size());
        } else {
            const std::string text = streamToText(bytes);
            writeFile(output, text.data(), text.size());
        }
    } catch (const corvane::Error& error) {
        std::fprintf(stderr, "corvane-stream-text: %s\n", error.what());
        return 1;
    }
    return 0;
}
