// The Modbus requests a detector received, read back from the simulator's log
// and written as "T(function, page, register, count)" so that a test compares
// them with the sequence the program must send.
//
//   const QVector<WireRequest> sent = wireRequests(sim.log());
//   QCOMPARE(toStrings(sent.mid(first)), expected);   // "T(4, A, 0010, 1)", ...
//
// Bytes without a valid CRC (the 5-byte pre-send, "ACTIV", "DEACTIV") are not
// requests. A request sent again unchanged after it got no reply is a retry of
// the same transaction and counts once, with its attempts.
#pragma once

#include "sim_process.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

struct WireRequest
{
    int function = 0;  // 3, 4, 16, ...
    int page = 0;      // 0..9 channels, 0xA the device page
    int reg = 0;       // register number within the page
    int count = 0;     // registers read or written
    int attempts = 1;  // times the request was sent
    bool answered = false;
    int requestBytes = 0; // one attempt's frame, CRC included
    int replyBytes = 0;   // the reply that ended it (0 without one)
    QDateTime time;    // when the first attempt arrived (UTC)
    QDateTime end;     // when the last reply left, or the last attempt arrived

    QString toString() const;
    bool operator==(const WireRequest &o) const
    {
        return function == o.function && page == o.page && reg == o.reg && count == o.count;
    }
};

// A request as the program's transactions write it: page 0xAA (170) stands
// for the device page 0xA.
WireRequest T(int function, int page, int reg, int count);

QVector<WireRequest> wireRequests(const QVector<SimLogEntry> &log);

// Every "ACTIV" handshake line received, and whether "DEACTIV" came.
int activCount(const QVector<SimLogEntry> &log);
bool sawDeactiv(const QVector<SimLogEntry> &log);

QStringList toStrings(const QVector<WireRequest> &requests);

// Index of the first request at or after `from` equal to `r`, or -1.
int indexOf(const QVector<WireRequest> &requests, const WireRequest &r, int from = 0);
