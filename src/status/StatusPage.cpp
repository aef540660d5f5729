#include "status/StatusPage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr double BytesPerGigabyte = 1e9;

QString q(const std::string& text) { return QString::fromStdString(text); }

std::string instrumentWord(InstrumentLink link) {
    switch (link) {
        case InstrumentLink::Online: return "online";
        case InstrumentLink::Waiting: return "waiting";
        case InstrumentLink::Offline: break;
    }
    return "offline";
}

std::string instrumentText(const RunStatus& status) {
    switch (status.instrument) {
        case InstrumentLink::Online: return "Online on " + status.port;
        case InstrumentLink::Waiting:
            return (status.instrumentWait.empty() ? std::string("Waiting for the instrument") : status.instrumentWait) +
                   " on " + status.port;
        case InstrumentLink::Offline: break;
    }
    return "Offline: no instrument was found at start-up";
}

// "2 h 05 min" for people; the JSON keeps the minutes.
std::string durationText(long long minutes) {
    return std::to_string(minutes / 60) + " h " + formatDigits(minutes % 60, 2) + " min";
}

std::string runTitle(const RunStatus& status) {
    if (!status.active && status.started.empty()) return "No acquisition is running";
    if (!status.recording) return "Monitor run (nothing is recorded)";
    return status.name;
}

// `alert` marks what needs someone's attention (in red).
void row(std::string& html, const std::string& id, const std::string& label, const std::string& value,
         bool alert = false) {
    html += "<tr><th>" + escapeHtml(label) + "</th><td id=\"" + id + "\"" + (alert ? " class=\"alert\"" : "") + ">" +
            escapeHtml(value) + "</td></tr>\n";
}

void figure(std::string& html, const std::string& id, const std::string& title, const std::string& source,
            const std::string& alt) {
    html += "<section><h2>" + escapeHtml(title) + "</h2><img id=\"" + id + "\" src=\"" + escapeHtml(source) +
            "\" alt=\"" + escapeHtml(alt) + "\"></section>\n";
}

}  // namespace

std::string escapeHtml(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string statusHtml(const RunStatus& status, const PageLinks& links) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta http-equiv=\"refresh\" content=\"" + std::to_string(StatusRefreshSeconds) + "\">"
        "<title>Zorvex: " + escapeHtml(runTitle(status)) + "</title>"
        "<link rel=\"stylesheet\" href=\"/status.css" + escapeHtml(links.tokenQuery) + "\"></head><body>\n";
    html += "<h1 id=\"run-name\">" + escapeHtml(runTitle(status)) + "</h1>\n";
    html += "<p class=\"taken\">As of " + escapeHtml(status.takenAt) + ", read-only; the page reloads every " +
            std::to_string(StatusRefreshSeconds) + " s.</p>\n<table>\n";
    if (!status.started.empty()) {
        row(html, "run-state", "Acquisition", status.state);
        row(html, "project", "Project", std::to_string(status.projectNumber) + " " + status.projectName);
        row(html, "plate", "Plate", status.plate);
        row(html, "started", "Started", status.started);
        row(html, "elapsed", "Elapsed", durationText(status.elapsedMinutes));
        row(html, "remaining", "Remaining", durationText(status.remainingMinutes) + " of " +
                                                durationText(status.lapseMinutes));
        row(html, "bins-saved", "Bins saved", std::to_string(status.binsSaved) + " of " +
                                                  std::to_string(status.binsClosed) + " closed");
        if (status.recording) row(html, "folder", "Folder", status.folder.string());
    }
    row(html, "instrument-state", "Instrument", instrumentText(status), status.instrument == InstrumentLink::Waiting);
    row(html, "temperature", "Temperature",
        formatFixed(status.temperature, 1) + " \u00B0C (set point " + formatFixed(status.setTemperature, 1) +
            " \u00B0C, control " + (status.temperatureControl ? "on" : "off") + ")");
    row(html, "light", "Light", status.light ? "on" : "off");
    row(html, "free-disk", "Free disk space",
        status.freeDiskBytes ? formatFixed(static_cast<double>(*status.freeDiskBytes) / BytesPerGigabyte, 1) + " GB"
                             : std::string("unknown"));
    row(html, "write-error", "Last write error", status.lastWriteError.empty() ? "none" : status.lastWriteError,
        !status.lastWriteError.empty());
    html += "</table>\n";
    if (links.groupsFigure) {
        figure(html, "groups-figure", "Group activity, last 24 h", "/groups.svg" + links.tokenQuery,
               "Activity of each group over the last 24 hours, the dark hours shaded");
    }
    if (links.plateFigure) {
        figure(html, "plate-figure", "Plate, last hour", "/plate.svg" + links.tokenQuery,
               "Activity of each well over the last hour");
    }
    html += "<section><h2>events.log, last " + std::to_string(StatusEventLines) + " lines</h2><pre id=\"events\">";
    for (const std::string& line : status.events) html += escapeHtml(line) + "\n";
    html += "</pre></section>\n</body></html>\n";
    return html;
}

std::string statusJson(const RunStatus& status) {
    QJsonObject instrument{{"state", q(instrumentWord(status.instrument))},
                           {"waiting", q(status.instrumentWait)},
                           {"port", q(status.port)}};
    QJsonArray events;
    for (const std::string& line : status.events) events.append(q(line));
    QJsonObject json{
        {"taken_at", q(status.takenAt)},
        {"active", status.active},
        {"recording", status.recording},
        {"state", q(status.state)},
        {"name", q(status.name)},
        {"project", QJsonObject{{"number", status.projectNumber}, {"name", q(status.projectName)}}},
        {"plate", q(status.plate)},
        {"started", q(status.started)},
        {"elapsed_minutes", static_cast<qint64>(status.elapsedMinutes)},
        {"lapse_minutes", static_cast<qint64>(status.lapseMinutes)},
        {"remaining_minutes", static_cast<qint64>(status.remainingMinutes)},
        {"bins_saved", status.binsSaved},
        {"bins_closed", status.binsClosed},
        {"last_bin_minute", status.lastBinMinute ? QJsonValue(*status.lastBinMinute) : QJsonValue()},
        {"last_bin_temperature_celsius",
         status.lastBinTemperature ? QJsonValue(*status.lastBinTemperature) : QJsonValue()},
        {"folder", q(status.folder.string())},
        {"instrument", instrument},
        {"temperature_celsius", status.temperature},
        {"set_temperature_celsius", status.setTemperature},
        {"temperature_control", status.temperatureControl},
        {"light", status.light},
        {"free_disk_bytes", status.freeDiskBytes ? QJsonValue(static_cast<qint64>(*status.freeDiskBytes)) : QJsonValue()},
        {"last_write_error", q(status.lastWriteError)},
        {"events", events},
    };
    return QJsonDocument(json).toJson(QJsonDocument::Indented).toStdString();
}

const std::string& statusCss() {
    static const std::string css =
        "body{font-family:sans-serif;margin:1.5em;max-width:60em;color:#111}\n"
        "h1{font-size:1.5em}h2{font-size:1.1em;margin-top:1.5em}\n"
        ".alert{color:#c00;font-weight:bold}\n"
        "th{text-align:left;padding-right:1.5em;font-weight:normal;color:#555}\n"
        ".taken{color:#555}img{width:100%;max-width:48em;border:1px solid #ccc}\n"
        "pre{background:#f4f4f4;padding:0.5em;white-space:pre-wrap;font-size:0.85em}\n";
    return css;
}

}  // namespace zorvex
