#include "ui/forms/list_controls_qt.h"

#include "ui/forms/control_support.h"
#include "ui/forms/window_texts.h"
#include "ui/views/cut_text.h"
#include "ui/views/view_focus.h"

#include <QHeaderView>
#include <QHelpEvent>

namespace corvane::ui {

template <class Widget> std::string StreamedWidget<Widget>::componentName() const {
    return widget_->objectName().toStdString();
}

template <class Widget> void StreamedWidget<Widget>::setComponentName(const std::string& name) {
    widget_->setObjectName(QString::fromStdString(name));
}

template <class Widget> stream::ControlPlacement StreamedWidget<Widget>::placement() const {
    return placementOf(widget_);
}

template <class Widget> void StreamedWidget<Widget>::setPlacement(const stream::ControlPlacement& placement) {
    applyPlacement(widget_, placement);
}

template <class Widget> int32_t StreamedWidget<Widget>::tabOrder() const {
    return tabOrderOf(widget_);
}

template <class Widget> void StreamedWidget<Widget>::setTabOrder(int32_t order) {
    setTabOrderOf(widget_, order);
}

template <class Widget> std::string StreamedWidget<Widget>::handler(std::string_view event) const {
    return boundHandler(widget_, event);
}

template <class Widget>
void StreamedWidget<Widget>::setHandler(std::string_view event, const std::string& name) {
    bindHandler(widget_, event, name);
}

template class StreamedWidget<QWidget>;

// ---------------------------------------------------------------------------------------------
// ListViewWidget

ListViewWidget::ListViewWidget(QWidget* parent)
    : QTableView(parent), StreamedWidget<QWidget>(this),
      model_(new SearchedFilesModel(qtcore::LocaleTexts(), this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    // One height for every row, so that a million rows need no measuring.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setResizeContentsPrecision(200);
    // Tab goes on to the next control; the arrows move between rows.
    setTabKeyNavigation(false);
    setTextElideMode(Qt::ElideMiddle);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex&) { raiseEvent("OnClick", EventArgs{this}); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!fitting_) {
            userSizedColumns_ = true;
        }
    });
    // Rows come in batches; the columns follow them once per batch.
    fitTimer_ = new QTimer(this);
    fitTimer_->setSingleShot(true);
    connect(fitTimer_, &QTimer::timeout, this, &ListViewWidget::fitColumns);
    const auto fitSoon = [this] { fitTimer_->start(0); };
    connect(model_, &QAbstractItemModel::rowsInserted, this, fitSoon);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, fitSoon);
    connect(model_, &QAbstractItemModel::modelReset, this, fitSoon);
    connect(model_, &QAbstractItemModel::dataChanged, this, fitSoon);
}

std::vector<stream::ListRow> ListViewWidget::rows() const {
    std::vector<stream::ListRow> result;
    result.reserve(static_cast<size_t>(model_->count()));
    for (int i = 0; i < model_->count(); ++i) {
        const ListRow& row = model_->row(i);
        stream::ListRow out;
        out.caption = std::string(row.caption());
        for (int sub = 0; sub < row.subItemCount(); ++sub) {
            out.subItems.push_back({std::string(row.subItemText(sub)), row.subItemImageIndex(sub)});
        }
        out.imageIndex = row.imageIndex;
        out.stateIndex = row.stateIndex;
        out.overlayIndex = row.overlayIndex;
        out.data = row.data;
        result.push_back(std::move(out));
    }
    return result;
}

void ListViewWidget::setRows(std::vector<stream::ListRow> rows) {
    std::vector<ListRow> converted;
    converted.reserve(rows.size());
    for (const stream::ListRow& row : rows) {
        ListRow out(row.caption);
        for (const stream::ListSubItem& subItem : row.subItems) {
            out.appendSubItem(subItem.text, subItem.imageIndex);
        }
        out.imageIndex = row.imageIndex;
        out.stateIndex = row.stateIndex;
        out.overlayIndex = row.overlayIndex;
        out.data = row.data;
        converted.push_back(std::move(out));
    }
    model_->setRows(std::move(converted));
}

void ListViewWidget::setSortType(int sortType) {
    model_->setSortType(static_cast<stream::SortType>(sortType));
}

void ListViewWidget::loaded() {
    // The columns keep the captions they were given (a result file writes them); the header shows
    // them translated.
    QStringList captions;
    for (const stream::ListColumn& column : columns_) {
        captions << windowText(this, QString::fromStdString(column.caption));
    }
    model_->setColumns(captions);
    QHeaderView* header = horizontalHeader();
    header->setStretchLastSection(false);
    fitting_ = true;
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
        const stream::ListColumn& column = columns_[static_cast<size_t>(i)];
        header->setSectionResizeMode(i, QHeaderView::Interactive);
        if (!column.autoSize) {
            header->resizeSection(i, column.width);
        }
    }
    fitting_ = false;
    userSizedColumns_ = false;
    fitColumns();
}

void ListViewWidget::fitColumns() {
    fitTimer_->stop();
    if (userSizedColumns_ || columns_.empty()) {
        return;
    }
    fitting_ = true;
    QHeaderView* header = horizontalHeader();
    const int room = viewport()->width();
    int rest = room;
    for (int i = 1; i < static_cast<int>(columns_.size()); ++i) {
        if (columns_[static_cast<size_t>(i)].autoSize) {
            // A column of long texts takes at most half the list; the rest of its texts shows as
            // tooltips, and its edge can be dragged.
            const int wanted = std::max(header->sectionSizeHint(i), sizeHintForColumn(i));
            header->resizeSection(i, std::min(wanted, std::max(room / 2, header->sectionSizeHint(i))));
        }
        rest -= header->sectionSize(i);
    }
    if (columns_.front().autoSize) {
        header->resizeSection(0, std::max(rest, header->sectionSizeHint(0)));
    }
    fitting_ = false;
}

QString ListViewWidget::cutTextAt(const QPoint& viewportPos) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return cutCellTextAt(*this, option, viewportPos);
}

bool ListViewWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        answerCutTextToolTip(*this, *help, cutTextAt(help->pos()));
        return true;
    }
    return QTableView::viewportEvent(event);
}

void ListViewWidget::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitColumns();
}

void ListViewWidget::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    }
}

void ListViewWidget::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    paintFocusFrame(*this);
}

void ListViewWidget::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void ListViewWidget::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void ListViewWidget::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    const QModelIndexList selectedBefore = selectionModel()->selectedRows();
    QTableView::rowsAboutToBeRemoved(parent, start, end);
    // The row that became current in place of a removed one stays current (the arrow keys go on
    // from there), but only the user selects it.
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), parent)) {
        bool wasSelected = false;
        for (const QModelIndex& row : selectedBefore) {
            wasSelected = wasSelected || row.row() == current.row();
        }
        if (!wasSelected) {
            selectionModel()->select(current, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TreeViewWidget

TreeViewWidget::TreeViewWidget(QWidget* parent)
    : DuplicateTreeView(parent), StreamedWidget<QWidget>(this),
      model_(new DuplicateTreeModel(qtcore::LocaleTexts(), this)) {
    setModel(model_);
    connect(this, &DuplicateTreeView::primaryClicked, this,
            [this](const QPoint&) { raiseEvent("OnClick", EventArgs{this}); });
    connect(this, &DuplicateTreeView::keyDown, this, [this](int key, Qt::KeyboardModifiers modifiers) {
        EventArgs args{this};
        args.key = &key;
        args.modifiers = modifiers;
        raiseEvent("OnKeyDown", args);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex&) {
        bool allow = true;
        EventArgs args{this};
        args.allow = &allow;
        raiseEvent("OnCollapsing", args);
    });
}

void TreeViewWidget::setSortType(int sortType) {
    model_->setSortType(static_cast<stream::SortType>(sortType));
}

std::vector<stream::TreeNode> TreeViewWidget::nodes() const {
    std::vector<stream::TreeNode> result;
    result.reserve(static_cast<size_t>(model_->nodeCount()));
    // Depth first without recursion: a stack of (parent, next child row).
    std::vector<std::pair<QModelIndex, int>> stack{{QModelIndex(), 0}};
    while (!stack.empty()) {
        auto& [parent, next] = stack.back();
        if (next >= model_->rowCount(parent)) {
            stack.pop_back();
            continue;
        }
        const QModelIndex index = model_->index(next++, 0, parent);
        const DuplicateNode* node = model_->node(index);
        stream::TreeNode out;
        out.text = node->text;
        out.level = static_cast<int>(stack.size()) - 1;
        out.imageIndex = node->imageIndex;
        out.selectedIndex = node->selectedIndex;
        out.stateIndex = node->stateIndex;
        out.overlayIndex = node->overlayIndex;
        out.data = node->data;
        out.hasChildren = node->hasChildren || model_->rowCount(index) > 0;
        result.push_back(std::move(out));
        if (model_->rowCount(index) > 0) {
            stack.emplace_back(index, 0);
        }
    }
    return result;
}

void TreeViewWidget::setNodes(std::vector<stream::TreeNode> nodes) {
    model_->clear();
    std::vector<QPersistentModelIndex> parents; // parents[l]: the last node placed at level l
    for (stream::TreeNode& node : nodes) {
        const size_t level = std::min(static_cast<size_t>(std::max(node.level, 0)), parents.size());
        const QModelIndex parent = level == 0 ? QModelIndex() : QModelIndex(parents[level - 1]);
        DuplicateNode placed;
        placed.text = std::move(node.text);
        placed.stateIndex = node.stateIndex;
        placed.imageIndex = node.imageIndex;
        placed.selectedIndex = node.selectedIndex;
        placed.overlayIndex = node.overlayIndex;
        placed.data = node.data;
        placed.hasChildren = node.hasChildren;
        const QModelIndex index = model_->appendNode(parent, std::move(placed));
        parents.resize(level);
        parents.emplace_back(index);
    }
}

} // namespace corvane::ui
