#include "stream_test_classes.h"

#include "stream/text_codec.h"

namespace corvane::testing {

using stream::ClassBuilder;
using stream::ClassInfo;
using stream::EnumType;
using stream::ObjectRef;

namespace {

const EnumType kAlign("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
const EnumType kAnchors("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});
const EnumType kSortType("TSortType", {"stNone", "stData", "stText", "stBoth"});
const EnumType kViewStyle("TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
const stream::IntegerNames kColors({{0x7FFFFFFF, "clDefault"},
                                    {static_cast<int32_t>(0x80000005), "clWindow"}});

// A sub-object that shares its instance with the control: the control's rows or nodes.
template <class T> ObjectRef sameInstance(const ClassInfo& cls, T& control) {
    return stream::makeRef(cls, &control);
}

ObjectRef componentRef(Component* component) {
    return component ? refOf(component) : ObjectRef{};
}

Component* componentOf(ObjectRef ref) {
    return ref ? static_cast<Component*>(ref.instance) : nullptr;
}

struct Classes {
    std::unique_ptr<ClassInfo> column, columns, listItems, listView, treeNodes, treeView, imageList, button,
        form;
    stream::ClassRegistry registry;

    Classes() {
        {
            ClassBuilder<Column> b("TListColumn");
            b.boolean(
                "AutoSize", [](const Column& c) { return c.autoSize; },
                [](Column& c, bool v) { c.autoSize = v; }, {.defaultValue = 0});
            b.text(
                "Caption", [](const Column& c) { return c.caption; },
                [](Column& c, const std::string& v) { c.caption = v; });
            b.integer(
                "Width", [](const Column& c) { return c.width; }, [](Column& c, int32_t v) { c.width = v; },
                {.defaultValue = 50, .stored = [](const Column& c) { return !c.autoSize; }});
            column = b.build();
        }
        {
            ClassBuilder<std::vector<Column>> b("TListColumns");
            b.collection({
                .count = [](const std::vector<Column>& c) { return c.size(); },
                .item = [this](std::vector<Column>& c, size_t i) { return stream::makeRef(*column, &c[i]); },
                .clear = [](std::vector<Column>& c) { c.clear(); },
                .add = [this](std::vector<Column>& c) { return stream::makeRef(*column, &c.emplace_back()); },
            });
            columns = b.build();
        }
        {
            ClassBuilder<ListView> b("TListItems");
            b.block(
                "ItemData",
                [](const ListView& l) -> std::optional<std::vector<uint8_t>> {
                    if (l.rows.empty()) {
                        return std::nullopt;
                    }
                    return stream::encodeItemBlock(l.rows);
                },
                [](ListView& l, std::span<const uint8_t> bytes) { l.rows = stream::decodeItemBlock(bytes); });
            b.block("Data", nullptr, [](ListView& l, std::span<const uint8_t> bytes) {
                l.rows = stream::decodeOlderItemBlock(bytes);
            });
            listItems = b.build();
        }
        {
            ClassBuilder<ImageList> b("TImageList");
            addComponent(b);
            b.integer(
                "Width", [](const ImageList& i) { return i.width; },
                [](ImageList& i, int32_t v) { i.width = v; }, {.defaultValue = 16});
            imageList = b.build();
        }
        {
            ClassBuilder<ListView> b("TListView");
            addComponent(b);
            addBounds(b);
            b.enumeration(
                "Align", kAlign, [](const ListView& l) { return l.align; },
                [](ListView& l, int v) { l.align = v; }, {.defaultValue = 0});
            b.set(
                "Anchors", kAnchors, [](const ListView& l) { return l.anchors; },
                [](ListView& l, uint32_t v) { l.anchors = v; }, {.defaultValue = akLeft | akTop});
            b.object("Columns", [this](ListView& l) { return stream::makeRef(*columns, &l.columns); });
            b.object("Items", [this](ListView& l) { return sameInstance(*listItems, l); });
            b.boolean(
                "ReadOnly", [](const ListView& l) { return l.readOnly; },
                [](ListView& l, bool v) { l.readOnly = v; }, {.defaultValue = 0});
            b.object(
                "SmallImages", [](ListView& l) { return componentRef(l.smallImages); },
                [](ListView& l, ObjectRef v) { l.smallImages = componentOf(v); });
            b.enumeration(
                "SortType", kSortType, [](const ListView& l) { return l.sortType; },
                [](ListView& l, int v) { l.sortType = v; }, {.defaultValue = 0});
            b.integer(
                "TabOrder", [](const ListView& l) { return l.tabOrder; },
                [](ListView& l, int32_t v) { l.tabOrder = v; }, {.defaultValue = -1});
            b.enumeration(
                "ViewStyle", kViewStyle, [](const ListView& l) { return l.viewStyle; },
                [](ListView& l, int v) { l.viewStyle = v; }, {.defaultValue = 0});
            b.onLoaded([](ListView& l) {
                ++l.loadedCalls;
                l.smallImagesWhenLoaded = l.smallImages;
            });
            listView = b.build();
        }
        {
            ClassBuilder<TreeView> b("TTreeNodes");
            b.block(
                "NodeData",
                [](const TreeView& t) -> std::optional<std::vector<uint8_t>> {
                    if (t.nodes.empty()) {
                        return std::nullopt;
                    }
                    return stream::encodeNodeBlock(t.nodes);
                },
                [](TreeView& t, std::span<const uint8_t> bytes) {
                    t.nodes = stream::decodeNodeBlock(bytes);
                });
            b.block("Data", nullptr, [](TreeView& t, std::span<const uint8_t> bytes) {
                t.nodes = stream::decodeOlderNodeBlock(bytes);
            });
            treeNodes = b.build();
        }
        {
            ClassBuilder<TreeView> b("TTreeView");
            addComponent(b);
            addBounds(b);
            b.set(
                "Anchors", kAnchors, [](const TreeView& t) { return t.anchors; },
                [](TreeView& t, uint32_t v) { t.anchors = v; }, {.defaultValue = akLeft | akTop});
            b.integer(
                "Indent", [](const TreeView& t) { return t.indent; },
                [](TreeView& t, int32_t v) { t.indent = v; });
            b.boolean(
                "ReadOnly", [](const TreeView& t) { return t.readOnly; },
                [](TreeView& t, bool v) { t.readOnly = v; }, {.defaultValue = 0});
            b.enumeration(
                "SortType", kSortType, [](const TreeView& t) { return t.sortType; },
                [](TreeView& t, int v) { t.sortType = v; }, {.defaultValue = 0});
            b.object(
                "StateImages", [](TreeView& t) { return componentRef(t.stateImages); },
                [](TreeView& t, ObjectRef v) { t.stateImages = componentOf(v); });
            b.integer(
                "TabOrder", [](const TreeView& t) { return t.tabOrder; },
                [](TreeView& t, int32_t v) { t.tabOrder = v; }, {.defaultValue = -1});
            b.object("Items", [this](TreeView& t) { return sameInstance(*treeNodes, t); });
            b.onLoaded([](TreeView& t) {
                ++t.loadedCalls;
                t.stateImagesWhenLoaded = t.stateImages;
            });
            treeView = b.build();
        }
        {
            ClassBuilder<Button> b("TButton");
            addComponent(b);
            b.text(
                "Caption", [](const Button& x) { return x.caption; },
                [](Button& x, const std::string& v) { x.caption = v; });
            b.integer(
                "Color", [](const Button& x) { return x.color; }, [](Button& x, int32_t v) { x.color = v; },
                {.defaultValue = 0x7FFFFFFF, .names = &kColors});
            b.character(
                "Accelerator", [](const Button& x) { return x.accelerator; },
                [](Button& x, char32_t v) { x.accelerator = v; }, {.defaultValue = 0});
            b.floating(
                "Opacity", [](const Button& x) { return x.opacity; },
                [](Button& x, double v) { x.opacity = v; });
            b.int64(
                "BigNumber", [](const Button& x) { return x.bigNumber; },
                [](Button& x, int64_t v) { x.bigNumber = v; });
            b.boolean(
                "Enabled", [](const Button& x) { return x.enabled; },
                [](Button& x, bool v) { x.enabled = v; }, {.defaultValue = 1});
            b.text(
                "Hint", [](const Button& x) { return x.hint; }, nullptr);
            b.event(
                "OnClick", [](const Button& x) { return x.onClick; },
                [](Button& x, const std::string& v) { x.onClick = v; });
            button = b.build();
        }
        {
            ClassBuilder<Form> b("TTestForm");
            addComponent(b);
            b.component({
                .findComponent = [](Form& f, std::string_view n) { return componentRef(f.find(n)); },
                .children =
                    [](Form& f) {
                        std::vector<ObjectRef> out;
                        for (Component* c : f.children) {
                            out.push_back(refOf(c));
                        }
                        return out;
                    },
            });
            b.text(
                "Caption", [](const Form& f) { return f.caption; },
                [](Form& f, const std::string& v) { f.caption = v; });
            b.event(
                "OnShow", [](const Form& f) { return f.onShow; },
                [](Form& f, const std::string& v) { f.onShow = v; });
            b.method("FormShow").method("Bit_SearchClick");
            form = b.build();
        }
        registry.add(*button);
        registry.add(*imageList);
        registry.add(*listView);
        registry.add(*treeView);
    }

    // The hooks every test component shares: a name, an owner, creation into the root form.
    template <class T> void addComponent(ClassBuilder<T>& b) {
        b.component({
            .name = [](const T& c) { return c.name; },
            .setName = [](T& c, const std::string& v) { c.name = v; },
            .owner = [](const T& c) { return componentRef(c.owner); },
            .create =
                [](ObjectRef owner, ObjectRef parent) {
                    auto* ownerForm = static_cast<Form*>(componentOf(owner));
                    auto created = std::make_unique<T>();
                    T* raw = created.get();
                    raw->owner = ownerForm;
                    ownerForm->owned.push_back(std::move(created));
                    if (componentOf(parent) == ownerForm) {
                        ownerForm->children.push_back(raw);
                    }
                    return refOf(raw);
                },
        });
        b.onLoading([](T& c) { ++c.loadingCalls; });
        b.onLoaded([](T& c) { ++c.loadedCalls; });
    }

    template <class T> void addBounds(ClassBuilder<T>& b) {
        b.integer(
            "Left", [](const T& c) { return c.left; }, [](T& c, int32_t v) { c.left = v; });
        b.integer(
            "Top", [](const T& c) { return c.top; }, [](T& c, int32_t v) { c.top = v; });
        b.integer(
            "Width", [](const T& c) { return c.width; }, [](T& c, int32_t v) { c.width = v; });
        b.integer(
            "Height", [](const T& c) { return c.height; }, [](T& c, int32_t v) { c.height = v; });
    }
};

const Classes& classes() {
    static const Classes instance;
    return instance;
}

} // namespace

Component* Form::find(std::string_view wanted) const {
    for (const auto& component : owned) {
        if (stream::equalsIgnoringAsciiCase(component->name, wanted)) {
            return component.get();
        }
    }
    return nullptr;
}

const StreamTestClasses& streamTestClasses() {
    static const StreamTestClasses view{*classes().listView,  *classes().treeView, *classes().button,
                                        *classes().imageList, *classes().form,     classes().registry};
    return view;
}

ObjectRef refOf(Component* component) {
    const Classes& c = classes();
    if (auto* x = dynamic_cast<ListView*>(component)) {
        return stream::makeRef(*c.listView, x);
    }
    if (auto* x = dynamic_cast<TreeView*>(component)) {
        return stream::makeRef(*c.treeView, x);
    }
    if (auto* x = dynamic_cast<Button*>(component)) {
        return stream::makeRef(*c.button, x);
    }
    if (auto* x = dynamic_cast<ImageList*>(component)) {
        return stream::makeRef(*c.imageList, x);
    }
    if (auto* x = dynamic_cast<Form*>(component)) {
        return stream::makeRef(*c.form, x);
    }
    return ObjectRef{};
}

ListView designListView1() {
    ListView list;
    list.name = "ListView1";
    list.left = 8;
    list.top = 40;
    list.width = 393;
    list.height = 81;
    list.anchors = akLeft | akTop | akRight;
    list.columns = {{.autoSize = true, .caption = "Path"}, {.autoSize = true, .caption = "File Type"}};
    list.rows = {{.caption = "C:\\Data", .subItems = {{.text = "*.jpg"}}}};
    list.readOnly = true;
    list.tabOrder = 1;
    list.viewStyle = 3; // vsReport
    return list;
}

} // namespace corvane::testing
