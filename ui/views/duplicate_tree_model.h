#pragma once

// The model behind the duplicate tree: a top-level node per duplicate group (the group's first
// file) with one child per duplicate, each node with its path (exact bytes) and check state.

#include "engine/string_list.h"
#include "platform/file_info.h"
#include "qtcore/locale_texts.h"
#include "stream/list_controls.h"

#include <QAbstractItemModel>
#include <QCollator>
#include <QCollatorSortKey>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::ui {

// Check states: the index of a node's state image.
inline constexpr int32_t kStateRadioOff = 0;
inline constexpr int32_t kStateChecked = 1;
inline constexpr int32_t kStateRadioOn = 2;
inline constexpr int32_t kStateUnchecked = 3;

// What a node holds.
struct DuplicateNode {
    std::string text; // the full path, as its exact bytes
    int32_t stateIndex = kStateUnchecked;
    // The per-node fields of a stored tree, with the values the program's nodes hold.
    int32_t imageIndex = 0;
    int32_t selectedIndex = 0;
    int32_t overlayIndex = -1;
    int32_t data = 0;
    // Shows an expand button even without children (a stored tree may say so).
    bool hasChildren = false;
    // The file as the comparer saw it (size, modification time), for a check before deleting
    // that it has not changed since; none for nodes read from a stored tree.
    std::optional<platform::FileInfo> fileInfo;
};

class DuplicateTreeModel final : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role {
        PathBytesRole = Qt::UserRole + 1, // QByteArray: the node's text as its exact bytes
        StateIndexRole,                   // int: the check state
    };

    // Texts are ordered with `texts.nodeTextCollator()`.
    explicit DuplicateTreeModel(const qtcore::LocaleTexts& texts = qtcore::LocaleTexts(),
                                QObject* parent = nullptr);
    ~DuplicateTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: the text as the window shows a name (shown_name.h: control characters and
    // bytes that are not UTF-8 as escapes); PathBytesRole, StateIndexRole as above; CheckStateRole:
    // Qt::Checked for the states checked and radio on, else Qt::Unchecked, so that assistive
    // technology reads the tick.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Selectable and checkable (the view toggles the state itself), never editable.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends a duplicate group: a top-level node for `groupFile` and a child for each of
    // `duplicates` in order, all unchecked, `groupInfo` and `duplicateInfos` (one per
    // duplicate, or none) kept with them. With stText in force each node takes its place in
    // text order among its siblings, else it goes last. Returns the top-level node.
    QModelIndex appendGroup(const std::string& groupFile, const engine::StringList& duplicates,
                            std::optional<platform::FileInfo> groupInfo = std::nullopt,
                            std::span<const platform::FileInfo> duplicateInfos = {});
    // Appends one node under `parent` (top level when invalid), placed as appendGroup places
    // its nodes. For a tree read back from a stored one.
    QModelIndex appendNode(const QModelIndex& parent, DuplicateNode node);

    // The node at `index`; nullptr for an invalid index.
    const DuplicateNode* node(const QModelIndex& index) const;
    static bool isTopLevel(const QModelIndex& index) { return index.isValid() && !index.parent().isValid(); }

    void setStateIndex(const QModelIndex& index, int32_t stateIndex);
    // Advances the check state of `index` (nothing for an invalid index): `unchecked` becomes
    // `checked`, `checked` becomes `unchecked`; `radioOff` turns the node to `radioOn` after
    // every sibling (children of its parent, or all top-level nodes) in `radioOff` or `radioOn`
    // has been turned to `radioOff`; any other state stays. Called as (node, 3, 1, 0, 2).
    void ToggleCheckState(const QModelIndex& index, int32_t unchecked, int32_t checked, int32_t radioOff,
                          int32_t radioOn);

    // New check states for the nodes of one group: `nodes` are the group's top-level node and then
    // its children in order, `states` their states, which the chooser may change.
    using StateChooser =
        std::function<void(std::span<const DuplicateNode* const> nodes, std::span<int32_t> states)>;
    // Gives the nodes of every group the states `choose` gives them. Views hear of it once, as a
    // change of layout: a change of data is told per parent, and a tree view looks each parent up
    // among its rows, which for a tree of a hundred thousand groups would take minutes. Then
    // checkStatesChanged, when any state changed.
    void chooseStatesOfAllGroups(const StateChooser& choose);
    // The same for the group of `index` (a top-level node or one of its children), told as a
    // change of data; nothing for an invalid index.
    void chooseStatesOfGroup(const QModelIndex& index, const StateChooser& choose);

    // The reference folders of the search the tree shows (paths as bytes): the files in them are
    // never deleted, so their nodes show the padlock (DecorationRole; their tooltip says why) and
    // take no tick, whichever way a tick comes (a click, Space, a rule, a stored set's state is
    // kept as read but a toggle only unticks). A file that a new list of folders protects loses
    // its tick (then checkStatesChanged); one that was protected before keeps its state.
    void setReferenceFolders(std::vector<std::string> folders);
    const std::vector<std::string>& referenceFolders() const { return referenceFolders_; }
    // True when `path` is one of the reference folders or lies below one, by its text.
    bool inReferenceFolder(std::string_view path) const;

    // Removes a node; a top-level node takes its children along. False for an invalid index.
    bool removeNode(const QModelIndex& index);
    void clear();

    // Nodes of all levels.
    int nodeCount() const { return nodeCount_; }

    stream::SortType sortType() const { return sortType_; }
    // Assigning stText when the mode differs orders the top-level nodes, and the children of
    // every node, by their texts (locale-aware, case-sensitive; equal texts keep their order)
    // and keeps later nodes in that order; the other modes only change the mode.
    void setSortType(stream::SortType sortType);

    // On: while the mode is not stText, each group appendGroup adds to a tree that was empty
    // when the mode was last assigned (or the tree cleared) has its children put in text order
    // at once and its place among the groups in text order noted (a few comparisons of
    // collation keys), so that assigning stText at the end of a search compares nothing: on a
    // tree of 28,000 groups the comparisons at the end held the window for a tenth of a second.
    // The order shown at the end is the one assigning stText gives anyway. Any other change
    // (appendNode, removeNode) drops the noted places, and the sort at the end does it all.
    void setOrderingAhead(bool on);

signals:
    // Check states changed by one of the choose functions, after views have been told.
    void checkStatesChanged();

private:
    struct Node;
    struct AheadLess {
        bool operator()(const Node* a, const Node* b) const;
    };

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node) const;
    // Where a node with `text` goes among the children of `parent`.
    size_t placeFor(const Node& parent, const std::string& text) const;
    Node* insertChild(Node& parent, std::unique_ptr<Node> child);
    // Orders the children of `parent` by text and drops their collation keys.
    void sortChildren(Node& parent);
    void orderChildren(Node& parent);
    // Forgets the places noted ahead, and the keys they kept.
    void dropAhead();
    // Frees the keys of spentKeys_ a few thousand at a time, one batch a turn of the event loop:
    // freeing the keys of tens of thousands of groups at once holds the window for tens of
    // milliseconds.
    void freeSpentKeysLater();
    // Moves the persistent indexes to their nodes' new rows and tells views the layout changed.
    void finishLayoutChange();
    void setState(Node& node, int32_t stateIndex);
    // Asks `choose` for the states of the group `top`; true when any changed.
    bool chooseStates(Node& top, const StateChooser& choose);

    QCollator collator_;
    std::unique_ptr<Node> root_; // holds the top-level nodes as its children
    int nodeCount_ = 0;
    stream::SortType sortType_ = stream::stNone;
    std::vector<std::string> referenceFolders_;
    bool orderingAhead_ = false;
    bool aheadValid_ = false; // ahead_ holds every top-level node, in text order
    // Top-level nodes in text order (equal texts in the order they came), by their keys.
    std::multiset<Node*, AheadLess> ahead_;
    // Keys no node needs any more, waiting to be freed (see freeSpentKeysLater).
    std::vector<QCollatorSortKey> spentKeys_;
};

} // namespace corvane::ui
