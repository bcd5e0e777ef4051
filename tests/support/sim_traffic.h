// What the simulated detector received, read back from its log as whole
// transactions, and its control pipe for raising conditions on demand.
//
//   const QVector<SimRequest> sent = simRequests(sim.log(), firstEntry);
//   QCOMPARE(describe(writesOf(sent)), QStringList{"W(0, 00FE, 4)", ...});
//
//   SimControl control(sim);            // start the simulator with control.option()
//   QVERIFY(control.send("expose 1"));  // waits until the detector has taken it
#pragma once

#include "sim_process.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct SimRequest
{
    int function = 0;           // 3, 4, 16, ...
    int page = 0;               // 0..9 channels, 0xA the device page
    int reg = 0;
    int count = 0;              // registers read or written
    QVector<quint16> values;    // function 16: the values written
    int attempts = 1;           // the same request again after a failed attempt counts once
    bool answered = false;      // the last attempt got a normal reply
    int exception = 0;          // the last attempt got this exception code
    int firstEntry = 0;         // index of the first attempt in the log

    bool isWrite() const { return function == 16; }
    // "W(2, 0100, 12)" for a write, "R3(A, 0010, 1)" / "R4(...)" for reads.
    QString toString() const;
};

// Requests with a valid CRC received from log entry `from` on; the 5-byte
// pre-send, "ACTIV" and broken frames are not requests.
QVector<SimRequest> simRequests(const QVector<SimLogEntry> &log, int from = 0);
QVector<SimRequest> writesOf(const QVector<SimRequest> &requests);
QStringList describe(const QVector<SimRequest> &requests);

// Expected writes in the same notation: "W(k, <block>)" for every channel k
// below `channels`, all blocks of one channel before the next; "W(A, <block>)".
QStringList simWritesPerChannel(int channels, const QStringList &blocks);
QStringList simDeviceWrites(const QStringList &blocks);

// Every holding register of a dump file, keyed by simRegisterKey(page, reg).
QHash<quint32, quint16> simHoldingRegisters(const QString &dumpPath);
inline quint32 simRegisterKey(int page, int reg) { return (quint32(page) << 16) | quint32(reg); }

// Notes ("--" lines) of the log from entry `from` on.
QStringList simNotes(const QVector<SimLogEntry> &log, int from = 0);

// The simulator's control pipe (option --control).
class SimControl
{
public:
    explicit SimControl(const SimProcess &sim);
    // Options to start the simulator with.
    QStringList options() const { return {QStringLiteral("--control"), m_path}; }
    // Sends one command and waits until the log shows the detector's answer;
    // false when it did not come or the command was refused.
    bool send(const QString &command, int timeoutMs = 3000);
    QString lastAnswer() const { return m_answer; }

private:
    const SimProcess &m_sim;
    QString m_path;
    QString m_answer;
};
