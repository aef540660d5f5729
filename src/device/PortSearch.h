#pragma once
// Finding the instrument at start-up: the configured port first, then a scan
// of COM1..COM15 with the presence probe, and the operator's last word when
// nothing answers. Decides once whether the program runs online or offline.

#include <array>
#include <functional>
#include <string>

#include "device/ModCOMM.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

constexpr int LastScannedPort = 15;   ///< the scan and the port menu cover COM1..COM15
constexpr int FirstProbeMin = 15;     ///< probe window of the configured port
constexpr int RetryProbeMin = 10;     ///< probe window during the scan
constexpr int ProbeMax = 200;

/// How the port search ended.
struct PortSearchResult {
    bool online = false;      ///< the operating mode for the whole run
    int serialCom = 0;        ///< `Serial_COM` afterwards: the port found, the last tried, or the one typed
    bool portOpen = false;    ///< `serialCom` is open in the port table for the rest of the run
    bool saveConfig = false;  ///< `serialCom` was typed at the prompt and opened: save config.dat
};

/// Receives the splash texts; the caller shows and repaints them.
using StatusText = std::function<void(const std::string&)>;

/// "STARTING........... Opening Communication Port [<port>]".
std::string portSearchText(int port);

/// Searches for the instrument starting at `serialCom` and leaves the port it
/// settles on open in `comm`. Asks `dialogs` for a port number when no port
/// answers; never throws.
PortSearchResult searchInstrumentPort(ModCOMM& comm, int serialCom, Dialogs& dialogs, Host& host,
                                      const StatusText& showStatus);

/// After the instrument was lost: closes `port`, opens it again through the
/// port map and probes it as the scan does; true, with the port left open,
/// when the instrument answers. Never throws.
bool reopenInstrumentPort(ModCOMM& comm, int port, Host& host);

/// Check marks of the port menu items COM1..COM15 (index 0 is COM1).
using PortMenuChecks = std::array<bool, LastScannedPort>;

/// The menu after start-up: items 1..9 unchecked, the item of `serialCom`
/// checked, items 10..15 otherwise as they were.
PortMenuChecks portMenuAfterSearch(PortMenuChecks checks, int serialCom);

/// The menu after a click on item `item`: only that item checked.
PortMenuChecks portMenuAfterClick(int item);

}  // namespace zorvex
