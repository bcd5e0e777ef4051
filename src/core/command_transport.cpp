// The transaction engine: one request on the wire, at most one reply back,
// retried until a good reply arrives. Everything blocks the calling thread and
// no events are processed inside a transaction.
#include "command.h"

#include <QElapsedTimer>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr int kPreSendBytes = 5;
constexpr int kCrcErrorPauseMs = 500;
constexpr int kMinReplyLength = 5; // address, function, one byte, CRC

// Result bits the engine itself sets.
constexpr quint16 kResultOk = 2;
constexpr quint16 kResultUnknownFunction = 1;
constexpr quint16 kResultNotDecodable = 8;
constexpr quint16 kResultWriteTimeout = 16;
constexpr quint16 kResultNoReply = 32;
constexpr quint16 kResultBadReply = 256;

// What a transaction asks for a function its entry point does not send.
quint16 unsupportedKind(quint32 port_connected)
{
    return port_connected ? kResultUnknownFunction : kResultOk;
}

} // namespace

quint16 Command::Transmit_command(quint8 kind, quint8 page, quint16 reg, quint16 count)
{
    if (count == 0)
        return kResultOk;

    const quint16 address = quint16((page & 0x0F) * 4096 + reg);
    int length;
    switch (kind) {
    case 4:
        length = TransmitFunc4(address, count, tx_buffer);
        break;
    case 16:
        length = TransmitFunc16(address, count, tx_buffer);
        break;
    case 3:
        length = TransmitFunc3(address, count, tx_buffer);
        break;
    default:
        return unsupportedKind(port_connected);
    }
    if (!port_connected)
        return kResultOk;
    if (length <= 4 || (kind == 16 && length == 8))
        return quint16(length); // refused: nothing goes on the wire
    if (kind != 16) {
        const quint16 known = CheckReadStart(kind, quint8(page & 0x0F), reg);
        if (known != kResultOk)
            return known;
    }

    const bool preSend = device_code != 404;
    const LinkProfile profile{qMax(1, transmit_attempts),
                              preSend ? LinkProfile::PreSendOnce : LinkProfile::NoPreSend,
                              10,
                              20,
                              50,
                              preSend ? reply_timeout_ms : reply_timeout_long_ms,
                              inter_chunk_timeout_ms,
                              true};
    // A write is checked against the echoed register number without page.
    const quint16 reply_address = kind == 16 ? reg : address;
    return RunTransaction(profile, length, reply_address, kind == 16 ? 0 : count);
}

quint16 Command::Transmit_command_log(quint8 kind, quint8 page, quint16 start, quint16 count)
{
    Q_UNUSED(page);
    if (kind != 12)
        return unsupportedKind(port_connected);
    const int length = TransmitFunc12(start, count, tx_buffer);
    if (!port_connected)
        return kResultOk;
    const LinkProfile profile{10, LinkProfile::NoPreSend, 0, 0, 50,
                              log_reply_timeout_ms, log_inter_chunk_timeout_ms, false};
    return RunTransaction(profile, length, 0, 0);
}

quint16 Command::Transmit_filter_log(quint8 kind, quint32 start, quint32 stop)
{
    if (kind != 20)
        return unsupportedKind(port_connected);
    const int length = TransmitFunc20(start, stop, tx_buffer);
    if (!port_connected)
        return kResultOk;
    const LinkProfile profile{2,
                              device_code == 411 ? LinkProfile::PreSendEveryAttempt
                                                 : LinkProfile::NoPreSend,
                              10,
                              10,
                              50,
                              filter_reply_timeout_ms,
                              filter_inter_chunk_timeout_ms,
                              false};
    return RunTransaction(profile, length, 0, 0);
}

quint16 Command::Transmit_Firmware(quint8 kind, quint32 address, const quint8 *data, quint8 length)
{
    int frame_length;
    if (kind == 14)
        frame_length = TransmitFunc14(address, data, length, tx_buffer);
    else if (kind == 15)
        frame_length = TransmitFunc15(address, data, length, tx_buffer);
    else
        return unsupportedKind(port_connected);
    if (!port_connected)
        return kResultOk;
    if (frame_length <= 4)
        return quint16(frame_length);
    const LinkProfile profile{15, LinkProfile::PreSendOnce, 10, 20, 100,
                              firmware_reply_timeout_ms, firmware_inter_chunk_timeout_ms, false};
    return RunTransaction(profile, frame_length, quint16(address & 0xFFFF), 0);
}

void Command::SendPreSend(const LinkProfile &profile)
{
    // The first bytes of the request alone wake a sleeping detector; it
    // discards them as a broken frame. Whatever comes back is dropped by the
    // clear before the request.
    port.clear();
    port.write(reinterpret_cast<const char *>(tx_buffer), kPreSendBytes);
    port.waitForBytesWritten(profile.preSendWriteWaitMs);
    port.waitForReadyRead(profile.preSendReadWaitMs);
}

int Command::ReceiveReply(int first_byte_timeout_ms, int inter_chunk_timeout_ms)
{
    if (!port.waitForReadyRead(first_byte_timeout_ms))
        return 0;
    QByteArray reply = port.readAll();
    // The reply ends at the first silence longer than the inter-chunk
    // timeout; a line that keeps talking past rx_buffer is cut off there.
    while (reply.size() <= int(sizeof rx_buffer) && port.waitForReadyRead(inter_chunk_timeout_ms))
        reply += port.readAll();
    if (reply.size() > int(sizeof rx_buffer))
        return -1;
    std::memcpy(rx_buffer, reply.constData(), size_t(reply.size()));
    return reply.size();
}

quint16 Command::RunTransaction(const LinkProfile &profile, int frame_length,
                                quint16 reply_address, quint16 request_count)
{
    CreateCRC(tx_buffer, frame_length);
    frame_length += 2;
    const quint8 request_function = tx_buffer[1];

    if (profile.preSend == LinkProfile::PreSendOnce)
        SendPreSend(profile);

    quint16 result = kResultNoReply;
    bool paused = false;
    QElapsedTimer timer;
    for (int attempt = 0; attempt < profile.attempts; ++attempt) {
        if (profile.preSend == LinkProfile::PreSendEveryAttempt)
            SendPreSend(profile);

        port.clear();
        port.write(reinterpret_cast<const char *>(tx_buffer), frame_length);
        timer.start();
        if (!port.waitForBytesWritten(profile.writeWaitMs)) {
            // The line is stuck: start it afresh with the same settings.
            port.close();
            port.open(QIODevice::ReadWrite);
            result = kResultWriteTimeout;
            continue;
        }

        const int length = ReceiveReply(profile.firstByteTimeoutMs, profile.interChunkTimeoutMs);
        const qint64 elapsed = timer.elapsed();
        if (length == 0) {
            result = kResultNoReply;
            continue;
        }
        if (length < kMinReplyLength) { // also a reply too long for rx_buffer (-1)
            result = kResultBadReply;
            continue;
        }

        const quint16 received_crc = quint16(rx_buffer[length - 2] * 256 + rx_buffer[length - 1]);
        if (received_crc != CreateCRC_out(rx_buffer, length - 2)) {
            // Give a detector that lost the frame time to fall silent before
            // the request is sent again.
            const bool pause = profile.pauseAfterEveryCrcError ? elapsed < kCrcErrorPauseMs : !paused;
            if (pause) {
                paused = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(kCrcErrorPauseMs));
            }
            result = kResultBadReply;
            continue;
        }

        // Only a reply to this request, or the exception reply to it, may
        // reach the decoders.
        const quint8 reply_function = rx_buffer[1];
        if (reply_function != request_function && reply_function != (request_function | 0x80)) {
            result = kResultUnknownFunction;
            continue;
        }
        // A register read must bring back exactly the registers asked for.
        if (request_count != 0 && reply_function == request_function
            && rx_buffer[2] != 2 * request_count) {
            result = kResultNotDecodable;
            continue;
        }

        result = Parsing_command(rx_buffer, reply_address, length);
        if (result == kResultOk)
            return result;
    }
    return result;
}
