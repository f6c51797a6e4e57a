#include "scoped_environment.h"
#include "support/temp_tree.h"
#include "ui/desktop/recycle_bin.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
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
// the files to delete are: the setting in which Qt 6.4 made a "trash" of the current folder.
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

TEST_F(RecycleBin, NeverMovesALookAlikeOfANameThatIsNotText) {
    // "\xff" is no UTF-8; as text it would become U+FFFD, whose UTF-8 is the look-alike's name.
    const std::string raw = files_.writeFile("bad\xff.txt", "raw");
    const std::string lookAlike = files_.writeFile("bad\xef\xbf\xbd.txt", "look-alike");
    QString reason;
    EXPECT_FALSE(ui::DeleteToRecycleBin(raw, platform::lookupFile(raw), &reason));
    EXPECT_EQ(reason, "its name cannot be handed to the trash unchanged");
    EXPECT_EQ(contentsOf(raw), "raw");
    EXPECT_EQ(contentsOf(lookAlike), "look-alike");
    EXPECT_FALSE(exists(homeTrash("files")));
}

TEST_F(RecycleBin, RefusesWhenNoHomeTrashCanBeMade) {
    const std::string file = files_.writeFile("keep.txt", "keep");
    QString reason;
    // A data folder that cannot be made: a file stands where its parent should be.
    env_.set("XDG_DATA_HOME", QByteArray::fromStdString(home_.writeFile("plain", "") + "/share"));
    EXPECT_FALSE(ui::DeleteToRecycleBin(file, std::nullopt, &reason));
    EXPECT_EQ(reason, "the trash folder cannot be made");
    // A relative one would be read against the current folder.
    env_.set("XDG_DATA_HOME", "relative/share");
    EXPECT_FALSE(ui::DeleteToRecycleBin(file, std::nullopt, &reason));
    EXPECT_EQ(contentsOf(file), "keep");
    EXPECT_FALSE(exists(files_.path("relative")));
    expectNoStrayTrash();
}

// Stands in for a trash that, like Qt 6.4 without a home trash, moves the file into files/ of
// the current folder, writes its info beside it and reports "./files/NAME".
bool moveIntoCurrentFolder(const QString& fileName, QString* pathInTrash) {
    QDir current;
    current.mkdir("files");
    current.mkdir("info");
    const QString name = QFileInfo(fileName).fileName();
    QFile info("info/" + name + ".trashinfo");
    info.open(QIODevice::WriteOnly);
    info.write("[Trash Info]\n");
    info.close();
    *pathInTrash = "./files/" + name;
    return QFile::rename(fileName, *pathInTrash);
}

TEST_F(RecycleBin, AMoveThatEndsOutsideATrashIsUndone) {
    const std::string file = files_.writeFile("sub/a.txt", "a");
    QString reason;
    EXPECT_FALSE(ui::DeleteToRecycleBin(file, std::nullopt, &reason, moveIntoCurrentFolder));
    EXPECT_EQ(reason, "no trash would take it; left in place");
    EXPECT_EQ(contentsOf(file), "a");
    expectNoStrayTrash();

    // Folders that were there before stay, and a file that appeared meanwhile where the moved
    // one was is not overwritten: the user is told where the file is.
    files_.makeDir("files");
    const auto moveAndReplace = [&file](const QString& fileName, QString* pathInTrash) {
        const bool moved = moveIntoCurrentFolder(fileName, pathInTrash);
        std::ofstream(file) << "newcomer";
        return moved;
    };
    EXPECT_FALSE(ui::DeleteToRecycleBin(file, std::nullopt, &reason, moveAndReplace));
    EXPECT_EQ(reason.toStdString(), "moved to " + files_.path("files/a.txt") + ", which is not a trash");
    EXPECT_EQ(contentsOf(file), "newcomer");
    EXPECT_EQ(contentsOf(files_.path("files/a.txt")), "a");
}

} // namespace
} // namespace corvane::testing
