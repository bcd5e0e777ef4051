// Command: the link to one detector and the program's copy of its registers.
//
// It owns the serial port, the request and reply buffers, the timeouts and the
// device image. The program has one process-wide instance (Command::instance());
// every operation is a member, so tests run them on fresh instances.
#pragma once

#include "device_image.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <cstdint>

class Command : public QObject, public DeviceImage
{
    Q_OBJECT
public:
    explicit Command(QObject *parent = nullptr);
    ~Command() override;

    // The process-wide instance used by the windows. main() installs one;
    // tests may install their own.
    static Command &instance();
    static void setInstance(Command *command);

    // --- Transport state -------------------------------------------------
    QSerialPort port;
    QString port_name;
    quint32 port_connected = 0;
    qint16 modbus_address = 255;

    // --- Transactions (function codes 3, 4, 16) --------------------------
    quint16 Transmit_command(quint8 kind, quint8 page, quint16 reg, quint16 count);
};
