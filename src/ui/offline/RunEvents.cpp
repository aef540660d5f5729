#include "ui/offline/RunEvents.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Files.h"
#include "platform/EventLog.h"

namespace zorvex {

namespace {
constexpr std::size_t MaxShownBytes = 16 * 1024 * 1024;  // a run of weeks writes far less
}  // namespace

bool hasRunEvents(const std::filesystem::path& acquisitionFolder) {
    return fileExists(acquisitionFolder / RunLogFileName);
}

RunEvents::RunEvents(QWidget* parent) : QDialog(parent) {
    setObjectName("Frm_events");
    resize(900, 500);
    auto* layout = new QVBoxLayout(this);
    txt_events = new QPlainTextEdit(this);
    txt_events->setObjectName("txt_events");
    txt_events->setReadOnly(true);
    txt_events->setLineWrapMode(QPlainTextEdit::NoWrap);
    txt_events->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(txt_events, 1);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("cmd_close");
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void RunEvents::showFolder(const std::filesystem::path& acquisitionFolder) {
    const std::filesystem::path file = acquisitionFolder / RunLogFileName;
    setWindowTitle(QString::fromStdString(file.string()));
    const std::optional<std::string> bytes = readFile(file, MaxShownBytes);
    QString text = bytes ? QString::fromUtf8(bytes->data(), static_cast<qsizetype>(bytes->size()))
                         : QString::fromStdString(file.string() + " cannot be read.");
    txt_events->setPlainText(text.replace("\r\n", "\n"));
    txt_events->moveCursor(QTextCursor::End);  // the latest events first in view
    show();
    raise();
}

}  // namespace zorvex
