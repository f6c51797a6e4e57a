#pragma once

// The nodes of a tree as plain data, and the byte block a tree view stores them in ("Items.NodeData";
// the older "Items.Data" is only read). Nodes are kept flat, depth first, each with its level, as the
// block lays them out: no input, however deep, needs recursion to read, write or free.

#include "stream/block_limits.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvane::stream {

// Check states as a tree node's state index holds them.
inline constexpr int32_t kStateUnchecked = 3;
inline constexpr int32_t kStateChecked = 1;

// One node, with the values the program's nodes hold as defaults.
struct TreeNode {
    std::string text{};
    // 0 for a top-level node; a node's children follow it directly, one level deeper.
    int level = 0;
    int32_t imageIndex = 0;
    int32_t selectedIndex = 0;
    int32_t stateIndex = kStateUnchecked;
    int32_t overlayIndex = -1;
    int32_t data = 0;
    // Shows an expand button; a node without children that has one is stored with the child count -1.
    bool hasChildren = false;

    friend bool operator==(const TreeNode&, const TreeNode&) = default;
};

// The version 1 node block of `nodes` (depth first, levels as described). Fails with "Stream write
// error" for a text longer than kMaxBlockTextUnits (never cut) or levels that do not form a tree.
std::vector<uint8_t> encodeNodeBlock(std::span<const TreeNode> nodes);

// The nodes of a node block, depth first. A version other than 1 gives no nodes and no error. Fails
// with "Stream read error" when the block ends before its nodes do.
std::vector<TreeNode> decodeNodeBlock(std::span<const uint8_t> block);

// The nodes of an older tree block ("Items.Data"). Fails with "Stream read error" when a record's
// size points past the block or its fields past the record (a record holds at most 280 bytes).
std::vector<TreeNode> decodeOlderNodeBlock(std::span<const uint8_t> block);

// The first text that a block cannot hold whole, or nullptr.
const std::string* findTooLongText(std::span<const TreeNode> nodes);

} // namespace corvane::stream
