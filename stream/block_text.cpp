#include "stream/block_text.h"

#include "stream/item_block.h"
#include "stream/node_block.h"
#include "stream/text_codec.h"
#include "stream/text_literals.h"

namespace corvane::stream::textform {

namespace {

enum class BlockKind { Items, Nodes, OlderItems, OlderNodes };

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && equalsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

std::optional<BlockKind> blockKind(const Record& record, const Entry& entry) {
    if (entry.value.tag != ValueTag::Bytes) {
        return std::nullopt;
    }
    if (equalsIgnoringAsciiCase(entry.name, "Items.ItemData")) {
        return BlockKind::Items;
    }
    if (equalsIgnoringAsciiCase(entry.name, "Items.NodeData")) {
        return BlockKind::Nodes;
    }
    if (equalsIgnoringAsciiCase(entry.name, "Items.Data")) {
        // The older name is generic: only the list and tree views are known to store rows or nodes in it.
        if (endsWithIgnoringCase(record.className, "TreeView")) {
            return BlockKind::OlderNodes;
        }
        if (endsWithIgnoringCase(record.className, "ListView")) {
            return BlockKind::OlderItems;
        }
    }
    return std::nullopt;
}

// ", name value" for each field that differs from what the program's rows and nodes hold.
void addField(std::string& out, const char* name, int64_t value, int64_t usual) {
    if (value != usual) {
        out += out.empty() ? "  (" : ", ";
        out += name;
        out += ' ';
        out += std::to_string(value);
    }
}

std::string closeFields(std::string fields) {
    return fields.empty() ? fields : fields + ")";
}

std::string plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::vector<std::string> describeRows(const std::vector<ListRow>& rows, const char* what) {
    std::vector<std::string> lines;
    lines.push_back(std::string(what) + ", " + plural(rows.size(), "row", "rows") + ":");
    for (const ListRow& row : rows) {
        std::string line = "  " + narrowLiteral(row.caption);
        std::string fields;
        for (const ListSubItem subItem : row.subItems) {
            line += " | " + narrowLiteral(subItem.text);
        }
        addField(fields, "image", row.imageIndex, 0);
        addField(fields, "state", row.stateIndex, -1);
        addField(fields, "overlay", row.overlayIndex, -1);
        addField(fields, "data", row.data, 0);
        size_t number = 0;
        for (const ListSubItem subItem : row.subItems) {
            const std::string name = "sub-item " + std::to_string(++number) + " image";
            addField(fields, name.c_str(), subItem.imageIndex, -1);
        }
        lines.push_back(line + closeFields(fields));
    }
    return lines;
}

std::vector<std::string> describeNodes(const std::vector<TreeNode>& nodes, const char* what) {
    size_t topLevel = 0;
    for (const TreeNode& node : nodes) {
        topLevel += node.level == 0 ? 1 : 0;
    }
    std::vector<std::string> lines;
    lines.push_back(std::string(what) + ", " + plural(topLevel, "top-level node", "top-level nodes") + ", " +
                    std::to_string(nodes.size()) + " in all:");
    for (const TreeNode& node : nodes) {
        std::string line(2 + 2 * static_cast<size_t>(node.level), ' ');
        if (node.stateIndex == kStateChecked) {
            line += "[x] ";
        } else if (node.stateIndex == kStateUnchecked) {
            line += "[ ] ";
        } else {
            line += "[state " + std::to_string(node.stateIndex) + "] ";
        }
        line += narrowLiteral(node.text);
        std::string fields;
        addField(fields, "image", node.imageIndex, 0);
        addField(fields, "selected image", node.selectedIndex, 0);
        addField(fields, "overlay", node.overlayIndex, -1);
        addField(fields, "data", node.data, 0);
        lines.push_back(line + closeFields(fields));
    }
    return lines;
}

} // namespace

std::optional<std::vector<std::string>> describeBlock(const Record& record, const Entry& entry) {
    const std::optional<BlockKind> kind = blockKind(record, entry);
    if (!kind) {
        return std::nullopt;
    }
    const std::vector<uint8_t>& bytes = entry.value.bytes;
    switch (*kind) {
    case BlockKind::Items:
        if (!bytes.empty() && bytes[0] != 1) {
            return std::vector<std::string>{"item block of version " + std::to_string(bytes[0]) +
                                            ": read as no rows"};
        }
        return describeRows(decodeItemBlock(bytes), "item block");
    case BlockKind::Nodes:
        if (!bytes.empty() && bytes[0] != 1) {
            return std::vector<std::string>{"node block of version " + std::to_string(bytes[0]) +
                                            ": read as no nodes"};
        }
        return describeNodes(decodeNodeBlock(bytes), "node block");
    case BlockKind::OlderItems:
        return describeRows(decodeOlderItemBlock(bytes), "older list block");
    case BlockKind::OlderNodes:
        return describeNodes(decodeOlderNodeBlock(bytes), "older tree block");
    }
    return std::nullopt;
}

} // namespace corvane::stream::textform
