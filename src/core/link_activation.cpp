#include "link_activation.h"

#include <QCoreApplication>
#include <QSerialPort>

bool activateDetector(QSerialPort &port, int tries)
{
    static const QByteArray activ("ACTIV");
    QByteArray collected;
    for (int attempt = 0; attempt < tries; ++attempt) {
        port.write(activ);
        port.waitForBytesWritten(100);
        if (port.waitForReadyRead(100)) {
            // A fresh answer replaces what an earlier try left behind.
            collected = port.readAll();
            while (port.waitForReadyRead(10))
                collected += port.readAll();
        }
        if (collected == activ)
            return true;
    }
    return false;
}

void deactivateDetector(QSerialPort &port)
{
    if (!port.isOpen())
        return;
    port.write("DEACTIV");
    port.waitForBytesWritten(100);
}

QString portOpenFailureReason(const QSerialPort &port)
{
    switch (port.error()) {
    case QSerialPort::PermissionError:
        return QCoreApplication::translate(
                   "Connect_com_port",
                   "нет прав доступа к %1: добавьте пользователя в группу dialout и войдите в систему заново")
            .arg(port.portName());
    case QSerialPort::DeviceNotFoundError:
        return QCoreApplication::translate("Connect_com_port", "порт %1 не найден").arg(port.portName());
    default:
        return port.errorString();
    }
}
