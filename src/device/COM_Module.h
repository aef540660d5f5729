#pragma once
// The command frames of the instrument and the operations every other module
// uses to talk to it. The instrument speaks only when asked: each request is
// one 5-byte frame, answered by a short reply, a 192-byte block, or nothing.

#include <array>
#include <cstdint>
#include <string>

#include "device/ModCOMM.h"
#include "device/SampleBlock.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

namespace zorvex {

constexpr const char* PortSettingsText = "baud=115200 parity=N data=8 stop=1";

constexpr int FrameStart = 0xFF;
constexpr int FrameEnd = 0xF0;

/// Mode byte of a frame.
constexpr int ModeRequest = 0x00;
constexpr int ModeWriteLow = 0x80;   ///< channels 0..127 and factory registers
constexpr int ModeWriteHigh = 0x81;  ///< channels 128..383, addressed as channel - 128

/// Request codes (byte 2 of a request).
constexpr int RequestNull = 0x00;
constexpr int RequestSetOutputs = 0x10;
constexpr int RequestFactoryRegister = 0x20;
constexpr int RequestTemperature = 0x21;
constexpr int RequestSampleBlock = 0x30;

/// One request in wire order: FF, mode, code, argument, F0.
struct CommandFrame {
    std::array<std::uint8_t, 5> bytes{};

    /// The frame of `code`, `argument` and `mode`, each taken as one byte.
    static CommandFrame make(int code, int argument, int mode);
    /// The five bytes as a string for the port.
    std::string wire() const { return std::string(bytes.begin(), bytes.end()); }
};

/// Writes one frame; false when all 5 bytes were written, true when not.
bool DeviceSend(ModCOMM& comm, int port, int code, int argument, int mode);

/// Writes one frame and reads the reply; the first reply byte, or -1 when
/// nothing arrived or the exchange failed.
int DeviceQuery(ModCOMM& comm, int port, int code, int argument, int mode);

/// The presence probe on `port`: first x 255 + second reply byte (a lone byte
/// counts with 0), or -1 when nothing arrived.
int ProbeDevice(ModCOMM& comm, int port, Host& host);

/// The probe value of a reply; -1 for an empty one.
int probeValue(std::string_view reply);

/// Writes `value` to address `address` under `mode` with up to three verified
/// passes; 1 when the instrument echoed the address, else shows
/// "Ops...Data Writing ERROR: reg(<label>)... Check COM and Try again" and gives -1.
int writeVerified(ModCOMM& comm, int port, Host& host, Dialogs& dialogs, int mode, int address, int value, int label);

/// Writes a channel's sensitivity (gain x 32 + pin-hole) with verification;
/// 1 on success, -1 after the error message.
int WriteChannelSetting(ModCOMM& comm, int port, Host& host, Dialogs& dialogs, int channel, int pinHole, int gain);

/// Writes factory register 128..134 with verification; 1 or -1 as above.
int writeFactoryRegister(ModCOMM& comm, int port, Host& host, Dialogs& dialogs, int reg, int value);

enum class BlockStatus { Complete, Missing, Faulty };

/// What one block exchange brought.
struct BlockReply {
    BlockStatus status = BlockStatus::Missing;
    bool replied = false;  ///< any byte came back: the instrument was there, even if the block was short
    SampleBlock block;  ///< the values; meaningful unless Missing
};

/// Purges the port, requests the block at `offset` and reads its 192 bytes.
BlockReply readSampleBlock(ModCOMM& comm, int port, int offset);

}  // namespace zorvex
