#include "cli/result_files.h"

#include "cli/save_module.h"
#include "cli/save_module_loader.h"
#include "engine/search_order.h"
#include "platform/path_parts.h"
#include "stream/error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // The module makes each date text in the window's format from the day.
    std::vector<std::string> sizeTexts;
    sizeTexts.reserve(search.files.size());
    for (const SearchedFile& file : search.files) {
        const std::string& sizeText = sizeTexts.emplace_back(std::to_string(file.size));
        const platform::CivilDate& day = file.createdOn;
        files.push_back({file.path.c_str(), sizeText.c_str(), "", 1, day.year, day.month, day.day});
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

void checkCanSave(const std::string& name) {
    const auto fail = [](const std::string& path, int error) {
        throw Error("Cannot create file \"" + path + "\". " + std::strerror(error));
    };
    for (const char* suffix : {"", ".~SR~", ".~DF~"}) {
        const std::string path = name + suffix;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            fail(path, EISDIR);
        }
    }
    // A nameless file in the set's folder shows that a new file can be made there; it leaves nothing
    // behind, whatever happens next. Where there are no nameless files, a named one is made and
    // removed at once.
    const std::string folder = platform::parentFolderOf(name);
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::string probe = platform::joinPath(folder, ".corvane-probe-XXXXXX");
        fd = ::mkstemp(probe.data());
        if (fd >= 0) {
            ::unlink(probe.c_str());
        }
    }
    if (fd < 0) {
        fail(name, errno);
    }
    ::close(fd);
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
