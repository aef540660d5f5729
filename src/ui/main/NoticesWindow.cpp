#include "ui/main/NoticesWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zorvex {

NoticesWindow::NoticesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Frm_Notices");
    setWindowTitle("Notices of the run");
    // Never modal: the acquisition's timer must run while it is open.
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Newest first; events.log of the acquisition keeps every one.", this));
    lst_notices = new QListWidget(this);
    lst_notices->setObjectName("lst_notices");
    lst_notices->setWordWrap(true);
    lst_notices->setAlternatingRowColors(true);
    layout->addWidget(lst_notices);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("cmd_closenotices");
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(640, 320);
}

void NoticesWindow::tell(const DateTime& at, const std::string& text, bool aboutLostInstrument) {
    notices_.add(at, text, aboutLostInstrument);
    showList();
    show();
    raise();
}

void NoticesWindow::instrumentAnswers(const DateTime& at) {
    notices_.instrumentAnswers(at);
    showList();
}

void NoticesWindow::showList() {
    lst_notices->clear();
    for (const Notice& notice : notices_.notices()) {
        auto* item = new QListWidgetItem(QString::fromStdString(noticeLine(notice)), lst_notices);
        if (notice.answersSince) item->setForeground(Qt::gray);
    }
}

}  // namespace zorvex
