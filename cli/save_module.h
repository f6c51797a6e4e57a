#pragma once

// The interface between corvane-cli and its save module, the one part of the command line that needs
// Qt. It is made of C types only, so that the program and the module share no C++ layouts, and it
// carries a version, so that a module of another build is refused instead of misread.
//
// Every text is NUL-terminated: file names and arguments cannot hold a NUL byte.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Raised whenever a type or a function below changes.
#define CORVANE_SAVE_MODULE_ABI 1

// The name of the one function the module exports.
#define CORVANE_SAVE_MODULE_ENTRY "corvane_save_module"

// One row of the searched-files list: the path, and the size and date texts as the scanner wrote them
// (the date as yyyy-mm-dd). The date is also given parsed when the text is such a date.
typedef struct CorvaneSavedFile {
    const char* path;
    const char* sizeText;
    const char* dateText;
    int32_t dated; // 1 when year, month and day hold the creation day (dateText is not read), else 0
    int32_t year;
    int32_t month;
    int32_t day;
} CorvaneSavedFile;

// A group of identical files: the first file and the files identical to it.
typedef struct CorvaneSavedGroup {
    const char* original;
    const char* const* duplicates;
    size_t duplicateCount;
} CorvaneSavedGroup;

// A search as `find` ran it.
typedef struct CorvaneSavedSearch {
    const char* const* folders;
    const char* const* patterns; // one per folder
    size_t folderCount;
    const CorvaneSavedFile* files; // in the order the comparer took them
    size_t fileCount;
    const CorvaneSavedGroup* groups; // as the comparer found them
    size_t groupCount;
} CorvaneSavedSearch;

// Receives the message of a failed save: the exact text the window shows, `size` bytes, not terminated.
typedef void (*CorvaneSaveFailure)(void* context, const char* message, size_t size);

typedef struct CorvaneSaveModule {
    uint32_t abi; // the CORVANE_SAVE_MODULE_ABI the module was built with; read before anything else
    // Writes the search as the result set `name`; an older set is replaced only once all three files are
    // whole. Returns 1 on success; otherwise hands the message to `fail` and returns 0. Never throws.
    int (*saveSearch)(const char* name, const CorvaneSavedSearch* search, CorvaneSaveFailure fail,
                      void* context);
} CorvaneSaveModule;

// The module's entry: its table, which lives as long as the module stays loaded.
const CorvaneSaveModule* corvane_save_module(void);

#ifdef __cplusplus
}
#endif
