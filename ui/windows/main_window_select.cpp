// The main window's Select menu: ticks made for the user by a rule, undone or turned around. A
// tick only marks a file; the delete buttons act, through their plan and last look.

#include "engine/keep_rules.h"
#include "stream/error.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/window_texts.h"
#include "ui/windows/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <array>

namespace corvane::ui {

namespace {

QString text(const char* english) {
    return QCoreApplication::translate("frm_utama", english);
}

// The rules, in the order of engine::KeepRule, each with what it keeps and its key.
struct KeepEntry {
    engine::KeepRule rule;
    const char* english;
    Qt::Key key;
};
constexpr std::array kKeepEntries{
    KeepEntry{engine::KeepRule::Original, QT_TRANSLATE_NOOP("frm_utama", "the original"), Qt::Key_1},
    KeepEntry{engine::KeepRule::Oldest, QT_TRANSLATE_NOOP("frm_utama", "the oldest"), Qt::Key_2},
    KeepEntry{engine::KeepRule::Newest, QT_TRANSLATE_NOOP("frm_utama", "the newest"), Qt::Key_3},
    KeepEntry{engine::KeepRule::FirstFolder,
              QT_TRANSLATE_NOOP("frm_utama", "the one in the first search path"), Qt::Key_4},
    KeepEntry{engine::KeepRule::ShortestPath, QT_TRANSLATE_NOOP("frm_utama", "the shortest path"), Qt::Key_5},
    KeepEntry{engine::KeepRule::LongestPath, QT_TRANSLATE_NOOP("frm_utama", "the longest path"), Qt::Key_6},
};

// A new entry of `menu`, its text translated with a letter no other entry of the menu has.
QAction* addEntry(QMenu* menu, const char* english) {
    auto* action = new QAction(withMnemonic(text(english), lettersOf(menu->actions())), menu);
    menu->addAction(action);
    return action;
}

} // namespace

void MainWindow::addSelectMenuAndExport() {
    auto* bar = qobject_cast<QMenuBar*>(menuWidget());
    QAction* fileMenu = menuAction(findComponent("File1"));
    QAction* helpMenu = menuAction(findComponent("Help1"));
    if (!bar || !fileMenu || !fileMenu->menu() || !helpMenu) {
        throw Error("The main window's description lacks a menu it needs");
    }
    // File > Export, after Open.
    QMenu* file = fileMenu->menu();
    exportAction_ = new QAction(
        withMnemonic(text(QT_TRANSLATE_NOOP("frm_utama", "Export…")), lettersOf(file->actions())), this);
    exportAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    const QList<QAction*> fileEntries = file->actions();
    const qsizetype afterOpen = fileEntries.indexOf(openAction_) + 1;
    file->insertAction(afterOpen < fileEntries.size() ? fileEntries[afterOpen] : nullptr, exportAction_);
    connect(exportAction_, &QAction::triggered, this, [this] { exportClicked(); });

    // The Select menu, between File and Help. Its letter is one no menu and no button of the window has.
    selectMenu_ =
        new QMenu(withMnemonic(text(QT_TRANSLATE_NOOP("frm_utama", "Select")), lettersTakenIn(this)), this);
    bar->insertMenu(helpMenu, selectMenu_);
    QMenu* keeping = selectMenu_->addMenu(
        withMnemonic(text(QT_TRANSLATE_NOOP("frm_utama", "Tick duplicates, keeping …")), QString()));
    // The menus as assistive technology names them when they open: their words, without the mark.
    for (QMenu* menu : {selectMenu_, keeping}) {
        menu->setAccessibleName(withoutMnemonic(menu->title()));
    }
    for (const KeepEntry& entry : kKeepEntries) {
        QAction* action = addEntry(keeping, entry.english);
        action->setShortcut(QKeySequence(Qt::CTRL | entry.key));
        connect(action, &QAction::triggered, this,
                [this, rule = entry.rule] { tickDuplicatesKeeping(rule); });
        keepRuleActions_.push_back(action);
    }
    untickAllAction_ = addEntry(selectMenu_, QT_TRANSLATE_NOOP("frm_utama", "Untick all"));
    untickAllAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    connect(untickAllAction_, &QAction::triggered, this, [this] { untickAll(); });
    invertGroupAction_ = addEntry(selectMenu_, QT_TRANSLATE_NOOP("frm_utama", "Invert ticks in this group"));
    invertGroupAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(invertGroupAction_, &QAction::triggered, this, [this] { invertTicksInGroup(); });

    // The entries follow the tree: its groups coming and going, its current node, a search.
    DuplicateTreeModel* tree = duplicateTree_->treeModel();
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(tree, signal, this, [this] { enableSelectAndExport(); });
    }
    connect(tree, &QAbstractItemModel::modelReset, this, [this] { enableSelectAndExport(); });
    connect(duplicateTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { enableSelectAndExport(); });
    enableSelectAndExport();
}

void MainWindow::enableSelectAndExport() {
    const bool idle = captionOf(searchButton_) == QLatin1String(kStartSearch);
    const bool groups = duplicateTree_->treeModel()->rowCount() > 0;
    for (QAction* action : keepRuleActions_) {
        action->setEnabled(idle && groups);
    }
    untickAllAction_->setEnabled(idle && groups);
    invertGroupAction_->setEnabled(idle && groups && duplicateTree_->currentIndex().isValid());
    exportAction_->setEnabled(idle && groups);
}

void MainWindow::tickDuplicatesKeeping(engine::KeepRule rule) {
    if (!untickAllAction_->isEnabled()) {
        return;
    }
    const SearchedFilesModel& paths = *searchPathList_->listModel();
    std::vector<std::string> folders;
    for (int i = 0; i < paths.count(); ++i) {
        folders.emplace_back(paths.caption(i));
    }
    // Only oldest and newest look at the files: the others need no look at a file of a set read
    // from disk, whose nodes hold nothing the comparer saw.
    const bool byTime = rule == engine::KeepRule::Oldest || rule == engine::KeepRule::Newest;
    const std::array rules{rule};
    std::vector<engine::KeepCandidate> candidates;
    DuplicateTreeModel* tree = duplicateTree_->treeModel();
    duplicateTree_->treeModel()->chooseStatesOfAllGroups(
        [&](std::span<const DuplicateNode* const> nodes, std::span<int32_t> states) {
            // A copy in a reference folder stays, whatever the rule: the rule chooses none, and
            // every other copy is ticked (the model leaves the reference copies unticked).
            if (std::any_of(nodes.begin(), nodes.end(),
                            [&](const DuplicateNode* node) { return tree->inReferenceFolder(node->text); })) {
                std::fill(states.begin(), states.end(), kStateChecked);
                return;
            }
            candidates.clear();
            for (const DuplicateNode* node : nodes) {
                candidates.push_back(byTime ? engine::keepCandidate(node->text, node->fileInfo, folders)
                                            : engine::KeepCandidate{node->text, std::nullopt,
                                                                    engine::folderRank(node->text, folders)});
            }
            const size_t keeper = engine::chooseKeeper(candidates, rules);
            for (size_t i = 0; i < states.size(); ++i) {
                states[i] = i == keeper ? kStateUnchecked : kStateChecked;
            }
        });
}

void MainWindow::untickAll() {
    if (!untickAllAction_->isEnabled()) {
        return;
    }
    duplicateTree_->treeModel()->chooseStatesOfAllGroups(
        [](std::span<const DuplicateNode* const>, std::span<int32_t> states) {
            std::fill(states.begin(), states.end(), kStateUnchecked);
        });
}

void MainWindow::invertTicksInGroup() {
    if (!invertGroupAction_->isEnabled()) {
        return;
    }
    // The option buttons a stored tree may hold are no ticks: they stay as they are.
    duplicateTree_->treeModel()->chooseStatesOfGroup(
        duplicateTree_->currentIndex(), [](std::span<const DuplicateNode* const>, std::span<int32_t> states) {
            for (int32_t& state : states) {
                state = state == kStateChecked     ? kStateUnchecked
                        : state == kStateUnchecked ? kStateChecked
                                                   : state;
            }
        });
}

} // namespace corvane::ui
