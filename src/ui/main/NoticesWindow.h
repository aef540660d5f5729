#pragma once
// The notices window: the run's messages in one list that never waits for a
// click. Whatever the acquisition tells from its tick or a timer lands here
// instead of in a box with its own event loop, so the run goes on and Monday
// finds one window that says what happened and what still holds.

#include <QListWidget>
#include <QWidget>

#include "views/NoticeList.h"

namespace zorvex {

class NoticesWindow : public QWidget {
    Q_OBJECT
public:
    explicit NoticesWindow(QWidget* parent = nullptr);

    /// Lists `text` at the top and brings the window forward without taking the focus.
    void tell(const DateTime& at, const std::string& text, bool aboutLostInstrument);
    /// The instrument answers again: the messages of its loss say that they no longer hold.
    void instrumentAnswers(const DateTime& at);

    QListWidget* lst_notices;

private:
    void showList();

    NoticeList notices_;
};

}  // namespace zorvex
