// The request-head check in front of the HTTP library, byte by byte.

#include <gtest/gtest.h>

#include "status/RequestHeadGuard.h"

using namespace zorvex;

TEST(RequestHeadGuard, ReadOnlyRequestsPassWholeOrInPieces) {
    RequestHeadGuard guard(64);
    EXPECT_FALSE(guard.feed("GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
    EXPECT_FALSE(guard.feed("HE"));
    EXPECT_FALSE(guard.feed("AD /status.json HTTP/1.1\r\n"));
    EXPECT_FALSE(guard.feed("\r\n"));
    // Each head of a kept-alive connection gets the whole allowance again.
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(guard.feed("GET / HTTP/1.1\nHost: 127.0.0.1:8080\n\n"));
}

TEST(RequestHeadGuard, OtherMethodsAreRefusedAtTheirFirstSpace) {
    for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS", "TRACE", "PATCH", "CONNECT", "BREW", "get"}) {
        RequestHeadGuard guard;
        EXPECT_EQ(guard.feed(std::string(method) + " / HTTP/1.1\r\n\r\n"), 405) << method;
    }
    RequestHeadGuard second;
    EXPECT_FALSE(second.feed("GET / HTTP/1.1\r\n\r\n"));
    EXPECT_EQ(second.feed("POST / HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc"), 405);
}

TEST(RequestHeadGuard, HeadLongerThanTheLimitIsRefusedWhenItPassesIt) {
    RequestHeadGuard guard(MaxRequestHeadBytes);
    const std::string start = "GET / HTTP/1.1\r\nX-Padding: ";
    EXPECT_FALSE(guard.feed(start));
    // Exactly the limit passes, one byte more does not.
    EXPECT_FALSE(guard.feed(std::string(MaxRequestHeadBytes - start.size() - 2, 'a')));
    EXPECT_FALSE(guard.feed("\r\n"));
    EXPECT_EQ(guard.feed("b"), 431);

    RequestHeadGuard slow(MaxRequestHeadBytes);
    std::optional<int> verdict;
    for (std::size_t i = 0; i < MaxRequestHeadBytes + 1 && !verdict; ++i) verdict = slow.feed(i < 4 ? "GET " : "a");
    EXPECT_EQ(verdict, 431);
}

TEST(RequestHeadGuard, EndlessMethodIsRefused) {
    RequestHeadGuard guard;
    EXPECT_EQ(guard.feed(std::string(100, 'G') + " / HTTP/1.1\r\n\r\n"), 405);
}
