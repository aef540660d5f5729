#include "status/StatusFigures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "figures/Figures.h"

namespace zorvex {

namespace {

QByteArray drawOne(FigureRequest request, const QTemporaryDir& scratch, const char* name) {
    request.output = std::filesystem::path(scratch.path().toStdString()) / name;
    if (!writeFigure(request).written) return {};
    QFile file(QString::fromStdString(request.output.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

long long statusGroupBinMinutes(double elapsedHours) {
    return elapsedHours < 1.0 ? StatusFirstHourGroupBinMinutes : StatusGroupBinMinutes;
}

StatusFigureFiles drawStatusFigures(const std::filesystem::path& acquisitionFolder,
                                    const std::filesystem::path& programFolder, double elapsedHours) {
    const QTemporaryDir scratch;
    if (!scratch.isValid()) return {};
    FigureRequest request;
    request.acquisitionFolder = acquisitionFolder;
    request.programFolder = programFolder;
    StatusFigureFiles files;

    request.kind = FigureKind::Groups;
    const long long groupBin = statusGroupBinMinutes(elapsedHours);
    request.groups.binMinutes = groupBin;
    // The bin in progress reaches past now: the window ends a bin later.
    request.groups.window = HourWindow{std::max(0.0, elapsedHours - 24.0), elapsedHours + groupBin / 60.0};
    files.groupsSvg = drawOne(request, scratch, "groups.svg");

    request.kind = FigureKind::Plate;
    request.plate.binMinutes = StatusPlateBinMinutes;
    request.plate.window = HourWindow{std::max(0.0, elapsedHours - 1.0), elapsedHours + StatusPlateBinMinutes / 60.0};
    files.plateSvg = drawOne(request, scratch, "plate.svg");
    return files;
}

StatusFigures::StatusFigures(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcher<StatusFigureFiles>::finished, this, [this] {
        if (!cleared_) files_ = watcher_.result();
        cleared_ = false;
        emit drawn();
    });
}

StatusFigures::~StatusFigures() { watcher_.waitForFinished(); }

bool StatusFigures::refresh(const std::filesystem::path& acquisitionFolder, const std::filesystem::path& programFolder,
                            double elapsedHours) {
    if (watcher_.isRunning()) return false;
    watcher_.setFuture(QtConcurrent::run(drawStatusFigures, acquisitionFolder, programFolder, elapsedHours));
    return true;
}

void StatusFigures::clear() {
    files_ = {};
    cleared_ = watcher_.isRunning();
}

}  // namespace zorvex
