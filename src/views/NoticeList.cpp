#include "views/NoticeList.h"

#include "common/Text.h"

namespace zorvex {

void NoticeList::add(const DateTime& at, std::string text, bool aboutLostInstrument) {
    notices_.push_front(Notice{at, std::move(text), aboutLostInstrument, std::nullopt});
    if (notices_.size() > MaxNotices) notices_.pop_back();
}

void NoticeList::instrumentAnswers(const DateTime& at) {
    for (Notice& notice : notices_) {
        if (notice.aboutLostInstrument && !notice.answersSince) notice.answersSince = at;
    }
}

std::string noticeLine(const Notice& notice) {
    std::string line = isoDateTime(notice.at) + "  " + notice.text;
    if (notice.answersSince) {
        line += " (no longer holds: answers again since " + formatDigits(notice.answersSince->hour, 2) + ":" +
                formatDigits(notice.answersSince->minute, 2) + ")";
    }
    return line;
}

}  // namespace zorvex
