#include "scoped_environment.h"
#include "support/temp_tree.h"
#include "ui/desktop/recycle_bin.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

bool exists(const std::string& path) {
    return fs::exists(fs::symlink_status(path));
}

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A user whose home has no data folder yet (no ~/.local/share), with the current folder where
// the files to delete are: no trash may be made there.
class RecycleBin : public ::testing::Test {
protected:
    void SetUp() override {
        env_.set("HOME", QByteArray::fromStdString(home_.root()));
        env_.unset("XDG_DATA_HOME");
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(files_.root()));
    }
    void TearDown() override { QDir::setCurrent(previousFolder_); }

    std::string homeTrash(const std::string& relative = "") const {
        return home_.path(".local/share/Trash") + (relative.empty() ? "" : "/" + relative);
    }
    // No files/ or info/ folder was left where the files are.
    void expectNoStrayTrash() const {
        EXPECT_FALSE(exists(files_.path("files")));
        EXPECT_FALSE(exists(files_.path("info")));
    }

    TempTree home_;
    TempTree files_;
    ScopedEnvironment env_;
    QString previousFolder_;
};

TEST_F(RecycleBin, MovesIntoTheHomeTrashItMakesWhenTheDataFolderIsMissing) {
    const std::string file = files_.writeFile("photo 1%41.jpg", "pixels");
    const auto info = platform::lookupFile(file);
    QString reason = "stale";
    ASSERT_TRUE(ui::DeleteToRecycleBin(file, info, &reason)) << reason.toStdString();
    EXPECT_TRUE(reason.isEmpty());
    EXPECT_FALSE(exists(file));
    EXPECT_EQ(contentsOf(homeTrash("files/photo 1%41.jpg")), "pixels");
    const std::string trashInfo = contentsOf(homeTrash("info/photo 1%41.jpg.trashinfo"));
    EXPECT_NE(trashInfo.find("[Trash Info]"), std::string::npos);
    // The original path escaped as in URLs, so that the "%41" is not restored as "A".
    EXPECT_NE(trashInfo.find("\nPath=" + files_.root() + "/photo%201%2541.jpg\n"), std::string::npos)
        << trashInfo;
    EXPECT_NE(trashInfo.find("DeletionDate="), std::string::npos);
    expectNoStrayTrash();
    // What a user throws away is the user's own.
    struct stat st {};
    ASSERT_EQ(::stat(homeTrash().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(home_.path(".local/share").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(RecycleBin, FollowsXdgDataHome) {
    env_.set("XDG_DATA_HOME", QByteArray::fromStdString(home_.path("data")));
    const std::string file = files_.writeFile("a.txt", "a");
    ASSERT_TRUE(ui::DeleteToRecycleBin(file));
    EXPECT_TRUE(exists(home_.path("data/Trash/files/a.txt")));
    EXPECT_TRUE(exists(home_.path("data/Trash/info/a.txt.trashinfo")));
    EXPECT_FALSE(exists(homeTrash()));
}

TEST_F(RecycleBin, LeavesAloneWhatIsNotTheFileThatWasCompared) {
    QString reason;
    const std::string changed = files_.writeFile("changed.txt", "before");
    const auto changedInfo = platform::lookupFile(changed);
    files_.writeFile("changed.txt", "after!");
    EXPECT_FALSE(ui::DeleteToRecycleBin(changed, changedInfo, &reason));
    EXPECT_EQ(reason, "changed since it was compared");
    EXPECT_EQ(contentsOf(changed), "after!");

    // Another file put in its place, with the same size and modification time.
    const std::string replaced = files_.writeFile("replaced.txt", "one");
    const auto replacedInfo = platform::lookupFile(replaced);
    const std::string other = files_.writeFile("other.txt", "two");
    struct timespec times[2] = {
        {0, UTIME_OMIT},
        {replacedInfo->modificationTimeNs / 1'000'000'000, replacedInfo->modificationTimeNs % 1'000'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
    ASSERT_EQ(::rename(other.c_str(), replaced.c_str()), 0);
    EXPECT_FALSE(ui::DeleteToRecycleBin(replaced, replacedInfo, &reason));
    EXPECT_EQ(reason, "changed since it was compared");
    EXPECT_EQ(contentsOf(replaced), "two");

    EXPECT_FALSE(ui::DeleteToRecycleBin(files_.path("gone.txt"), std::nullopt, &reason));
    EXPECT_EQ(reason, "no longer there");

    const std::string folder = files_.makeDir("folder");
    files_.writeFile("folder/inside.txt", "x");
    EXPECT_FALSE(ui::DeleteToRecycleBin(folder, std::nullopt, &reason));
    EXPECT_EQ(reason, "not a regular file");
    EXPECT_TRUE(exists(files_.path("folder/inside.txt")));

    const std::string link = files_.path("link.txt");
    ASSERT_EQ(::symlink(files_.path("folder/inside.txt").c_str(), link.c_str()), 0);
    EXPECT_FALSE(ui::DeleteToRecycleBin(link, std::nullopt, &reason));
    EXPECT_EQ(reason, "not a regular file");
    EXPECT_TRUE(exists(link));
    expectNoStrayTrash();
}

TEST_F(RecycleBin, ANameThatIsNotTextGoesAsItsBytesNeverAsALookAlike) {
    // "\xff" is no UTF-8; as text it would become U+FFFD, whose UTF-8 is the look-alike's name.
    const std::string raw = files_.writeFile("bad\xff.txt", "raw");
    const std::string lookAlike = files_.writeFile("bad\xef\xbf\xbd.txt", "look-alike");
    QString reason;
    EXPECT_TRUE(ui::DeleteToRecycleBin(raw, platform::lookupFile(raw), &reason)) << reason.toStdString();
    EXPECT_FALSE(exists(raw));
    EXPECT_EQ(contentsOf(homeTrash("files/bad\xff.txt")), "raw");
    EXPECT_NE(
        contentsOf(homeTrash("info/bad\xff.txt.trashinfo")).find("\nPath=" + files_.root() + "/bad%FF.txt\n"),
        std::string::npos);
    EXPECT_EQ(contentsOf(lookAlike), "look-alike");
}

TEST_F(RecycleBin, RefusesWithTheReasonWhenNoHomeTrashCanBeMade) {
    const std::string file = files_.writeFile("keep.txt", "keep");
    QString reason;
    // A data folder that cannot be made: a file stands where its parent should be.
    const std::string plain = home_.writeFile("plain", "");
    env_.set("XDG_DATA_HOME", QByteArray::fromStdString(plain + "/share"));
    EXPECT_FALSE(ui::DeleteToRecycleBin(file, std::nullopt, &reason));
    EXPECT_EQ(reason.toStdString(),
              "the trash folder cannot be made: " + plain + "/share: " + std::strerror(ENOTDIR));
    EXPECT_EQ(contentsOf(file), "keep");
    expectNoStrayTrash();
}

TEST_F(RecycleBin, ARelativeXdgDataHomeIsIgnoredNotReadAgainstTheCurrentFolder) {
    const std::string file = files_.writeFile("a.txt", "a");
    env_.set("XDG_DATA_HOME", "relative/share");
    QString reason;
    EXPECT_TRUE(ui::DeleteToRecycleBin(file, std::nullopt, &reason)) << reason.toStdString();
    EXPECT_EQ(contentsOf(homeTrash("files/a.txt")), "a");
    EXPECT_FALSE(exists(files_.path("relative")));
    expectNoStrayTrash();
}

} // namespace
} // namespace corvane::testing
