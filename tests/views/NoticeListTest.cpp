#include <gtest/gtest.h>

#include "views/NoticeList.h"

using namespace zorvex;

namespace {
DateTime at(int hour, int minute, int second = 0) { return DateTime{2026, 12, 6, hour, minute, second}; }
}  // namespace

TEST(NoticeList, NewestComesFirstWithItsDateAndTime) {
    NoticeList list;
    list.add(at(3, 5, 7), "first", false);
    list.add(at(3, 6), "second", false);
    ASSERT_EQ(list.notices().size(), 2u);
    EXPECT_EQ(noticeLine(list.notices()[0]), "2026-12-06 03:06:00  second");
    EXPECT_EQ(noticeLine(list.notices()[1]), "2026-12-06 03:05:07  first");
}

TEST(NoticeList, WhatWasToldWhileLostNoLongerHoldsOnceTheInstrumentAnswers) {
    NoticeList list;
    list.add(at(2, 0), "Data writing ERROR", false);
    list.add(at(3, 5), "The instrument stopped answering", true);
    list.instrumentAnswers(at(3, 12));
    list.add(at(3, 12), "The instrument answers again", false);
    list.add(at(4, 0), "The instrument stopped answering", true);

    const auto& notices = list.notices();
    EXPECT_FALSE(notices[0].answersSince);  // the newest loss still holds
    EXPECT_FALSE(notices[1].answersSince);
    EXPECT_EQ(noticeLine(notices[2]),
              "2026-12-06 03:05:00  The instrument stopped answering (no longer holds: answers again since 03:12)");
    EXPECT_FALSE(notices[3].answersSince);  // not about the link

    list.instrumentAnswers(at(4, 30));
    EXPECT_EQ(notices[0].answersSince, at(4, 30));
    EXPECT_EQ(notices[2].answersSince, at(3, 12));  // its first return is kept
}

TEST(NoticeList, AWeekendOfFlappingKeepsTheNewestAndDropsTheOldest) {
    NoticeList list;
    for (std::size_t i = 0; i < NoticeList::MaxNotices + 20; ++i) {
        list.add(at(0, 0), "notice " + std::to_string(i), false);
    }
    EXPECT_EQ(list.notices().size(), NoticeList::MaxNotices);
    EXPECT_EQ(list.notices().front().text, "notice " + std::to_string(NoticeList::MaxNotices + 19));
    EXPECT_EQ(list.notices().back().text, "notice 20");
}
