#pragma once
// The dialogs of code reached from the acquisition timer: no box may wait
// there, so each message goes to the run's log and, unless it is a quiet
// one, to the owner, which shows it once the tick has returned. A question
// takes its first answer (OK, Yes), as on the command line.

#include "acquisition/AcquisitionOwner.h"
#include "platform/Dialogs.h"
#include "platform/EventLog.h"

namespace zorvex {

class CycleNotices : public Dialogs {
public:
    /// Messages go to `log` and, when `owner` is given, to the operator.
    CycleNotices(EventLog& log, AcquisitionOwner* owner) : log_(log), owner_(owner) {}

    Answer message(const std::string& text, Buttons buttons = Buttons::Ok) override {
        log_.event(text);
        if (owner_ != nullptr) owner_->tell(text);
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    std::string input(const std::string& prompt, const std::string& /*initialText*/ = "") override {
        log_.event(prompt + " (not asked during the acquisition)");
        return "";
    }

private:
    EventLog& log_;
    AcquisitionOwner* owner_;
};

}  // namespace zorvex
