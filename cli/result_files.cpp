#include "cli/result_files.h"

#include "cli/save_module.h"
#include "cli/save_module_loader.h"
#include "engine/search_order.h"
#include "stream/error.h"

namespace corvane::cli {

void saveSearch(const std::string& name, const SearchToSave& search) {
    const CorvaneSaveModule& module = loadSaveModule();

    std::vector<const char*> folders;
    std::vector<const char*> patterns;
    for (size_t i = 0; i < search.folders.size(); ++i) {
        folders.push_back(search.folders[i].c_str());
        patterns.push_back(i < search.patterns.size() ? search.patterns[i].c_str() : "");
    }
    std::vector<CorvaneSavedFile> files;
    files.reserve(search.files.size());
    for (const SearchedFile& file : search.files) {
        CorvaneSavedFile saved{file.path.c_str(), file.sizeText.c_str(), file.dateText.c_str(), 0, 0, 0, 0};
        if (const std::optional<platform::CivilDate> date = engine::parseIsoDate(file.dateText)) {
            saved.dated = 1;
            saved.year = date->year;
            saved.month = date->month;
            saved.day = date->day;
        }
        files.push_back(saved);
    }
    size_t duplicateCount = 0;
    for (const DuplicateGroup& group : search.groups) {
        duplicateCount += group.duplicates.size();
    }
    std::vector<const char*> duplicates; // every group's, one after another; never reallocated
    duplicates.reserve(duplicateCount);
    std::vector<CorvaneSavedGroup> groups;
    groups.reserve(search.groups.size());
    for (const DuplicateGroup& group : search.groups) {
        groups.push_back(
            {group.original.c_str(), duplicates.data() + duplicates.size(), group.duplicates.size()});
        for (const std::string& duplicate : group.duplicates) {
            duplicates.push_back(duplicate.c_str());
        }
    }
    const CorvaneSavedSearch saved{folders.data(), patterns.data(), folders.size(), files.data(),
                                   files.size(),   groups.data(),   groups.size()};

    std::string message;
    const CorvaneSaveFailure keepMessage = [](void* context, const char* text, size_t size) {
        try {
            static_cast<std::string*>(context)->assign(text, size);
        } catch (...) { // nothing may unwind into the module
        }
    };
    if (module.saveSearch(name.c_str(), &saved, keepMessage, &message) == 0) {
        throw Error(message);
    }
}

std::vector<StoredGroup> storedGroups(std::span<const stream::TreeNode> nodes) {
    std::vector<StoredGroup> groups;
    for (const stream::TreeNode& node : nodes) {
        const StoredFile file{node.text, node.stateIndex == stream::kStateChecked};
        if (node.level == 0) {
            groups.push_back({.original = file, .duplicates = {}});
        } else if (node.level == 1 && !groups.empty()) {
            groups.back().duplicates.push_back(file);
        }
    }
    return groups;
}

} // namespace corvane::cli
