#include "device/ModCOMM.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <thread>

#include "common/Text.h"

namespace zorvex {

namespace {

constexpr std::size_t MaxErrorTextChars = 255;
constexpr const char* PortNumberText = "Port number out of range";

std::string systemText(int errorNumber) {
    char buffer[MaxErrorTextChars + 1] = {};
    std::string text = ::strerror_r(errorNumber, buffer, sizeof buffer);
    if (text.size() > MaxErrorTextChars) text.resize(MaxErrorTextChars);
    return std::string(trimBlanks(text));
}

std::string upperHex(unsigned value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return text;
}

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::optional<speed_t> speedOf(int baud) {
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        default: return std::nullopt;
    }
}

bool applySettings(termios& tio, const LineSettings& line) {
    std::optional<speed_t> speed = speedOf(line.baud);
    if (!speed) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag |= sizes[line.dataBits - 5];
    if (line.parity == 'E') tio.c_cflag |= PARENB;
    if (line.parity == 'O') tio.c_cflag |= PARENB | PARODD;
    if (line.parity == 'M') tio.c_cflag |= PARENB | PARODD | CMSPAR;
    if (line.parity == 'S') tio.c_cflag |= PARENB | CMSPAR;
    if (line.stopBits == 2) tio.c_cflag |= CSTOPB;
    // Reads time themselves with poll(); the driver returns whatever it holds.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return ::cfsetispeed(&tio, *speed) == 0 && ::cfsetospeed(&tio, *speed) == 0;
}

// One read call: up to `wanted` bytes in total within ReadTotalTimeoutMs, giving
// up when ReadIntervalTimeoutMs pass after a byte without another. Returns 0
// or the errno of a failure.
int readCall(int fd, std::string& data, std::size_t wanted) {
    const std::int64_t deadline = nowMs() + ReadTotalTimeoutMs;
    bool gotAny = false;
    char buffer[1024];
    while (data.size() < wanted) {
        std::int64_t remaining = deadline - nowMs();
        if (remaining <= 0) return 0;
        int waitMs = static_cast<int>(gotAny && remaining > ReadIntervalTimeoutMs ? ReadIntervalTimeoutMs : remaining);
        pollfd ready{fd, POLLIN, 0};
        int polled = ::poll(&ready, 1, waitMs);
        if (polled < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (polled == 0) return 0;
        std::size_t chunk = std::min(wanted - data.size(), sizeof buffer);
        ssize_t got = ::read(fd, buffer, chunk);
        if (got > 0) {
            data.append(buffer, static_cast<std::size_t>(got));
            gotAny = true;
        } else if (got == 0) {
            return EIO;  // readable but empty: the other side hung up
        } else if (errno != EAGAIN && errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

}  // namespace

std::optional<LineSettings> parseLineSettings(std::string_view text) {
    LineSettings line;
    while (!text.empty()) {
        std::size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        text.remove_prefix(start);
        std::size_t end = text.find(' ');
        std::string_view item = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        std::size_t equals = item.find('=');
        if (equals == std::string_view::npos || equals + 1 >= item.size()) return std::nullopt;
        std::string key;
        for (char c : item.substr(0, equals)) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string_view value = item.substr(equals + 1);
        double number = val(value);
        if (key == "baud") {
            line.baud = static_cast<int>(number);
            if (!speedOf(line.baud)) return std::nullopt;
        } else if (key == "parity") {
            char parity = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
            if (value.size() != 1 || std::string_view("NEOMS").find(parity) == std::string_view::npos) return std::nullopt;
            line.parity = parity;
        } else if (key == "data") {
            if (number < 5 || number > 8 || number != static_cast<int>(number)) return std::nullopt;
            line.dataBits = static_cast<int>(number);
        } else if (key == "stop") {
            if (number != 1 && number != 2) return std::nullopt;
            line.stopBits = static_cast<int>(number);
        } else {
            return std::nullopt;
        }
    }
    return line;
}

ModCOMM::ModCOMM(PortMap map) : portMap_(std::move(map)) {}

ModCOMM::~ModCOMM() {
    for (Port& port : ports_) {
        if (port.open) release(port);
    }
}

ModCOMM::Port* ModCOMM::entry(int port) {
    return port >= 1 && port <= PortCount ? &ports_[port - 1] : nullptr;
}

bool ModCOMM::isOpen(int port) const {
    return port >= 1 && port <= PortCount && ports_[port - 1].open;
}

std::optional<LineSettings> ModCOMM::lineSettings(int port) const {
    if (!isOpen(port)) return std::nullopt;
    return ports_[port - 1].settings;
}

std::int32_t ModCOMM::record(std::int32_t number, const char* source, std::string text) {
    lastError_ = CommError{number, source, std::move(text)};
    return number;
}

std::int32_t ModCOMM::recordSystem(int errorNumber, const char* source, Port* flagsOf) {
    std::string text = systemText(errorNumber);
    if (flagsOf) text += "  COMM Error Flags = " + upperHex(takeErrorFlags(*flagsOf));
    return record(errorNumber, source, std::move(text));
}

// The driver keeps running counts of line errors; the flags are the kinds that
// grew since the last look (receive overflow, overrun, parity, framing, break).
// Devices without counters (a pty) report none.
unsigned ModCOMM::takeErrorFlags(Port& port) {
    serial_icounter_struct counts{};
    if (port.fd < 0 || ::ioctl(port.fd, TIOCGICOUNT, &counts) != 0) return 0;
    const int now[5] = {counts.buf_overrun, counts.overrun, counts.parity, counts.frame, counts.brk};
    unsigned flags = 0;
    for (int kind = 0; kind < 5; ++kind) {
        if (now[kind] != port.errorCounts[kind]) flags |= 1u << kind;
        port.errorCounts[kind] = now[kind];
    }
    return flags;
}

int ModCOMM::release(Port& port) {
    // TIOCEXCL outlives our descriptor while the other end keeps the tty open,
    // which would refuse the next open of an ordinary user.
    ::ioctl(port.fd, TIOCNXCL);
    int result = ::close(port.fd) == 0 ? 0 : errno;
    // close() gives the descriptor back even when it reports an error.
    port = Port{};
    return result;
}

std::int32_t ModCOMM::purge(Port& port, const char* source) {
    // A purge is meant for late replies, never for a frame just written. Once
    // drained, a real line holds no output of ours, and on a pty the output
    // queue is what the other side has not read yet: discarding it lost most
    // set-outputs frames sent just before a block request.
    if (::tcdrain(port.fd) != 0 || ::tcflush(port.fd, TCIFLUSH) != 0) return recordSystem(errno, source);
    return 0;
}

std::int32_t ModCOMM::CommOpen(int port, std::string_view deviceName, std::string_view settings) {
    try {
        Port* slot = entry(port);
        if (!slot) return record(EINVAL, "CommOpen", PortNumberText);
        if (slot->open) return record(PortInUseError, "CommOpen", "Port in use.");
        std::optional<std::string> path = resolvePortName(portMap_, deviceName);
        if (!path) return recordSystem(ENOENT, "CommOpen (CreateFile)");
        return openSteps(*slot, *path, settings);
    } catch (const std::bad_alloc&) {
        return record(ENOMEM, "CommOpen", "Out of memory");
    }
}

std::int32_t ModCOMM::openSteps(Port& port, const std::string& path, std::string_view settings) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return recordSystem(errno, "CommOpen (CreateFile)");
    if (::ioctl(fd, TIOCEXCL) != 0) {
        int failure = errno;
        ::close(fd);
        return recordSystem(failure, "CommOpen (CreateFile)");
    }
    port.fd = fd;
    port.open = true;
    // A step that fails gives the device back: a port half opened would hold
    // the device exclusively and answer "Port in use." until someone closes it.
    auto fail = [&](int failure, const char* source) {
        release(port);
        return recordSystem(failure, source);
    };
    // Linux sizes the driver buffers itself; there is nothing to set up here.
    if (::tcflush(fd, TCIOFLUSH) != 0) return fail(errno, "CommOpen (PurgeComm)");
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return fail(errno, "CommOpen (GetCommState)");
    std::optional<LineSettings> line = parseLineSettings(settings);
    if (!line || !applySettings(tio, *line)) return fail(EINVAL, "CommOpen (BuildCommDCB)");
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return fail(errno, "CommOpen (SetCommState)");
    port.settings = *line;
    takeErrorFlags(port);
    return 0;
}

std::int32_t ModCOMM::CommClose(int port) {
    Port* slot = entry(port);
    if (!slot) return record(EINVAL, "CommClose", PortNumberText);
    if (!slot->open) return 0;
    int failure = release(*slot);
    return failure == 0 ? 0 : recordSystem(failure, "CommClose (CloseHandle)");
}

std::int32_t ModCOMM::CommFlush(int port) {
    Port* slot = entry(port);
    if (!slot) return record(EINVAL, "CommFlush", PortNumberText);
    return purge(*slot, "CommFlush (PurgeComm)");
}

std::int32_t ModCOMM::CommRead(int port, std::string& data, std::int32_t wanted) {
    data.clear();
    try {
        Port* slot = entry(port);
        if (!slot) {
            record(EINVAL, "CommRead", PortNumberText);
            return 0;
        }
        if (wanted <= 0) return 0;
        if (slot->fd < 0) {
            recordSystem(EBADF, "CommRead (ReadFile)");
            return 0;
        }
        const auto target = static_cast<std::size_t>(wanted);
        int retries = 0;
        int failure = 0;
        while (data.size() < target && retries < ReadCallsPerRead) {
            failure = readCall(slot->fd, data, target);
            if (data.size() < target) {
                ++retries;
                std::this_thread::sleep_for(std::chrono::milliseconds(ReadRetryPauseMs));
            }
        }
        if (failure != 0) recordSystem(failure, "CommRead (ReadFile)", slot);
        if (data.size() < target) purge(*slot, "CommFlush (PurgeComm)");
        return static_cast<std::int32_t>(data.size());
    } catch (const std::bad_alloc&) {
        record(ENOMEM, "CommRead", "Out of memory");
        return static_cast<std::int32_t>(data.size());
    }
}

std::int32_t ModCOMM::CommWrite(int port, std::string_view data) {
    Port* slot = entry(port);
    if (!slot) {
        record(EINVAL, "CommWrite", PortNumberText);
        return 0;
    }
    if (slot->fd < 0) {
        recordSystem(EBADF, "CommWrite (WriteFile)");
        return -1;
    }
    const std::int64_t deadline = nowMs() + static_cast<std::int64_t>(data.size()) * WriteTimeoutPerByteMs;
    std::size_t written = 0;
    while (written < data.size()) {
        ssize_t count = ::write(slot->fd, data.data() + written, data.size() - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            recordSystem(errno, "CommWrite (WriteFile)", slot);
            return -1;
        }
        std::int64_t remaining = deadline - nowMs();
        if (remaining <= 0) break;  // the write timeout: report what left
        pollfd ready{slot->fd, POLLOUT, 0};
        ::poll(&ready, 1, static_cast<int>(remaining));
    }
    return static_cast<std::int32_t>(written);
}

std::int32_t ModCOMM::CommSetLine(int port, int line, bool state) {
    Port* slot = entry(port);
    if (!slot) return record(EINVAL, "CommSetLine", PortNumberText);
    int result = -1;
    int bits = line == LineDtr ? TIOCM_DTR : TIOCM_RTS;
    if (slot->fd < 0) {
        errno = EBADF;
    } else if (line == LineBreak) {
        result = ::ioctl(slot->fd, state ? TIOCSBRK : TIOCCBRK);
    } else if (line == LineDtr || line == LineRts) {
        result = ::ioctl(slot->fd, state ? TIOCMBIS : TIOCMBIC, &bits);
    } else {
        errno = EINVAL;
    }
    if (result != 0) return recordSystem(errno, "CommSetLine (EscapeCommFunction)");
    return 0;
}

}  // namespace zorvex
