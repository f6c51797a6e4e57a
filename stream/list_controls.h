#pragma once

// The list view and tree view classes of the result files, declared once over an interface: the
// window's live lists and plain data (the command line) implement it, so both write the same bytes
// and read the same files.

#include "stream/declaration.h"
#include "stream/item_block.h"
#include "stream/node_block.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::stream {

// Enumeration and set types the control classes use.
const EnumType& alignType();      // alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom
const EnumType& anchorKindType(); // akLeft, akTop, akRight, akBottom
const EnumType& sortTypeType();   // stNone, stData, stText, stBoth
const EnumType& viewStyleType();  // vsIcon, vsSmallIcon, vsList, vsReport

enum Align : int { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum AnchorKind : uint32_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr uint32_t kDefaultAnchors = akLeft | akTop;
enum SortType : int { stNone, stData, stText, stBoth };
enum ViewStyle : int { vsIcon, vsSmallIcon, vsList, vsReport };

// Where a control sits in its parent, and how it follows the parent's size.
struct ControlPlacement {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int align = alNone;
    uint32_t anchors = kDefaultAnchors;
};

struct ListColumn {
    bool autoSize = false;
    std::string caption{};
    int32_t width = 50;
};

// What the stream reads and writes of a control with a name, a place and handlers.
class StreamedControl {
public:
    virtual ~StreamedControl() = default;
    virtual std::string componentName() const = 0;
    virtual void setComponentName(const std::string& name) = 0;
    virtual ControlPlacement placement() const = 0;
    virtual void setPlacement(const ControlPlacement& placement) = 0;
    virtual int32_t tabOrder() const = 0;
    virtual void setTabOrder(int32_t order) = 0;
    // The name of the window's handler bound to an event ("OnClick"...), "" for none.
    virtual std::string handler(std::string_view event) const = 0;
    virtual void setHandler(std::string_view event, const std::string& name) = 0;
    // The whole record has been read.
    virtual void loaded() {}
};

class ListViewControl : public virtual StreamedControl {
public:
    virtual std::vector<ListColumn>& columns() = 0;
    virtual std::vector<ListRow> rows() const = 0;
    virtual bool hasRows() const = 0;
    virtual void setRows(std::vector<ListRow> rows) = 0;
    virtual bool readOnly() const = 0;
    virtual void setReadOnly(bool readOnly) = 0;
    virtual int sortType() const = 0;
    virtual void setSortType(int sortType) = 0;
    virtual int viewStyle() const = 0;
    virtual void setViewStyle(int viewStyle) = 0;
};

class TreeViewControl : public virtual StreamedControl {
public:
    virtual int32_t indent() const = 0;
    virtual void setIndent(int32_t indent) = 0;
    virtual bool readOnly() const = 0;
    virtual void setReadOnly(bool readOnly) = 0;
    virtual int sortType() const = 0;
    // Assigning stText orders the nodes by their text.
    virtual void setSortType(int sortType) = 0;
    // The image list of the check-state pictures, a component of a window.
    virtual ObjectRef stateImages() const = 0;
    virtual void setStateImages(ObjectRef images) = 0;
    virtual std::vector<TreeNode> nodes() const = 0;
    virtual bool hasNodes() const = 0;
    virtual void setNodes(std::vector<TreeNode> nodes) = 0;
};

// The declarations, built once. Neither can create child records; a registry that creates these
// controls from window descriptions inherits them and adds its factory.
const ClassInfo& listViewClass(); // TListView over ListViewControl
const ClassInfo& treeViewClass(); // TTreeView over TreeViewControl

} // namespace corvane::stream
