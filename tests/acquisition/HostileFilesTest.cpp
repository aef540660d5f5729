// Acquisition files that are not what their names promise: hostile texts in
// subproj.dat, a real-time "file" that is a folder, a counts.bin far larger
// than any acquisition writes.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>

#include "TempFolder.h"
#include "acquisition/DataFiles.h"
#include "common/Files.h"

using namespace zorvex;
namespace fs = std::filesystem;

namespace {

long maxResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

TEST(HostileFiles, ExperimentTextsWithQuotesAndLineBreaksStayTwoLines) {
    test::TempFolder folder;
    ASSERT_TRUE(writeExperimentInfo(folder.path(), {"Dose \"10 mM\", plate 2\r\nday 3", "line one\nline two, \"b\""}));
    EXPECT_EQ(countLines(folder / "subproj.dat"), 2);
    auto info = readExperimentInfo(folder.path());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name, "Dose '10 mM', plate 2 day 3");
    EXPECT_EQ(info->description, "line one line two, 'b'");
}

TEST(HostileFiles, RealTimeFileThatIsAFolderHoldsNoDumps) {
    test::TempFolder folder;
    fs::create_directory(realTimeFilePath(folder.path(), 0));
    fs::create_directory(realTimeFilePath(folder.path(), 0) / "inner");
    EXPECT_EQ(countRealTimeDumps(folder.path(), 0, 500), 0);
    EXPECT_FALSE(readRealTimeDump(folder.path(), 0, 500));
    EXPECT_FALSE(readRealTimeDump(folder.path(), 3, 20));
}

TEST(HostileFiles, TenGigabyteCountsFileIsNeverLoaded) {
    test::TempFolder folder;
    // Sparse: it takes no disk space, but reading it whole would take 10 GB of memory.
    const auto tenGigabytes = std::uintmax_t{10} << 30;
    ASSERT_TRUE(writeFile(folder / "counts.bin", ""));
    fs::resize_file(folder / "counts.bin", tenGigabytes);
    ASSERT_EQ(fs::file_size(folder / "counts.bin"), tenGigabytes);
    const long before = maxResidentKb();
    EXPECT_TRUE(readActivityRecords(folder.path()).empty());
    EXPECT_LT(maxResidentKb() - before, 256L * 1024);
}
