#pragma once
// The messages of a run as the notices window lists them: newest first, each
// with its time, and those told while the instrument was lost marked once it
// answers again, so a link that comes and goes all weekend leaves one list
// that says what still holds instead of a pile of stale boxes.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "common/DateTime.h"

namespace zorvex {

/// One message told to the operator.
struct Notice {
    DateTime at;
    std::string text;
    bool aboutLostInstrument = false;      ///< told while the instrument did not answer
    std::optional<DateTime> answersSince;  ///< it no longer holds: the instrument answers again since then
};

class NoticeList {
public:
    /// The newest this many are kept; events.log keeps every one.
    static constexpr std::size_t MaxNotices = 500;

    /// A message told at `at`; `aboutLostInstrument` while the instrument is lost.
    void add(const DateTime& at, std::string text, bool aboutLostInstrument);
    /// The instrument answers again at `at`: what was told while it was lost no longer holds.
    void instrumentAnswers(const DateTime& at);
    /// Newest first.
    const std::deque<Notice>& notices() const { return notices_; }

private:
    std::deque<Notice> notices_;
};

/// The line the list shows: "2026-12-06 03:12:05  text", and
/// " (no longer holds: answers again since 03:12)" when it does not hold.
std::string noticeLine(const Notice& notice);

}  // namespace zorvex
