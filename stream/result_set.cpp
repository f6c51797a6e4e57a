#include "stream/result_set.h"

#include "stream/block_limits.h"
#include "stream/class_builder.h"
#include "stream/error.h"
#include "stream/messages.h"
#include "stream/stream_writer.h"

namespace corvane::stream {

namespace {

constexpr std::string_view kTextTooLong =
    "Cannot save \"%s\": a result file holds texts of at most %s characters. Nothing was saved";

ObjectRef refOf(ListViewControl& list) {
    return makeRef(listViewClass(), &list);
}

ObjectRef refOf(TreeViewControl& tree) {
    return makeRef(treeViewClass(), &tree);
}

std::array<ObjectRef, 3> refsOf(const ResultSet& set) {
    return {refOf(set.searchPaths), refOf(set.searchedFiles), refOf(set.duplicates)};
}

void fillColumns(PlainListView& list, std::initializer_list<const char*> captions) {
    for (const char* caption : captions) {
        list.columns().push_back({.autoSize = true, .caption = caption});
    }
}

} // namespace

std::array<std::string, 3> resultSetFiles(const std::string& name) {
    return {name, name + std::string(kSearchedFilesSuffix), name + std::string(kDuplicatesSuffix)};
}

std::string textTooLongMessage(const std::string& text) {
    return formatMessage(kTextTooLong, {text, std::to_string(kMaxBlockTextUnits)});
}

void checkResultSetTexts(const ResultSet& set) {
    for (const ListViewControl* list : {&set.searchPaths, &set.searchedFiles}) {
        if (list->hasRows()) {
            const std::vector<ListRow> rows = list->rows();
            if (const std::optional<std::string> text = findTooLongText(rows)) {
                throw Error(textTooLongMessage(*text));
            }
        }
    }
    if (set.duplicates.hasNodes()) {
        const std::vector<TreeNode> nodes = set.duplicates.nodes();
        if (const std::string* text = findTooLongText(nodes)) {
            throw Error(textTooLongMessage(*text));
        }
    }
}

void writeResultSet(const std::string& name, const ResultSet& set, const CreateResultFile& create,
                    const std::function<void()>& betweenFiles) {
    checkResultSetTexts(set);
    const std::array<std::string, 3> files = resultSetFiles(name);
    const std::array<ObjectRef, 3> controls = refsOf(set);
    std::array<std::unique_ptr<ResultFileOutput>, 3> outputs;
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0 && betweenFiles) {
            betweenFiles();
        }
        outputs[i] = create(files[i]);
        WriteRootRecord(*outputs[i], controls[i]);
        outputs[i]->finish();
    }
    // A set that mixed two searches would name files the other search never found: all or none.
    for (size_t i = 0; i < outputs.size(); ++i) {
        try {
            outputs[i]->commit();
        } catch (...) {
            while (i > 0) {
                outputs[--i]->rollBack();
            }
            throw;
        }
    }
}

void readResultSet(const std::string& name, const ResultSet& set, const ReadOptions& options,
                   const std::function<void()>& betweenFiles) {
    const std::array<std::string, 3> files = resultSetFiles(name);
    const std::array<ObjectRef, 3> controls = refsOf(set);
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0 && betweenFiles) {
            betweenFiles();
        }
        FileInputStream in(files[i]); // its message names the file
        try {
            ReadRootRecord(in, controls[i], options);
        } catch (const Error& error) {
            throw Error(inFileMessage(files[i], error.what()));
        }
    }
}

// The bounds are the window's at its design size. searchedFilesList_ and duplicateTree_ sit in tab pages,
// which Qt makes 389 x 441 in the 393 x 468 tab control (its frame and tabs take less room than the design
// allows for); searchedFilesList_ fills its page and duplicateTree_ keeps its margins to the page's edges.
// The window test compares a set saved by the window with one written from this data, byte for byte.
MainWindowLists::MainWindowLists() {
    searchPaths.setComponentName("ListView1");
    searchPaths.setPlacement(
        {.left = 8, .top = 40, .width = 393, .height = 81, .anchors = akLeft | akTop | akRight});
    fillColumns(searchPaths, {"Path", "File Type"});
    searchPaths.setReadOnly(true);
    searchPaths.setTabOrder(1);
    searchPaths.setViewStyle(vsReport);

    searchedFiles.setComponentName("Listview2");
    searchedFiles.setPlacement({.left = 0, .top = 0, .width = 389, .height = 441, .align = alClient});
    fillColumns(searchedFiles, {"File Name", "Size", "Created Date"});
    searchedFiles.setReadOnly(true);
    searchedFiles.setTabOrder(0);
    searchedFiles.setViewStyle(vsReport);

    duplicates.setComponentName("TreeView1");
    duplicates.setPlacement(
        {.left = 4, .top = 34, .width = 381, .height = 233, .anchors = akLeft | akTop | akRight | akBottom});
    duplicates.setIndent(19);
    duplicates.setReadOnly(true);
    duplicates.setStateImages(makeRef(namedComponentClass(), &stateImages_));
    duplicates.setTabOrder(0);
}

} // namespace corvane::stream
