#include "stream/block_text.h"

#include "stream/item_block.h"
#include "stream/node_block.h"
#include "stream/text_codec.h"
#include "stream/text_literals.h"

#include <optional>
#include <string>
#include <vector>

namespace corvane::stream::textform {

namespace {

enum class BlockKind { Items, Nodes, OlderItems, OlderNodes };

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && equalsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

std::optional<BlockKind> blockKind(std::string_view className, std::string_view entryName) {
    if (equalsIgnoringAsciiCase(entryName, "Items.ItemData")) {
        return BlockKind::Items;
    }
    if (equalsIgnoringAsciiCase(entryName, "Items.NodeData")) {
        return BlockKind::Nodes;
    }
    if (equalsIgnoringAsciiCase(entryName, "Items.Data")) {
        // The older name is generic: only the list and tree views are known to store rows or nodes in it.
        if (endsWithIgnoringCase(className, "TreeView")) {
            return BlockKind::OlderNodes;
        }
        if (endsWithIgnoringCase(className, "ListView")) {
            return BlockKind::OlderItems;
        }
    }
    return std::nullopt;
}

// Writes the lines of one description.
class LineWriter {
public:
    LineWriter(std::string_view prefix, const TextOut& write) : prefix_(prefix), write_(write) {}

    LineWriter& operator<<(std::string_view text) {
        if (atLineStart_) {
            write_(prefix_);
            atLineStart_ = false;
        }
        write_(text);
        return *this;
    }
    void endLine() {
        write_("\n");
        atLineStart_ = true;
    }

    // " (name value" or ", name value" for a field that differs from what the program's rows and
    // nodes hold; closeFields ends the list of those written.
    void field(std::string_view name, int64_t value, int64_t usual) {
        if (value != usual) {
            *this << (fieldsWritten_ ? ", " : "  (") << name << " " << std::to_string(value);
            fieldsWritten_ = true;
        }
    }
    void closeFields() {
        if (fieldsWritten_) {
            *this << ")";
        }
        fieldsWritten_ = false;
    }

private:
    std::string_view prefix_;
    const TextOut& write_;
    bool atLineStart_ = true;
    bool fieldsWritten_ = false;
};

std::string plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void describeRows(const std::vector<ListRow>& rows, const char* what, LineWriter& out) {
    out << what << ", " << plural(rows.size(), "row", "rows") << ":";
    out.endLine();
    for (const ListRow& row : rows) {
        out << "  " << narrowLiteral(row.caption);
        for (const ListSubItem subItem : row.subItems) {
            out << " | " << narrowLiteral(subItem.text);
        }
        out.field("image", row.imageIndex, 0);
        out.field("state", row.stateIndex, -1);
        out.field("overlay", row.overlayIndex, -1);
        out.field("data", row.data, 0);
        size_t number = 0;
        for (const ListSubItem subItem : row.subItems) {
            out.field("sub-item " + std::to_string(++number) + " image", subItem.imageIndex, -1);
        }
        out.closeFields();
        out.endLine();
    }
}

void describeNodes(const std::vector<TreeNode>& nodes, const char* what, LineWriter& out) {
    size_t topLevel = 0;
    for (const TreeNode& node : nodes) {
        topLevel += node.level == 0 ? 1 : 0;
    }
    out << what << ", " << plural(topLevel, "top-level node", "top-level nodes") << ", "
        << std::to_string(nodes.size()) << " in all:";
    out.endLine();
    for (const TreeNode& node : nodes) {
        out << std::string(2 + 2 * static_cast<size_t>(node.level), ' ');
        if (node.stateIndex == kStateChecked) {
            out << "[x] ";
        } else if (node.stateIndex == kStateUnchecked) {
            out << "[ ] ";
        } else {
            out << "[state " << std::to_string(node.stateIndex) << "] ";
        }
        out << narrowLiteral(node.text);
        out.field("image", node.imageIndex, 0);
        out.field("selected image", node.selectedIndex, 0);
        out.field("overlay", node.overlayIndex, -1);
        out.field("data", node.data, 0);
        out.closeFields();
        out.endLine();
    }
}

} // namespace

bool describeBlock(std::string_view className, std::string_view entryName, std::span<const uint8_t> bytes,
                   std::string_view linePrefix, const TextOut& write) {
    const std::optional<BlockKind> kind = blockKind(className, entryName);
    if (!kind) {
        return false;
    }
    LineWriter out(linePrefix, write);
    switch (*kind) {
    case BlockKind::Items:
        if (!bytes.empty() && bytes[0] != 1) {
            out << "item block of version " << std::to_string(bytes[0]) << ": read as no rows";
            out.endLine();
            return true;
        }
        describeRows(decodeItemBlock(bytes), "item block", out);
        return true;
    case BlockKind::Nodes:
        if (!bytes.empty() && bytes[0] != 1) {
            out << "node block of version " << std::to_string(bytes[0]) << ": read as no nodes";
            out.endLine();
            return true;
        }
        describeNodes(decodeNodeBlock(bytes), "node block", out);
        return true;
    case BlockKind::OlderItems:
        describeRows(decodeOlderItemBlock(bytes), "older list block", out);
        return true;
    case BlockKind::OlderNodes:
        describeNodes(decodeOlderNodeBlock(bytes), "older tree block", out);
        return true;
    }
    return false;
}

} // namespace corvane::stream::textform
