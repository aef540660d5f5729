#include "device/COM_Module.h"

namespace zorvex {

namespace {
constexpr int QueryReplyBytes = 2;
constexpr int ProbeSettleMs = 5;
constexpr int VerifiedSends = 9;
constexpr int VerifiedPasses = 3;
constexpr int ResyncPauseMs = 100;
constexpr int SlowSendPauseMs = 50;
constexpr int ChannelsPerBank = 128;
}  // namespace

CommandFrame CommandFrame::make(int code, int argument, int mode) {
    CommandFrame frame;
    frame.bytes = {static_cast<std::uint8_t>(FrameStart), static_cast<std::uint8_t>(mode & 0xFF),
                   static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(argument & 0xFF),
                   static_cast<std::uint8_t>(FrameEnd)};
    return frame;
}

bool DeviceSend(ModCOMM& comm, int port, int code, int argument, int mode) {
    return comm.CommWrite(port, CommandFrame::make(code, argument, mode).wire()) != 5;
}

int DeviceQuery(ModCOMM& comm, int port, int code, int argument, int mode) {
    if (DeviceSend(comm, port, code, argument, mode)) return -1;
    std::string reply;
    if (comm.CommRead(port, reply, QueryReplyBytes) < 1) return -1;
    return static_cast<unsigned char>(reply[0]);
}

int probeValue(std::string_view reply) {
    if (reply.empty()) return -1;
    int first = static_cast<unsigned char>(reply[0]);
    int second = reply.size() > 1 ? static_cast<unsigned char>(reply[1]) : 0;
    return first * 255 + second;
}

int ProbeDevice(ModCOMM& comm, int port, Host& host) {
    // A pty refuses the modem lines; the failure is on record and the probe goes on.
    comm.CommSetLine(port, LineRts, true);
    comm.CommSetLine(port, LineDtr, true);
    comm.CommWrite(port, CommandFrame::make(RequestNull, 0, ModeRequest).wire());
    host.pause(ProbeSettleMs);
    std::string reply;
    comm.CommRead(port, reply, QueryReplyBytes);
    comm.CommSetLine(port, LineRts, false);
    comm.CommSetLine(port, LineDtr, false);
    return probeValue(reply);
}

int writeVerified(ModCOMM& comm, int port, Host& host, Dialogs& dialogs, int mode, int address, int value, int label) {
    const int expected = address & 0xFF;
    for (int pass = 0; pass < VerifiedPasses; ++pass) {
        if (pass > 0) {
            // A temperature request in between lets the instrument's frame
            // parser find the frame boundary again.
            host.pause(ResyncPauseMs);
            DeviceQuery(comm, port, RequestTemperature, 0, ModeRequest);
            host.pause(ResyncPauseMs);
        }
        int reply = -1;
        for (int send = 0; send < VerifiedSends; ++send) {
            reply = DeviceQuery(comm, port, address, value, mode);
            if (pass > 0) host.pause(SlowSendPauseMs);
        }
        if (reply == expected) return 1;
    }
    dialogs.message("Ops...Data Writing ERROR: reg(" + std::to_string(label) + ")... Check COM and Try again",
                    Buttons::Ok);
    return -1;
}

int WriteChannelSetting(ModCOMM& comm, int port, Host& host, Dialogs& dialogs, int channel, int pinHole, int gain) {
    const bool low = channel < ChannelsPerBank;
    return writeVerified(comm, port, host, dialogs, low ? ModeWriteLow : ModeWriteHigh,
                         low ? channel : channel - ChannelsPerBank, gain * 32 + pinHole, channel);
}

int writeFactoryRegister(ModCOMM& comm, int port, Host& host, Dialogs& dialogs, int reg, int value) {
    return writeVerified(comm, port, host, dialogs, ModeWriteLow, reg, value, reg);
}

BlockReply readSampleBlock(ModCOMM& comm, int port, int offset) {
    BlockReply reply;
    comm.CommFlush(port);
    if (DeviceSend(comm, port, RequestSampleBlock, offset, ModeRequest)) return reply;
    std::string bytes;
    comm.CommRead(port, bytes, SampleBlockBytes);
    reply.replied = !bytes.empty();
    std::optional<SampleBlock> block = decodeSampleBlock(bytes);
    if (!block) return reply;
    reply.status = block->faulty ? BlockStatus::Faulty : BlockStatus::Complete;
    reply.block = *block;
    return reply;
}

}  // namespace zorvex
