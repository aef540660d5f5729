#include "ui/offline/RunEvents.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Files.h"
#include "common/Text.h"
#include "platform/EventLog.h"

namespace zorvex {

namespace {
// A weekend writes far less; a log that grew past it by a fault repeated
// every tick still shows its latest part without freezing the window.
constexpr std::size_t MaxShownBytes = 2 * 1024 * 1024;
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
    const std::optional<FileTail> tail = readFileTail(file, MaxShownBytes);
    QString text;
    if (!tail) {
        text = QString::fromStdString(file.string() + " cannot be read.");
    } else {
        if (tail->skippedBytes > 0) {
            text = QString("(The first %1 MB of this events.log are not shown here; open the file to read them.)\n")
                       .arg(QString::fromStdString(formatFixed(static_cast<double>(tail->skippedBytes) / 1048576.0, 1)));
        }
        text += QString::fromUtf8(tail->bytes.data(), static_cast<qsizetype>(tail->bytes.size()));
    }
    txt_events->setPlainText(text.replace("\r\n", "\n"));
    txt_events->moveCursor(QTextCursor::End);  // the latest events first in view
    show();
    raise();
}

}  // namespace zorvex
