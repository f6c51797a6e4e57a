// Choosing the entries from declarations, and reading a window with child records, handlers and
// component references back through them.

#include "byte_helpers.h"
#include "stream_test_classes.h"

#include "stream/document.h"
#include "stream/error.h"
#include "stream/stream_reader.h"
#include "stream/stream_writer.h"
#include "stream/text_form.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using stream::ClassBuilder;
using stream::ObjectRef;

std::vector<std::string> entryNames(const Bytes& bytes) {
    std::vector<std::string> names;
    for (const stream::Entry& entry : stream::parseDocument(bytes).root.entries) {
        names.push_back(entry.name);
    }
    return names;
}

struct Base {
    int32_t a = 0, b = 0;
    std::vector<uint8_t> extra;
};
struct Derived : Base {
    int32_t c = 0;
};

TEST(EntryChoice, InheritedPropertiesComeFirstAndARedeclaredOneKeepsItsPlace) {
    ClassBuilder<Base> base("TBase");
    base.integer(
        "A", [](const Base& x) { return x.a; }, [](Base& x, int32_t v) { x.a = v; });
    base.integer(
        "B", [](const Base& x) { return x.b; }, [](Base& x, int32_t v) { x.b = v; });
    base.block(
        "Extra", [](const Base& x) { return std::optional(x.extra); },
        [](Base& x, std::span<const uint8_t> v) { x.extra.assign(v.begin(), v.end()); });
    const auto baseClass = base.build();

    ClassBuilder<Derived> derived("TDerived");
    derived.inherits<Base>(*baseClass);
    derived.integer(
        "C", [](const Derived& x) { return x.c; }, [](Derived& x, int32_t v) { x.c = v; });
    // Re-declared with a default: skipped at 0, but still before B when written.
    derived.integer(
        "a", [](const Derived& x) { return x.a * 10; }, [](Derived& x, int32_t v) { x.a = v / 10; },
        {.defaultValue = 0});
    const auto derivedClass = derived.build();

    Derived value;
    value.a = 3;
    value.b = 4;
    value.c = 5;
    value.extra = {1, 2};
    const Bytes bytes = stream::writeRootRecordToBytes(stream::makeRef(*derivedClass, &value));
    EXPECT_EQ(entryNames(bytes), (std::vector<std::string>{"a", "B", "C", "Extra"}));
    EXPECT_EQ(stream::parseDocument(bytes).root.entries[0].value.integer, 30);

    Derived back;
    stream::readRootRecordFromBytes(bytes, stream::makeRef(*derivedClass, &back));
    EXPECT_EQ(back.a, 3);
    EXPECT_EQ(back.b, 4);
    EXPECT_EQ(back.c, 5);
    EXPECT_EQ(back.extra, value.extra);
    EXPECT_TRUE(derivedClass->inheritsFrom(*baseClass));
}

TEST(EntryChoice, DefaultsStorageRulesAndReadOnlyPropertiesAreNotWritten) {
    ListView list; // everything at its default or empty
    EXPECT_EQ(entryNames(stream::writeRootRecordToBytes(refOf(&list))),
              (std::vector<std::string>{"Left", "Top", "Width", "Height", "Columns"}));

    Button button;
    button.hint = "never written: no setter";
    button.enabled = true;
    EXPECT_EQ(entryNames(stream::writeRootRecordToBytes(refOf(&button))), std::vector<std::string>{});

    ListView withColumn;
    withColumn.columns = {{.autoSize = false, .caption = "W", .width = 50}, {.autoSize = true, .width = 80}};
    const stream::Document doc = stream::parseDocument(stream::writeRootRecordToBytes(refOf(&withColumn)));
    const auto& items = doc.root.entries[4].value.items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].entries.size(), 1u);          // Width 50 is the default
    EXPECT_EQ(items[1].entries[0].name, "AutoSize"); // Width not stored while AutoSize
    EXPECT_EQ(items[1].entries.size(), 1u);
}

TEST(EntryChoice, EachRemainingKindIsEncodedByItsRule) {
    Button button;
    button.name = "B";
    button.caption = "Go";
    button.color = static_cast<int32_t>(0x80000005); // has the name clWindow
    button.accelerator = U'\u00E9';
    button.opacity = 0.5;
    button.bigNumber = int64_t{1} << 40;
    button.enabled = false;
    const Bytes bytes = stream::writeRootRecordToBytes(refOf(&button));
    const Bytes expected = cat({
        ascii("TPF0"),
        name("TButton"),
        name("B"),
        name("Caption"),
        hex("06"),
        name("Go"),
        name("Color"),
        hex("07"),
        name("clWindow"),
        name("Accelerator"),
        hex("12 01 00 00 00 E9 00"),
        name("Opacity"),
        hex("05 00 00 00 00 00 00 00 80 FE 3F"),
        name("BigNumber"),
        hex("13 00 00 00 00 00 01 00 00"),
        name("Enabled"),
        hex("08"),
        hex("00 00"),
    });
    EXPECT_EQ(bytes, expected);

    Button back;
    stream::readRootRecordFromBytes(bytes, refOf(&back));
    EXPECT_EQ(back.color, button.color);
    EXPECT_EQ(back.accelerator, button.accelerator);
    EXPECT_EQ(back.opacity, 0.5);
    EXPECT_EQ(back.bigNumber, button.bigNumber);
    EXPECT_FALSE(back.enabled);

    button.color = 12345; // no name: written as a number
    const stream::Document doc = stream::parseDocument(stream::writeRootRecordToBytes(refOf(&button)));
    EXPECT_EQ(doc.root.entries[1].value.tag, stream::ValueTag::Int16);
}

TEST(EntryChoice, ValuesThatCannotBeEncodedAreAWriteError) {
    ListView list;
    list.viewStyle = 9; // no such value
    EXPECT_THROW(stream::writeRootRecordToBytes(refOf(&list)), Error);
    list.viewStyle = 0;
    list.anchors = 1u << 7; // no fifth anchor
    EXPECT_THROW(stream::writeRootRecordToBytes(refOf(&list)), Error);

    struct Plain {};
    ClassBuilder<Plain> longName(std::string(240, 'T'));
    const auto cls = longName.build();
    Plain plain;
    try {
        stream::writeRootRecordToBytes(stream::makeRef(*cls, &plain));
        FAIL() << "a class name of 240 bytes would be read as a record prefix";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Stream write error");
    }
}

TEST(EntryChoice, SetMembersPastOrdinal31AreDroppedOnRead) {
    std::vector<std::string> names;
    for (int i = 0; i < 34; ++i) {
        names.push_back("m" + std::to_string(i));
    }
    const stream::EnumType wide("TWide", names);
    struct Holder {
        uint32_t members = 0;
    };
    ClassBuilder<Holder> b("THolder");
    b.set(
        "Members", wide, [](const Holder& h) { return h.members; },
        [](Holder& h, uint32_t v) { h.members = v; });
    const auto cls = b.build();
    const Bytes bytes = cat({ascii("TPF0"), name("THolder"), name(""), name("Members"), hex("0B"),
                             name("m33"), name("M1"), name("m31"), hex("00 00 00")});
    Holder holder;
    stream::readRootRecordFromBytes(bytes, stream::makeRef(*cls, &holder));
    EXPECT_EQ(holder.members, (1u << 1) | (1u << 31));
}

// A window as the window descriptions will be: children created through the registry, handlers named,
// references to its own components and to another window.
struct WindowFixture : ::testing::Test {
    Form otherWindow;
    ImageList* otherImages = nullptr;
    stream::ReadOptions options;

    WindowFixture() {
        otherWindow.name = "frm_utama";
        auto images = std::make_unique<ImageList>();
        images->name = "ImageList1";
        images->owner = &otherWindow;
        otherImages = images.get();
        otherWindow.owned.push_back(std::move(images));
        options.classes = &streamTestClasses().registry;
        options.findWindow = [this](std::string_view n) {
            return n == "frm_utama" ? refOf(&otherWindow) : ObjectRef{};
        };
    }
};

TEST_F(WindowFixture, ChildRecordsHandlersAndReferencesAreApplied) {
    const Bytes bytes = stream::textToStream(R"(
object frm_about: TTestForm
  Caption = 'About'
  OnShow = formshow
  object Bit_Search: TButton
    Caption = 'Start Search'
    OnClick = Bit_SearchClick
  end
  object ListView1: TListView
    SmallImages = Images2
    Columns = <
      item 7
        Caption = 'Path'
      end
    >
  end
  object Images2: TImageList
    Width = 32
  end
  object TreeView1: TTreeView
    StateImages = frm_utama.ImageList1
  end
end
)");
    Form window;
    stream::readRootRecordFromBytes(bytes, refOf(&window), options);
    EXPECT_EQ(window.name, "frm_about");
    EXPECT_EQ(window.onShow, "FormShow"); // the handler's own spelling
    ASSERT_EQ(window.children.size(), 4u);
    auto* button = dynamic_cast<Button*>(window.children[0]);
    auto* list = dynamic_cast<ListView*>(window.children[1]);
    auto* images = dynamic_cast<ImageList*>(window.children[2]);
    auto* tree = dynamic_cast<TreeView*>(window.children[3]);
    ASSERT_TRUE(button && list && images && tree);
    EXPECT_EQ(button->name, "Bit_Search");
    EXPECT_EQ(button->onClick, "Bit_SearchClick");
    EXPECT_EQ(list->columns.size(), 1u); // the item index is read and ignored
    // A local reference to a component read after it is fixed up once the record is complete, before
    // the loaded notification; one into another window only after it.
    EXPECT_EQ(list->smallImages, images);
    EXPECT_EQ(list->smallImagesWhenLoaded, images);
    EXPECT_EQ(tree->stateImages, otherImages);
    EXPECT_EQ(tree->stateImagesWhenLoaded, nullptr);
    for (Component* child : window.children) {
        EXPECT_EQ(child->owner, &window);
        EXPECT_EQ(child->loadingCalls, 1);
        EXPECT_EQ(child->loadedCalls, 1);
    }
    EXPECT_EQ(window.loadedCalls, 1);

    // Written back, the window gives the same stream (the handler spelled as declared).
    const Bytes again = stream::writeRootRecordToBytes(refOf(&window));
    Form copy;
    stream::readRootRecordFromBytes(again, refOf(&copy), options);
    EXPECT_EQ(stream::writeRootRecordToBytes(refOf(&copy)), again);
}

TEST_F(WindowFixture, UnresolvedReferencesFollowTheirRules) {
    const Bytes bytes = stream::textToStream(R"(
object W: TTestForm
  object ListView1: TListView
    SmallImages = NoSuchImages
  end
  object TreeView1: TTreeView
    StateImages = frm_utama.NoSuchList
  end
  object TreeView2: TTreeView
    StateImages = frm_nowhere.ImageList1
  end
end
)");
    Form window;
    stream::readRootRecordFromBytes(bytes, refOf(&window), options);
    ASSERT_EQ(window.children.size(), 3u);
    auto* list = dynamic_cast<ListView*>(window.children[0]);
    auto* tree = dynamic_cast<TreeView*>(window.children[1]);
    auto* tree2 = dynamic_cast<TreeView*>(window.children[2]);
    EXPECT_EQ(list->smallImages, nullptr);  // not found locally: no object
    EXPECT_EQ(tree->stateImages, nullptr);  // window there, component not: no object
    EXPECT_EQ(tree2->stateImages, nullptr); // no such window: kept as it was (none here)

    TreeView standalone;
    standalone.stateImages = otherImages;
    const Bytes alone =
        stream::textToStream("object T: TTreeView\n StateImages = frm_nowhere.ImageList1\nend\n");
    stream::readRootRecordFromBytes(alone, refOf(&standalone), options);
    EXPECT_EQ(standalone.stateImages, otherImages); // no such window: the property keeps its value
}

TEST_F(WindowFixture, AnEventIsWrittenOnlyWhenTheRootPublishesItsHandler) {
    Form window;
    window.name = "W";
    window.onShow = "FormShow";
    Button button;
    button.name = "B";
    button.owner = &window;
    button.onClick = "SomethingElse";
    window.children.push_back(&button);
    const stream::Document doc = stream::parseDocument(stream::writeRootRecordToBytes(refOf(&window)));
    ASSERT_EQ(doc.root.entries.size(), 1u);
    EXPECT_EQ(doc.root.entries[0].value.text, "FormShow");
    EXPECT_TRUE(doc.root.children[0].entries.empty());

    button.onClick = "Bit_SearchClick"; // published by the window, not by the button alone
    EXPECT_EQ(
        stream::parseDocument(stream::writeRootRecordToBytes(refOf(&window))).root.children[0].entries.size(),
        1u);
    EXPECT_TRUE(stream::parseDocument(stream::writeRootRecordToBytes(refOf(&button))).root.entries.empty());
}

} // namespace
} // namespace corvane::testing
