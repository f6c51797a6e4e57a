#pragma once

// A result set: a search kept as three files that share one name. NAME holds the search paths
// (searchPathList_), NAME.~SR~ the searched files (searchedFilesList_) and NAME.~DF~ the duplicate tree
// (duplicateTree_), each a component stream whose root is the control. The window saves and opens its live
// controls with these steps, the command line its plain data; the declarations make both write the same
// bytes.

#include "stream/byte_streams.h"
#include "stream/plain_controls.h"
#include "stream/stream_reader.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace corvane::stream {

inline constexpr std::string_view kSearchedFilesSuffix = ".~SR~";
inline constexpr std::string_view kDuplicatesSuffix = ".~DF~";

// The three file names of the set NAME, in the order they are written and read.
std::array<std::string, 3> resultSetFiles(const std::string& name);

// The three controls of a set.
struct ResultSet {
    ListViewControl& searchPaths;   // searchPathList_
    ListViewControl& searchedFiles; // searchedFilesList_
    TreeViewControl& duplicates;    // duplicateTree_
};

// A file of a result set being written. Its bytes go to a temporary file beside it, which takes the
// file's name only when the whole set is committed, so that a failed save leaves the older set whole.
// When the output goes, a file never committed (or rolled back) goes with its temporary file; after a
// commit, the older file it replaced goes.
class ResultFileOutput : public OutputStream {
public:
    // Completes the temporary file: every byte written and on the disk. Throws Error (the create
    // message with the system's reason) when it cannot.
    virtual void finish() = 0;
    // Gives the finished file its name, keeping the older file of that name aside for rollBack.
    // Throws Error (the create message) and changes nothing when the file cannot take its name.
    virtual void commit() = 0;
    // Undoes commit: the older file, or no file, has the name again. Never throws; an older file that
    // cannot take its name back is left under its temporary name, never removed.
    virtual void rollBack() noexcept = 0;
};
// Creates the file for writing; throws Error("Cannot create file "PATH". REASON") when it cannot.
using CreateResultFile = std::function<std::unique_ptr<ResultFileOutput>(const std::string& path)>;

// "Cannot save "%s": a result file holds texts of at most %s characters. Nothing was saved"
std::string textTooLongMessage(const std::string& text);

// Throws Error(textTooLongMessage) for the first caption, sub-item or node text that a block cannot
// hold whole (cutting it would name another file).
void checkResultSetTexts(const ResultSet& set);

// Checks every text first and writes nothing if one is too long; then writes and finishes the three
// files in order, calling `betweenFiles` after the first and after the second, and commits them only
// once all three are complete. The first failure ends the save with its message and leaves the older
// set as it was: files committed before a failed commit are rolled back.
void writeResultSet(const std::string& name, const ResultSet& set, const CreateResultFile& create,
                    const std::function<void()>& betweenFiles = {});

// Reads the three files into the controls in order, each opened, read and closed before the next,
// calling `betweenFiles` after the first and after the second. The first failure ends the read with
// its message: "Cannot open file "PATH". REASON", or the stream's error after the name of the file
// it is in ("NAME.~SR~: Stream read error"). Controls read before it keep what they read, the control
// being read keeps the entries applied before it.
void readResultSet(const std::string& name, const ResultSet& set, const ReadOptions& options = {},
                   const std::function<void()>& betweenFiles = {});

// The data value of a search path row whose folder is a reference folder: its files are never
// deleted, linked or shared, and in a group that holds one a copy there is the copy that stays.
// Other rows hold 0, as they always did, so a set without reference folders keeps its bytes.
inline constexpr int32_t kReferenceFolderRowData = 1;

// The main window's three lists as plain data, laid out as the window lays them out at its design
// size, with their columns, modes and tab orders, empty.
class MainWindowLists {
public:
    MainWindowLists();
    MainWindowLists(const MainWindowLists&) = delete;
    MainWindowLists& operator=(const MainWindowLists&) = delete;

    PlainListView searchPaths;
    PlainListView searchedFiles;
    PlainTreeView duplicates;

    ResultSet set() { return {searchPaths, searchedFiles, duplicates}; }

private:
    // What the tree's StateImages names: the window's image list.
    NamedComponent window_{"frm_utama"};
    NamedComponent stateImages_{"ImageList1", &window_};
};

} // namespace corvane::stream
