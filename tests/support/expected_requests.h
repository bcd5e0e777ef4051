// The requests the program must send to a detector, one list per job, for
// comparison with what the simulator received (wire_requests.h). Page 0xA is
// the device page.
#pragma once

#include "wire_requests.h"

#include <QVector>

class Command;

namespace expected {

// Register counts of the layout p1 channel settings (from 0x0102) and device
// inputs (from 0x0011) for every model but a 421 with firmware 11.
constexpr int P1ChannelSettings = 55;
constexpr int P1DeviceInputs = 9;

// The model-specific reads of the full read that follows a connection, for
// a first-protocol detector.
QVector<WireRequest> fullReadP0(int code, int channels);

// Layout p1 parameter-set read: mode 0 the full read after a connection,
// mode 1 the refresh with the clock write (inputsOnly while "Авто" is on).
QVector<WireRequest> readParamP1(int mode, bool inputsOnly, int channels);

// Everything the rebuild after a connection sends: the layout probe, the
// detector language and the full read.
QVector<WireRequest> fullRead(int code, int layout, int channels);

// One refresh of `tab`: liveness, layout probe, clock and blocks by model and
// layout, detector language. `extra` marks the channels whose display format
// asks for register 0x0125 (layout p0).
QVector<WireRequest> refresh(int code, int layout, int channels, int tab, bool autoOn,
                             const QVector<bool> &extra = {});

// Channels of the image whose display format (layout p0) asks for register 0x0125.
QVector<bool> extraReads(const Command &cmd);

} // namespace expected
