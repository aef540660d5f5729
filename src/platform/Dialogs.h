#pragma once
// How core operations talk to the operator: message boxes with a fixed set of
// buttons and a one-line input box. The windows pass Qt boxes, the command
// line a console, tests a scripted double.

#include <optional>
#include <string>
#include <vector>

namespace zorvex {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    /// Shows `text` with the given buttons and returns the one chosen.
    virtual Answer message(const std::string& text, Buttons buttons = Buttons::Ok) = 0;
    /// Asks for a line of text; returns "" when the operator cancels.
    virtual std::string input(const std::string& prompt, const std::string& initialText = "") = 0;
    /// The same box under its own title; boxes without titles ignore it.
    virtual std::string titledInput(const std::string& prompt, const std::string& /*title*/) { return input(prompt); }
    /// The titled box telling Cancel (nothing) from an answer, empty or not;
    /// boxes that cannot tell take an empty answer for Cancel.
    virtual std::optional<std::string> titledAnswer(const std::string& prompt, const std::string& title) {
        std::string typed = titledInput(prompt, title);
        if (typed.empty()) return std::nullopt;
        return typed;
    }
};

/// Dialogs for work that reports instead of asking: each text is kept in
/// order, each question takes its first answer (OK, Yes), an input its initial text.
class MessageList : public Dialogs {
public:
    explicit MessageList(std::vector<std::string>& messages) : messages_(messages) {}
    Answer message(const std::string& text, Buttons buttons = Buttons::Ok) override {
        messages_.push_back(text);
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    std::string input(const std::string&, const std::string& initialText = "") override { return initialText; }

private:
    std::vector<std::string>& messages_;
};

}  // namespace zorvex
