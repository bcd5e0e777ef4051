// The ASCII wake-up of a detector on a freshly opened serial line: "ACTIV"
// is written and the detector echoes it; "DEACTIV" releases a detector that
// was woken but is not going to be used.
#pragma once

#include <QByteArray>
#include <QString>

class QSerialPort;

// Writes "ACTIV" up to `tries` times; true as soon as the bytes collected
// after one write are exactly "ACTIV". Each try waits up to 100 ms for the
// write and up to 100 ms for the first reply bytes; a reply ends at the
// first 10 ms gap. Blocks the calling thread; processes no events.
bool activateDetector(QSerialPort &port, int tries = 6);

// Writes "DEACTIV" and waits briefly for it to leave the port.
void deactivateDetector(QSerialPort &port);

// A human reason why a port could not be opened, for the status bar. On
// Linux a refused open almost always means the user is not in the group
// that owns the serial devices (dialout).
QString portOpenFailureReason(const QSerialPort &port);
