// The searched-files and search path lists (TListView) and the duplicate tree (TTreeView): the
// stream's list and tree declarations over the live views.

#include "ui/forms/control_families.h"
#include "ui/forms/list_controls_qt.h"

namespace corvane::ui {

using stream::ClassBuilder;
using stream::ObjectRef;

void declareListViewClasses(ControlClassSet& classes) {
    {
        ClassBuilder<ListViewWidget> b("TListView");
        b.inherits<stream::ListViewControl>(stream::listViewClass());
        declareComponent(b, [&classes](ObjectRef, ObjectRef parent) {
            return markInstance(*classes.listView, new ListViewWidget(containerOf(qobjectOf(parent))));
        });
        classes.listView = b.build();
    }
    {
        ClassBuilder<TreeViewWidget> b("TTreeView");
        b.inherits<stream::TreeViewControl>(stream::treeViewClass());
        declareComponent(b, [&classes](ObjectRef, ObjectRef parent) {
            return markInstance(*classes.treeView, new TreeViewWidget(containerOf(qobjectOf(parent))));
        });
        classes.treeView = b.build();
    }
    classes.registry.add(*classes.listView);
    classes.registry.add(*classes.treeView);
}

} // namespace corvane::ui
