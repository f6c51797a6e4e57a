#pragma once

// The window's list views and duplicate tree as the component stream sees them: live Qt views
// over their models, implementing the list and tree declarations that plain data implements too.

#include "stream/list_controls.h"
#include "ui/views/duplicate_tree_model.h"
#include "ui/views/duplicate_tree_view.h"
#include "ui/views/searched_files_model.h"

#include <QTableView>
#include <QTimer>
#include <map>
#include <string>

namespace corvane::ui {

// Shared by both views: name, place, tab order and handler names live on the widget.
template <class Widget> class StreamedWidget : public virtual stream::StreamedControl {
public:
    explicit StreamedWidget(Widget* widget) : widget_(widget) {}
    std::string componentName() const override;
    void setComponentName(const std::string& name) override;
    stream::ControlPlacement placement() const override;
    void setPlacement(const stream::ControlPlacement& placement) override;
    int32_t tabOrder() const override;
    void setTabOrder(int32_t order) override;
    std::string handler(std::string_view event) const override;
    void setHandler(std::string_view event, const std::string& name) override;

private:
    Widget* widget_;
};

// A list in report view over a SearchedFilesModel (whose re-sorts only the searched-files list
// uses). Columns marked AutoSize size themselves to their texts, the first taking the room that is
// left, until the user drags a column's edge; every column can be dragged wider or narrower. A
// text cut short shows whole as the cell's tooltip. Tab leaves the list (arrows move in it).
class ListViewWidget final : public QTableView,
                             public StreamedWidget<QWidget>,
                             public stream::ListViewControl {
    Q_OBJECT
public:
    explicit ListViewWidget(QWidget* parent = nullptr);

    SearchedFilesModel* listModel() const { return model_; }

    std::vector<stream::ListColumn>& columns() override { return columns_; }
    std::vector<stream::ListRow> rows() const override;
    bool hasRows() const override { return model_->count() > 0; }
    void setRows(std::vector<stream::ListRow> rows) override;
    bool readOnly() const override { return readOnly_; }
    void setReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    int sortType() const override { return static_cast<int>(model_->sortType()); }
    void setSortType(int sortType) override;
    int viewStyle() const override { return viewStyle_; }
    void setViewStyle(int viewStyle) override { viewStyle_ = viewStyle; }
    void loaded() override;

    // The whole text of the cell under `viewportPos` when the cell shows it cut; else empty.
    QString cutTextAt(const QPoint& viewportPos) const;
    // Sizes the AutoSize columns to their texts, unless the user has sized a column.
    void fitColumns();

protected:
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Shows the focus also while no row is current (an empty list).
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // A selected row that goes takes the selection with it: no other row becomes selected (the
    // view would select the row that takes its place).
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    SearchedFilesModel* model_;
    std::vector<stream::ListColumn> columns_;
    bool fitting_ = false;
    bool userSizedColumns_ = false;
    QTimer* fitTimer_;
    bool readOnly_ = false;
    int viewStyle_ = stream::vsIcon;
};

// The duplicate tree over a DuplicateTreeModel.
class TreeViewWidget final : public DuplicateTreeView,
                             public StreamedWidget<QWidget>,
                             public stream::TreeViewControl {
    Q_OBJECT
public:
    explicit TreeViewWidget(QWidget* parent = nullptr);

    DuplicateTreeModel* treeModel() const { return model_; }

    int32_t indent() const override { return indentation(); }
    void setIndent(int32_t indent) override { setIndentation(indent); }
    bool readOnly() const override { return readOnly_; }
    void setReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    int sortType() const override { return static_cast<int>(model_->sortType()); }
    void setSortType(int sortType) override;
    stream::ObjectRef stateImages() const override { return stateImages_; }
    void setStateImages(stream::ObjectRef images) override { stateImages_ = images; }
    std::vector<stream::TreeNode> nodes() const override;
    bool hasNodes() const override { return model_->nodeCount() > 0; }
    void setNodes(std::vector<stream::TreeNode> nodes) override;

private:
    DuplicateTreeModel* model_;
    bool readOnly_ = false;
    stream::ObjectRef stateImages_;
};

} // namespace corvane::ui
