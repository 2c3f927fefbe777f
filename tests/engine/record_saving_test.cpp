#include "engine/record_saving.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace vk {
namespace {

struct InstallRun {
    std::size_t saves = 0;
    std::size_t entriesWritten = 0;  // the sum of the record's size over every save
    std::size_t longestUnsaved = 0;  // the most files installed and not yet saved at any moment
};

// Installs `files` files into a record that already holds `confirmed` entries, saving as told.
InstallRun Install(std::size_t confirmed, std::size_t files) {
    InstallRun run;
    RecordSaving saving;
    std::size_t unsaved = 0;
    for (std::size_t installed = 1; installed <= files; ++installed) {
        const std::size_t recorded = confirmed + installed;
        run.longestUnsaved = std::max(run.longestUnsaved, ++unsaved);
        if (saving.FileInstalled(recorded)) {
            ++run.saves;
            run.entriesWritten += recorded;
            unsaved = 0;
        }
    }
    return run;
}

TEST(RecordSaving, WritesALinearMultipleOfTheFinalRecordHoweverManyFiles) {
    for (const std::size_t files : {100, 10000, 100000, 1000000}) {
        const InstallRun run = Install(0, files);
        EXPECT_LE(run.entriesWritten, RecordSaving::kRecordShare * files) << files << " files";
        // The unsaved files stay a bounded share of what the record holds.
        EXPECT_LE(run.longestUnsaved,
                  std::max(RecordSaving::kFewestFilesBetweenSaves, files / RecordSaving::kRecordShare))
            << files << " files";
    }
}

TEST(RecordSaving, SmallInstallationsSaveEveryTwentyFiles) {
    const InstallRun run = Install(0, 100);
    EXPECT_EQ(run.saves, 5u);
    EXPECT_EQ(run.longestUnsaved, 20u);
}

TEST(RecordSaving, FewFilesIntoALargeRecordWaitForTheFinalSave) {
    // A record of 100,000 confirmed files: rewriting it for every 20 of 1,000 new files would write
    // 50 times its size.
    const InstallRun run = Install(100000, 1000);
    EXPECT_EQ(run.saves, 0u);
}

}  // namespace
}  // namespace vk
