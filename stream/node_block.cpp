#include "stream/node_block.h"

#include "stream/block_cursor.h"
#include "stream/error.h"
#include "stream/messages.h"
#include "stream/text_codec.h"

#include <algorithm>
#include <limits>

namespace corvane::stream {

namespace {

constexpr uint8_t kVersion = 1;
constexpr size_t kFixedRecordSize = 29; // record size field to text length
constexpr int32_t kOlderFieldsSize = 24;
constexpr int32_t kOlderMaxRecordSize = kOlderFieldsSize + 1 + 255;

[[noreturn]] void failWrite() {
    throw Error(std::string(kStreamWriteError));
}

// The number of children of each node, from the levels.
std::vector<int32_t> childCounts(std::span<const TreeNode> nodes) {
    std::vector<int32_t> counts(nodes.size(), 0);
    std::vector<size_t> open; // the path from a top-level node to the previous node
    for (size_t i = 0; i < nodes.size(); ++i) {
        const int level = nodes[i].level;
        if (level < 0 || static_cast<size_t>(level) > open.size()) {
            failWrite();
        }
        open.resize(static_cast<size_t>(level));
        if (!open.empty()) {
            if (counts[open.back()] == std::numeric_limits<int32_t>::max()) {
                failWrite();
            }
            ++counts[open.back()];
        }
        open.push_back(i);
    }
    return counts;
}

// Reads the nodes depth first without recursion: `read` reads one record and returns its child count.
template <class ReadRecord> std::vector<TreeNode> readTree(BlockCursor& in, ReadRecord read) {
    std::vector<TreeNode> nodes;
    std::vector<int64_t> pending; // records still to read at each open level
    pending.push_back(std::max(in.i32(), 0));
    while (!pending.empty()) {
        if (pending.back() == 0) {
            pending.pop_back();
            continue;
        }
        --pending.back();
        TreeNode node;
        node.level = static_cast<int>(pending.size()) - 1;
        const int32_t children = read(node);
        node.hasChildren = children != 0;
        nodes.push_back(std::move(node));
        if (children > 0) {
            pending.push_back(children);
        }
    }
    return nodes;
}

} // namespace

const std::string* findTooLongText(std::span<const TreeNode> nodes) {
    for (const TreeNode& node : nodes) {
        if (utf16Length(node.text) > kMaxBlockTextUnits) {
            return &node.text;
        }
    }
    return nullptr;
}

std::vector<uint8_t> encodeNodeBlock(std::span<const TreeNode> nodes) {
    const std::vector<int32_t> counts = childCounts(nodes);
    BlockBuilder out;
    out.u8(kVersion);
    int32_t topLevel = 0;
    for (const TreeNode& node : nodes) {
        if (node.level == 0) {
            if (topLevel == std::numeric_limits<int32_t>::max()) {
                failWrite();
            }
            ++topLevel;
        }
    }
    out.i32(topLevel);
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode& node = nodes[i];
        const std::u16string text = utf8ToUtf16(node.text);
        if (text.size() > kMaxBlockTextUnits) {
            failWrite();
        }
        out.i32(static_cast<int32_t>(25 + 2 * text.size()));
        out.i32(node.imageIndex);
        out.i32(node.selectedIndex);
        out.i32(node.stateIndex);
        out.i32(node.overlayIndex);
        out.i32(node.data);
        out.i32(counts[i] > 0 ? counts[i] : (node.hasChildren ? -1 : 0));
        out.u8(static_cast<uint8_t>(text.size()));
        out.units(text);
    }
    return out.take();
}

std::vector<TreeNode> decodeNodeBlock(std::span<const uint8_t> block) {
    BlockCursor in(block);
    if (in.u8() != kVersion) {
        return {};
    }
    return readTree(in, [&](TreeNode& node) {
        if (in.remaining() < kFixedRecordSize) {
            throw Error(std::string(kStreamReadError));
        }
        in.i32(); // the record size: the fields say where the record ends
        node.imageIndex = in.i32();
        node.selectedIndex = in.i32();
        node.stateIndex = in.i32();
        node.overlayIndex = in.i32();
        node.data = in.i32();
        const int32_t children = in.i32();
        node.text = in.utf16Text(in.u8());
        return children;
    });
}

std::vector<TreeNode> decodeOlderNodeBlock(std::span<const uint8_t> block) {
    BlockCursor in(block);
    return readTree(in, [&](TreeNode& node) {
        const int32_t size = in.i32();
        if (size < 0 || size > kOlderMaxRecordSize) {
            throw Error(std::string(kStreamReadError));
        }
        BlockCursor record(in.take(static_cast<size_t>(size)));
        node.imageIndex = record.i32();
        node.selectedIndex = record.i32();
        node.stateIndex = record.i32();
        node.overlayIndex = record.i32();
        node.data = record.i32();
        const int32_t children = record.i32();
        node.text = record.shortText();
        return children;
    });
}

} // namespace corvane::stream
