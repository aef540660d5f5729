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

    /// Runs splash stage `stage` (0..4) on the tick of Timerinicio after
    /// `intervalMs` and returns at once; stageDone() tells when the tick did it.
    void startStage(int stage, const QString& text, int intervalMs);
    /// Runs the pending stage now, without waiting for its tick.
    void finishStage();
    /// True from startStage() until its tick.
    bool stagePending() const { return Timerinicio->isActive(); }
    /// Shows a progress line at once.
    void showNews(const QString& text);

    QLabel* Label_version;
    QLabel* LblNews;
    QTimer* Timerinicio;

signals:
    void stageDone(int stage);

private:
    void onTick();
    int stage_ = 0;
    QString stageText_;
};

}  // namespace zorvex
