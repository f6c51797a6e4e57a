#pragma once

// A list view and a tree view as plain data, for the command line: they implement the same
// interfaces as the window's live views, so the same declarations write and read them, byte for byte
// alike.

#include "stream/list_controls.h"

#include <map>
#include <string>
#include <vector>

namespace corvane::stream {

// Name, place, tab order and handler names, kept as fields.
class PlainControl : public virtual StreamedControl {
public:
    std::string componentName() const override { return name_; }
    void setComponentName(const std::string& name) override { name_ = name; }
    ControlPlacement placement() const override { return placement_; }
    void setPlacement(const ControlPlacement& placement) override { placement_ = placement; }
    int32_t tabOrder() const override { return tabOrder_; }
    void setTabOrder(int32_t order) override { tabOrder_ = order; }
    std::string handler(std::string_view event) const override;
    void setHandler(std::string_view event, const std::string& name) override;

private:
    std::string name_;
    ControlPlacement placement_;
    int32_t tabOrder_ = -1;
    std::map<std::string, std::string, std::less<>> handlers_;
};

class PlainListView final : public PlainControl, public ListViewControl {
public:
    std::vector<ListColumn>& columns() override { return columns_; }
    std::vector<ListRow> rows() const override { return rows_; }
    bool hasRows() const override { return !rows_.empty(); }
    void setRows(std::vector<ListRow> rows) override { rows_ = std::move(rows); }
    bool readOnly() const override { return readOnly_; }
    void setReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    int sortType() const override { return sortType_; }
    // Only the mode: plain rows keep the order they are given in.
    void setSortType(int sortType) override { sortType_ = sortType; }
    int viewStyle() const override { return viewStyle_; }
    void setViewStyle(int viewStyle) override { viewStyle_ = viewStyle; }

    // The rows without a copy.
    const std::vector<ListRow>& rowData() const { return rows_; }

private:
    std::vector<ListColumn> columns_;
    std::vector<ListRow> rows_;
    bool readOnly_ = false;
    int sortType_ = stNone;
    int viewStyle_ = vsIcon;
};

class PlainTreeView final : public PlainControl, public TreeViewControl {
public:
    int32_t indent() const override { return indent_; }
    void setIndent(int32_t indent) override { indent_ = indent; }
    bool readOnly() const override { return readOnly_; }
    void setReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    int sortType() const override { return sortType_; }
    // Only the mode: plain nodes keep the order they are given in.
    void setSortType(int sortType) override { sortType_ = sortType; }
    ObjectRef stateImages() const override { return stateImages_; }
    void setStateImages(ObjectRef images) override { stateImages_ = images; }
    std::vector<TreeNode> nodes() const override { return nodes_; }
    bool hasNodes() const override { return !nodes_.empty(); }
    void setNodes(std::vector<TreeNode> nodes) override { nodes_ = std::move(nodes); }

    // The nodes without a copy.
    const std::vector<TreeNode>& nodeData() const { return nodes_; }

private:
    int32_t indent_ = 0;
    bool readOnly_ = false;
    int sortType_ = stNone;
    ObjectRef stateImages_;
    std::vector<TreeNode> nodes_;
};

// A component that is only a name and an owner: what a reference to a component of a window
// ("frm_utama.ImageList1") needs when there is no window.
struct NamedComponent {
    std::string name;
    const NamedComponent* owner = nullptr;
};
const ClassInfo& namedComponentClass(); // TComponent over NamedComponent

} // namespace corvane::stream
