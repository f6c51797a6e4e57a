// Which copy of a group stays by rule: each rule, ties passed on to the next rule and then to the
// group's order, files a rule cannot measure, and the names the command line takes.

#include "engine/keep_rules.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace corvane::testing {
namespace {

using engine::KeepCandidate;
using engine::KeepRule;

size_t keeper(const std::vector<KeepCandidate>& files, std::vector<KeepRule> rules) {
    return engine::chooseKeeper(files, rules);
}

TEST(KeepRules, EachRulePicksItsFileAndTiesGoToTheNextRuleThenToTheGroupsOrder) {
    // Two files share the latest time, two the earliest; the paths differ in length.
    const std::vector<KeepCandidate> files{
        {"/b/long-name", 200, 1}, {"/a/mid", 100, 0}, {"/a/x", 200, 0}, {"/b/yy", 100, 1}};
    EXPECT_EQ(keeper(files, {KeepRule::Original}), 0u);
    EXPECT_EQ(keeper(files, {}), 0u);
    EXPECT_EQ(keeper(files, {KeepRule::Newest}), 0u); // a tie with /a/x: the group's order
    EXPECT_EQ(keeper(files, {KeepRule::Newest, KeepRule::ShortestPath}), 2u);
    EXPECT_EQ(keeper(files, {KeepRule::Oldest}), 1u);
    EXPECT_EQ(keeper(files, {KeepRule::Oldest, KeepRule::FirstFolder}), 1u);
    EXPECT_EQ(keeper(files, {KeepRule::Oldest, KeepRule::ShortestPath}), 3u);
    EXPECT_EQ(keeper(files, {KeepRule::FirstFolder}), 1u);
    EXPECT_EQ(keeper(files, {KeepRule::FirstFolder, KeepRule::Newest}), 2u);
    EXPECT_EQ(keeper(files, {KeepRule::ShortestPath}), 2u);
    EXPECT_EQ(keeper(files, {KeepRule::LongestPath}), 0u);
    // "original" decides at once: the rules after it never come into play.
    EXPECT_EQ(keeper(files, {KeepRule::Original, KeepRule::ShortestPath}), 0u);
    // ...but after a rule, among the files that rule left.
    EXPECT_EQ(keeper(files, {KeepRule::Oldest, KeepRule::Original}), 1u);
}

TEST(KeepRules, AFileARuleCannotMeasureIsNeverPreferredAndNoneMeasuredPassesTheRuleOn) {
    const std::vector<KeepCandidate> someGone{{"/gone", std::nullopt, 0}, {"/old", 5, 0}, {"/new", 9, 0}};
    EXPECT_EQ(keeper(someGone, {KeepRule::Oldest}), 1u);
    EXPECT_EQ(keeper(someGone, {KeepRule::Newest}), 2u);
    const std::vector<KeepCandidate> allGone{{"/gone/a", std::nullopt, 1}, {"/b", std::nullopt, 0}};
    EXPECT_EQ(keeper(allGone, {KeepRule::Newest, KeepRule::ShortestPath}), 1u);
    EXPECT_EQ(keeper(allGone, {KeepRule::Oldest}), 0u);
    // Times before the epoch are times like any other.
    const std::vector<KeepCandidate> early{{"/a", 0, 0}, {"/b", -5, 0}};
    EXPECT_EQ(keeper(early, {KeepRule::Oldest}), 1u);
    EXPECT_EQ(keeper(early, {KeepRule::Newest}), 0u);
}

TEST(KeepRules, NamesAreReadInOrderAndMistakesAreNamed) {
    const engine::ParsedKeepRules both = engine::parseKeepRules("newest,first-folder");
    EXPECT_EQ(both.error, "");
    EXPECT_EQ(both.rules, (std::vector<KeepRule>{KeepRule::Newest, KeepRule::FirstFolder}));
    for (const KeepRule rule : {KeepRule::Original, KeepRule::Oldest, KeepRule::Newest, KeepRule::FirstFolder,
                                KeepRule::ShortestPath, KeepRule::LongestPath}) {
        EXPECT_EQ(engine::keepRuleNamed(engine::keepRuleName(rule)), rule);
    }
    EXPECT_NE(engine::parseKeepRules("newest,Oldest").error.find("unknown keep rule 'Oldest'"),
              std::string::npos);
    EXPECT_NE(engine::parseKeepRules("oldest,oldest").error.find("named twice"), std::string::npos);
    for (const char* missing : {"", ",", "newest,", ",newest", "newest,,oldest"}) {
        EXPECT_NE(engine::parseKeepRules(missing).error.find("a keep rule is missing"), std::string::npos)
            << missing;
    }
}

TEST(KeepRules, AFilesFolderIsTheFirstSearchFolderThatHoldsIt) {
    const std::vector<std::string> folders{"/data/b", "/data/", "/", "rel"};
    EXPECT_EQ(engine::folderRank("/data/b/x", folders), 0u);
    EXPECT_EQ(engine::folderRank("/data/b", folders), 0u);    // a FOLDER that is a file
    EXPECT_EQ(engine::folderRank("/data/bc/x", folders), 1u); // "/data/b" is not a folder of it
    EXPECT_EQ(engine::folderRank("/data/x", folders), 1u);
    EXPECT_EQ(engine::folderRank("/etc/x", folders), 2u);
    EXPECT_EQ(engine::folderRank("rel/x", folders), 3u);
    EXPECT_EQ(engine::folderRank("relative/x", folders), 4u);
    EXPECT_EQ(engine::folderRank("/x", std::vector<std::string>{}), 0u);
}

TEST(KeepRules, TheCopyThatStaysGoesFirstAndTheOthersKeepTheirOrder) {
    TempTree tree;
    const auto file = [&](const std::string& name, time_t modified) {
        const std::string path = tree.writeFile(name, "same");
        const utimbuf times{modified, modified};
        EXPECT_EQ(::utime(path.c_str(), &times), 0);
        return path;
    };
    const std::string a = file("one/a", 3000);
    const std::string b = file("two/b", 1000);
    const std::string c = file("two/c", 2000);
    const std::string gone = tree.path("two/gone");
    const auto group = [&] {
        std::vector<engine::FileGroup> groups(1);
        for (const std::string& path : {gone, a, b, c}) {
            groups[0].files.push_back({path, std::nullopt, false, false});
        }
        return groups;
    };
    const auto order = [](const std::vector<engine::FileGroup>& groups) {
        std::vector<std::string> paths;
        for (const engine::GroupFile& f : groups[0].files) {
            paths.push_back(f.path);
        }
        return paths;
    };
    const std::vector<std::string> folders{tree.path("two"), tree.path("one")};

    std::vector<engine::FileGroup> oldest = group();
    engine::placeKeepersFirst(oldest, std::vector{KeepRule::Oldest}, folders);
    EXPECT_EQ(order(oldest), (std::vector<std::string>{b, gone, a, c}));

    std::vector<engine::FileGroup> newest = group();
    engine::placeKeepersFirst(newest, std::vector{KeepRule::Newest}, folders);
    EXPECT_EQ(order(newest), (std::vector<std::string>{a, gone, b, c}));

    // What the comparer saw stands for the file: no look at the disk.
    std::vector<engine::FileGroup> seen = group();
    platform::FileInfo seenLater;
    seenLater.modificationTimeNs = 9'000'000'000'000;
    seen[0].files[3].compared = seenLater;
    engine::placeKeepersFirst(seen, std::vector{KeepRule::Newest}, folders);
    EXPECT_EQ(order(seen), (std::vector<std::string>{c, gone, a, b}));

    std::vector<engine::FileGroup> original = group();
    engine::placeKeepersFirst(original, std::vector{KeepRule::Original, KeepRule::Newest}, folders);
    EXPECT_EQ(order(original), (std::vector<std::string>{gone, a, b, c}));
}

} // namespace
} // namespace corvane::testing
