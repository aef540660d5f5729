#include "status/StatusSettings.h"

#include <QHostAddress>
#include <QSettings>

namespace zorvex {

namespace {

constexpr int HighestPort = 65535;

QString iniPath(const std::filesystem::path& programFolder) {
    return QString::fromStdString((programFolder / StatusSettingsFileName).string());
}

}  // namespace

StatusSettings loadStatusSettings(const std::filesystem::path& programFolder) {
    const QSettings ini(iniPath(programFolder), QSettings::IniFormat);
    StatusSettings settings;
    bool isNumber = false;
    const int port = ini.value("status/port").toInt(&isNumber);
    if (isNumber && port >= 0 && port <= HighestPort) settings.port = port;
    const std::string address = ini.value("status/bind").toString().trimmed().toStdString();
    if (!address.empty() && !QHostAddress(QString::fromStdString(address)).isNull()) settings.bindAddress = address;
    settings.notifyCommand = ini.value("notify/command").toString().toStdString();
    return settings;
}

bool saveStatusSettings(const StatusSettings& settings, const std::filesystem::path& programFolder) {
    // QSettings writes a new file and renames it over the old one.
    QSettings ini(iniPath(programFolder), QSettings::IniFormat);
    ini.setValue("status/port", settings.port);
    ini.setValue("status/bind", QString::fromStdString(settings.bindAddress));
    ini.setValue("notify/command", QString::fromStdString(settings.notifyCommand));
    ini.sync();
    return ini.status() == QSettings::NoError;
}

std::string checkStatusSettings(const StatusSettings& settings) {
    if (settings.port < 0 || settings.port > HighestPort) {
        return "Status port: " + std::to_string(settings.port) + " is not in 1..65535 (0 for no status page)";
    }
    if (QHostAddress(QString::fromStdString(settings.bindAddress)).isNull()) {
        return "Status address: " + settings.bindAddress + " is not an IP address (127.0.0.1 for this computer only, 0.0.0.0 for every network)";
    }
    return "";
}

bool isLoopback(const std::string& address) { return QHostAddress(QString::fromStdString(address)).isLoopback(); }

}  // namespace zorvex
