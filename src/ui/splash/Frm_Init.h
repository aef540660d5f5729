#pragma once
// The start-up splash: the version, a line of progress news, and the
// one-shot timer that paces the start-up stages.

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace zorvex {

class Frm_Init : public QWidget {
    Q_OBJECT
public:
    explicit Frm_Init(QWidget* parent = nullptr);

    /// Runs splash stage `stage` (0..4) on the next tick of Timerinicio after
    /// `intervalMs`, and returns once the tick has done it. Events keep running meanwhile.
    void waitForStage(int stage, const QString& text, int intervalMs);
    /// Shows a progress line at once.
    void showNews(const QString& text);

    QLabel* Label_version;
    QLabel* LblNews;
    QTimer* Timerinicio;

private:
    void onTick();
    int stage_ = 0;
    QString stageText_;
    bool stageDone_ = false;
};

}  // namespace zorvex
