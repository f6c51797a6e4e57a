// Reasons as a code of the table and facts: the English text the command line prints, the same
// bytes the reasons had when they were composed where they arose.

#include "platform/reason.h"
#include "platform/reason_texts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace corvane::platform {
namespace {

TEST(Reason, TheTextIsTheTemplateWithItsFactsAndTheSystemsWords) {
    const std::string denied = std::strerror(EACCES);
    EXPECT_EQ(Reason(kReasonGone).text(), "no longer there");
    EXPECT_EQ(Reason(kReasonSameFileAs, "/data/a").text(),
              "the same file as /data/a, reached by another path");
    EXPECT_EQ(Reason(kReasonCannotLinkTo, "/data/a", {}, EACCES).text(),
              "cannot link it to /data/a: " + denied);
    EXPECT_EQ(Reason(kReasonFolderOfNotOpened, "/data/gone", {}, EACCES).text(),
              "its folder /data/gone cannot be opened (" + denied + ")");
    EXPECT_EQ(Reason(kReasonNoBlockSharing, {}, {}, EOPNOTSUPP).text(),
              "the file system does not share blocks between files (" +
                  std::string(std::strerror(EOPNOTSUPP)) + ")");
    EXPECT_EQ(Reason(kReasonKernelFoundDifference, "/data/a", "131072").text(),
              "the kernel found bytes that differ from /data/a after 131072 bytes");
    EXPECT_EQ(
        Reason(kReasonReplacedOtherWentToTrash, "/t/files/b.2").text(),
        "replaced since it was checked; another file took its place just before the move and went to the "
        "trash as /t/files/b.2, from where its info file restores it");
    EXPECT_EQ(
        Reason(kReasonNoExchange).text(),
        "the file system cannot exchange two names in one step, which replacing a file without a moment "
        "where its name is empty needs");
}

TEST(Reason, FactsAreFilledInOnceAndAsTheyAre) {
    // A path may hold what looks like a placeholder, or bytes that are not UTF-8: it stays as it is.
    EXPECT_EQ(Reason(kReasonAlreadyLinkedTo, "/data/%2 and %3").text(), "already a link to /data/%2 and %3");
    EXPECT_EQ(Reason(kReasonOtherFileSystemThan, std::string("/data/\xff\n", 8)).text(),
              std::string("on another file system than /data/\xff\n", 36));
    EXPECT_EQ(fillReason("100% of %1, %9", {"a", "b", "c"}), "100% of a, %9") << "only %1 to %3 are facts";
    EXPECT_EQ(fillReason("%2%1%", {"a", "b", "c"}), "ba%");
}

TEST(Reason, NoReasonIsEmptyAndReasonsCompareByCodeAndFacts) {
    EXPECT_TRUE(Reason().empty());
    EXPECT_EQ(Reason().text(), "");
    EXPECT_FALSE(Reason(kReasonGone).empty());
    EXPECT_EQ(Reason(kReasonAlreadyLinkedTo, "/a"), Reason(kReasonAlreadyLinkedTo, "/a"));
    EXPECT_NE(Reason(kReasonAlreadyLinkedTo, "/a"), Reason(kReasonAlreadyLinkedTo, "/b"));
    EXPECT_NE(Reason(kReasonCannotMoveBack, {}, {}, EACCES), Reason(kReasonCannotMoveBack, {}, {}, EROFS));
}

} // namespace
} // namespace corvane::platform
