#pragma once
// Message and input boxes of the windows, with the program's texts as given.

#include <QWidget>

#include "platform/Dialogs.h"

namespace zorvex {

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    Answer message(const std::string& text, Buttons buttons = Buttons::Ok) override;
    std::string input(const std::string& prompt, const std::string& initialText = "") override;
    std::string titledInput(const std::string& prompt, const std::string& title) override;
    std::optional<std::string> titledAnswer(const std::string& prompt, const std::string& title) override;

private:
    QWidget* parent_;
};

}  // namespace zorvex
