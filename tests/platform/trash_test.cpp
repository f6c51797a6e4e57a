#include "platform/reason_texts.h"
#include "platform/trash.h"
#include "platform/trash_info.h"
#include "trash_test_support.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

using platform::TrashFailure;

using HomeTrash = TrashTest;

TEST_F(HomeTrash, MadePrivateWhereMissingWithTheInfoAFileManagerReads) {
    const std::string file = files_.writeFile("photo 1%41.jpg", "pixels");
    const auto before = platform::trashDeletionDate(std::time(nullptr));
    const platform::TrashResult result = platform::moveToTrash(file);
    const auto after = platform::trashDeletionDate(std::time(nullptr));
    ASSERT_TRUE(result.moved()) << result.reason.text();
    EXPECT_TRUE(result.reason.text().empty());
    EXPECT_EQ(result.trashFolder, homeTrash());
    EXPECT_EQ(result.fileInTrash, homeTrash("files/photo 1%41.jpg"));
    EXPECT_EQ(result.infoFile, homeTrash("info/photo 1%41.jpg.trashinfo"));
    EXPECT_EQ(contentsOf(result.fileInTrash), "pixels");

    // The original path escaped as in URLs, so that "%41" is not restored as "A".
    const std::string info = contentsOf(result.infoFile);
    const std::string head = "[Trash Info]\nPath=" + root_ + "/photo%201%2541.jpg\nDeletionDate=";
    ASSERT_EQ(info.substr(0, head.size()), head);
    const size_t dateEnd = info.find('\n', head.size());
    ASSERT_NE(dateEnd, std::string::npos);
    const std::string date = info.substr(head.size(), dateEnd - head.size());
    // Then this program's key, naming the entry it moved.
    struct stat moved {};
    ASSERT_EQ(::lstat(result.fileInTrash.c_str(), &moved), 0);
    EXPECT_EQ(info.substr(dateEnd + 1),
              "X-Corvane-Entry=" + std::to_string(moved.st_dev) + ":" + std::to_string(moved.st_ino) + "\n");
    // YYYY-MM-DDThh:mm:ss, at the time of the move.
    ASSERT_TRUE(before && after);
    EXPECT_GE(date, *before);
    EXPECT_LE(date, *after);
    EXPECT_EQ(date.size(), 19u);
    for (const size_t at : {4, 7}) {
        EXPECT_EQ(date[at], '-');
    }
    EXPECT_EQ(date[10], 'T');

    // What a user throws away is the user's own.
    for (const char* folder : {"", "files", "info"}) {
        EXPECT_EQ(permissionsOf(homeTrash(folder)), 0700u) << folder;
    }
    EXPECT_EQ(permissionsOf(data_.path("share")), 0700u);
    EXPECT_EQ(permissionsOf(result.infoFile), 0600u);
    expectRestorable(result, root_ + "/photo 1%41.jpg", "pixels");
}

TEST_F(HomeTrash, NamesWithLineBreaksAndBytesThatAreNotUtf8GoLikeAnyOther) {
    // "\xff" is no UTF-8; taken as text it would become U+FFFD, the look-alike's name.
    const std::string lookAlike = files_.writeFile("bad\xef\xbf\xbd.txt", "look-alike");
    for (const std::string name : {"line\nbreak.txt", "bad\xff.txt", "\xc3\x9cn\xc3\xaf \xc3\x9f.jpg",
                                   "tab\tand %2F.txt", "trailing space "}) {
        SCOPED_TRACE(name);
        const std::string file = files_.writeFile("sub/" + name, "of " + name);
        const platform::TrashResult result = platform::moveToTrash(file);
        ASSERT_TRUE(result.moved()) << result.reason.text();
        EXPECT_EQ(result.fileInTrash, homeTrash("files/" + name));
        // Four lines (the last one this program's key), the path in printable ASCII without spaces.
        const std::string info = contentsOf(result.infoFile);
        EXPECT_EQ(std::count(info.begin(), info.end(), '\n'), 4);
        const size_t path = info.find("\nPath=") + 6;
        for (const char c : info.substr(path, info.find('\n', path) - path)) {
            EXPECT_TRUE(c > 0x20 && c < 0x7F) << "byte " << int(static_cast<unsigned char>(c));
        }
        expectRestorable(result, root_ + "/sub/" + name, "of " + name);
    }
    EXPECT_EQ(contentsOf(lookAlike), "look-alike");
}

TEST_F(HomeTrash, ANameTakenInTheTrashGetsANumberBeforeItsExtension) {
    struct Case {
        std::string name;
        std::vector<std::string> inTrash;
    };
    const std::vector<Case> cases = {
        {"a.txt", {"a.txt", "a.2.txt", "a.3.txt"}},
        {"README", {"README", "README.2", "README.3"}},
        {".profile", {".profile", ".profile.2", ".profile.3"}},
        {"archive.tar.gz", {"archive.tar.gz", "archive.tar.2.gz", "archive.tar.3.gz"}},
    };
    for (const Case& c : cases) {
        for (size_t i = 0; i < c.inTrash.size(); ++i) {
            const std::string relative = "folder" + std::to_string(i) + "/" + c.name;
            const std::string contents = relative;
            const platform::TrashResult result = platform::moveToTrash(files_.writeFile(relative, contents));
            ASSERT_TRUE(result.moved()) << result.reason.text();
            EXPECT_EQ(result.fileInTrash, homeTrash("files/" + c.inTrash[i]));
            EXPECT_EQ(result.infoFile, homeTrash("info/" + c.inTrash[i] + ".trashinfo"));
            expectRestorable(result, root_ + "/" + relative, contents);
        }
    }

    // A file in the trash without an info file, and an info file without its file (left by a
    // program that stopped half-way): both stay as they are, and the names are not taken.
    const std::string orphan = homeTrash("files/b.txt");
    std::ofstream(orphan) << "orphan";
    const std::string staleInfo = homeTrash("info/c.txt.trashinfo");
    std::ofstream(staleInfo) << "stale";
    const auto b = platform::moveToTrash(files_.writeFile("b.txt", "b"));
    const auto c = platform::moveToTrash(files_.writeFile("c.txt", "c"));
    EXPECT_EQ(b.fileInTrash, homeTrash("files/b.2.txt"));
    EXPECT_EQ(c.fileInTrash, homeTrash("files/c.2.txt"));
    EXPECT_EQ(contentsOf(orphan), "orphan");
    EXPECT_EQ(contentsOf(staleInfo), "stale");
    EXPECT_FALSE(entryExists(homeTrash("info/b.txt.trashinfo")));
    expectRestorable(b, root_ + "/b.txt", "b");
    expectRestorable(c, root_ + "/c.txt", "c");

    // A name so long that its info file's name would be too long is cut, UTF-8 left whole.
    const std::string longName = std::string(249, 'n') + "\xc3\xa9.txt"; // 255 bytes
    for (const char* folder : {"long1/", "long2/"}) {
        const auto result = platform::moveToTrash(files_.writeFile(folder + longName, folder));
        ASSERT_TRUE(result.moved()) << result.reason.text();
        const std::string infoName = result.infoFile.substr(result.infoFile.rfind('/') + 1);
        EXPECT_LE(infoName.size(), 255u);
        EXPECT_TRUE(infoName.ends_with(".txt.trashinfo")) << infoName;
        EXPECT_EQ(infoName.find('\xc3'), std::string::npos);
        expectRestorable(result, root_ + "/" + folder + longName, folder);
    }
}

TEST_F(HomeTrash, RefusesWhatIsNotThereIsNotAFileOrIsNoLongerTheExpectedEntry) {
    const auto refused = [](const platform::TrashResult& result, TrashFailure failure) {
        EXPECT_FALSE(result.moved());
        EXPECT_EQ(result.failure, failure) << result.reason.text();
        EXPECT_FALSE(result.reason.text().empty());
        EXPECT_TRUE(result.fileInTrash.empty());
    };
    refused(platform::moveToTrash(files_.path("gone.txt")), TrashFailure::Missing);
    refused(platform::moveToTrash(files_.path("no folder/gone.txt")), TrashFailure::Missing);
    refused(platform::moveToTrash(""), TrashFailure::Missing);
    // A name with a zero byte would reach the system cut short, as another file's name.
    files_.writeFile("cut", "cut");
    refused(platform::moveToTrash(files_.path(std::string("cut\0off", 7))), TrashFailure::Missing);
    EXPECT_EQ(contentsOf(files_.path("cut")), "cut");

    const std::string folder = files_.makeDir("folder");
    files_.writeFile("folder/inside.txt", "x");
    refused(platform::moveToTrash(folder), TrashFailure::NotAFile);
    refused(platform::moveToTrash(folder + "/"), TrashFailure::NotAFile);
    refused(platform::moveToTrash(folder + "/."), TrashFailure::NotAFile);
    EXPECT_TRUE(entryExists(files_.path("folder/inside.txt")));
    const std::string fifo = files_.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    refused(platform::moveToTrash(fifo), TrashFailure::NotAFile);
    EXPECT_TRUE(entryExists(fifo));

    // Another file renamed onto the path after the caller looked at it.
    const std::string file = files_.writeFile("checked.txt", "checked");
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    const platform::FileIdentity checked{st.st_dev, st.st_ino};
    const std::string other = files_.writeFile("other.txt", "newcomer");
    ASSERT_EQ(::rename(other.c_str(), file.c_str()), 0);
    refused(platform::moveToTrash(file, checked), TrashFailure::Replaced);
    EXPECT_EQ(contentsOf(file), "newcomer");
    // Nothing of a refused file reaches the trash.
    EXPECT_TRUE(namesIn(homeTrash("info")).empty());
    EXPECT_TRUE(namesIn(homeTrash("files")).empty());

    // The entry that is still the expected one goes.
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    const auto result = platform::moveToTrash(file, {st.st_dev, st.st_ino});
    expectRestorable(result, root_ + "/checked.txt", "newcomer");
}

TEST_F(HomeTrash, AFileTheCallersLastLookRefusesGoesBackWithoutATrace) {
    const std::string file = files_.writeFile("only copy.txt", "only copy");
    struct stat st {};
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    bool asked = false;
    const auto result = platform::moveToTrash(file, {st.st_dev, st.st_ino}, [&](const std::string& inTrash) {
        asked = true;
        // Asked once the file is in the trash, with its place there.
        EXPECT_FALSE(entryExists(file));
        EXPECT_EQ(contentsOf(inTrash), "only copy");
        return platform::Reason(corvane::kReasonOneFile);
    });
    EXPECT_TRUE(asked);
    EXPECT_EQ(result.failure, TrashFailure::PutBack) << result.reason.text();
    EXPECT_EQ(result.reason.text(), corvane::kReasonOneFile);
    EXPECT_EQ(contentsOf(file), "only copy");
    struct stat back {};
    ASSERT_EQ(::lstat(file.c_str(), &back), 0);
    EXPECT_EQ(back.st_ino, st.st_ino);
    EXPECT_TRUE(namesIn(homeTrash("info")).empty());
    EXPECT_TRUE(namesIn(homeTrash("files")).empty());

    // Kept when the look agrees.
    const auto kept = platform::moveToTrash(file, {st.st_dev, st.st_ino},
                                            [](const std::string&) { return platform::Reason(); });
    expectRestorable(kept, root_ + "/only copy.txt", "only copy");
}

TEST_F(HomeTrash, InfoFilesAreWholeWhenTheyAppearAndLeaveNoTemporaryName) {
    for (int i = 0; i < 20; ++i) {
        const auto result = platform::moveToTrash(files_.writeFile("same.txt", std::to_string(i)));
        ASSERT_TRUE(result.moved()) << result.reason.text();
        EXPECT_EQ(permissionsOf(result.infoFile), 0600u);
    }
    const std::vector<std::string> infos = namesIn(homeTrash("info"));
    EXPECT_EQ(infos.size(), 20u);
    for (const std::string& name : infos) {
        EXPECT_TRUE(name.ends_with(".trashinfo")) << name;
        EXPECT_EQ(contentsOf(homeTrash("info/" + name)).rfind("[Trash Info]\nPath=", 0), 0u) << name;
    }
    // What a process that ended while writing one left is cleared by the first move into that
    // trash (a leftover names a process that no longer runs); what a running one writes stays.
    TempTree otherData;
    const ScopedVariable otherHome("XDG_DATA_HOME", otherData.path("share"));
    const std::string leftover = otherData.writeFile("share/Trash/info/.corvane-info-999999999-1", "[Trash");
    const std::string running =
        otherData.writeFile("share/Trash/info/.corvane-info-" + std::to_string(::getppid()) + "-1", "[Trash");
    const std::string stranger = otherData.writeFile("share/Trash/info/not ours", "whatever");
    otherData.makeDir("share/Trash/files");
    ASSERT_TRUE(platform::moveToTrash(files_.writeFile("next.txt", "next")).moved());
    EXPECT_FALSE(entryExists(leftover));
    EXPECT_TRUE(entryExists(running));
    EXPECT_TRUE(entryExists(stranger));
}

// A run killed between writing an info file and moving its file leaves the info file alone in
// info/. The next move into that trash removes it when it can prove it is such a leftover of this
// program's, and nothing else.
TEST_F(HomeTrash, AnInfoFileAKilledRunLeftWithoutItsFileGoesWithTheNextMove) {
    enum class Place { Same, Replaced, Gone };
    struct Case {
        std::string name;
        bool ours;        // it carries this program's key
        Place original;   // at its Path=: the entry it was written for, another, or nothing
        bool fileInTrash; // files/ holds its file
        bool locked;      // a run still holds it: it is being written, its move to come
        bool removed;
    };
    const std::vector<Case> cases{
        {"killed.txt", true, Place::Same, false, false, true},
        {"foreign.txt", false, Place::Same, false, false, false},
        {"in trash.txt", true, Place::Same, true, false, false},
        {"replaced.txt", true, Place::Replaced, false, false, false},
        {"gone.txt", true, Place::Gone, false, false, false},
        {"being written.txt", true, Place::Same, false, true, false},
    };
    data_.makeDir("share/Trash/files");
    data_.makeDir("share/Trash/info");
    std::vector<int> locks;
    for (const Case& c : cases) {
        const std::string original = root_ + "/" + c.name;
        struct stat st {};
        if (c.original != Place::Gone) {
            files_.writeFile(c.name, "still here");
            ASSERT_EQ(::lstat(original.c_str(), &st), 0);
        }
        const platform::FileIdentity written{c.original == Place::Replaced ? st.st_dev + 1 : st.st_dev,
                                             st.st_ino};
        const std::string info = homeTrash("info/" + c.name + ".trashinfo");
        std::ofstream(info) << platform::composeTrashInfo(original, "2024-05-01T14:03:59",
                                                          c.ours ? std::optional(written) : std::nullopt);
        if (c.fileInTrash) {
            std::ofstream(homeTrash("files/" + c.name)) << "thrown away";
        }
        if (c.locked) {
            locks.push_back(::open(info.c_str(), O_RDONLY | O_CLOEXEC));
            ASSERT_EQ(::flock(locks.back(), LOCK_EX), 0);
        }
    }
    // Only info files: not another name holding such a text, nor a link to one.
    const std::string notInfo = homeTrash("info/killed.txt");
    std::ofstream(notInfo) << contentsOf(homeTrash("info/killed.txt.trashinfo"));
    ASSERT_EQ(::symlink(notInfo.c_str(), homeTrash("info/linked.txt.trashinfo").c_str()), 0);

    ASSERT_TRUE(platform::moveToTrash(files_.writeFile("next/next.txt", "next")).moved());
    for (const Case& c : cases) {
        EXPECT_EQ(entryExists(homeTrash("info/" + c.name + ".trashinfo")), !c.removed) << c.name;
        EXPECT_EQ(entryExists(root_ + "/" + c.name), c.original != Place::Gone) << c.name;
    }
    EXPECT_TRUE(entryExists(notInfo));
    EXPECT_TRUE(entryExists(homeTrash("info/linked.txt.trashinfo")));
    for (const int fd : locks) {
        ::close(fd);
    }
}

TEST_F(HomeTrash, SymbolicLinksGoAsThemselves) {
    const std::string target = files_.writeFile("target.txt", "target");
    const std::string link = files_.path("link");
    ASSERT_EQ(::symlink("target.txt", link.c_str()), 0);
    const std::string dangling = files_.path("dangling");
    ASSERT_EQ(::symlink("nowhere", dangling.c_str()), 0);
    for (const std::string& path : {link, dangling}) {
        const auto result = platform::moveToTrash(path);
        ASSERT_TRUE(result.moved()) << result.reason.text();
        struct stat st {};
        ASSERT_EQ(::lstat(result.fileInTrash.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        const auto trashed = platform::readTrashInfo(result.infoFile);
        ASSERT_TRUE(trashed);
        EXPECT_EQ(trashed->originalPath, root_ + path.substr(files_.root().size()));
    }
    EXPECT_EQ(contentsOf(target), "target");
}

// Makes renaming `file` out of its folder fail: immutable for root, whom folder permissions do
// not stop; a folder without write permission for anyone else. Empty, or why it cannot.
std::string makeUnmovable(const std::string& file, bool undo = false) {
    if (runningAsRoot()) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        if (fd < 0 || ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
            const std::string why = std::strerror(errno);
            if (fd >= 0) {
                ::close(fd);
            }
            return why;
        }
        flags = undo ? (flags & ~FS_IMMUTABLE_FL) : (flags | FS_IMMUTABLE_FL);
        const bool set = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        const std::string why = set ? "" : std::strerror(errno);
        ::close(fd);
        return why;
    }
    const std::string folder = file.substr(0, file.rfind('/'));
    return ::chmod(folder.c_str(), undo ? 0700 : 0500) == 0 ? "" : std::strerror(errno);
}

TEST_F(HomeTrash, AFailedRenameTakesItsInfoFileBackAndTheFileStays) {
    const std::string file = files_.writeFile("stuck/keep.txt", "keep");
    if (const std::string why = makeUnmovable(file); !why.empty()) {
        GTEST_SKIP() << "this file system cannot make a file unmovable: " << why;
    }
    const auto result = platform::moveToTrash(file);
    makeUnmovable(file, true);
    EXPECT_EQ(result.failure, TrashFailure::MoveFailed);
    const std::string systemReason = std::strerror(runningAsRoot() ? EPERM : EACCES);
    EXPECT_EQ(result.reason.text(), "it cannot be moved into the trash " + homeTrash() + ": " + systemReason);
    EXPECT_EQ(contentsOf(file), "keep");
    EXPECT_TRUE(namesIn(homeTrash("info")).empty());
    EXPECT_TRUE(namesIn(homeTrash("files")).empty());
}

TEST_F(HomeTrash, AFileInAReadOnlyFolderStaysAndTheReasonSaysWhy) {
    const std::string folder = files_.makeDir("readonly");
    const std::string file = files_.writeFile("readonly/keep.txt", "keep");
    // Root passes permission checks: for root the folder is made read-only as a mount.
    std::optional<ScopedMount> bind;
    if (runningAsRoot()) {
        bind.emplace(folder.c_str(), folder, nullptr, MS_BIND);
        if (!bind->mounted() || !bind->makeReadOnly(true)) {
            GTEST_SKIP() << "cannot mount the folder read-only: " << bind->why();
        }
    } else {
        ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);
    }
    const auto result = platform::moveToTrash(file);
    EXPECT_FALSE(result.moved());
    EXPECT_EQ(contentsOf(file), "keep");
    if (runningAsRoot()) {
        // A mount of its own, whose own trash cannot be made.
        EXPECT_EQ(result.failure, TrashFailure::NoTrash);
        EXPECT_EQ(result.reason.text(), "the trash folder cannot be made: " + realPath(folder) + "/.Trash-" +
                                            std::to_string(::getuid()) + ": " + std::strerror(EROFS));
    } else {
        EXPECT_EQ(result.failure, TrashFailure::MoveFailed);
        EXPECT_NE(result.reason.text().find(std::strerror(EACCES)), std::string::npos)
            << result.reason.text();
        EXPECT_TRUE(namesIn(homeTrash("info")).empty());
    }
}

TEST_F(HomeTrash, FailsWithTheReasonWhereTheTrashCannotBeMade) {
    const std::string file = files_.writeFile("keep.txt", "keep");
    const std::string plain = data_.writeFile("plain", "");
    ScopedVariable dataHome("XDG_DATA_HOME", plain + "/share");
    const auto result = platform::moveToTrash(file);
    EXPECT_EQ(result.failure, TrashFailure::NoTrash);
    EXPECT_EQ(result.reason.text(),
              "the trash folder cannot be made: " + plain + "/share: " + std::strerror(ENOTDIR));
    EXPECT_EQ(contentsOf(file), "keep");
}

TEST(HomeTrashFolder, FromXdgDataHomeOrTheHomeFolder) {
    {
        ScopedVariable dataHome("XDG_DATA_HOME", "/data/home/");
        EXPECT_EQ(platform::homeTrashFolder(), "/data/home/Trash");
    }
    ScopedVariable home("HOME", "/home/ana");
    // Unset, empty or relative: not valid, so the default under the home folder.
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>(""),
          std::optional<std::string>("rel/share")}) {
        ScopedVariable dataHome("XDG_DATA_HOME", value);
        EXPECT_EQ(platform::homeTrashFolder(), "/home/ana/.local/share/Trash");
    }
}

} // namespace
} // namespace corvane::testing
