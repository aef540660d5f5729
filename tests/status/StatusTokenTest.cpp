// The token of the status page: made once, private, and compared whole.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempFolder.h"
#include "common/Files.h"
#include "status/StatusSettings.h"
#include "status/StatusToken.h"

using namespace zorvex;

TEST(StatusToken, MadeOnceAs128RandomBitsReadableByTheUserOnly) {
    test::TempFolder program;
    const auto token = statusToken(program.path());
    ASSERT_TRUE(token);
    EXPECT_EQ(token->size(), 32u);
    EXPECT_EQ(token->find_first_not_of("0123456789abcdef"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat((program.path() / StatusTokenFileName).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(statusToken(program.path()), token);

    test::TempFolder other;
    EXPECT_NE(statusToken(other.path()), token);
}

TEST(StatusToken, ForeignFileIsReplacedAndAReadableOneMadePrivate) {
    test::TempFolder program;
    const auto file = program.path() / StatusTokenFileName;
    ASSERT_TRUE(writeFile(file, "not a token\n"));
    const auto made = statusToken(program.path());
    ASSERT_TRUE(made);
    EXPECT_EQ(readFile(file), *made + "\n");

    ::chmod(file.c_str(), 0644);
    EXPECT_EQ(statusToken(program.path()), made);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(StatusToken, UnwritableFolderGivesNoToken) {
    EXPECT_FALSE(statusToken("/proc/no-such-folder"));
}

TEST(StatusToken, OnlyTheWholeTokenMatches) {
    const std::string token = "0123456789abcdef0123456789abcdef";
    EXPECT_TRUE(tokenMatches(token, token));
    for (const std::string& given :
         {std::string(), token.substr(0, 31), token + "0", std::string("0123456789ABCDEF0123456789abcdef")}) {
        EXPECT_FALSE(tokenMatches(given, token)) << given;
    }
    EXPECT_FALSE(tokenMatches("", ""));
}

TEST(StatusSettings, SavedAndReadBackWithQuotesInTheCommand) {
    test::TempFolder program;
    EXPECT_EQ(loadStatusSettings(program.path()).port, 0);  // off until asked for
    StatusSettings settings{8080, "0.0.0.0", "sh -c 'mail -s \"Zorvex $ZORVEX_EVENT\" lab@example.org'"};
    ASSERT_TRUE(saveStatusSettings(settings, program.path()));
    const StatusSettings read = loadStatusSettings(program.path());
    EXPECT_EQ(read.port, 8080);
    EXPECT_EQ(read.bindAddress, "0.0.0.0");
    EXPECT_EQ(read.notifyCommand, settings.notifyCommand);
}

TEST(StatusSettings, UnusableValuesAreNamed) {
    EXPECT_EQ(checkStatusSettings({8080, "127.0.0.1", ""}), "");
    EXPECT_EQ(checkStatusSettings({70000, "127.0.0.1", ""}),
              "Status port: 70000 is not in 1..65535 (0 for no status page)");
    EXPECT_NE(checkStatusSettings({8080, "lab-pc", ""}).find("Status address: lab-pc is not an IP address"),
              std::string::npos);
    EXPECT_TRUE(isLoopback("127.0.0.2"));
    EXPECT_TRUE(isLoopback("::1"));
    EXPECT_FALSE(isLoopback("0.0.0.0"));
    EXPECT_FALSE(isLoopback("192.168.1.20"));
}
