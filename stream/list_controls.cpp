#include "stream/list_controls.h"

#include "stream/class_builder.h"

#include <memory>

namespace corvane::stream {

const EnumType& alignType() {
    static const EnumType type("TAlign",
                               {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
    return type;
}

const EnumType& anchorKindType() {
    static const EnumType type("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});
    return type;
}

const EnumType& sortTypeType() {
    static const EnumType type("TSortType", {"stNone", "stData", "stText", "stBoth"});
    return type;
}

const EnumType& viewStyleType() {
    static const EnumType type("TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
    return type;
}

namespace {

constexpr int32_t kClWindow = static_cast<int32_t>(0x80000005u);

// Left, Top, Width and Height are always written; Align and Anchors when they differ from their
// defaults.
template <class T> void declarePlacement(ClassBuilder<T>& b) {
    const auto edge = [&b](const char* name, int32_t ControlPlacement::*field) {
        b.integer(
            name, [field](const T& c) { return c.placement().*field; },
            [field](T& c, int32_t v) {
                ControlPlacement p = c.placement();
                p.*field = v;
                c.setPlacement(p);
            });
    };
    edge("Left", &ControlPlacement::left);
    edge("Top", &ControlPlacement::top);
    edge("Width", &ControlPlacement::width);
    edge("Height", &ControlPlacement::height);
    b.enumeration(
        "Align", alignType(), [](const T& c) { return c.placement().align; },
        [](T& c, int v) {
            ControlPlacement p = c.placement();
            p.align = v;
            c.setPlacement(p);
        },
        {.defaultValue = alNone});
    b.set(
        "Anchors", anchorKindType(), [](const T& c) { return c.placement().anchors; },
        [](T& c, uint32_t v) {
            ControlPlacement p = c.placement();
            p.anchors = v;
            c.setPlacement(p);
        },
        {.defaultValue = kDefaultAnchors});
}

template <class T> void declareEvent(ClassBuilder<T>& b, const char* name) {
    b.event(
        name, [name](const T& c) { return c.handler(name); },
        [name](T& c, const std::string& v) { c.setHandler(name, v); });
}

template <class T> void declareNameAndLoaded(ClassBuilder<T>& b) {
    b.component({
        .name = [](const T& c) { return c.componentName(); },
        .setName = [](T& c, const std::string& v) { c.setComponentName(v); },
    });
    b.onLoaded([](T& c) { c.loaded(); });
}

template <class T> void declareTabOrder(ClassBuilder<T>& b) {
    b.integer(
        "TabOrder", [](const T& c) { return c.tabOrder(); }, [](T& c, int32_t v) { c.setTabOrder(v); });
}

// The colours a control's Color may name, by their identifiers.
const IntegerNames& colorNames() {
    constexpr auto sys = [](uint32_t index) { return static_cast<int32_t>(0x80000000u | index); };
    static const IntegerNames names({
        {0x000000, "clBlack"},
        {0x000080, "clMaroon"},
        {0x008000, "clGreen"},
        {0x008080, "clOlive"},
        {0x800000, "clNavy"},
        {0x800080, "clPurple"},
        {0x808000, "clTeal"},
        {0x808080, "clGray"},
        {0xC0C0C0, "clSilver"},
        {0x0000FF, "clRed"},
        {0x00FF00, "clLime"},
        {0x00FFFF, "clYellow"},
        {0xFF0000, "clBlue"},
        {0xFF00FF, "clFuchsia"},
        {0xFFFF00, "clAqua"},
        {0xFFFFFF, "clWhite"},
        {0x1FFFFFFF, "clNone"},
        {0x20000000, "clDefault"},
        {sys(0), "clScrollBar"},
        {sys(1), "clBackground"},
        {sys(2), "clActiveCaption"},
        {sys(3), "clInactiveCaption"},
        {sys(4), "clMenu"},
        {sys(5), "clWindow"},
        {sys(6), "clWindowFrame"},
        {sys(7), "clMenuText"},
        {sys(8), "clWindowText"},
        {sys(9), "clCaptionText"},
        {sys(10), "clActiveBorder"},
        {sys(11), "clInactiveBorder"},
        {sys(12), "clAppWorkSpace"},
        {sys(13), "clHighlight"},
        {sys(14), "clHighlightText"},
        {sys(15), "clBtnFace"},
        {sys(16), "clBtnShadow"},
        {sys(17), "clGrayText"},
        {sys(18), "clBtnText"},
        {sys(19), "clInactiveCaptionText"},
        {sys(20), "clBtnHighlight"},
        {sys(21), "cl3DDkShadow"},
        {sys(22), "cl3DLight"},
        {sys(23), "clInfoText"},
        {sys(24), "clInfoBk"},
        {sys(26), "clHotLight"},
        {sys(27), "clGradientActiveCaption"},
        {sys(28), "clGradientInactiveCaption"},
        {sys(29), "clMenuHighlight"},
        {sys(30), "clMenuBar"},
    });
    return names;
}

// The tree is greyed and disabled while a comparison adds to it, and the window sets both from the
// search state alone. A set saved during a comparison would otherwise open as a tree that no end of
// a search enables again: neither is stored, and a stream that carries them is read without applying
// them.
template <class T> void declareSearchLook(ClassBuilder<T>& b) {
    const auto never = [](const T&) { return false; };
    b.integer(
        "Color", [](const T&) { return kClWindow; }, [](T&, int32_t) {},
        {.defaultValue = kClWindow, .stored = never, .names = &colorNames()});
    b.boolean(
        "Enabled", [](const T&) { return true; }, [](T&, bool) {}, {.defaultValue = 1, .stored = never});
}

struct Classes {
    std::unique_ptr<ClassInfo> column, columns, listItems, listView, treeNodes, treeView;

    Classes() {
        {
            ClassBuilder<ListColumn> b("TListColumn");
            b.boolean(
                "AutoSize", [](const ListColumn& c) { return c.autoSize; },
                [](ListColumn& c, bool v) { c.autoSize = v; }, {.defaultValue = 0});
            b.text(
                "Caption", [](const ListColumn& c) { return c.caption; },
                [](ListColumn& c, const std::string& v) { c.caption = v; });
            // A column that sizes itself keeps no width of its own.
            b.integer(
                "Width", [](const ListColumn& c) { return c.width; },
                [](ListColumn& c, int32_t v) { c.width = v; },
                {.defaultValue = 50, .stored = [](const ListColumn& c) { return !c.autoSize; }});
            column = b.build();
        }
        {
            ClassBuilder<ListViewControl> b("TListColumns");
            b.collection({
                .count =
                    [](const ListViewControl& c) { return const_cast<ListViewControl&>(c).columns().size(); },
                .item = [this](ListViewControl& c, size_t i) { return makeRef(*column, &c.columns()[i]); },
                .clear = [](ListViewControl& c) { c.columns().clear(); },
                .add = [this](ListViewControl& c) { return makeRef(*column, &c.columns().emplace_back()); },
            });
            columns = b.build();
        }
        {
            ClassBuilder<ListViewControl> b("TListItems");
            b.block(
                "ItemData",
                [](const ListViewControl& c) -> std::optional<std::vector<uint8_t>> {
                    if (!c.hasRows()) {
                        return std::nullopt;
                    }
                    return encodeItemBlock(c.rows());
                },
                [](ListViewControl& c, std::span<const uint8_t> bytes) {
                    c.setRows(decodeItemBlock(bytes));
                });
            b.block("Data", nullptr, [](ListViewControl& c, std::span<const uint8_t> bytes) {
                c.setRows(decodeOlderItemBlock(bytes));
            });
            listItems = b.build();
        }
        {
            ClassBuilder<ListViewControl> b("TListView");
            declarePlacement(b);
            b.object("Columns", [this](ListViewControl& c) { return makeRef(*columns, &c); });
            b.object("Items", [this](ListViewControl& c) { return makeRef(*listItems, &c); });
            b.boolean(
                "ReadOnly", [](const ListViewControl& c) { return c.readOnly(); },
                [](ListViewControl& c, bool v) { c.setReadOnly(v); }, {.defaultValue = 0});
            b.enumeration(
                "SortType", sortTypeType(), [](const ListViewControl& c) { return c.sortType(); },
                [](ListViewControl& c, int v) { c.setSortType(v); }, {.defaultValue = stNone});
            declareTabOrder(b);
            b.enumeration(
                "ViewStyle", viewStyleType(), [](const ListViewControl& c) { return c.viewStyle(); },
                [](ListViewControl& c, int v) { c.setViewStyle(v); }, {.defaultValue = vsIcon});
            declareEvent(b, "OnClick");
            declareEvent(b, "OnCompare");
            declareNameAndLoaded(b);
            listView = b.build();
        }
        {
            ClassBuilder<TreeViewControl> b("TTreeNodes");
            b.block(
                "NodeData",
                [](const TreeViewControl& c) -> std::optional<std::vector<uint8_t>> {
                    if (!c.hasNodes()) {
                        return std::nullopt;
                    }
                    return encodeNodeBlock(c.nodes());
                },
                [](TreeViewControl& c, std::span<const uint8_t> bytes) {
                    c.setNodes(decodeNodeBlock(bytes));
                });
            b.block("Data", nullptr, [](TreeViewControl& c, std::span<const uint8_t> bytes) {
                c.setNodes(decodeOlderNodeBlock(bytes));
            });
            treeNodes = b.build();
        }
        {
            ClassBuilder<TreeViewControl> b("TTreeView");
            declarePlacement(b);
            declareSearchLook(b);
            b.integer(
                "Indent", [](const TreeViewControl& c) { return c.indent(); },
                [](TreeViewControl& c, int32_t v) { c.setIndent(v); });
            b.boolean(
                "ReadOnly", [](const TreeViewControl& c) { return c.readOnly(); },
                [](TreeViewControl& c, bool v) { c.setReadOnly(v); }, {.defaultValue = 0});
            b.enumeration(
                "SortType", sortTypeType(), [](const TreeViewControl& c) { return c.sortType(); },
                [](TreeViewControl& c, int v) { c.setSortType(v); }, {.defaultValue = stNone});
            b.object(
                "StateImages", [](TreeViewControl& c) { return c.stateImages(); },
                [](TreeViewControl& c, ObjectRef v) { c.setStateImages(v); });
            declareTabOrder(b);
            b.object("Items", [this](TreeViewControl& c) { return makeRef(*treeNodes, &c); });
            declareEvent(b, "OnClick");
            declareEvent(b, "OnCollapsing");
            declareEvent(b, "OnKeyDown");
            declareNameAndLoaded(b);
            treeView = b.build();
        }
    }
};

const Classes& classes() {
    static const Classes instance;
    return instance;
}

} // namespace

const ClassInfo& listViewClass() {
    return *classes().listView;
}

const ClassInfo& treeViewClass() {
    return *classes().treeView;
}

} // namespace corvane::stream
