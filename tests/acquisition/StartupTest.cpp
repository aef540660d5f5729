#include <gtest/gtest.h>

#include "TempFolder.h"
#include "acquisition/Startup.h"

using namespace zorvex;

TEST(Autorun, OnlyThreeSpellingsOfRunCount) {
    EXPECT_TRUE(isAutorunRequest("/RUN"));
    EXPECT_TRUE(isAutorunRequest("  /run  "));
    EXPECT_TRUE(isAutorunRequest("/Run"));
    EXPECT_FALSE(isAutorunRequest("/rUn"));
    EXPECT_FALSE(isAutorunRequest("/RUN now"));
    EXPECT_FALSE(isAutorunRequest(""));
}

TEST(ProjectFolderChoice, ExistingNumberedFolderIsUsed) {
    test::TempFolder program;
    std::filesystem::create_directory(program / "p00003");
    std::int16_t number = 3;
    EXPECT_EQ(chooseProjectFolder(program.path(), number), program / "p00003");
    EXPECT_EQ(number, 3);
}

TEST(ProjectFolderChoice, MissingFolderOrProjectZeroMeansTheDefaultProject) {
    test::TempFolder program;
    std::int16_t missing = 3;
    EXPECT_EQ(chooseProjectFolder(program.path(), missing), program.path());
    EXPECT_EQ(missing, 0);
    std::int16_t zero = 0;
    EXPECT_EQ(chooseProjectFolder(program.path(), zero), program.path());
}
