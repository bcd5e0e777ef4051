// One save of channel settings checked end to end, shared by the save tests:
// the program connected to a simulated detector, a technician's edits on the
// "Сенсоры" page (threshold 1 made falling and set in a new displayed unit),
// "Сохранить параметры", and what the detector received and kept: exactly the
// expected requests, the commit last, no setting changed that was not edited,
// and the values back on the page after a re-read.
#pragma once

#include "modal_answerer.h"
#include "sim_traffic.h"
#include "sim_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSet>
#include <QtTest>

#include <cstring>

namespace save_scenario {

inline const QString Commit = QStringLiteral("W(A, 0240, 1)");
inline const QString ClockM4 = QStringLiteral("W(0, 00FE, 4)");
inline const QString ClockM1 = QStringLiteral("W(0, 0100, 2)");

// The columns of a save table: the detector, the account, the channel edited
// on the "Сенсоры" page and the writes the simulator must see, in order.
inline void addSaveColumns()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QStringList>("writes");
}

// The device blocks a production save of a first-protocol M4 or M4 Plus
// writes after the channels; the buzzer value it writes is the one the
// connect read from the detector.
inline QStringList m4DeviceWrites()
{
    return simDeviceWrites({"0200, 1", "0220, 2", "0210, 6"});
}

inline float floatAt(const QHash<quint32, quint16> &regs, int page, int reg)
{
    const quint32 bits = regs.value(simRegisterKey(page, reg))
                         | (quint32(regs.value(simRegisterKey(page, reg + 1))) << 16);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Registers a detector changes by itself: its clock (also set by every
// save), its status words and the digital sensor's own status.
// Device registers answer on every page with one value.
inline bool isLive(int layout, int reg)
{
    if (reg >= 0x00FE && reg <= 0x0101)
        return true;
    if (layout == 0)
        return reg == 0x0221 || reg == 0x0223 || reg == 0x0125;
    return reg == 0x0222 || (reg >= 0x0226 && reg <= 0x0228);
}

} // namespace save_scenario

// The edited channel carries hydrogen sulphide: ppm with one decimal, 1.42
// mg/m3 per ppm, thresholds 10, 20 and 40 ppm. `writes` lists the requests
// of the save up to the refresh that follows it.
inline void saveAndCheck(int model, const QString &layout, const QString &account, int channel,
                         const QStringList &writes)
{
    using namespace save_scenario;
    const int p = layout == "p0" ? 0 : 1;

    SimWindow w;
    QVERIFY2(w.connect({"--model", QString::number(model), "--layout", layout, "--steady", "--sensor",
                        QStringLiteral("%1=H2S").arg(channel)},
                       quint16(model), account),
             qPrintable(w.error));
    QCOMPARE(int(w.cmd->protocol_version), p);

    w.tabs()->setCurrentIndex(1);
    QCOMPARE(w.status(), QStringLiteral("Успешная передача данных"));
    QWidget *page = w.sensorPage(channel);
    QVERIFY(page);
    auto *unit = page->findChild<QComboBox *>("comboBoxUnitMeas");
    auto *limit1 = page->findChild<QDoubleSpinBox *>("doubleSpinBoxLim_1");
    auto *limit2 = page->findChild<QDoubleSpinBox *>("doubleSpinBoxLim_2");
    auto *rising1 = page->findChild<QCheckBox *>("checkBoxLim1IncDec");
    QVERIFY(unit && limit1 && limit2 && rising1);
    QCOMPARE(unit->currentText(), QStringLiteral("PPM"));
    QCOMPARE(limit1->value(), 10.0);
    QVERIFY(rising1->isChecked());

    // The technician shows the channel in mg/m3, sets threshold 1 to
    // 21.3 mg/m3 (15 ppm) and makes it alarm on a falling value.
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Down);
    QCOMPARE(unit->currentText(), QStringLiteral("mg/m3"));
    QCOMPARE(limit2->suffix(), QStringLiteral(" mg/m3"));
    QCOMPARE(limit2->value(), 28.4);  // 20 ppm on the detector
    limit1->setValue(21.3);
    rising1->click();
    QVERIFY(!rising1->isChecked());

    QVERIFY(w.sim.requestDump());
    const QHash<quint32, quint16> before = simHoldingRegisters(w.sim.dumpPath());
    const int commitsBefore = w.sim.dump().counter("commits");
    const int from = w.sim.log().size();
    {
        ModalAnswerer answers;
        w.button("pushButton_Save_Param")->click();
        QCOMPARE(answers.texts(), QStringList());
    }
    QCOMPARE(w.status(), QStringLiteral("Успешная передача данных"));

    // The requests of the save, up to the refresh that follows it and
    // starts with the liveness read. The commit came last.
    const QVector<SimRequest> sent = simRequests(w.sim.log(), from);
    const int refresh = describe(sent).indexOf(QStringLiteral("R4(A, 0010, 1)"));
    QVERIFY(refresh > 0);
    QCOMPARE(describe(sent.mid(0, refresh)), writes);
    for (const SimRequest &r : sent.mid(0, refresh))
        QVERIFY2(r.answered && r.attempts == 1, qPrintable(r.toString()));
    QCOMPARE(describe(writesOf(sent.mid(refresh))).filter("0240"), QStringList());

    QVERIFY(w.sim.requestDump());
    QCOMPARE(w.sim.dump().counter("commits"), commitsBefore + 1);
    const QHash<quint32, quint16> after = simHoldingRegisters(w.sim.dumpPath());

    // The edits arrived ...
    QSet<quint32> edited;
    if (p == 0) {
        const quint16 threshold = after.value(simRegisterKey(channel, 0x0105));
        QCOMPARE(threshold, quint16(0x8000 | 150));  // falling, 15.0 ppm in tenths
        QCOMPARE(after.value(simRegisterKey(channel, 0x0103)) & 3, 1);  // shown in mg/m3
        edited << simRegisterKey(channel, 0x0105) << simRegisterKey(channel, 0x0103);
    } else {
        QVERIFY(qAbs(floatAt(after, channel, 0x0108) - 15.0f) < 1e-4f);
        QVERIFY(after.value(simRegisterKey(channel, 0x0224)) & (1u << 10));  // falling
        QCOMPARE(after.value(simRegisterKey(channel, 0x0103)) & 3, 1);
        edited << simRegisterKey(channel, 0x0108) << simRegisterKey(channel, 0x0109)
               << simRegisterKey(channel, 0x0224) << simRegisterKey(channel, 0x0103);
    }
    // ... and nothing else the detector keeps was changed by the save.
    QStringList changed;
    for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
        const int pg = int(it.key() >> 16), reg = int(it.key() & 0xFFFF);
        if (edited.contains(it.key()) || isLive(p, reg))
            continue;
        if (before.value(it.key()) != it.value())
            changed << QStringLiteral("H %1 %2: %3 -> %4")
                           .arg(pg, 0, 16)
                           .arg(reg, 4, 16, QLatin1Char('0'))
                           .arg(before.value(it.key()), 4, 16, QLatin1Char('0'))
                           .arg(it.value(), 4, 16, QLatin1Char('0'));
    }
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join("; ")));

    // A re-read brings the saved values back onto the page even when the
    // program's copy has lost them.
    if (p == 0) {
        w.cmd->p0.channel[channel].alarm_threshold_1 = 0;
        w.cmd->p0.channel[channel].display_format &= quint16(~3u);
    } else {
        w.cmd->p1.channel[channel].alarm_threshold_1 = 0;
        w.cmd->p1.channel[channel].display_format &= quint16(~3u);
        w.cmd->p1.channel[channel].channel_flags &= ~(1u << 10);
    }
    w.button("pushButton_Read_Param")->click();
    QCOMPARE(w.status(), QStringLiteral("Успешная передача данных"));
    page = w.sensorPage(channel);
    QCOMPARE(page->findChild<QComboBox *>("comboBoxUnitMeas")->currentText(), QStringLiteral("mg/m3"));
    QCOMPARE(page->findChild<QDoubleSpinBox *>("doubleSpinBoxLim_1")->value(), 21.3);
    QVERIFY(!page->findChild<QCheckBox *>("checkBoxLim1IncDec")->isChecked());
}
