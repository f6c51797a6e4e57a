#include "reader_exercise.h"

#include "stream_test_classes.h"

#include "stream/document.h"
#include "stream/error.h"
#include "stream/item_block.h"
#include "stream/node_block.h"
#include "stream/stream_reader.h"
#include "stream/text_form.h"

#include <exception>
#include <functional>

namespace corvane::testing {

namespace {

// Runs `step`; a corvane::Error is a clean end, anything else a broken promise.
std::string guarded(const char* what, const std::function<void()>& step) {
    try {
        step();
    } catch (const Error&) {
    } catch (const std::exception& other) {
        return std::string(what) + " threw a non-Error exception: " + other.what();
    }
    return {};
}

std::string checkTextRoundTrip(std::span<const uint8_t> input) {
    stream::Document document;
    try {
        document = stream::parseDocument(input);
    } catch (const Error&) {
        return {};
    }
    std::vector<uint8_t> encoded;
    try {
        encoded = stream::encodeDocument(document);
    } catch (const Error& error) {
        return std::string("a parsed document does not encode: ") + error.what();
    }
    const size_t used = input.size() - static_cast<size_t>(document.trailingBytes);
    if (encoded != std::vector<uint8_t>(input.begin(), input.begin() + static_cast<long>(used))) {
        return "document encoding does not give the input back";
    }
    const std::string text = stream::streamToText(input);
    std::vector<uint8_t> compiled;
    try {
        compiled = stream::textToStream(text);
    } catch (const Error& error) {
        return std::string("the printed text does not compile: ") + error.what() + "\n" + text;
    }
    if (compiled != encoded) {
        return "text round trip changed the bytes:\n" + text;
    }
    // Describing the blocks may fail as the reader would, and only that way.
    return guarded("describing blocks", [&] {
        stream::TextFormOptions options;
        options.describeBlocks = true;
        stream::streamToText(input, options);
    });
}

} // namespace

std::string exerciseReader(std::span<const uint8_t> input) {
    if (std::string broken = checkTextRoundTrip(input); !broken.empty()) {
        return broken;
    }
    const StreamTestClasses& classes = streamTestClasses();
    std::string broken;
    const auto run = [&](const char* what, const std::function<void()>& step) {
        if (broken.empty()) {
            broken = guarded(what, step);
        }
    };
    run("decodeItemBlock", [&] { stream::decodeItemBlock(input); });
    run("decodeOlderItemBlock", [&] { stream::decodeOlderItemBlock(input); });
    run("decodeNodeBlock", [&] { stream::decodeNodeBlock(input); });
    run("decodeOlderNodeBlock", [&] { stream::decodeOlderNodeBlock(input); });
    run("reading a list", [&] {
        ListView list;
        stream::readRootRecordFromBytes(input, refOf(&list));
    });
    run("reading a tree", [&] {
        TreeView tree;
        stream::readRootRecordFromBytes(input, refOf(&tree));
    });
    run("reading a window", [&] {
        Form window;
        window.name = "frm_utama";
        stream::ReadOptions options;
        options.classes = &classes.registry;
        options.findWindow = [&](std::string_view name) {
            return name == "frm_utama" ? refOf(&window) : stream::ObjectRef{};
        };
        stream::readRootRecordFromBytes(input, refOf(&window), options);
    });
    return broken;
}

} // namespace corvane::testing
