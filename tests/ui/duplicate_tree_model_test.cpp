#include "ui/views/duplicate_tree_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>

namespace corvane::ui {
namespace {

const qtcore::LocaleTexts kEnglish{QLocale(QLocale::English, QLocale::UnitedStates)};

std::string textOf(const QModelIndex& index) {
    return index.data(DuplicateTreeModel::PathBytesRole).toByteArray().toStdString();
}

int stateOf(const QModelIndex& index) {
    return index.data(DuplicateTreeModel::StateIndexRole).toInt();
}

// "top: child child | top: child" in model order.
std::string outline(const DuplicateTreeModel& model) {
    std::string result;
    for (int top = 0; top < model.rowCount(); ++top) {
        const QModelIndex group = model.index(top, 0);
        result += (top ? " | " : "") + textOf(group) + ":";
        for (int child = 0; child < model.rowCount(group); ++child) {
            result += " " + textOf(model.index(child, 0, group));
        }
    }
    return result;
}

class DuplicateTree : public ::testing::Test {
protected:
    DuplicateTreeModel model{kEnglish};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(DuplicateTree, GroupBecomesATopLevelNodeWithAChildPerDuplicateAllUnchecked) {
    platform::FileInfo original;
    original.size = 42;
    original.modificationTimeNs = 7;
    std::vector<platform::FileInfo> copies(2, original);
    copies[1].modificationTimeNs = 8;
    const QModelIndex group = model.appendGroup("/d/a", {"/d/b", "/d/c"}, original, copies);
    model.appendGroup("/e/x", {"/e/y"});
    EXPECT_EQ(outline(model), "/d/a: /d/b /d/c | /e/x: /e/y");
    EXPECT_EQ(model.nodeCount(), 5);
    EXPECT_TRUE(DuplicateTreeModel::isTopLevel(group));
    EXPECT_FALSE(DuplicateTreeModel::isTopLevel(model.index(0, 0, group)));
    for (const QModelIndex& index : {group, model.index(0, 0, group), model.index(1, 0, group)}) {
        EXPECT_EQ(stateOf(index), kStateUnchecked);
    }
    ASSERT_TRUE(model.node(group)->fileInfo.has_value());
    EXPECT_EQ(model.node(group)->fileInfo->size, 42);
    EXPECT_EQ(model.node(model.index(1, 0, group))->fileInfo->modificationTimeNs, 8);
    EXPECT_FALSE(model.node(model.index(1, 0))->fileInfo.has_value()) << "a group given no infos keeps none";
}

TEST_F(DuplicateTree, PathThatIsNotUtf8IsShownEscapedButKeptAsItsBytes) {
    const std::string path = "/d/caf\xe9";
    const QModelIndex group = model.appendGroup(path, {"/d/\xff\xfe"});
    EXPECT_EQ(group.data().toString(), "/d/caf\\xE9");
    EXPECT_EQ(model.index(0, 0, group).data().toString(), "/d/\\xFF\\xFE");
    EXPECT_EQ(textOf(group), path);
    EXPECT_EQ(model.node(model.index(0, 0, group))->text, "/d/\xff\xfe");
    EXPECT_FALSE(model.flags(group).testFlag(Qt::ItemIsEditable));
}

TEST_F(DuplicateTree, ToggleChecksAndUnchecks) {
    const QModelIndex group = model.appendGroup("/a", {"/b"});
    const QModelIndex child = model.index(0, 0, group);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.ToggleCheckState(child, 3, 1, 0, 2);
    EXPECT_EQ(stateOf(child), kStateChecked);
    EXPECT_EQ(stateOf(group), kStateUnchecked);
    EXPECT_EQ(changed.size(), 1);
    model.ToggleCheckState(child, 3, 1, 0, 2);
    EXPECT_EQ(stateOf(child), kStateUnchecked);
    model.ToggleCheckState(QModelIndex(), 3, 1, 0, 2); // no node: nothing
}

TEST_F(DuplicateTree, RadioOnAndNodesWithoutAStateImageStayAsTheyAre) {
    const QModelIndex group = model.appendGroup("/a", {"/b", "/c"});
    model.setStateIndex(model.index(0, 0, group), kStateRadioOn);
    model.setStateIndex(model.index(1, 0, group), -1);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.ToggleCheckState(model.index(0, 0, group), 3, 1, 0, 2);
    model.ToggleCheckState(model.index(1, 0, group), 3, 1, 0, 2);
    EXPECT_EQ(stateOf(model.index(0, 0, group)), kStateRadioOn);
    EXPECT_EQ(stateOf(model.index(1, 0, group)), -1);
    EXPECT_EQ(changed.size(), 0);
}

TEST_F(DuplicateTree, RadioOffTurnsOnAndItsRadioSiblingsOff) {
    const QModelIndex group = model.appendGroup("/g", {"/1", "/2", "/3", "/4", "/5"});
    const QModelIndex other = model.appendGroup("/h", {"/6"});
    const int32_t states[] = {kStateRadioOn, kStateRadioOff, kStateChecked, kStateRadioOff, kStateUnchecked};
    for (int i = 0; i < 5; ++i) {
        model.setStateIndex(model.index(i, 0, group), states[i]);
    }
    model.setStateIndex(model.index(0, 0, other), kStateRadioOn);
    model.ToggleCheckState(model.index(3, 0, group), 3, 1, 0, 2);
    const int32_t expected[] = {kStateRadioOff, kStateRadioOff, kStateChecked, kStateRadioOn,
                                kStateUnchecked};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(stateOf(model.index(i, 0, group)), expected[i]) << "child " << i;
    }
    EXPECT_EQ(stateOf(model.index(0, 0, other)), kStateRadioOn) << "a child of another group is no sibling";
    EXPECT_EQ(stateOf(group), kStateUnchecked) << "the parent is no sibling";
}

TEST_F(DuplicateTree, TopLevelRadioNodesHaveAllTopLevelNodesAsSiblings) {
    for (const char* path : {"/a", "/b", "/c"}) {
        model.appendGroup(path, {std::string(path) + "2"});
    }
    model.setStateIndex(model.index(0, 0), kStateRadioOn);
    model.setStateIndex(model.index(1, 0), kStateChecked);
    model.setStateIndex(model.index(2, 0), kStateRadioOff);
    model.setStateIndex(model.index(0, 0, model.index(0, 0)), kStateRadioOn);
    model.ToggleCheckState(model.index(2, 0), 3, 1, 0, 2);
    EXPECT_EQ(stateOf(model.index(0, 0)), kStateRadioOff);
    EXPECT_EQ(stateOf(model.index(1, 0)), kStateChecked);
    EXPECT_EQ(stateOf(model.index(2, 0)), kStateRadioOn);
    EXPECT_EQ(stateOf(model.index(0, 0, model.index(0, 0))), kStateRadioOn);
}

TEST_F(DuplicateTree, RemovingATopLevelNodeTakesItsChildren) {
    model.appendGroup("/a", {"/a1", "/a2"});
    model.appendGroup("/b", {"/b1"});
    model.appendGroup("/c", {"/c1"});
    EXPECT_TRUE(model.removeNode(model.index(1, 0, model.index(0, 0))));
    EXPECT_EQ(model.nodeCount(), 6);
    EXPECT_TRUE(model.removeNode(model.index(0, 0)));
    EXPECT_EQ(outline(model), "/b: /b1 | /c: /c1");
    EXPECT_EQ(model.nodeCount(), 4);
    EXPECT_EQ(model.parent(model.index(0, 0, model.index(1, 0))), model.index(1, 0));
    EXPECT_FALSE(model.removeNode(QModelIndex()));
    model.clear();
    EXPECT_EQ(model.nodeCount(), 0);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(DuplicateTree, TextOrderSortsBothLevelsLinguisticallyAndKeepsEqualTextsInOrder) {
    model.appendGroup("/data/C", {"/data/c/Z", "/data/c/b", "/data/c/a"});
    model.appendGroup("/data/b", {"/x/same", "/x/B", "/x/same"});
    model.appendGroup("/data/B", {"/y"});
    model.setStateIndex(model.index(0, 0, model.index(1, 0)), kStateChecked);
    const QPersistentModelIndex followed(model.index(0, 0)); // "/data/C"
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setSortType(stream::stText);
    EXPECT_EQ(outline(model),
              "/data/b: /x/B /x/same /x/same | /data/B: /y | /data/C: /data/c/a /data/c/b /data/c/Z");
    EXPECT_EQ(stateOf(model.index(1, 0, model.index(0, 0))), kStateChecked) << "equal texts keep their order";
    EXPECT_EQ(followed.row(), 2);
    EXPECT_EQ(reset.size(), 0);
}

TEST_F(DuplicateTree, NodesAddedUnderTextOrderTakeTheirPlace) {
    model.setSortType(stream::stText);
    model.appendGroup("/m", {"/m2", "/m1"});
    model.appendGroup("/c", {"/c1"});
    model.appendGroup("/x", {"/x1"});
    DuplicateNode loaded;
    loaded.text = "/d";
    const QModelIndex d = model.appendNode(QModelIndex(), loaded);
    loaded.text = "/d2";
    model.appendNode(d, loaded);
    loaded.text = "/d1";
    model.appendNode(d, loaded);
    EXPECT_EQ(outline(model), "/c: /c1 | /d: /d1 /d2 | /m: /m1 /m2 | /x: /x1");
    EXPECT_EQ(model.nodeCount(), 10);
}

TEST_F(DuplicateTree, OtherModesNeitherSortNorPlace) {
    model.appendGroup("/b", {"/b2", "/b1"});
    model.appendGroup("/a", {"/a1"});
    model.setSortType(stream::stData);
    model.setSortType(stream::stNone);
    model.appendGroup("/0", {"/01"});
    EXPECT_EQ(outline(model), "/b: /b2 /b1 | /a: /a1 | /0: /01");
    model.setSortType(stream::stText);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    model.setSortType(stream::stText);
    EXPECT_EQ(layout.size(), 0) << "assigning the current mode does nothing";
}

// States chosen for every group at once reach a view as one change, keep the current places, and
// are announced only when a state changed; one group's states are told as changes of its data.
TEST_F(DuplicateTree, StatesChosenForAllGroupsOrOneGroupAreToldOnce) {
    model.appendGroup("/a", {"/a1", "/a2"});
    model.appendGroup("/b", {"/b1"});
    const QPersistentModelIndex kept(model.index(1, 0, model.index(0, 0)));
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy announced(&model, &DuplicateTreeModel::checkStatesChanged);
    std::vector<size_t> groupSizes;
    const auto tickAllButFirst = [&](std::span<const DuplicateNode* const> nodes, std::span<int32_t> states) {
        groupSizes.push_back(nodes.size());
        for (size_t i = 0; i < states.size(); ++i) {
            states[i] = i == 0 ? kStateUnchecked : kStateChecked;
        }
    };
    model.chooseStatesOfAllGroups(tickAllButFirst);
    EXPECT_EQ(groupSizes, (std::vector<size_t>{3, 2}));
    EXPECT_EQ(layouts.count(), 1);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(announced.count(), 1);
    EXPECT_EQ(textOf(kept), "/a2");
    EXPECT_EQ(stateOf(kept), kStateChecked);
    EXPECT_EQ(stateOf(model.index(0, 0)), kStateUnchecked);
    EXPECT_EQ(stateOf(model.index(0, 0, model.index(1, 0))), kStateChecked);

    model.chooseStatesOfAllGroups(tickAllButFirst);
    EXPECT_EQ(announced.count(), 1) << "nothing changed";

    // From a child, its group: the top-level node and all its children.
    model.chooseStatesOfGroup(model.index(0, 0, model.index(1, 0)),
                              [](std::span<const DuplicateNode* const>, std::span<int32_t> states) {
                                  std::fill(states.begin(), states.end(), kStateChecked);
                              });
    EXPECT_EQ(changes.count(), 2) << "the top-level node, and the children";
    EXPECT_EQ(announced.count(), 2);
    EXPECT_EQ(stateOf(model.index(1, 0)), kStateChecked);
    EXPECT_EQ(stateOf(model.index(0, 0)), kStateUnchecked) << "another group";
}

TEST_F(DuplicateTree, StoredNodeMayShowAnExpandButtonWithoutChildren) {
    DuplicateNode stored;
    stored.text = "/lonely";
    stored.hasChildren = true;
    stored.stateIndex = kStateRadioOff;
    const QModelIndex index = model.appendNode(QModelIndex(), stored);
    EXPECT_TRUE(model.hasChildren(index));
    EXPECT_EQ(model.rowCount(index), 0);
    EXPECT_EQ(stateOf(index), kStateRadioOff);
}

// A search's tree is put in text order at its end: with the groups' places noted as they came
// (ordering ahead), or by a sort of everything (without, or when stored nodes came between). A
// tree in text order from the start places each group as it comes, comparing texts. All must
// end in the same order, also for groups added afterwards.
void orderAtTheEnd(bool orderingAhead, bool storedNodes) {
    std::mt19937 random(11);
    const char* const pieces[] = {"a", "B", "b", "\xc3\xa9", "E", "e", "_", "1", "10", "2", "\xff"};
    const auto text = [&] {
        std::string result = "/";
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
            result += pieces[random() % std::size(pieces)];
        }
        return result;
    };
    DuplicateTreeModel atTheEnd{kEnglish};
    DuplicateTreeModel asTheyCome{kEnglish};
    QAbstractItemModelTester tester{&atTheEnd, QAbstractItemModelTester::FailureReportingMode::Fatal};
    atTheEnd.setOrderingAhead(orderingAhead);
    asTheyCome.setSortType(stream::stText);
    const auto addGroups = [&](int count) {
        for (int g = 0; g < count; ++g) {
            const std::string group = text();
            std::vector<std::string> duplicates(1 + random() % 4);
            for (std::string& duplicate : duplicates) {
                duplicate = text(); // equal texts happen, and must keep their order
            }
            if (storedNodes && g % 5 == 0) { // as a stored tree is read
                DuplicateNode node;
                node.text = group;
                const QModelIndex a = atTheEnd.appendNode(QModelIndex(), node);
                const QModelIndex b = asTheyCome.appendNode(QModelIndex(), node);
                for (size_t d = 0; d < duplicates.size(); ++d) {
                    node.text = duplicates[d];
                    node.data = static_cast<int32_t>(d); // tells equal texts apart
                    atTheEnd.appendNode(a, node);
                    asTheyCome.appendNode(b, node);
                }
            } else {
                atTheEnd.appendGroup(group, duplicates);
                asTheyCome.appendGroup(group, duplicates);
            }
        }
    };
    // Tells equal texts apart by the order they came in.
    const auto fullOutline = [](const DuplicateTreeModel& model) {
        std::string result = outline(model);
        for (int top = 0; top < model.rowCount(); ++top) {
            const QModelIndex group = model.index(top, 0);
            for (int child = 0; child < model.rowCount(group); ++child) {
                result += " " + std::to_string(model.node(model.index(child, 0, group))->data);
            }
        }
        return result;
    };
    addGroups(300);
    if (!orderingAhead) {
        EXPECT_NE(fullOutline(atTheEnd), fullOutline(asTheyCome)) << "the groups came out of order";
    }
    const QPersistentModelIndex followed = atTheEnd.index(7, 0);
    const std::string followedText = textOf(followed);
    atTheEnd.setSortType(stream::stText);
    EXPECT_EQ(textOf(atTheEnd.index(followed.row(), 0)), followedText)
        << "a persistent index follows its node";
    EXPECT_EQ(fullOutline(atTheEnd), fullOutline(asTheyCome));
    addGroups(40);
    EXPECT_EQ(fullOutline(atTheEnd), fullOutline(asTheyCome));
    EXPECT_EQ(atTheEnd.nodeCount(), asTheyCome.nodeCount());
    // The next search starts from an empty tree: its order is noted again.
    atTheEnd.clear();
    asTheyCome.clear();
    atTheEnd.setSortType(stream::stNone);
    addGroups(50);
    atTheEnd.setSortType(stream::stText);
    EXPECT_EQ(fullOutline(atTheEnd), fullOutline(asTheyCome));
}

TEST(DuplicateTreeOrder, OrderingAheadGivesTheOrderOfASortAtTheEnd) {
    orderAtTheEnd(true, false);
}

TEST(DuplicateTreeOrder, SortAtTheEndGivesTheOrderOfPlacingAsGroupsCome) {
    orderAtTheEnd(false, false);
}

TEST(DuplicateTreeOrder, StoredNodesAmongSearchedGroupsLeaveTheOrderToTheSort) {
    orderAtTheEnd(true, true);
    orderAtTheEnd(false, true);
}

TEST_F(DuplicateTree, RemovingANodeWhileOrderingAheadLeavesTheOrderToTheSort) {
    model.setOrderingAhead(true);
    model.appendGroup("/m", {"/m2", "/m1"});
    model.appendGroup("/c", {"/c1"});
    model.appendGroup("/x", {"/x1"});
    model.appendGroup("/a", {"/a1"});
    EXPECT_TRUE(model.removeNode(model.index(1, 0))); // "/c"
    model.appendGroup("/b", {"/b1"});
    model.setSortType(stream::stText);
    EXPECT_EQ(outline(model), "/a: /a1 | /b: /b1 | /m: /m1 /m2 | /x: /x1");
    EXPECT_EQ(model.nodeCount(), 9);
}

TEST(DuplicateTreeDepth, ADeepStoredTreeIsSortedAndReleasedWithoutRecursion) {
    DuplicateTreeModel model{kEnglish};
    QModelIndex parent;
    constexpr int kDepth = 200'000;
    for (int level = 0; level < kDepth; ++level) {
        DuplicateNode node;
        node.text = "/n";
        parent = model.appendNode(parent, std::move(node));
    }
    EXPECT_EQ(model.nodeCount(), kDepth);
    model.setSortType(stream::stText);
    model.clear();
    EXPECT_EQ(model.nodeCount(), 0);
}

} // namespace
} // namespace corvane::ui
