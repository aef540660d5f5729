#include "device/PortSearch.h"

#include <exception>

#include "common/Numbers.h"
#include "common/Text.h"
#include "device/COM_Module.h"

namespace zorvex {

namespace {
constexpr int PortSearchPauseMs = 100;
constexpr int ScanProbePauseMs = 10;
constexpr int ScanProbes = 2;

std::string comName(int port) { return "COM" + std::to_string(port); }

void announce(int port, Host& host, const StatusText& showStatus) {
    if (showStatus) showStatus(portSearchText(port));
    host.yield();
    host.pause(PortSearchPauseMs);
}

bool probeAccepted(int value, int minimum) { return value >= minimum && value <= ProbeMax; }

// Opens, probes and closes `port`; true when a probe answered within the window.
bool tryPort(ModCOMM& comm, int port, Host& host, int probes, int pauseMs, int minimum) {
    if (comm.CommOpen(port, comName(port), PortSettingsText) != 0) return false;
    bool found = false;
    for (int probe = 0; probe < probes && !found; ++probe) {
        host.pause(pauseMs);
        found = probeAccepted(ProbeDevice(comm, port, host), minimum);
    }
    comm.CommClose(port);
    return found;
}

// No port answered: the operator may name one, which is then used unprobed.
PortSearchResult askForPort(ModCOMM& comm, int serialCom, Dialogs& dialogs) {
    PortSearchResult result;
    result.serialCom = serialCom;
    std::string answer = dialogs.input("COM(" + std::to_string(serialCom) +
                                       ") PORT ERROR. Type New Port number or <Enter> to go Offline");
    double number = val(answer);
    if (answer.empty() || number > LastScannedPort || number <= 0) return result;
    int typed = static_cast<int>(roundHalfEven(number));
    result.serialCom = typed;
    if (comm.CommOpen(typed, comName(typed), PortSettingsText) != 0) {
        dialogs.message("Invalid Port Number. Offline Mode", Buttons::Ok);
        return result;
    }
    // The typed port stays open: closing it would leave the run online with
    // no port, where every exchange fails.
    result.online = true;
    result.portOpen = true;
    result.saveConfig = true;
    return result;
}
}  // namespace

std::string portSearchText(int port) {
    return "STARTING........... Opening Communication Port [" + std::to_string(port) + "]";
}

PortSearchResult searchInstrumentPort(ModCOMM& comm, int serialCom, Dialogs& dialogs, Host& host,
                                      const StatusText& showStatus) {
    PortSearchResult result;
    try {
        announce(serialCom, host, showStatus);
        bool found = tryPort(comm, serialCom, host, 1, 0, FirstProbeMin);
        if (!found) serialCom = 0;
        while (!found && serialCom < LastScannedPort) {
            ++serialCom;
            announce(serialCom, host, showStatus);
            found = tryPort(comm, serialCom, host, ScanProbes, ScanProbePauseMs, RetryProbeMin);
        }
        result.serialCom = serialCom;
        if (!found) return askForPort(comm, serialCom, dialogs);
        // The instrument answered moments ago; a port that will not open again
        // is no link to run on.
        result.portOpen = comm.CommOpen(serialCom, comName(serialCom), PortSettingsText) == 0;
        result.online = result.portOpen;
        return result;
    } catch (const std::exception&) {
        comm.CommClose(serialCom);
        result.online = false;
        result.portOpen = false;
        return result;
    }
}

bool reopenInstrumentPort(ModCOMM& comm, int port, Host& host) {
    comm.CommClose(port);
    try {
        return tryPort(comm, port, host, ScanProbes, ScanProbePauseMs, RetryProbeMin) &&
               comm.CommOpen(port, comName(port), PortSettingsText) == 0;
    } catch (const std::exception&) {
        comm.CommClose(port);
        return false;
    }
}

PortMenuChecks portMenuAfterSearch(PortMenuChecks checks, int serialCom) {
    for (int item = 1; item <= 9; ++item) checks[item - 1] = false;
    if (serialCom >= 1 && serialCom <= LastScannedPort) checks[serialCom - 1] = true;
    return checks;
}

PortMenuChecks portMenuAfterClick(int item) {
    return portMenuAfterSearch(PortMenuChecks{}, item);
}

}  // namespace zorvex
