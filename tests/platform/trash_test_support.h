#pragma once

// What the trash tests share: a data folder of their own for the home trash, reading files back,
// and the check that a file in a trash can be put back where its info file says it was.

#include "platform/trash.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace corvane::testing {

inline bool entryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

inline std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline mode_t permissionsOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

inline std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// The names in a folder, sorted; empty when it does not exist.
inline std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// An environment variable set for one test and put back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        set(value);
    }
    ~ScopedVariable() { set(old_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void set(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name_, value->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> old_;
};

// Checks that `result` moved a file that was at `originalPath` holding `contents`, and that
// its info file leads back there: the file is put back from the trash and read again.
inline void expectRestorable(const platform::TrashResult& result, const std::string& originalPath,
                             const std::string& contents) {
    ASSERT_TRUE(result.moved()) << result.reason.text();
    EXPECT_FALSE(entryExists(originalPath));
    platform::Reason failure;
    const auto trashed = platform::readTrashInfo(result.infoFile, &failure);
    ASSERT_TRUE(trashed) << failure.text();
    EXPECT_EQ(trashed->originalPath, originalPath);
    EXPECT_EQ(trashed->fileInTrash, result.fileInTrash);
    ASSERT_EQ(::rename(trashed->fileInTrash.c_str(), trashed->originalPath.c_str()), 0);
    EXPECT_EQ(contentsOf(originalPath), contents);
    ASSERT_EQ(::rename(originalPath.c_str(), trashed->fileInTrash.c_str()), 0);
}

// A file system mounted for one test (only root may), taken away again afterwards. mounted()
// tells whether it worked; why() gives the system's reason when not.
class ScopedMount {
public:
    ScopedMount(const char* source, const std::string& target, const char* type, unsigned long flags)
        : target_(target) {
        if (::mount(source, target.c_str(), type, flags, nullptr) == 0) {
            mounted_ = true;
        } else {
            why_ = std::strerror(errno);
        }
    }
    ~ScopedMount() {
        if (mounted_) {
            ::umount2(target_.c_str(), MNT_DETACH);
        }
    }
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    // Makes the mount read-only (a bind mount stays one); false with why() set on failure.
    bool makeReadOnly(bool bind) {
        const unsigned long flags = MS_REMOUNT | MS_RDONLY | (bind ? MS_BIND : 0);
        if (::mount(nullptr, target_.c_str(), nullptr, flags, nullptr) == 0) {
            return true;
        }
        why_ = std::strerror(errno);
        return false;
    }

private:
    std::string target_;
    bool mounted_ = false;
    std::string why_;
};

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// A home trash in a folder of the test's own ($XDG_DATA_HOME/Trash).
class TrashTest : public ::testing::Test {
protected:
    std::string homeTrash(const std::string& relative = "") const {
        return data_.path("share/Trash") + (relative.empty() ? "" : "/" + relative);
    }

    TempTree data_;
    TempTree files_;
    // The folder's path as the system resolves it: the original paths in info files are these.
    std::string root_ = realPath(files_.root());
    ScopedVariable dataHome_{"XDG_DATA_HOME", data_.path("share")};
};

} // namespace corvane::testing
