// Paths that are not the plain files and folders they seem: a FIFO where a
// file should be, links that lead out of a folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempFolder.h"
#include "common/Files.h"

using namespace zorvex;
namespace fs = std::filesystem;

TEST(HostilePaths, FifoInPlaceOfAFileReadsAsMissingWithoutBlocking) {
    test::TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "setup.dat").c_str(), 0600), 0);
    // Nobody writes to it: a blocking open would never return.
    EXPECT_FALSE(readFile(folder / "setup.dat"));
    EXPECT_EQ(countLines(folder / "setup.dat"), 0);
    EXPECT_FALSE(copyFile(folder / "setup.dat", folder / "copy.dat"));
    EXPECT_FALSE(fileExists(folder / "copy.dat"));
}

TEST(HostilePaths, LinksStayInsideOnlyWhenTheirTargetDoes) {
    test::TempFolder root;
    test::TempFolder elsewhere;
    fs::create_directories(root / "p00001" / "data");
    fs::create_directory_symlink(root / "p00001" / "data", root / "inside");
    fs::create_directory_symlink(elsewhere.path(), root / "outside");
    fs::create_symlink("../../", root / "p00001" / "up");

    EXPECT_TRUE(staysInside(root / "inside", root.path()));
    EXPECT_TRUE(staysInside(root / "p00001" / "data", root.path() / ""));
    EXPECT_TRUE(staysInside(root.path(), root.path()));
    EXPECT_FALSE(staysInside(root / "outside", root.path()));
    EXPECT_FALSE(staysInside(root / "p00001" / "up", root.path()));
    EXPECT_FALSE(staysInside(root / "p00001" / ".." / "..", root.path()));
    // A name that merely starts like the folder is not inside it.
    EXPECT_FALSE(staysInside(root.path().string() + "x", root.path()));
}
