#include "support/action_invariants.h"

#include "support/file_contents.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace corvane::testing {

namespace {

namespace fs = std::filesystem;

// How much of a content a message shows.
constexpr size_t kBytesShown = 40;

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isUnder(const std::string& path, const std::string& folder) {
    return !folder.empty() && (path == folder || startsWith(path, folder + "/"));
}

// A mount's trash at its top folder: .Trash-UID, or the shared .Trash holding one per user.
bool isTopTrashName(const std::string& name) {
    return name == ".Trash" || startsWith(name, ".Trash-");
}

bool isTrash(const fs::path& path, const ActionScene& scene) {
    return isTopTrashName(path.filename().string()) || isUnder(path.string(), scene.homeTrash);
}

// Calls `visit` for every entry under `root` (not `root` itself), without following links; with
// `intoTrash` false, trash folders are neither visited nor entered.
void walk(const std::string& root, const ActionScene& scene, bool intoTrash,
          const std::function<void(const fs::path&, const struct stat&)>& visit) {
    std::error_code error;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        if (!intoTrash && isTrash(path, scene)) {
            it.disable_recursion_pending();
            continue;
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
            visit(path, st);
        }
    }
}

// Every regular file in the trash folders with its contents.
std::map<std::string, std::string> trashedContents(const ActionScene& scene) {
    std::map<std::string, std::string> contents;
    for (const std::string& trash : trashFoldersOf(scene)) {
        walk(trash, scene, true, [&](const fs::path& path, const struct stat& st) {
            if (S_ISREG(st.st_mode)) {
                contents.emplace(fileContents(path.string()), path.string());
            }
        });
    }
    return contents;
}

// The entries of `folder`, sorted; none when it cannot be read.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// What a trash entry holds, for a message.
std::string describeEntry(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return "(gone)";
    }
    if (S_ISREG(st.st_mode)) {
        return "holding " + describeContents(fileContents(path));
    }
    return S_ISDIR(st.st_mode) ? "(a folder)" : "(not a regular file)";
}

// Why the info file `path` is not complete; empty when it is.
std::string incompleteness(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return "has no info file " + path;
    }
    if (!S_ISREG(st.st_mode)) {
        return "has an info file that is not a regular file: " + path;
    }
    const std::string text = fileContents(path);
    const bool complete = startsWith(text, "[Trash Info]\n") && text.find("\nPath=") != std::string::npos &&
                          text.find("\nDeletionDate=") != std::string::npos;
    return complete ? std::string()
                    : "has an incomplete info file " + path + " holding " + describeContents(text);
}

} // namespace

std::map<std::string, std::string> contentsOutsideTrash(const ActionScene& scene) {
    std::map<std::string, std::string> contents;
    for (const std::string& root : scene.roots) {
        walk(root, scene, false, [&](const fs::path& path, const struct stat& st) {
            if (S_ISREG(st.st_mode)) {
                contents.emplace(fileContents(path.string()), path.string());
            }
        });
    }
    return contents;
}

std::vector<std::string> lostContents(const std::map<std::string, std::string>& before,
                                      const ActionScene& scene) {
    const auto outside = contentsOutsideTrash(scene);
    std::vector<std::string> faults;
    std::map<std::string, std::string> inTrash;
    for (const auto& [contents, path] : before) {
        if (outside.count(contents)) {
            continue;
        }
        if (inTrash.empty()) {
            inTrash = trashedContents(scene);
        }
        const auto trashed = inTrash.find(contents);
        faults.push_back("lost " + describeContents(contents) + " (was " + path + "): " +
                         (trashed != inTrash.end() ? "only the trash holds it, at " + trashed->second
                                                   : std::string("no file holds it any more")));
    }
    return faults;
}

std::vector<std::string> trashFoldersOf(const ActionScene& scene) {
    std::vector<std::string> trashes;
    if (!scene.homeTrash.empty() && exists(scene.homeTrash)) {
        trashes.push_back(scene.homeTrash);
    }
    for (const std::string& root : scene.roots) {
        std::error_code error;
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            const std::string path = it->path().string();
            const std::string name = it->path().filename().string();
            if (isUnder(path, scene.homeTrash) || !isTopTrashName(name)) {
                continue;
            }
            it.disable_recursion_pending();
            if (!it->is_directory(error) || it->is_symlink(error)) {
                continue;
            }
            if (name == ".Trash") {
                for (const std::string& user : namesIn(path)) {
                    trashes.push_back(path + "/" + user);
                }
            } else {
                trashes.push_back(path);
            }
        }
    }
    std::sort(trashes.begin(), trashes.end());
    trashes.erase(std::unique(trashes.begin(), trashes.end()), trashes.end());
    return trashes;
}

std::vector<std::string> incompleteTrashEntries(const ActionScene& scene) {
    std::vector<std::string> faults;
    for (const std::string& trash : trashFoldersOf(scene)) {
        for (const std::string& name : namesIn(trash + "/files")) {
            const std::string file = trash + "/files/" + name;
            if (const std::string why = incompleteness(trash + "/info/" + name + ".trashinfo");
                !why.empty()) {
                faults.push_back(file + " " + describeEntry(file) + " " + why);
            }
        }
        for (const std::string& name : namesIn(trash + "/info")) {
            constexpr std::string_view kSuffix = ".trashinfo";
            const std::string info = trash + "/info/" + name;
            if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) {
                if (!startsWith(name, ".corvane-")) {
                    faults.push_back(info + " is no info file (" + describeEntry(info) + ")");
                }
                continue;
            }
            // An info file with its file was looked at above.
            const std::string file = trash + "/files/" + name.substr(0, name.size() - kSuffix.size());
            if (const std::string why = incompleteness(info); !why.empty() && !exists(file)) {
                faults.push_back(info +
                                 ", without a file, is incomplete: " + describeContents(fileContents(info)));
            }
        }
    }
    return faults;
}

std::vector<std::string> orphanInfoFiles(const ActionScene& scene) {
    std::vector<std::string> faults;
    for (const std::string& trash : trashFoldersOf(scene)) {
        for (const std::string& name : namesIn(trash + "/info")) {
            constexpr std::string_view kSuffix = ".trashinfo";
            if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) {
                continue;
            }
            const std::string file = trash + "/files/" + name.substr(0, name.size() - kSuffix.size());
            if (!exists(file)) {
                const std::string info = trash + "/info/" + name;
                faults.push_back(info + " has no file " + file + "; it holds " +
                                 describeContents(fileContents(info)));
            }
        }
    }
    return faults;
}

std::vector<std::string> temporaryNames(const ActionScene& scene) {
    std::vector<std::string> found;
    const auto look = [&](const fs::path& path, const struct stat&) {
        if (startsWith(path.filename().string(), ".corvane-")) {
            found.push_back(path.string() + " " + describeEntry(path.string()));
        }
    };
    for (const std::string& root : scene.roots) {
        walk(root, scene, true, look);
    }
    for (const std::string& trash : trashFoldersOf(scene)) {
        bool searched = false;
        for (const std::string& root : scene.roots) {
            searched = searched || isUnder(trash, root);
        }
        if (!searched) {
            walk(trash, scene, true, look);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::map<std::string, std::string> folderSnapshot(const std::string& folder) {
    std::map<std::string, std::string> entries;
    walk(folder, ActionScene{}, true, [&](const fs::path& path, const struct stat& st) {
        std::string described;
        if (S_ISDIR(st.st_mode)) {
            described = "a folder";
        } else if (S_ISLNK(st.st_mode)) {
            std::error_code error;
            described = "a link to " + fs::read_symlink(path, error).string();
        } else if (S_ISREG(st.st_mode)) {
            // The contents in full: a change past the part a message shows is a change too.
            const std::string contents = fileContents(path.string());
            described =
                "inode " + std::to_string(st.st_ino) + ", modified " + std::to_string(st.st_mtim.tv_sec) +
                "." + std::to_string(st.st_mtim.tv_nsec) + ", holding " + describeContents(contents) +
                (contents.size() > kBytesShown ? " #" + std::to_string(std::hash<std::string>()(contents))
                                               : "");
        } else {
            described = "a special file";
        }
        entries[path.string()] = described;
    });
    return entries;
}

std::vector<std::string> snapshotChanges(const std::map<std::string, std::string>& before,
                                         const std::map<std::string, std::string>& after) {
    std::vector<std::string> changes;
    for (const auto& [path, was] : before) {
        const auto now = after.find(path);
        if (now == after.end()) {
            changes.push_back(path + " went away (" + was + ")");
        } else if (now->second != was) {
            changes.push_back(path + " changed: was " + was + ", now " + now->second);
        }
    }
    for (const auto& [path, now] : after) {
        if (!before.count(path)) {
            changes.push_back(path + " appeared (" + now + ")");
        }
    }
    return changes;
}

std::string describeContents(const std::string& contents) {
    std::string text = "\"";
    for (size_t i = 0; i < contents.size() && i < kBytesShown; ++i) {
        const auto byte = static_cast<unsigned char>(contents[i]);
        if (byte == '"' || byte == '\\') {
            text += '\\';
            text += static_cast<char>(byte);
        } else if (byte >= 0x20 && byte < 0x7f) {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    text += '"';
    if (contents.size() > kBytesShown) {
        text += "... (" + std::to_string(contents.size()) + " bytes)";
    }
    return text;
}

} // namespace corvane::testing
