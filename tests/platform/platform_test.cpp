#include "platform/entry_identity.h"
#include "platform/file_info.h"
#include "platform/file_reader.h"
#include "platform/folder_handles.h"
#include "platform/folder_listing.h"
#include "platform/path_parts.h"
#include "platform/utf8.h"
#include "platform/wildcard.h"
#include "support/deep_folder.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

using platform::matchesPattern;
using platform::PathPattern;

TEST(Wildcard, StarAndQuestionMark) {
    EXPECT_TRUE(matchesPattern("*.jpg", "a.jpg"));
    EXPECT_TRUE(matchesPattern("*.jpg", ".jpg"));
    EXPECT_FALSE(matchesPattern("*.jpg", "a.jpeg"));
    EXPECT_TRUE(matchesPattern("a?c", "abc"));
    EXPECT_FALSE(matchesPattern("a?c", "ac"));
    EXPECT_FALSE(matchesPattern("a?c", "abbc"));
    EXPECT_TRUE(matchesPattern("a?c", "a\xc3\xa9"
                                      "c")); // é is one character
    EXPECT_TRUE(matchesPattern("*a*b*c*", "xxaxxbxxcxx"));
    EXPECT_FALSE(matchesPattern("*a*b*c*", "xxcxxbxxaxx"));
    // Many stars over a long name that does not match stays quick.
    EXPECT_FALSE(matchesPattern("*a*a*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

TEST(Wildcard, LetterCaseIsIgnoredForEveryLetter) {
    EXPECT_TRUE(matchesPattern("*.JPG", "photo.jpg"));
    EXPECT_TRUE(matchesPattern("\xc3\x89t\xc3\xa9*", "\xc3\xa9T\xc3\x89.txt")); // Été / éTÉ
    EXPECT_TRUE(matchesPattern("\xce\xa3*", "\xcf\x83\xce\xb1"));               // Σ / σα
    EXPECT_TRUE(matchesPattern("\xe2\x84\xaa", "k"));                           // Kelvin sign
    EXPECT_FALSE(matchesPattern("e", "\xc3\xa9"));                              // e is not é
    // Bytes that are not UTF-8 match only themselves.
    EXPECT_TRUE(matchesPattern("a\xff*", "a\xff"
                                         "b"));
    EXPECT_FALSE(matchesPattern("a\xff*", "a\xfe"
                                          "b"));
    EXPECT_TRUE(matchesPattern("a?b", "a\xff"
                                      "b"));
}

TEST(Wildcard, WindowsRulesForDotStarAndOddPatterns) {
    EXPECT_TRUE(matchesPattern("*.*", "README"));
    EXPECT_TRUE(matchesPattern("*.*", "a.b.c"));
    EXPECT_TRUE(matchesPattern("report.*", "report"));
    EXPECT_TRUE(matchesPattern("report.*", "report.txt"));
    EXPECT_FALSE(matchesPattern("report.*", "reports"));
    EXPECT_FALSE(matchesPattern("", "anything"));
    EXPECT_FALSE(matchesPattern("sub/*.txt", "a.txt"));
    EXPECT_FALSE(matchesPattern("*/*", "a"));
}

TEST(Wildcard, PathPatternsRunAcrossFolders) {
    const PathPattern cache("*/cache/*");
    EXPECT_TRUE(cache.matches("/home/a/cache/x"));
    EXPECT_TRUE(cache.matches("/home/a/CACHE/deep/er/x"));
    EXPECT_TRUE(cache.matches("rel/cache/"));
    EXPECT_FALSE(cache.matches("/home/a/cache"));
    EXPECT_FALSE(cache.matches("/home/a/cached/x"));
    EXPECT_TRUE(PathPattern("/data/?/x").matches("/data/b/x"));
    EXPECT_TRUE(PathPattern("/data?x").matches("/data/x")); // "?" may stand for a "/"
    EXPECT_TRUE(PathPattern("*.TMP").matches("/a.b/c.tmp"));
    EXPECT_FALSE(PathPattern("*.tmp").matches("/a.tmp/c"));
    // A glob as the shell's: the file-name patterns' ".*" rule (also the name without a dot) is not
    // theirs, so dot names stay apart from a folder tried with its separator after it.
    EXPECT_FALSE(PathPattern("*/readme.*").matches("/x.y/readme"));
    EXPECT_TRUE(PathPattern("*/readme.*").matches("/x/readme.txt"));
    EXPECT_FALSE(PathPattern("*/readme.*").matches("/x/readme-old"));
    EXPECT_TRUE(PathPattern("*/.*").matches("/a/.git"));
    EXPECT_TRUE(PathPattern("*/.*").matches("/a/.git/x"));
    EXPECT_FALSE(PathPattern("*/.*").matches("/a/docs/"));
    EXPECT_FALSE(PathPattern("*/docs.*").matches("/a/docs/"));
    EXPECT_FALSE(PathPattern("*.*").matches("/a/b"));
    EXPECT_TRUE(PathPattern("*").matches("/any/path"));
    EXPECT_FALSE(PathPattern("").matches(""));
    EXPECT_TRUE(PathPattern("*\xff*").matches("/raw\xff/name")); // bytes outside UTF-8 match themselves
}

TEST(PathParts, AbsolutePathsAreMadeFromTheTextAlone) {
    using platform::absolutePath;
    EXPECT_EQ(absolutePath("photos/a.jpg", "/home/ana"), "/home/ana/photos/a.jpg");
    EXPECT_EQ(absolutePath("./photos//./a.jpg", "/home/ana/"), "/home/ana/photos/a.jpg");
    EXPECT_EQ(absolutePath(".", "/home/ana"), "/home/ana");
    EXPECT_EQ(absolutePath("", "/"), "/");
    // ".." is kept: through a linked folder it leads elsewhere than the text says.
    EXPECT_EQ(absolutePath("../b", "/home/ana"), "/home/ana/../b");
    // An absolute path only loses its "." parts and repeated separators.
    EXPECT_EQ(absolutePath("/tmp//x/./y/", "/home/ana"), "/tmp/x/y");
    // Names are bytes: a line break or a byte that is not UTF-8 stays as it is.
    EXPECT_EQ(absolutePath("a\nb/\xff", "/r"), "/r/a\nb/\xff");
}

TEST(FolderListing, DotEntriesFirstThenByteOrderHiddenIncluded) {
    TempTree tree;
    for (const char* name : {"b", "B", ".hidden", "a", "\xc3\xa9", "-dash", "Z"}) {
        tree.writeFile(name, "x");
    }
    tree.makeDir("dir");
    ASSERT_EQ(symlink("a", tree.path("link").c_str()), 0);
    ASSERT_EQ(mkfifo(tree.path("pipe").c_str(), 0600), 0);

    platform::FolderListing listing;
    ASSERT_TRUE(listing.open(tree.root()));
    std::vector<std::string> names;
    for (const auto& entry : listing.entries()) {
        names.push_back(entry.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "-dash", ".hidden", "B", "Z", "a", "b", "dir",
                                               "link", "pipe", "\xc3\xa9"}));
    const auto kindOf = [&](const std::string& name) {
        for (const auto& entry : listing.entries()) {
            if (entry.name == name) {
                return entry.kind;
            }
        }
        return platform::EntryKind::Other;
    };
    EXPECT_EQ(kindOf("a"), platform::EntryKind::RegularFile);
    EXPECT_EQ(kindOf("dir"), platform::EntryKind::Directory);
    EXPECT_EQ(kindOf("link"), platform::EntryKind::Other);
    EXPECT_EQ(kindOf("pipe"), platform::EntryKind::Other);

    const auto details = listing.details(listing.entries()[6]); // "a"
    ASSERT_TRUE(details);
    EXPECT_EQ(details->size, 1);

    EXPECT_FALSE(listing.open(tree.path("missing")));
    EXPECT_TRUE(listing.entries().empty());
    EXPECT_FALSE(listing.open(tree.path("a"))); // a file is no folder
}

TEST(FileReader, OpensRegularFilesOnly) {
    TempTree tree;
    const auto file = tree.writeFile("file", "0123456789");
    ASSERT_EQ(mkfifo(tree.path("pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("file", tree.path("link").c_str()), 0);

    platform::FileReader reader;
    EXPECT_FALSE(reader.open(tree.path("pipe"))); // returns at once instead of blocking
    EXPECT_FALSE(reader.open(tree.path("link")));
    EXPECT_FALSE(reader.open(tree.root()));
    EXPECT_FALSE(reader.open(tree.path("missing")));

    ASSERT_TRUE(reader.open(file));
    EXPECT_EQ(reader.info().size, 10);
    char buffer[8] = {};
    EXPECT_EQ(reader.readAt(6, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "6789");
}

TEST(FolderHandles, FilesOpenThroughHeldFoldersWhateverTheCapacity) {
    TempTree tree;
    const std::vector<std::string> files = {tree.writeFile("a/one", "1"), tree.writeFile("b/two", "22"),
                                            tree.writeFile("a/three", "333"),
                                            tree.writeFile("c/sub/four", "4444")};
    ASSERT_EQ(symlink("a", tree.path("linked").c_str()), 0);
    for (const size_t capacity : {size_t{0}, size_t{1}, size_t{64}}) {
        platform::FolderHandles folders(capacity);
        // Twice over, so that held folders are found again and, with one place, given back.
        for (int round = 0; round < 2; ++round) {
            for (size_t i = 0; i < files.size(); ++i) {
                platform::FileReader reader;
                ASSERT_TRUE(reader.open(folders.resolve(files[i]))) << files[i] << ", capacity " << capacity;
                EXPECT_EQ(reader.info().size, static_cast<int64_t>(i + 1));
            }
        }
        EXPECT_LE(folders.held(), capacity);
        // A folder that is not there, a link as the last name, a folder through a link, a bare name.
        platform::FileReader reader;
        const std::string missing = tree.path("none/one"), link = tree.path("linked");
        const std::string throughLink = tree.path("linked/one"), bare = "one";
        EXPECT_FALSE(reader.open(folders.resolve(missing)));
        EXPECT_FALSE(reader.open(folders.resolve(link)));
        EXPECT_TRUE(reader.open(folders.resolve(throughLink)));
        EXPECT_EQ(folders.resolve(bare).folderFd, platform::kCurrentFolder);
    }
}

TEST(FolderHandles, ManyInstancesTogetherHoldNoMoreThanTheProcessMay) {
    // Each instance could take the whole budget alone; three of them, as three threads would,
    // share it, and every file still opens.
    const size_t budget = platform::FolderHandles::processBudget();
    if (budget > 4096) {
        GTEST_SKIP() << "a limit of open files too high to fill here: " << budget << " folders";
    }
    TempTree tree;
    std::vector<std::string> files;
    for (size_t f = 0; f < budget + 8; ++f) {
        files.push_back(tree.writeFile("d" + std::to_string(f) + "/file", "x"));
    }
    std::vector<std::unique_ptr<platform::FolderHandles>> instances;
    for (int i = 0; i < 3; ++i) {
        instances.push_back(
            std::make_unique<platform::FolderHandles>(platform::FolderHandles::kDefaultCapacity));
    }
    for (const auto& folders : instances) {
        for (const std::string& file : files) {
            platform::FileReader reader;
            ASSERT_TRUE(reader.open(folders->resolve(file))) << file;
        }
    }
    size_t held = 0;
    for (const auto& folders : instances) {
        held += folders->held();
    }
    EXPECT_LE(held, budget);
    EXPECT_GT(held, 0u);
    // Given back when an instance goes: the next one may hold folders again.
    instances.clear();
    platform::FolderHandles next(platform::FolderHandles::kDefaultCapacity);
    for (const std::string& file : files) {
        platform::FileReader reader;
        ASSERT_TRUE(reader.open(next.resolve(file)));
    }
    EXPECT_GT(next.held(), 0u);
}

TEST(FolderHandles, FilesDeeperThanAPathCanNameOpenThroughTheirFolder) {
    TempTree tree;
    const std::string deep = makeDeepFolder(tree.root(), 2 * platform::kLongestPath, {{"file", "12345"}});
    const std::string file = deep + "/file";
    platform::FileReader reader;
    for (const size_t capacity : {size_t{0}, size_t{64}}) {
        platform::FolderHandles folders(capacity);
        ASSERT_TRUE(reader.open(folders.resolve(file))) << "capacity " << capacity;
        EXPECT_EQ(reader.info().size, 5);
        EXPECT_FALSE(reader.open(folders.resolve(deep + "/missing")));
    }
    // Looked up and opened by path the same way, and its identity known.
    ASSERT_TRUE(reader.open(file));
    const auto info = platform::lookupFile(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size, 5);
    EXPECT_EQ(info->inode, reader.info().inode);
    const auto folderInfo = platform::lookupFile(deep + "/");
    ASSERT_TRUE(folderInfo);
    EXPECT_EQ(folderInfo->kind, platform::EntryKind::Directory);
    const auto entry = platform::entryIdentityOf(file);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "file");
    EXPECT_TRUE(platform::openFolderHandle(deep).isOpen());
    EXPECT_FALSE(platform::openFolderHandle(deep + "/missing").isOpen());
    // One name longer than any path can never be opened, whatever the way.
    EXPECT_FALSE(platform::openFolderHandle(tree.root() + "/" + std::string(platform::kLongestPath + 1, 'n'))
                     .isOpen());
}

TEST(FileTimes, BirthTimeFallsBackToTheModificationTime) {
    using platform::FileTime;
    const FileTime modified{1'000'000'000, 5};
    EXPECT_EQ(platform::creationSeconds(FileTime{900'000'000, 0}, modified), 900'000'000);
    // None given, or the epoch given for none.
    EXPECT_EQ(platform::creationSeconds(std::nullopt, modified), 1'000'000'000);
    EXPECT_EQ(platform::creationSeconds(FileTime{0, 0}, modified), 1'000'000'000);
    // A moment after the epoch is a time that was recorded.
    EXPECT_EQ(platform::creationSeconds(FileTime{0, 1}, modified), 0);

    // On a real file: the birth time of a file made now, where the file system keeps one, else
    // the modification time, set here far in the past; never the epoch.
    TempTree tree;
    const std::string file = tree.writeFile("old", "x");
    const int64_t madeAround = std::time(nullptr);
    const timespec times[2] = {{978'307'200, 0}, {978'307'200, 0}}; // 2001-01-01
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    const auto info = platform::lookupFile(file);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->creationTime == 978'307'200 || info->creationTime >= madeAround - 5)
        << info->creationTime;
}

// Decodes the sequence at the start of `bytes`: its length, 0 when it is not well-formed.
size_t decodedLength(std::string_view bytes, char32_t* codePoint = nullptr) {
    char32_t decoded = 0xFFFFFFFF;
    const size_t length = platform::decodeUtf8(bytes, 0, decoded);
    if (codePoint) {
        *codePoint = decoded;
    }
    return length;
}

TEST(Utf8, WellFormedSequencesUpToTheirLimits) {
    const struct {
        std::string_view bytes;
        char32_t codePoint;
    } cases[] = {{"\x7f", 0x7F},
                 {"\xc2\x80", 0x80},
                 {"\xdf\xbf", 0x7FF},
                 {"\xe0\xa0\x80", 0x800},
                 {"\xed\x9f\xbf", 0xD7FF},
                 {"\xee\x80\x80", 0xE000},
                 {"\xef\xbf\xbf", 0xFFFF},
                 {"\xf0\x90\x80\x80", 0x10000},
                 {"\xf4\x8f\xbf\xbf", 0x10FFFF}};
    for (const auto& c : cases) {
        char32_t codePoint = 0;
        EXPECT_EQ(decodedLength(c.bytes, &codePoint), c.bytes.size())
            << std::hex << static_cast<uint32_t>(c.codePoint);
        EXPECT_EQ(codePoint, c.codePoint);
    }
    // Only the sequence at the given place is read.
    char32_t codePoint = 0;
    EXPECT_EQ(platform::decodeUtf8("a\xc3\xa9z", 1, codePoint), 2u);
    EXPECT_EQ(codePoint, 0xE9u);
}

TEST(Utf8, OverlongSurrogateAndBrokenSequencesAreRejected) {
    for (const std::string_view bytes : {
             // Overlong forms of "/", NUL and the last code point of each shorter length.
             std::string_view("\xc0\xaf"),
             std::string_view("\xc0\x80"),
             std::string_view("\xc1\xbf"),
             std::string_view("\xe0\x80\xaf"),
             std::string_view("\xe0\x9f\xbf"),
             std::string_view("\xf0\x80\x80\xaf"),
             std::string_view("\xf0\x8f\xbf\xbf"),
             // UTF-16 surrogates, alone and as an encoded pair.
             std::string_view("\xed\xa0\x80"),
             std::string_view("\xed\xbf\xbf"),
             std::string_view("\xed\xa0\xbd\xed\xb8\x80"),
             // Beyond U+10FFFF, and lead bytes that no sequence has.
             std::string_view("\xf4\x90\x80\x80"),
             std::string_view("\xf5\x80\x80\x80"),
             std::string_view("\xf8\x88\x80\x80\x80"),
             std::string_view("\xff"),
             // A continuation byte alone, a sequence cut short, a lead byte followed by ASCII.
             std::string_view("\x80"),
             std::string_view("\xe2\x82"),
             std::string_view("\xc3("),
         }) {
        EXPECT_EQ(decodedLength(bytes), 0u) << ::testing::PrintToString(std::string(bytes));
    }
}

} // namespace
} // namespace corvane::testing
