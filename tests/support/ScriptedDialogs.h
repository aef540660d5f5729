#pragma once
// A Dialogs double: answers come from a queue the test fills, and every text
// shown is recorded in order. An unscripted question answers the default
// button (OK, Yes) or a cancelled input, so a test notices only through the record.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace zorvex::test {

class ScriptedDialogs : public Dialogs {
public:
    Answer message(const std::string& text, Buttons buttons = Buttons::Ok) override {
        shown.push_back(text);
        if (whileShown) whileShown(text);
        if (!answers.empty()) {
            Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }

    std::string input(const std::string& prompt, const std::string& = "") override {
        shown.push_back(prompt);
        lastInputCancelled_ = inputs.empty();
        if (inputs.empty()) return "";
        std::string answer = inputs.front();
        inputs.pop_front();
        return answer;
    }

    /// Runs while a message is "on screen", before it is answered: a test
    /// can let the event loop run there, as a modal box's own loop does.
    std::function<void(const std::string&)> whileShown;
    /// An unscripted box is cancelled; a scripted "" is an empty answer.
    std::optional<std::string> titledAnswer(const std::string& prompt, const std::string& title) override {
        std::string typed = titledInput(prompt, title);
        if (lastInputCancelled_) return std::nullopt;
        return typed;
    }

    std::deque<Answer> answers;
    std::deque<std::string> inputs;
    std::vector<std::string> shown;

private:
    bool lastInputCancelled_ = false;
};

}  // namespace zorvex::test
