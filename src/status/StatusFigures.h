#pragma once
// The status page's figures, drawn from the acquisition folder by the
// figure code on a worker thread: a figure of a day's data takes longer
// than a tick, and the ticks must keep their period.

#include <QByteArray>
#include <QFutureWatcher>
#include <QObject>
#include <filesystem>

namespace zorvex {

/// Bins of the page's figures, in minutes. The group figure draws only
/// whole bins, so in a run's first hour it takes 1-minute bins and shows
/// something from the second minute on.
inline constexpr long long StatusGroupBinMinutes = 10;
inline constexpr long long StatusFirstHourGroupBinMinutes = 1;
inline constexpr long long StatusPlateBinMinutes = 5;

/// The group figure's bin for a run `elapsedHours` old.
long long statusGroupBinMinutes(double elapsedHours);

struct StatusFigureFiles {
    QByteArray groupsSvg;  ///< each group's activity over the last 24 h; empty when there is nothing to draw
    QByteArray plateSvg;   ///< the plate heat map of the last hour
};

/// Draws both figures of `acquisitionFolder` for a run `elapsedHours` old.
StatusFigureFiles drawStatusFigures(const std::filesystem::path& acquisitionFolder,
                                    const std::filesystem::path& programFolder, double elapsedHours);

class StatusFigures : public QObject {
    Q_OBJECT
public:
    explicit StatusFigures(QObject* parent = nullptr);
    ~StatusFigures() override;

    /// Starts drawing anew unless a drawing is under way; false when one is.
    bool refresh(const std::filesystem::path& acquisitionFolder, const std::filesystem::path& programFolder,
                 double elapsedHours);
    /// Forgets the figures (a new run).
    void clear();
    const StatusFigureFiles& files() const { return files_; }

signals:
    void drawn();

private:
    QFutureWatcher<StatusFigureFiles> watcher_;
    StatusFigureFiles files_;
    bool cleared_ = false;  ///< the drawing under way belongs to an earlier run
};

}  // namespace zorvex
