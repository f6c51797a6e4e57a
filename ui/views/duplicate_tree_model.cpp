#include "ui/views/duplicate_tree_model.h"

#include "ui/views/reference_mark.h"
#include "ui/views/shown_name.h"

#include <QCollatorSortKey>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace corvane::ui {

namespace {

// The text nodes are ordered by (the command line's save module orders them the same way).
QString shown(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// True when `path` is one of `folders` or lies below one, by its text.
bool inFolders(const std::vector<std::string>& folders, std::string_view path) {
    for (const std::string& folder : folders) {
        if (path.starts_with(folder) &&
            (path.size() == folder.size() || path[folder.size()] == '/' || folder == "/")) {
            return true;
        }
    }
    return false;
}

} // namespace

struct DuplicateTreeModel::Node {
    DuplicateNode value;
    Node* parent = nullptr;
    int row = 0; // place among the parent's children
    // The text's collation key while it is needed: for a sort, or for a top-level node whose
    // place is kept ahead (see setOrderingAhead).
    std::optional<QCollatorSortKey> key;
    std::vector<std::unique_ptr<Node>> children;

    Node() = default;
    explicit Node(DuplicateNode v) : value(std::move(v)) {}
    // Takes the subtree apart level by level: a tree read from a file may be deep enough for a
    // recursive destruction to run out of stack.
    ~Node() {
        std::vector<std::unique_ptr<Node>> pending = std::move(children);
        while (!pending.empty()) {
            std::unique_ptr<Node> node = std::move(pending.back());
            pending.pop_back();
            for (auto& child : node->children) {
                pending.push_back(std::move(child));
            }
            node->children.clear();
        }
    }

    void renumberChildren(size_t from = 0) {
        for (size_t i = from; i < children.size(); ++i) {
            children[i]->row = static_cast<int>(i);
        }
    }

    // This node and all below it.
    int subtreeSize() const {
        int count = 0;
        std::vector<const Node*> pending{this};
        while (!pending.empty()) {
            const Node* node = pending.back();
            pending.pop_back();
            ++count;
            for (const auto& child : node->children) {
                pending.push_back(child.get());
            }
        }
        return count;
    }
};

DuplicateTreeModel::DuplicateTreeModel(const qtcore::LocaleTexts& texts, QObject* parent)
    : QAbstractItemModel(parent), collator_(texts.nodeTextCollator()), root_(std::make_unique<Node>()) {}

DuplicateTreeModel::~DuplicateTreeModel() = default;

DuplicateTreeModel::Node* DuplicateTreeModel::nodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) {
        return nullptr;
    }
    return static_cast<Node*>(index.internalPointer());
}

QModelIndex DuplicateTreeModel::indexOf(const Node* node) const {
    if (node == nullptr || node == root_.get()) {
        return {};
    }
    return createIndex(node->row, 0, const_cast<Node*>(node));
}

QModelIndex DuplicateTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const Node* owner = parent.isValid() ? nodeOf(parent) : root_.get();
    if (owner == nullptr || column != 0 || row < 0 || static_cast<size_t>(row) >= owner->children.size()) {
        return {};
    }
    return indexOf(owner->children[static_cast<size_t>(row)].get());
}

QModelIndex DuplicateTreeModel::parent(const QModelIndex& child) const {
    const Node* node = nodeOf(child);
    return node ? indexOf(node->parent) : QModelIndex();
}

int DuplicateTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    const Node* owner = parent.isValid() ? nodeOf(parent) : root_.get();
    return owner ? static_cast<int>(owner->children.size()) : 0;
}

int DuplicateTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool DuplicateTreeModel::hasChildren(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return false;
    }
    const Node* owner = parent.isValid() ? nodeOf(parent) : root_.get();
    return owner && (!owner->children.empty() || (parent.isValid() && owner->value.hasChildren));
}

QVariant DuplicateTreeModel::data(const QModelIndex& index, int role) const {
    const Node* node = nodeOf(index);
    if (node == nullptr) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return shownName(node->value.text);
    case PathBytesRole:
        return QByteArray(node->value.text.data(), static_cast<qsizetype>(node->value.text.size()));
    case StateIndexRole:
        return node->value.stateIndex;
    case Qt::DecorationRole:
        return inReferenceFolder(node->value.text) ? QVariant(referenceMark()) : QVariant();
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return inReferenceFolder(node->value.text)
                   ? QVariant(QCoreApplication::translate(
                         "frm_utama", "In a reference folder: never deleted, and the copy "
                                      "that stays"))
                   : QVariant();
    case Qt::CheckStateRole:
        // What assistive technology reads as the node's tick: the picture of a ticked box or of
        // a chosen radio button.
        return node->value.stateIndex == kStateChecked || node->value.stateIndex == kStateRadioOn
                   ? Qt::Checked
                   : Qt::Unchecked;
    default:
        return {};
    }
}

Qt::ItemFlags DuplicateTreeModel::flags(const QModelIndex& index) const {
    const Node* node = nodeOf(index);
    if (node == nullptr) {
        return Qt::NoItemFlags;
    }
    return inReferenceFolder(node->value.text)
               ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
               : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void DuplicateTreeModel::setReferenceFolders(std::vector<std::string> folders) {
    for (std::string& folder : folders) {
        while (folder.size() > 1 && folder.back() == '/') {
            folder.pop_back();
        }
    }
    if (folders == referenceFolders_) {
        return;
    }
    if (root_->children.empty()) {
        referenceFolders_ = std::move(folders);
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::NoLayoutChangeHint);
    // A tick on a file that has just become protected would ask for what can no longer happen.
    bool unticked = false;
    const auto untickNewlyProtected = [&](Node& node) {
        if (node.value.stateIndex == kStateChecked && inFolders(folders, node.value.text) &&
            !inReferenceFolder(node.value.text)) {
            node.value.stateIndex = kStateUnchecked;
            unticked = true;
        }
    };
    for (const auto& top : root_->children) {
        untickNewlyProtected(*top);
        for (const auto& child : top->children) {
            untickNewlyProtected(*child);
        }
    }
    referenceFolders_ = std::move(folders);
    // No node moved: the persistent indexes stay as they are.
    emit layoutChanged({}, QAbstractItemModel::NoLayoutChangeHint);
    if (unticked) {
        emit checkStatesChanged();
    }
}

bool DuplicateTreeModel::inReferenceFolder(std::string_view path) const {
    return inFolders(referenceFolders_, path);
}

size_t DuplicateTreeModel::placeFor(const Node& parent, const std::string& text) const {
    if (sortType_ != stream::stText) {
        return parent.children.size();
    }
    // After the equal texts already there: the order a stable sort would give.
    const QString key = shown(text);
    const auto place = std::upper_bound(parent.children.begin(), parent.children.end(), key,
                                        [&](const QString& wanted, const auto& sibling) {
                                            return collator_.compare(wanted, shown(sibling->value.text)) < 0;
                                        });
    return static_cast<size_t>(place - parent.children.begin());
}

DuplicateTreeModel::Node* DuplicateTreeModel::insertChild(Node& parent, std::unique_ptr<Node> child) {
    const size_t place = placeFor(parent, child->value.text);
    const int added = child->subtreeSize();
    beginInsertRows(indexOf(&parent), static_cast<int>(place), static_cast<int>(place));
    child->parent = &parent;
    Node* inserted = child.get();
    parent.children.insert(parent.children.begin() + static_cast<std::ptrdiff_t>(place), std::move(child));
    parent.renumberChildren(place);
    nodeCount_ += added;
    endInsertRows();
    return inserted;
}

QModelIndex DuplicateTreeModel::appendGroup(const std::string& groupFile,
                                            const engine::StringList& duplicates,
                                            std::optional<platform::FileInfo> groupInfo,
                                            std::span<const platform::FileInfo> duplicateInfos) {
    auto group = std::make_unique<Node>();
    group->value.text = groupFile;
    group->value.fileInfo = groupInfo;
    group->children.reserve(duplicates.size());
    for (size_t i = 0; i < duplicates.size(); ++i) {
        auto child = std::make_unique<Node>();
        child->value.text = duplicates[i];
        if (i < duplicateInfos.size()) {
            child->value.fileInfo = duplicateInfos[i];
        }
        child->parent = group.get();
        group->children.push_back(std::move(child));
    }
    const bool keepAhead = sortType_ != stream::stText && aheadValid_;
    if (sortType_ == stream::stText || keepAhead) {
        sortChildren(*group); // not in the model yet: nobody needs to hear of it
    }
    group->renumberChildren();
    if (keepAhead) {
        group->key = collator_.sortKey(shown(group->value.text));
    }
    Node* inserted = insertChild(*root_, std::move(group));
    if (keepAhead) {
        // After the equal texts already there, as a stable sort would place it.
        ahead_.insert(inserted);
    }
    return indexOf(inserted);
}

QModelIndex DuplicateTreeModel::appendNode(const QModelIndex& parent, DuplicateNode node) {
    Node* owner = parent.isValid() ? nodeOf(parent) : root_.get();
    if (owner == nullptr) {
        return {};
    }
    dropAhead();
    return indexOf(insertChild(*owner, std::make_unique<Node>(std::move(node))));
}

const DuplicateNode* DuplicateTreeModel::node(const QModelIndex& index) const {
    const Node* found = nodeOf(index);
    return found ? &found->value : nullptr;
}

void DuplicateTreeModel::setState(Node& node, int32_t stateIndex) {
    if (node.value.stateIndex == stateIndex ||
        (stateIndex == kStateChecked && inReferenceFolder(node.value.text))) {
        return;
    }
    node.value.stateIndex = stateIndex;
    const QModelIndex index = indexOf(&node);
    emit dataChanged(index, index, {StateIndexRole, Qt::CheckStateRole});
}

void DuplicateTreeModel::setStateIndex(const QModelIndex& index, int32_t stateIndex) {
    if (Node* node = nodeOf(index)) {
        setState(*node, stateIndex);
    }
}

void DuplicateTreeModel::ToggleCheckState(const QModelIndex& index, int32_t unchecked, int32_t checked,
                                          int32_t radioOff, int32_t radioOn) {
    Node* node = nodeOf(index);
    if (node == nullptr) {
        return;
    }
    const int32_t state = node->value.stateIndex;
    if (state == unchecked) {
        setState(*node, checked);
    } else if (state == checked) {
        setState(*node, unchecked);
    } else if (state == radioOff) {
        for (const auto& sibling : node->parent->children) {
            if (sibling->value.stateIndex == radioOff || sibling->value.stateIndex == radioOn) {
                setState(*sibling, radioOff);
            }
        }
        setState(*node, radioOn);
    }
}

bool DuplicateTreeModel::chooseStates(Node& top, const StateChooser& choose) {
    std::vector<const DuplicateNode*> nodes;
    std::vector<int32_t> states;
    nodes.reserve(top.children.size() + 1);
    states.reserve(top.children.size() + 1);
    nodes.push_back(&top.value);
    states.push_back(top.value.stateIndex);
    for (const auto& child : top.children) {
        nodes.push_back(&child->value);
        states.push_back(child->value.stateIndex);
    }
    choose(nodes, states);
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (states[i] == kStateChecked && inReferenceFolder(nodes[i]->text)) {
            states[i] = nodes[i]->stateIndex; // never ticked
        }
    }
    bool changed = top.value.stateIndex != states[0];
    top.value.stateIndex = states[0];
    for (size_t i = 0; i < top.children.size(); ++i) {
        changed = changed || top.children[i]->value.stateIndex != states[i + 1];
        top.children[i]->value.stateIndex = states[i + 1];
    }
    return changed;
}

void DuplicateTreeModel::chooseStatesOfAllGroups(const StateChooser& choose) {
    if (root_->children.empty()) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::NoLayoutChangeHint);
    bool changed = false;
    for (const auto& top : root_->children) {
        changed = chooseStates(*top, choose) || changed;
    }
    // No node moved: the persistent indexes stay as they are.
    emit layoutChanged({}, QAbstractItemModel::NoLayoutChangeHint);
    if (changed) {
        emit checkStatesChanged();
    }
}

void DuplicateTreeModel::chooseStatesOfGroup(const QModelIndex& member, const StateChooser& choose) {
    Node* node = nodeOf(member);
    if (node == nullptr) {
        return;
    }
    while (node->parent != root_.get()) {
        node = node->parent;
    }
    if (!chooseStates(*node, choose)) {
        return;
    }
    const QModelIndex top = indexOf(node);
    emit dataChanged(top, top, {StateIndexRole, Qt::CheckStateRole});
    if (!node->children.empty()) {
        emit dataChanged(index(0, 0, top), index(static_cast<int>(node->children.size()) - 1, 0, top),
                         {StateIndexRole, Qt::CheckStateRole});
    }
    emit checkStatesChanged();
}

bool DuplicateTreeModel::removeNode(const QModelIndex& index) {
    Node* node = nodeOf(index);
    if (node == nullptr) {
        return false;
    }
    dropAhead();
    Node& parent = *node->parent;
    const auto row = static_cast<size_t>(node->row);
    beginRemoveRows(indexOf(&parent), node->row, node->row);
    nodeCount_ -= node->subtreeSize();
    std::unique_ptr<Node> removed = std::move(parent.children[row]);
    parent.children.erase(parent.children.begin() + static_cast<std::ptrdiff_t>(row));
    parent.renumberChildren(row);
    endRemoveRows();
    return true;
}

void DuplicateTreeModel::clear() {
    beginResetModel();
    ahead_.clear();
    root_ = std::make_unique<Node>();
    nodeCount_ = 0;
    aheadValid_ = orderingAhead_;
    endResetModel();
}

void DuplicateTreeModel::sortChildren(Node& parent) {
    if (parent.children.size() >= 2) {
        orderChildren(parent);
    }
    // Later nodes find their place by comparing texts: the keys would only take memory.
    for (const auto& child : parent.children) {
        child->key.reset();
    }
}

void DuplicateTreeModel::orderChildren(Node& parent) {
    // One key per node, made once (or kept from when the node came), rather than a conversion of
    // both texts per comparison.
    for (const auto& child : parent.children) {
        if (!child->key) {
            child->key = collator_.sortKey(shown(child->value.text));
        }
    }
    std::stable_sort(parent.children.begin(), parent.children.end(),
                     [](const auto& a, const auto& b) { return a->key->compare(*b->key) < 0; });
    parent.renumberChildren();
}

void DuplicateTreeModel::setOrderingAhead(bool on) {
    orderingAhead_ = on;
    if (!on) {
        dropAhead();
    } else if (root_->children.empty()) {
        aheadValid_ = true;
    }
}

void DuplicateTreeModel::dropAhead() {
    // The places noted no longer tell the whole order: the sort does it all.
    for (Node* node : ahead_) {
        node->key.reset();
    }
    ahead_.clear();
    aheadValid_ = false;
}

bool DuplicateTreeModel::AheadLess::operator()(const Node* a, const Node* b) const {
    return a->key->compare(*b->key) < 0;
}

void DuplicateTreeModel::setSortType(stream::SortType sortType) {
    if (sortType == sortType_) {
        return;
    }
    sortType_ = sortType;
    if (sortType != stream::stText) {
        // Places are kept ahead from an empty tree on; an earlier text order is not kept.
        aheadValid_ = orderingAhead_ && root_->children.empty();
        return;
    }
    emit layoutAboutToBeChanged();
    if (aheadValid_ && ahead_.size() == root_->children.size()) {
        // Every group came through appendGroup with its children in order and its place noted:
        // the top level takes the noted order, a pass with no comparison.
        std::vector<std::unique_ptr<Node>> sorted;
        sorted.reserve(ahead_.size());
        spentKeys_.reserve(spentKeys_.size() + ahead_.size());
        for (Node* node : ahead_) {
            sorted.push_back(std::move(root_->children[static_cast<size_t>(node->row)]));
            spentKeys_.push_back(std::move(*node->key)); // a pointer moved: nothing freed
            node->key.reset();
        }
        root_->children = std::move(sorted);
        root_->renumberChildren();
        ahead_.clear();
        aheadValid_ = false;
        finishLayoutChange();
        freeSpentKeysLater();
        return;
    }
    dropAhead();
    std::vector<Node*> pending{root_.get()};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        sortChildren(*node);
        for (const auto& child : node->children) {
            pending.push_back(child.get());
        }
    }
    finishLayoutChange();
}

void DuplicateTreeModel::freeSpentKeysLater() {
    QTimer::singleShot(0, this, [this] {
        constexpr size_t kBatch = 4096;
        const size_t keep = spentKeys_.size() > kBatch ? spentKeys_.size() - kBatch : 0;
        spentKeys_.erase(spentKeys_.begin() + static_cast<std::ptrdiff_t>(keep), spentKeys_.end());
        if (spentKeys_.empty()) {
            std::vector<QCollatorSortKey>().swap(spentKeys_);
        } else {
            freeSpentKeysLater();
        }
    });
}

void DuplicateTreeModel::finishLayoutChange() {
    // Nodes stay where they are in memory; only their rows changed.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.append(indexOf(nodeOf(index)));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

} // namespace corvane::ui
