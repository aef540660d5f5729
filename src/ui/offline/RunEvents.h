#pragma once
// The offline window's view of an acquisition's events.log: what happened
// during the run (start, calibration, pauses, write failures, the instrument
// lost and back, the end), in a window of its own beside the summary.

#include <QDialog>
#include <QPlainTextEdit>
#include <filesystem>

namespace zorvex {

class RunEvents : public QDialog {
    Q_OBJECT
public:
    explicit RunEvents(QWidget* parent = nullptr);

    /// Shows the events.log of `acquisitionFolder`, or why it cannot.
    void showFolder(const std::filesystem::path& acquisitionFolder);

    QPlainTextEdit* txt_events;
};

/// True when `acquisitionFolder` holds an events.log to show.
bool hasRunEvents(const std::filesystem::path& acquisitionFolder);

}  // namespace zorvex
