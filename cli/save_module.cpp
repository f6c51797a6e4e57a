// corvane-cli's save module: writes a search of `find --save` as the three files the window writes
// after the same search. It holds the command line's only use of Qt (Core, through the texts and
// the result file writer it shares with the window: qtcore/), so that corvane-cli starts without
// loading Qt and loads this module only when it saves.

#include "cli/save_module.h"
#include "qtcore/locale_texts.h"
#include "qtcore/saved_result_file.h"
#include "stream/result_set.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <exception>
#include <numeric>
#include <span>

namespace corvane::cli {

namespace {

std::string textOf(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// The scanner's date text of `file` in the window's format; a text that is no date as it is.
std::string dateTextOf(const qtcore::LocaleTexts& texts, const CorvaneSavedFile& file) {
    if (file.dated == 0) {
        return textOf(file.dateText);
    }
    return texts.shortDateText({file.year, file.month, file.day});
}

// The order of `texts` by the collator, equal texts keeping their order.
std::vector<size_t> textOrder(const QCollator& collator, std::span<const char* const> texts) {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const char* text : texts) {
        keys.push_back(collator.sortKey(QString::fromUtf8(text != nullptr ? text : "")));
    }
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}

std::vector<stream::TreeNode> groupNodes(const qtcore::LocaleTexts& texts,
                                         std::span<const CorvaneSavedGroup> groups) {
    const QCollator collator = texts.nodeTextCollator();
    std::vector<const char*> originals;
    size_t count = 0;
    for (const CorvaneSavedGroup& group : groups) {
        originals.push_back(group.original);
        count += 1 + group.duplicateCount;
    }
    std::vector<stream::TreeNode> nodes;
    nodes.reserve(count);
    for (const size_t g : textOrder(collator, originals)) {
        const CorvaneSavedGroup& group = groups[g];
        const std::span<const char* const> duplicates(group.duplicates, group.duplicateCount);
        nodes.push_back({.text = textOf(group.original), .level = 0, .hasChildren = !duplicates.empty()});
        for (const size_t d : textOrder(collator, duplicates)) {
            nodes.push_back({.text = textOf(duplicates[d]), .level = 1});
        }
    }
    return nodes;
}

// The main window's lists after the search: the search paths, the searched files with their dates
// in the window's short date format of the user's locale, and the groups with their files ordered
// by text as the window orders its tree, every node unchecked.
void fillMainWindowLists(const CorvaneSavedSearch& search, stream::MainWindowLists& lists) {
    std::vector<stream::ListRow> paths;
    for (size_t i = 0; i < search.folderCount; ++i) {
        paths.push_back(
            {.caption = textOf(search.folders[i]), .subItems = {{.text = textOf(search.patterns[i])}}});
    }
    lists.searchPaths.setRows(std::move(paths));

    const qtcore::LocaleTexts texts;
    std::vector<stream::ListRow> files;
    files.reserve(search.fileCount);
    for (const CorvaneSavedFile& file : std::span(search.files, search.fileCount)) {
        files.push_back({.caption = textOf(file.path),
                         .subItems = {{.text = textOf(file.sizeText)}, {.text = dateTextOf(texts, file)}}});
    }
    lists.searchedFiles.setRows(std::move(files));
    lists.duplicates.setNodes(groupNodes(texts, {search.groups, search.groupCount}));
    // The window orders its searched files by size at the end of a scan that found any, and its
    // tree by text once the comparison of them has ended.
    const bool found = search.fileCount != 0;
    lists.searchedFiles.setSortType(found ? stream::stData : stream::stNone);
    lists.duplicates.setSortType(found ? stream::stText : stream::stNone);
}

// No exception leaves the module: each becomes the message handed to `fail`.
int saveSearch(const char* name, const CorvaneSavedSearch* search, CorvaneSaveFailure fail,
               void* context) noexcept {
    const auto failWith = [&](const char* message) {
        if (fail != nullptr) {
            fail(context, message, std::char_traits<char>::length(message));
        }
        return 0;
    };
    try {
        stream::MainWindowLists lists;
        fillMainWindowLists(*search, lists);
        stream::writeResultSet(textOf(name), lists.set(), qtcore::createResultFile);
        return 1;
    } catch (const std::exception& error) {
        return failWith(error.what());
    } catch (...) {
        return failWith("unknown error");
    }
}

} // namespace

} // namespace corvane::cli

extern "C" __attribute__((visibility("default"))) const CorvaneSaveModule* corvane_save_module(void) {
    static const CorvaneSaveModule module{CORVANE_SAVE_MODULE_ABI, corvane::cli::saveSearch};
    return &module;
}
