// The main window's search options: the Search menu, the dialog that sets the filters, and what
// a search takes of them (the scanner's part here, the rest in the search's reports).

#include "ui/windows/main_window.h"

#include "ui/desktop/status_texts.h"
#include "ui/forms/control_classes.h"
#include "ui/windows/search_options_dialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace corvane::ui {

void MainWindow::setUpSearchOptions() {
    searchOptionsDialog_ = new SearchOptionsDialog(this);
    auto* bar = qobject_cast<QMenuBar*>(menuWidget());
    if (!bar) {
        return;
    }
    auto* searchMenu = new QMenu(QCoreApplication::translate("frm_utama", "Sea&rch"), this);
    searchOptionsAction_ =
        searchMenu->addAction(QCoreApplication::translate("frm_utama", "Search &Options..."));
    searchOptionsAction_->setStatusTip(QCoreApplication::translate(
        "frm_utama", "Size limits, folders to leave out, hard links and file systems for the next searches"));
    connect(searchOptionsAction_, &QAction::triggered, this, [this] { searchOptionsClicked(this); });
    // Before Help, after the menus that come before it.
    QAction* help = menuAction(findComponent("Help1"));
    if (help && bar->actions().contains(help)) {
        bar->insertMenu(help, searchMenu);
    } else {
        bar->addMenu(searchMenu);
    }
}

void MainWindow::searchOptionsClicked(QObject*) {
    // The options apply from the next search on; one that runs keeps its own.
    searchOptionsDialog_->edit();
}

void MainWindow::takeSearchOptions() {
    searchFilters_ = searchOptionsDialog_ ? searchOptionsDialog_->filters() : engine::SearchFilters{};
    engine::applyToScanner(searchFilters_, *scanner_);
    furtherNames_ = {};
    furtherNamesPassedOver_ = 0;
    outsideSizeLimits_ = 0;
}

QString MainWindow::withFiltersNote(const QString& status) const {
    if (!searchFilters_.any()) {
        return status;
    }
    return withSearchOptionsNote(status, outsideSizeLimits_, furtherNamesPassedOver_);
}

} // namespace corvane::ui
