// The channel alarm settings page: what it shows of a channel record in the
// displayed unit, what each entry stores back into the device image (counts
// of layout p0, base-unit floats of layout p1), entries held to what their
// field can store, and refreshes that write nothing back.
#include "devicesetting_1_window.h"

#include "command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QStackedWidget>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

template <typename Fn>
void onChannel(Command &cmd, int k, Fn fn)
{
    if (cmd.protocol_version == 0)
        fn(cmd.p0.channel[k]);
    else
        fn(cmd.p1.channel[k]);
}

template <typename Record>
void setFormula(Record &ch, const char *formula)
{
    std::memset(ch.gas_formula, 0, sizeof ch.gas_formula);
    std::strncpy(ch.gas_formula, formula, sizeof ch.gas_formula);
}

// A detector of the given model and layout in a fresh device image, installed
// as the program's link for the life of the object. Its channels are on, in
// ppm with no decimals.
struct Detector
{
    std::unique_ptr<Command> cmd = std::make_unique<Command>();

    Detector(quint16 code, int layout, int channels = 4)
    {
        cmd->device_code = code;
        cmd->protocol_version = qint16(layout);
        cmd->channel_count = quint16(channels);
        cmd->channel_off_code = code == 404 || code == 411 ? 7 : 170;
        cmd->device_time_unit_s = code == 411 ? 0.9375 : 1.0;
        for (int k = 0; k < 10; ++k) {
            onChannel(*cmd, k, [&](auto &ch) {
                ch.channel_page = qint16(k);
                ch.discreteness_display = 1;
                ch.discreteness_base = 1;
                ch.molecular_weight = 1.0f;
                ch.lel_coefficient = 1.0f;
                setFormula(ch, "CH4");
            });
        }
        Command::setInstance(cmd.get());
    }
    ~Detector() { Command::setInstance(nullptr); }
    Command *operator->() { return cmd.get(); }
    Command &operator*() { return *cmd; }

    QByteArray image() const
    {
        return QByteArray(reinterpret_cast<const char *>(&cmd->p0), sizeof cmd->p0)
            + QByteArray(reinterpret_cast<const char *>(&cmd->p1), sizeof cmd->p1);
    }
};

template <typename T = QWidget>
T *child(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

QStringList items(QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

const char *const ValueBoxes[] = {"doubleSpinBoxConcCalibGas", "doubleSpinBoxLim_1", "doubleSpinBoxLim_2",
                                  "doubleSpinBoxLim_3", "doubleSpinBoxLim_4", "doubleSpinBoxLimitSTEL",
                                  "doubleSpinBoxLimitTWA"};

} // namespace

class TestDeviceSetting1 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void groupBoxSwitchesTheChannel_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("offCode");

        QTest::newRow("M4 Plus p1") << 420 << 1 << 2 << 170;
        QTest::newRow("M4 Plus p0") << 420 << 0 << 3 << 170;
        QTest::newRow("M4 p0") << 404 << 0 << 1 << 7;
    }

    void groupBoxSwitchesTheChannel()
    {
        QFETCH(int, model);
        QFETCH(int, layout);
        QFETCH(int, channel);
        QFETCH(int, offCode);
        Detector detector(quint16(model), layout);
        DeviceSetting_1_Window page(nullptr, quint16(channel));
        auto *box = child<QGroupBox>(&page, "ParamSensgroupBox");
        QVERIFY(box->isCheckable());
        QVERIFY(box->isChecked());
        auto page_of = [&] {
            qint16 value = 0;
            onChannel(*detector, channel, [&](auto &ch) { value = ch.channel_page; });
            return int(value);
        };
        box->setChecked(false);
        emit box->clicked(false);
        QCOMPARE(page_of(), offCode);
        box->setChecked(true);
        emit box->clicked(true);
        QCOMPARE(page_of(), channel);

        // A channel switched off elsewhere shows unchecked at the next refresh.
        onChannel(*detector, channel, [&](auto &ch) { ch.channel_page = qint16(offCode); });
        page.UpdateParam(quint16(channel));
        QVERIFY(!box->isChecked());
    }

    void singleChannelModelsCannotBeSwitchedOff_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("layout");
        QTest::newRow("M1 p0") << 411 << 0;
        QTest::newRow("M1 p1") << 412 << 1;
    }

    void singleChannelModelsCannotBeSwitchedOff()
    {
        QFETCH(int, model);
        QFETCH(int, layout);
        Detector detector(quint16(model), layout, 1);
        DeviceSetting_1_Window page(nullptr, 0);
        QVERIFY(!child<QGroupBox>(&page, "ParamSensgroupBox")->isCheckable());
    }

    void shownValues_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("p0") << 0;
        QTest::newRow("p1") << 1;
    }

    void shownValues()
    {
        QFETCH(int, layout);
        Detector detector(404, layout);
        // Base unit ppm with one decimal, shown in mg/m3 with one decimal,
        // 2 mg/m3 per ppm.
        onChannel(*detector, 1, [&](auto &ch) {
            ch.display_format = 0x0040 | 0x0010 | 0x0001;
            ch.discreteness_display = 10;
            ch.discreteness_base = 10;
            ch.molecular_weight = 2.0f;
            ch.calib_interval = 180;
            setFormula(ch, "H2S");
        });
        if (layout == 0) {
            ChannelRecordP0 &ch = detector->p0.channel[1];
            ch.alarm_threshold_1 = 0x8000 | 100; // 10.0 ppm, falling
            ch.alarm_threshold_2 = 200;
            ch.alarm_threshold_3 = 0x8000 | 300;
            ch.alarm_threshold_4 = 1000;
            ch.twa_limit = 50;
            ch.stel_limit = 150;
            ch.stel_interval = 15;
            ch.channel_flags = 0x0008;
            detector->p0.device.bump_interval = 30;
        } else {
            ChannelRecordP1 &ch = detector->p1.channel[1];
            ch.alarm_threshold_1 = 10.0f;
            ch.alarm_threshold_2 = 20.0f;
            ch.alarm_threshold_3 = 30.0f;
            ch.alarm_threshold_4 = 100.0f;
            ch.twa_limit = 5.0f;
            ch.stel_limit = 15.0f;
            ch.stel_interval = 15;
            ch.channel_flags = (1u << 10) | (1u << 12) | 0x0008;
            detector->p1.device.bump_interval = 30;
        }
        DeviceSetting_1_Window page(nullptr, 1);
        QCOMPARE(child<QGroupBox>(&page, "ParamSensgroupBox")->title(), QStringLiteral("H2S Параметры"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_1")->text(), QStringLiteral("20.0 mg/m3"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_2")->text(), QStringLiteral("40.0 mg/m3"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_3")->text(), QStringLiteral("60.0 mg/m3"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_4")->text(), QStringLiteral("200.0 mg/m3"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLimitTWA")->text(), QStringLiteral("10.0 mg/m3"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLimitSTEL")->text(), QStringLiteral("30.0 mg/m3"));
        QCOMPARE(child<QSpinBox>(&page, "spinBoxIntervalStel")->text(), QStringLiteral("15 min"));
        QCOMPARE(child<QSpinBox>(&page, "spinBoxIntervalCalib")->text(), QStringLiteral("180 day"));
        QCOMPARE(child<QSpinBox>(&page, "spinBoxIntervalBump")->text(), QStringLiteral("30 day"));
        // Checked means rising.
        QVERIFY(!child<QCheckBox>(&page, "checkBoxLim1IncDec")->isChecked());
        QVERIFY(child<QCheckBox>(&page, "checkBoxLim2IncDec")->isChecked());
        QVERIFY(!child<QCheckBox>(&page, "checkBoxLim3IncDec")->isChecked());
        QCOMPARE(child<QCheckBox>(&page, "checkBoxLim1IncDec")->text(), QStringLiteral("Убыв."));
        QCOMPARE(child<QCheckBox>(&page, "checkBoxLim2IncDec")->text(), QStringLiteral("Возр."));
        QVERIFY(child<QCheckBox>(&page, "checkBoxAutoCalibZero")->isChecked());
        QCOMPARE(child<QComboBox>(&page, "comboBoxDiscreteness")->currentIndex(), 1);
        QCOMPARE(child<QComboBox>(&page, "comboBoxUnitMeas")->currentText(), QStringLiteral("mg/m3"));
        // The calibration gas row belongs to the calibration pages.
        QVERIFY(child<QWidget>(&page, "doubleSpinBoxConcCalibGas")->isHidden());
        QVERIFY(child<QWidget>(&page, "label_4")->isHidden());
    }

    void formulaIsReadWithinItsField()
    {
        Detector detector(420, 0);
        std::memcpy(detector->p0.channel[0].gas_formula, "ABCDEFGHIJ", 10);
        detector->p0.channel[0].reserved_37 = 'X'; // a damaged file: no terminator
        detector->p0.channel[0].dead_zone = 0x5959;
        DeviceSetting_1_Window page(nullptr, 0);
        QCOMPARE(child<QGroupBox>(&page, "ParamSensgroupBox")->title(), QStringLiteral("ABCDEFGHIJ Параметры"));
    }

    void unitList_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("sensorConfig");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<int>("current");

        const QStringList all = {"PPM", "mg/m3", "%LEL", "%VOL"};
        QTest::newRow("bit 12, base mg/m3") << (0x1000 | 0x0004 | 1) << 0 << QStringList{"mg/m3"} << 0;
        QTest::newRow("bit 12, base %LEL") << (0x1000 | 0x0008 | 3) << 0 << QStringList{"mg/m3", "%LEL", "%VOL"} << 2;
        QTest::newRow("bit 11, base mg/m3") << (0x0800 | 0x0004 | 1) << 0 << QStringList{"mg/m3"} << 0;
        QTest::newRow("bit 11, base %VOL") << (0x0800 | 0x000C | 2) << 0 << QStringList{"mg/m3", "%LEL", "%VOL"} << 1;
        QTest::newRow("bit 11, base ppm, aux") << (0x0800 | 2) << 0x0008 << all << 2;
        QTest::newRow("bit 11, base ppm, no aux") << 0x0800 << 0x0007 << QStringList{"PPM"} << 0;
        QTest::newRow("bit 10") << (0x0400 | 0x0008) << 0 << QStringList{"PPM", "mg/m3"} << 0;
        QTest::newRow("bit 9") << (0x0200 | 3) << 0 << QStringList{"%VOL"} << 0;
        QTest::newRow("no class, base mg/m3") << (0x0004 | 1) << 0 << QStringList{"PPM", "mg/m3"} << 1;
        QTest::newRow("no class, base %LEL") << (0x0008 | 2) << 0 << QStringList{"%LEL"} << 0;
        QTest::newRow("no class, base %VOL") << (0x000C | 3) << 0 << QStringList{"%VOL"} << 0;
        // A shown unit the list does not hold selects nothing.
        QTest::newRow("shown unit not offered") << (0x0200 | 0) << 0 << QStringList{"%VOL"} << -1;
    }

    void unitList()
    {
        QFETCH(int, format);
        QFETCH(int, sensorConfig);
        for (int layout : {0, 1}) {
            Detector detector(420, layout);
            onChannel(*detector, 0, [&](auto &ch) {
                ch.display_format = quint16(format);
                ch.sensor_config = quint16(sensorConfig);
            });
            DeviceSetting_1_Window page(nullptr, 0);
            auto *box = child<QComboBox>(&page, "comboBoxUnitMeas");
            QTEST(items(box), "units");
            QTEST(box->currentIndex(), "current");
        }
    }

    void rowVisibility_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("twaStel");
        QTest::addColumn<bool>("display");

        QTest::newRow("toxic") << 0x0100 << true << true;
        QTest::newRow("no class") << 0x0000 << true << true;
        QTest::newRow("bit 9 only: %VOL sensor") << 0x0203 << false << false;
        QTest::newRow("bit 10 (PID)") << 0x0400 << false << true;
        QTest::newRow("bit 11 (digital)") << 0x0800 << false << true;
        QTest::newRow("bit 12") << 0x1000 << false << true;
        QTest::newRow("bit 9 with bit 11") << 0x0A00 << false << true;
    }

    void rowVisibility()
    {
        QFETCH(int, format);
        QFETCH(bool, twaStel);
        QFETCH(bool, display);
        Detector detector(404, 1);
        detector->p1.channel[0].display_format = quint16(format);
        DeviceSetting_1_Window page(nullptr, 0);
        for (const char *name : {"label_28", "doubleSpinBoxLimitTWA", "label_29", "doubleSpinBoxLimitSTEL", "label_30",
                                 "spinBoxIntervalStel"})
            QCOMPARE(!child(&page, name)->isHidden(), twaStel);
        for (const char *name : {"label_17", "comboBoxDiscreteness", "label_22", "comboBoxUnitMeas"})
            QCOMPARE(!child(&page, name)->isHidden(), display);
    }

    void unitChoiceIsStoredAndShown_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("p0") << 0;
        QTest::newRow("p1") << 1;
    }

    void unitChoiceIsStoredAndShown()
    {
        QFETCH(int, layout);
        Detector detector(420, layout);
        onChannel(*detector, 2, [&](auto &ch) {
            ch.display_format = 0x0400; // PID: ppm or mg/m3
            ch.molecular_weight = 3.0f;
        });
        if (layout == 0)
            detector->p0.channel[2].alarm_threshold_1 = 10;
        else
            detector->p1.channel[2].alarm_threshold_1 = 10.0f;
        DeviceSetting_1_Window page(nullptr, 2);
        auto *unit = child<QComboBox>(&page, "comboBoxUnitMeas");
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_1")->text(), QStringLiteral("10 PPM"));
        emit unit->activated(1);
        quint16 format = 0;
        onChannel(*detector, 2, [&](auto &ch) { format = ch.display_format; });
        QCOMPARE(format, quint16(0x0401));
        for (const char *name : ValueBoxes)
            QCOMPARE(child<QDoubleSpinBox>(&page, name)->suffix(), QStringLiteral(" mg/m3"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_1")->text(), QStringLiteral("30 mg/m3"));
        QCOMPARE(unit->currentIndex(), 1);
    }

    void discretenessChoice_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<double>("maximum");
        QTest::newRow("p0") << 0 << 655.35;
        QTest::newRow("p1") << 1 << 999.99;
    }

    void discretenessChoice()
    {
        QFETCH(int, layout);
        QFETCH(double, maximum);
        Detector detector(404, layout);
        DeviceSetting_1_Window page(nullptr, 3);
        emit child<QComboBox>(&page, "comboBoxDiscreteness")->activated(2);
        onChannel(*detector, 3, [&](auto &ch) {
            QCOMPARE(ch.display_format, quint16(0x0020));
            QCOMPARE(ch.discreteness_display, quint16(100));
        });
        for (const char *name : ValueBoxes) {
            QCOMPARE(child<QDoubleSpinBox>(&page, name)->decimals(), 2);
            QCOMPARE(child<QDoubleSpinBox>(&page, name)->maximum(), maximum);
        }
        QCOMPARE(items(child<QComboBox>(&page, "comboBoxDiscreteness")), (QStringList{"X", "X,X", "X,XX"}));
    }

    void p0ThresholdKeepsItsDirection()
    {
        Detector detector(404, 0);
        ChannelRecordP0 &ch = detector->p0.channel[0];
        ch.display_format = 0x0050; // one decimal shown and stored
        ch.discreteness_display = 10;
        ch.discreteness_base = 10;
        ch.alarm_threshold_1 = 0x80C8;
        DeviceSetting_1_Window page(nullptr, 0);
        auto *box = child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_1");
        QCOMPARE(box->value(), 20.0);
        QVERIFY(!child<QCheckBox>(&page, "checkBoxLim1IncDec")->isChecked());
        box->setValue(25.0);
        QCOMPARE(ch.alarm_threshold_1, quint16(0x80FA));
        child<QCheckBox>(&page, "checkBoxLim1IncDec")->setChecked(true);
        QCOMPARE(ch.alarm_threshold_1, quint16(0x00FA));
    }

    void thresholdEntriesInBaseUnit_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("number");
        QTest::newRow("p0 threshold 1") << 0 << 1;
        QTest::newRow("p0 threshold 2") << 0 << 2;
        QTest::newRow("p0 threshold 3") << 0 << 3;
        QTest::newRow("p1 threshold 1") << 1 << 1;
        QTest::newRow("p1 threshold 2") << 1 << 2;
        QTest::newRow("p1 threshold 3") << 1 << 3;
    }

    void thresholdEntriesInBaseUnit()
    {
        QFETCH(int, layout);
        QFETCH(int, number);
        Detector detector(420, layout);
        // Base mg/m3 with one decimal, shown in ppm (0.5 ppm per mg/m3), one decimal.
        onChannel(*detector, 1, [](auto &ch) {
            ch.display_format = 0x0040 | 0x0010 | 0x0004;
            ch.discreteness_display = 10;
            ch.discreteness_base = 10;
            ch.molecular_weight = 2.0f;
        });
        DeviceSetting_1_Window page(nullptr, 1);
        const QByteArray name = "doubleSpinBoxLim_" + QByteArray::number(number);
        const QByteArray check = "checkBoxLim" + QByteArray::number(number) + "IncDec";
        child<QDoubleSpinBox>(&page, name.constData())->setValue(12.3);
        child<QCheckBox>(&page, check.constData())->setChecked(true);
        child<QCheckBox>(&page, check.constData())->setChecked(false); // falling
        QCOMPARE(child<QCheckBox>(&page, check.constData())->text(), QStringLiteral("Убыв."));
        if (layout == 0) {
            const ChannelRecordP0 &ch = detector->p0.channel[1];
            const quint16 thresholds[] = {ch.alarm_threshold_1, ch.alarm_threshold_2, ch.alarm_threshold_3};
            QCOMPARE(thresholds[number - 1], quint16(0x8000 | 246)); // 24.6 mg/m3 in tenths
        } else {
            const ChannelRecordP1 &ch = detector->p1.channel[1];
            const float thresholds[] = {ch.alarm_threshold_1, ch.alarm_threshold_2, ch.alarm_threshold_3};
            QCOMPARE(thresholds[number - 1], 24.6f);
            QCOMPARE(ch.channel_flags, quint32(1u << (9 + number)));
        }
        // The other thresholds are untouched.
        onChannel(*detector, 1, [&](auto &ch) {
            int untouched = 0;
            for (auto value : {ch.alarm_threshold_1, ch.alarm_threshold_2, ch.alarm_threshold_3})
                untouched += value == 0;
            QCOMPARE(untouched, 2);
        });
    }

    void entriesAreHeldToTheirField_data()
    {
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("discreteness");
        QTest::addColumn<double>("entry");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");

        // Thresholds keep 15 bits of count beside their direction bit.
        QTest::newRow("threshold over 15 bits") << QByteArray("doubleSpinBoxLim_2") << 0x0000 << 1 << 40000.0
                                                << (0x8000 | 0x7FFF) << "32767 PPM";
        QTest::newRow("threshold at 15 bits") << QByteArray("doubleSpinBoxLim_2") << 0x0000 << 1 << 32767.0
                                              << (0x8000 | 0x7FFF) << "32767 PPM";
        // ppm counts shown in %VOL: the box allows more than 16 bits of counts.
        QTest::newRow("TWA over 16 bits") << QByteArray("doubleSpinBoxLimitTWA") << 0x0023 << 100 << 10.0 << 65535
                                          << "6.55 %VOL";
        QTest::newRow("STEL over 16 bits") << QByteArray("doubleSpinBoxLimitSTEL") << 0x0023 << 100 << 7.0 << 65535
                                           << "6.55 %VOL";
        QTest::newRow("STEL within 16 bits") << QByteArray("doubleSpinBoxLimitSTEL") << 0x0023 << 100 << 6.5 << 65000
                                             << "6.50 %VOL";
    }

    void entriesAreHeldToTheirField()
    {
        QFETCH(QByteArray, box);
        QFETCH(int, format);
        QFETCH(int, discreteness);
        QFETCH(double, entry);
        QFETCH(int, stored);
        Detector detector(404, 0);
        ChannelRecordP0 &ch = detector->p0.channel[0];
        ch.display_format = quint16(format);
        ch.discreteness_display = quint16(discreteness);
        ch.alarm_threshold_2 = 0x8000;
        DeviceSetting_1_Window page(nullptr, 0);
        auto *field = child<QDoubleSpinBox>(&page, box.constData());
        field->setValue(entry);
        const quint16 value = box == "doubleSpinBoxLim_2" ? ch.alarm_threshold_2
            : box == "doubleSpinBoxLimitTWA"               ? ch.twa_limit
                                                           : ch.stel_limit;
        QCOMPARE(int(value), stored);
        QTEST(field->text(), "shown");
    }

    void stelInterval_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("storedBefore");
        QTest::addColumn<int>("shownBefore");
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("storedAfter");
        QTest::addColumn<int>("shownAfter");

        // Model 411 counts 0.9375 s per unit.
        QTest::newRow("M1 units") << 411 << 0 << 16 << 15 << 30 << 32 << 30;
        QTest::newRow("M4 Plus minutes") << 420 << 1 << 16 << 16 << 30 << 30 << 30;
        QTest::newRow("M1 longest interval held") << 411 << 0 << 0 << 0 << 65535 << 65535 << 61439;
        QTest::newRow("M1 just fits, truncated") << 411 << 0 << 0 << 0 << 61439 << 65534 << 61439;
    }

    void stelInterval()
    {
        QFETCH(int, model);
        QFETCH(int, layout);
        QFETCH(int, storedBefore);
        QFETCH(int, entry);
        Detector detector(quint16(model), layout, model == 411 ? 1 : 4);
        onChannel(*detector, 0, [&](auto &ch) { ch.stel_interval = quint16(storedBefore); });
        DeviceSetting_1_Window page(nullptr, 0);
        auto *box = child<QSpinBox>(&page, "spinBoxIntervalStel");
        QTEST(box->value(), "shownBefore");
        box->setValue(entry);
        onChannel(*detector, 0, [&](auto &ch) { QTEST(int(ch.stel_interval), "storedAfter"); });
        QTEST(box->value(), "shownAfter");
    }

    void autoZero_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("p0") << 0;
        QTest::newRow("p1") << 1;
    }

    void autoZero()
    {
        QFETCH(int, layout);
        Detector detector(404, layout);
        onChannel(*detector, 2, [](auto &ch) { ch.channel_flags = 0x0104; }); // changed-bit set, FID on
        DeviceSetting_1_Window page(nullptr, 2);
        auto *box = child<QCheckBox>(&page, "checkBoxAutoCalibZero");
        QVERIFY(!box->isChecked());
        box->setChecked(true);
        onChannel(*detector, 2, [](auto &ch) { QCOMPARE(quint32(ch.channel_flags), quint32(0x0108)); });
        QCOMPARE(box->text(), QStringLiteral("Вкл."));
        box->setChecked(false);
        onChannel(*detector, 2, [](auto &ch) { QCOMPARE(quint32(ch.channel_flags), quint32(0x0100)); });
        QCOMPARE(box->text(), QStringLiteral("Выкл."));
    }

    void refreshWritesNothingBack_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("p0") << 0;
        QTest::newRow("p1") << 1;
    }

    void refreshWritesNothingBack()
    {
        QFETCH(int, layout);
        Detector detector(404, layout);
        // Values finer than the displayed decimals and larger than the box
        // allows: showing them must not store the rounded or held value.
        onChannel(*detector, 0, [](auto &ch) {
            ch.display_format = 0x0080 | 0x0003 | 0x0000; // base ppm in hundredths, shown in %VOL, no decimals
            ch.discreteness_display = 1;
            ch.discreteness_base = 100;
            ch.stel_interval = 7;
        });
        if (layout == 0) {
            ChannelRecordP0 &ch = detector->p0.channel[0];
            ch.alarm_threshold_1 = 0x8000 | 12345;
            ch.alarm_threshold_2 = 54321 & 0x7FFF;
            ch.twa_limit = 65535;
            ch.stel_limit = 777;
        } else {
            ChannelRecordP1 &ch = detector->p1.channel[0];
            ch.alarm_threshold_1 = 123.456f;
            ch.alarm_threshold_2 = 5e9f; // beyond the box maximum
            ch.twa_limit = 0.0001f;
            ch.stel_limit = 77.7f;
            ch.channel_flags = 1u << 11;
        }
        detector->device_time_unit_s = 0.9375; // the STEL interval does not convert back exactly
        const QByteArray before = detector.image();
        DeviceSetting_1_Window page(nullptr, 0);
        page.UpdateParam(0);
        // A unit change refreshes the page as well.
        emit child<QComboBox>(&page, "comboBoxUnitMeas")->activated(0);
        onChannel(*detector, 0, [](auto &ch) { ch.display_format = 0x0080 | 0x0003; });
        QCOMPARE(detector.image(), before);
    }

    void unknownLayoutChangesNothing()
    {
        Detector detector(404, 1);
        detector->p1.channel[0].display_format = 0x0021;
        detector->p1.channel[0].alarm_threshold_1 = 5.0f;
        DeviceSetting_1_Window page(nullptr, 0);
        detector->protocol_version = 2;
        const QByteArray before = detector.image();
        page.UpdateParam(0);
        for (const char *name : ValueBoxes) {
            auto *box = child<QDoubleSpinBox>(&page, name);
            QCOMPARE(box->suffix(), QStringLiteral(" PPM"));
            QCOMPARE(box->decimals(), 0);
            QCOMPARE(box->maximum(), 0.0);
        }
        // Every entry and choice is ignored.
        child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_1")->setMaximum(100);
        child<QDoubleSpinBox>(&page, "doubleSpinBoxLim_1")->setValue(50);
        child<QCheckBox>(&page, "checkBoxLim1IncDec")->toggle();
        child<QCheckBox>(&page, "checkBoxAutoCalibZero")->toggle();
        child<QSpinBox>(&page, "spinBoxIntervalStel")->setValue(99);
        emit child<QComboBox>(&page, "comboBoxDiscreteness")->activated(2);
        emit child<QComboBox>(&page, "comboBoxUnitMeas")->activated(1);
        emit child<QGroupBox>(&page, "ParamSensgroupBox")->clicked(false);
        QCOMPARE(detector.image(), before);
    }

    void escapeDoesNotCloseThePage()
    {
        Detector detector(404, 0);
        // Hosted as the main window hosts it: in a channel's stacked widget.
        QStackedWidget stack;
        auto *page = new DeviceSetting_1_Window(&stack, 0);
        stack.insertWidget(0, page);
        stack.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stack));
        QVERIFY(page->isVisible());
        QTest::keyClick(page, Qt::Key_Escape);
        QVERIFY(page->isVisible());
    }
};

QTEST_MAIN(TestDeviceSetting1)
#include "tst_devicesetting_1.moc"
