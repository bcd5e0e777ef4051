// The detector simulator (ivra-detector-sim) as a child process of a test.
//
//   SimProcess sim;
//   QVERIFY2(sim.start({"--model", "405", "--layout", "p0"}), qPrintable(sim.errorString()));
//   ... open sim.portPath() with the program's Command, or with SimLine ...
//   QVERIFY(sim.stop());                       // SIGTERM; writes the final dump
//   QCOMPARE(sim.dump().holding(2, 0x0103), std::optional<quint16>(0x0456));
//   for (const SimLogEntry &e : sim.log()) ...  // every request and reply
//
// start() adds --log and --dump with files in a temporary folder of its own;
// requestDump() asks the running simulator for a fresh dump (SIGUSR1) and waits
// for it. SimLine is a plain client of the simulated line for tests that
// speak raw frames.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <optional>

// One line of the simulator's log.
struct SimLogEntry
{
    QDateTime time;      // UTC, millisecond resolution
    QString kind;        // "RX" request bytes, "TX" reply bytes, "--" a note
    QByteArray bytes;    // RX and TX
    QString note;        // "--"
};

// The register dump: every register the detector answers, with its value.
class SimRegisterDump
{
public:
    bool load(const QString &path);
    bool isEmpty() const { return m_values.isEmpty(); }

    std::optional<quint16> holding(int page, int reg) const { return value('H', page, reg); }
    std::optional<quint16> input(int page, int reg) const { return value('I', page, reg); }
    std::optional<quint16> value(char kind, int page, int reg) const;

    // Header figures: "dump", "requests", "answered", "switched-off",
    // "commits", "factory-stores", "factory-restores", "program-exits",
    // "temperature-calibrations", "ble-firmware-mode", "switch-offs", "model",
    // "address", "firmware"; -1 when absent.
    int counter(const QString &name) const { return m_counters.value(name, -1); }

private:
    QHash<quint32, quint16> m_values;
    QHash<QString, int> m_counters;
};

class SimProcess
{
public:
    SimProcess();
    ~SimProcess();  // stops the simulator if it still runs

    // Starts the simulator with these options and waits for its line's path.
    bool start(const QStringList &options = {}, int timeoutMs = 5000);
    bool stop(int timeoutMs = 5000);  // SIGTERM and wait; true if it exited cleanly
    bool waitForExit(int timeoutMs);  // for simulators that end by themselves (hang-up)
    bool isRunning() const;

    QString portPath() const { return m_portPath; }
    QString logPath() const;
    QString dumpPath() const;
    QString errorString() const { return m_error; }

    bool requestDump(int timeoutMs = 3000);  // SIGUSR1, waits for the new dump
    SimRegisterDump dump() const;           // the dump file as it is now
    QVector<SimLogEntry> log() const;       // the log file as it is now
    void toggleExposure();                  // SIGUSR2

    static QString program();  // path of the built simulator

private:
    bool signal(int sig);

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_portPath;
    QString m_error;
};

// A client end of the simulated line: raw mode, non-blocking reads framed by silence.
class SimLine
{
public:
    SimLine() = default;
    ~SimLine();
    SimLine(const SimLine &) = delete;
    SimLine &operator=(const SimLine &) = delete;

    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    bool send(const QByteArray &bytes);
    // Collects bytes until a silence of gapMs after the first one; empty
    // when nothing comes within firstByteTimeoutMs.
    QByteArray receive(int firstByteTimeoutMs = 1000, int gapMs = 25);
    QByteArray transact(const QByteArray &request, int firstByteTimeoutMs = 1000, int gapMs = 25);
    // True when the other end has hung up (the line reads end of file or an error).
    bool hungUp(int timeoutMs);

    // Frames: the CRC appended low byte first; page 0xA is the device page.
    static QByteArray withCrc(QByteArray frame);
    static bool crcOk(const QByteArray &frame);
    static QByteArray readRequest(quint8 address, quint8 function, int page, int reg, int count);
    static QByteArray writeRequest(quint8 address, int page, int reg, const QVector<quint16> &values);
    // Register values of a function 3/4 reply (empty when it is not one).
    static QVector<quint16> replyWords(const QByteArray &reply);

private:
    int m_fd = -1;
};
