// PtyPeer: a scripted detector on the master side of a pseudo-terminal.
//
// The program under test opens slavePath() as its serial port (QSerialPort
// accepts the path as port name). The peer runs its own thread: it reads the
// master side with poll(), cuts the incoming bytes into frames at a silence of
// frameGapMs (as a detector does, so a 5-byte pre-send followed by the request
// 20 ms later is seen as two frames), records every frame with timestamps,
// and answers each frame with whatever the responder returns for it.
//
//     PtyPeer peer;
//     peer.setResponder([](const QByteArray &request) {
//         return PtyPeer::answer(PtyPeer::withCrc(QByteArray::fromHex("ff8302")));
//     });
//     peer.start();
//     port.setPortName(peer.slavePath()); port.open(QIODevice::ReadWrite);
//     ...
//     QVector<PtyPeer::Frame> seen = peer.frames();
//
// A reply is a list of chunks, each sent after its own delay, so a test can cut
// a reply with a gap or answer late; with setBaudRate() the bytes of each chunk
// are paced as on a real line (10 bits per byte). The peer keeps a slave
// descriptor open for its whole life so that the line never hangs up between
// the program's opens, and can stop the slave's output (a line that does not
// accept writes) with setSlaveOutputStopped().
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class PtyPeer
{
public:
    struct Frame
    {
        QByteArray bytes;
        qint64 firstByteUs; // microseconds since the peer was created
        qint64 lastByteUs;
    };
    struct Chunk
    {
        int delayMs;      // silence before this chunk (the first: after the request)
        QByteArray bytes;
    };
    using Reply = QVector<Chunk>;
    // Called on the peer's thread for every received frame; an empty reply
    // means silence.
    using Responder = std::function<Reply(const QByteArray &frame)>;

    explicit PtyPeer(int frameGapMs = 3);
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isOpen() const { return master_ >= 0 && slave_ >= 0; }
    QString slavePath() const { return slavePath_; }
    int slaveFd() const { return slave_; }

    void setResponder(Responder responder);
    // 0 (default): each chunk is written at once; otherwise paced at this rate.
    void setBaudRate(int baud) { baud_ = baud; }
    void start();
    void stop();

    // Frames received so far, oldest first.
    QVector<Frame> frames() const;
    void clearFrames();
    // Waits (without events) until at least `count` frames were received.
    bool waitForFrames(int count, int timeoutMs) const;
    // Microseconds since the peer was created, on the clock of Frame.
    qint64 nowUs() const;

    // Stops or restarts the output of the slave side: while stopped, the
    // program's writes to the port do not complete.
    bool setSlaveOutputStopped(bool stopped);

    // Helpers for responders.
    static Reply answer(const QByteArray &bytes, int delayMs = 1) { return {{delayMs, bytes}}; }
    static QByteArray withCrc(const QByteArray &frame);
    // True for a whole Modbus frame (CRC correct), false for a pre-send or a
    // broken frame.
    static bool hasGoodCrc(const QByteArray &frame);

private:
    void run();
    void sendReply(const Reply &reply);
    void writePaced(const QByteArray &bytes);

    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    int frameGapMs_;
    std::atomic<int> baud_{0};
    std::atomic<bool> running_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    Responder responder_;
    QVector<Frame> frames_;
    qint64 epochNs_ = 0;
};
