// Ticks the files of a large duplicate tree shown in a tree view, as the Select menu does, and
// prints how long each way of telling the view took: all groups at once, and node by node for a
// part of them (a change of data per node, which the view looks up among its rows).
//
//   QT_QPA_PLATFORM=offscreen corvane-tick-bench [GROUPS]

#include "ui/views/duplicate_tree_model.h"
#include "ui/views/duplicate_tree_view.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    using namespace corvane::ui;
    using Clock = std::chrono::steady_clock;
    QApplication application(argc, argv);
    const int groups = argc > 1 ? std::atoi(argv[1]) : 100'000;
    const auto seconds = [](Clock::time_point since) {
        return std::chrono::duration<double>(Clock::now() - since).count();
    };
    DuplicateTreeModel model;
    for (int g = 0; g < groups; ++g) {
        const std::string folder = "/data/" + std::to_string(g) + "/";
        model.appendGroup(folder + "original", {folder + "copy 1", folder + "copy 2"});
    }
    DuplicateTreeView view;
    view.setModel(&model);
    view.resize(600, 400);
    view.show();
    QApplication::processEvents();

    const auto tickAllButFirst = [](std::span<const DuplicateNode* const>, std::span<int32_t> states) {
        for (size_t i = 0; i < states.size(); ++i) {
            states[i] = i == 0 ? kStateUnchecked : kStateChecked;
        }
    };
    auto start = Clock::now();
    model.chooseStatesOfAllGroups(tickAllButFirst);
    QApplication::processEvents();
    std::printf("%d groups, all at once:       %.3f s\n", groups, seconds(start));

    const int some = std::min(groups, 2'000);
    start = Clock::now();
    for (int g = 0; g < some; ++g) {
        const QModelIndex top = model.index(g, 0);
        model.setStateIndex(top, kStateChecked);
        for (int c = 0; c < model.rowCount(top); ++c) {
            model.setStateIndex(model.index(c, 0, top), kStateUnchecked);
        }
    }
    QApplication::processEvents();
    const double perGroup = seconds(start) / some;
    std::printf("%d groups, node by node:      %.3f s (%.1f s for all %d)\n", some, perGroup * some,
                perGroup * groups, groups);
    return 0;
}
