#include "command.h"
#include <QtTest>
class tst_smoke : public QObject
{
    Q_OBJECT
private slots:
    void offlineTransactionSucceeds()
    {
        Command c;
        QCOMPARE(c.port_connected, 0u);
        QCOMPARE(c.Transmit_command(3, 0, 0x0100, 1), quint16(2));
    }
};
QTEST_GUILESS_MAIN(tst_smoke)
#include "tst_smoke.moc"
