// The offline browser's and setup editor's listings meeting odd names and
// links: only what matches is listed, and no link leads out of the program.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "common/Files.h"
#include "views/OfflineBrowser.h"
#include "ui/setup/SetupRules.h"

using namespace zorvex;
namespace fs = std::filesystem;

namespace {

void acquisitionIn(const fs::path& folder) {
    fs::create_directories(folder);
    writeFile(folder / "counts.bin", std::string(774, '\0'));
}

}  // namespace

TEST(HostileListings, AcquisitionsLinkedFromOutsideTheProjectAreNotListed) {
    test::TempFolder program;
    test::TempFolder elsewhere;
    const fs::path project = program / "p00001";
    acquisitionIn(project / "01022023_1015");
    acquisitionIn(elsewhere / "foreign");
    fs::create_directory_symlink(elsewhere / "foreign", project / "02022023_1015");
    // A folder of its own whose counts.bin is a link out is not listed either.
    fs::create_directories(project / "03022023_1015");
    fs::create_symlink(elsewhere / "foreign" / "counts.bin", project / "03022023_1015" / "counts.bin");
    // A link to one of the project's own folders stays inside.
    fs::create_directory_symlink(project / "01022023_1015", project / "04022023_1015");
    for (const char* odd : {"05022023-1015", "0502202301015", "\"5022023_101", "05022023_1015\n"}) {
        acquisitionIn(project / odd);
    }

    EXPECT_EQ(listAcquisitions(project), (std::vector<std::string>{"01022023_1015", "04022023_1015"}));
}

TEST(HostileListings, ProjectsLinkedFromOutsideTheProgramFolderAreNotListed) {
    test::TempFolder program;
    test::TempFolder elsewhere;
    fs::create_directories(program / "p00001");
    fs::create_directories(elsewhere / "p00009");
    fs::create_directory_symlink(elsewhere / "p00009", program / "p00009");
    fs::create_symlink("/", program / "p00010");
    for (const char* odd : {"p0000", "p000011", "p00.12", "q00013"}) fs::create_directories(program / odd);

    EXPECT_EQ(listProjectNames(program.path()), (std::vector<std::string>{"p00001"}));
}
