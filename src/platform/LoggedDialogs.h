#pragma once
// Dialogs that also write every message shown to the log, so the program's
// errors and warnings outside an acquisition are in zorvex.log (inside one,
// in its events.log) whether or not anybody read the box.

#include "platform/Dialogs.h"
#include "platform/EventLog.h"

namespace zorvex {

class LoggedDialogs : public Dialogs {
public:
    /// Shows through `shown` and logs to `log`; both must outlive it.
    LoggedDialogs(Dialogs& shown, EventLog& log) : shown_(shown), log_(log) {}

    Answer message(const std::string& text, Buttons buttons = Buttons::Ok) override {
        log_.event("Message: " + text);
        return shown_.message(text, buttons);
    }
    std::string input(const std::string& prompt, const std::string& initialText = "") override {
        return shown_.input(prompt, initialText);
    }
    std::string titledInput(const std::string& prompt, const std::string& title) override {
        return shown_.titledInput(prompt, title);
    }
    std::optional<std::string> titledAnswer(const std::string& prompt, const std::string& title) override {
        return shown_.titledAnswer(prompt, title);
    }

private:
    Dialogs& shown_;
    EventLog& log_;
};

}  // namespace zorvex
