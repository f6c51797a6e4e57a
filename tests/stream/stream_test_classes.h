#pragma once

// Declarations over plain data for the stream tests: a list view and a tree view laid out as the
// result files store them, and a small window with child components, handlers and references.

#include "stream/class_builder.h"
#include "stream/item_block.h"
#include "stream/node_block.h"

#include <memory>
#include <string>
#include <vector>

namespace corvane::testing {

enum Anchor : uint32_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

struct Column {
    bool autoSize = false;
    std::string caption{};
    int32_t width = 50;
};

struct Component {
    virtual ~Component() = default;
    std::string name;
    Component* owner = nullptr;
    int loadedCalls = 0;
    int loadingCalls = 0;
};

struct ImageList : Component {
    int32_t width = 16;
};

struct ListView : Component {
    int32_t left = 0, top = 0, width = 0, height = 0;
    int align = 0; // alNone
    uint32_t anchors = akLeft | akTop;
    std::vector<Column> columns;
    std::vector<stream::ListRow> rows;
    bool readOnly = false;
    int sortType = 0; // stNone
    int32_t tabOrder = -1;
    int viewStyle = 0; // vsIcon
    Component* smallImages = nullptr;
    Component* smallImagesWhenLoaded = nullptr; // what the loaded notification saw
};

struct TreeView : Component {
    int32_t left = 0, top = 0, width = 0, height = 0;
    uint32_t anchors = akLeft | akTop;
    int32_t indent = 19;
    bool readOnly = false;
    int sortType = 0;
    Component* stateImages = nullptr;
    int32_t tabOrder = -1;
    std::vector<stream::TreeNode> nodes;
    Component* stateImagesWhenLoaded = nullptr; // what the loaded notification saw
};

// A button with one of each remaining value kind, for the kinds the result files do not use.
struct Button : Component {
    std::string caption{};
    std::string onClick;
    int32_t color = 0x7FFFFFFF; // clDefault
    char32_t accelerator = U'\0';
    double opacity = 0;
    int64_t bigNumber = 0;
    bool enabled = true;
    std::string hint; // read-only in the declaration
};

// A window: owns every component read into it, whatever its parent.
struct Form : Component {
    std::string caption{};
    std::string onShow;
    std::vector<std::unique_ptr<Component>> owned;
    std::vector<Component*> children; // records written as children, in order
    Component* find(std::string_view name) const;
};

// The declared classes and the enumeration types they use; one shared set for all tests.
struct StreamTestClasses {
    const stream::ClassInfo& listView;
    const stream::ClassInfo& treeView;
    const stream::ClassInfo& button;
    const stream::ClassInfo& imageList;
    const stream::ClassInfo& form;
    const stream::ClassRegistry& registry; // TButton, TImageList, TListView, TTreeView
};
const StreamTestClasses& streamTestClasses();

// The component as an ObjectRef with its most derived declared class.
stream::ObjectRef refOf(Component* component);

// A list laid out as searchPathList_ at its design bounds, with the one row of the example in
// stream/FORMAT.md.
ListView designListView1();

} // namespace corvane::testing
