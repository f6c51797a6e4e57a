// Checks and trashes duplicates the way the delete dialog does: plans the groups, then for each
// duplicate takes the last look and moves it to the trash. Prints the time of each step for two
// cases: within the session that compared the files (their comparison-time state is known and
// settled, so unchanged files are not read again), and after a result set was opened (every file
// is read and compared byte for byte).
//
//   corvane-trash-bench [FOLDER] [FILES] [KIB]
//
// FOLDER (default: a new folder under /tmp) receives FILES duplicates of KIB KiB (defaults 10000
// and 100) in groups of ten, and the trash (XDG_DATA_HOME is pointed into FOLDER).

#include "engine/action_plan.h"
#include "platform/file_info.h"
#include "platform/trash.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace corvane;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<engine::FileGroup> makeGroups(const std::string& folder, int files, int kib) {
    std::filesystem::create_directories(folder);
    std::vector<engine::FileGroup> groups;
    for (int i = 0; i < files; ++i) {
        if (i % 10 == 0) {
            groups.emplace_back();
        }
        std::string bytes(static_cast<size_t>(kib) * 1024, '\0');
        for (size_t k = 0; k < bytes.size(); k += 64) {
            bytes[k] = static_cast<char>('a' + (i / 10) % 26);
            bytes[k + 1] = static_cast<char>('a' + (i / 260) % 26);
        }
        const std::string path = folder + "/f" + std::to_string(i);
        std::ofstream(path, std::ios::binary) << bytes;
        groups.back().files.push_back({path, std::nullopt, false});
    }
    return groups;
}

void run(const char* label, std::vector<engine::FileGroup> groups) {
    auto start = Clock::now();
    const std::vector<engine::GroupPlan> plans = engine::planGroups(groups, engine::Choice::AllDuplicates);
    const double planned = secondsSince(start);
    start = Clock::now();
    size_t moved = 0, refused = 0;
    for (size_t g = 0; g < groups.size(); ++g) {
        for (size_t i = 0; i < groups[g].files.size(); ++i) {
            const engine::FilePlan& plan = plans[g].files[i];
            if (plan.verdict != engine::Verdict::Act) {
                continue;
            }
            const engine::GroupFile& keeper = groups[g].files[plan.keeper];
            const engine::StillCopy still = engine::checkStillCopy(
                groups[g].files[i].path, plan.seen, keeper.path, plans[g].files[plan.keeper].seen);
            if (still.same &&
                platform::moveToTrash(groups[g].files[i].path, {still.file.device, still.file.inode})
                    .moved()) {
                ++moved;
            } else {
                ++refused;
            }
        }
    }
    std::printf("%-26s plan %.3f s, check and trash %.3f s: %zu moved, %zu refused\n", label, planned,
                secondsSince(start), moved, refused);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp/corvane-trash-bench";
    const int files = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int kib = argc > 3 ? std::atoi(argv[3]) : 100;
    std::filesystem::remove_all(folder);
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);

    std::vector<engine::FileGroup> opened = makeGroups(folder + "/opened", files, kib);
    std::vector<engine::FileGroup> session = makeGroups(folder + "/session", files, kib);
    // Files as a user has them: last written a while ago.
    std::this_thread::sleep_for(std::chrono::nanoseconds(platform::kSettledNs) +
                                std::chrono::milliseconds(200));

    // After Open: nothing known of the files.
    run("after Open (byte for byte)", std::move(opened));

    // Within the session: the comparer's view of each file.
    for (engine::FileGroup& group : session) {
        for (engine::GroupFile& file : group.files) {
            file.compared = platform::lookupFile(file.path);
        }
    }
    run("within the session", std::move(session));
    std::filesystem::remove_all(folder);
    return 0;
}
