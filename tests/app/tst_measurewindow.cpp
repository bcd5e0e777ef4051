// The measurement page and its channel tiles: what they show from the device
// image (identification, clock, battery, concentrations in the displayed
// unit, calibration dates), the status codes with their explanations, the
// refresh log, and that the page never talks to the detector.
#include "measurewindow.h"
#include "measurewindowconcentration.h"
#include "measurewindowdatelastcalib.h"

#include "accounts.h"
#include "command.h"
#include "pty_peer.h"

#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTextBlock>
#include <QToolTip>
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

template <typename Fn>
void onDevice(Command &cmd, Fn fn)
{
    if (cmd.protocol_version == 0)
        fn(cmd.p0.device);
    else
        fn(cmd.p1.device);
}

template <typename Record>
void setFormula(Record &ch, const char *formula)
{
    std::memset(ch.gas_formula, 0, sizeof ch.gas_formula);
    std::strncpy(ch.gas_formula, formula, sizeof ch.gas_formula);
}

// A detector of the given model and layout in a fresh device image, installed
// as the program's link for the life of the object. Its channels are on, in
// ppm with no decimals, named GAS0, GAS1, ...
struct Detector
{
    std::unique_ptr<Command> cmd = std::make_unique<Command>();

    Detector(quint16 code, int layout, int channels)
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
                setFormula(ch, QByteArray("GAS" + QByteArray::number(k)).constData());
            });
        }
        Command::setInstance(cmd.get());
    }
    ~Detector() { Command::setInstance(nullptr); }
    Command &operator*() { return *cmd; }
    Command *operator->() { return cmd.get(); }
};

template <typename T = QWidget>
T *child(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

QString stackName(const char *prefix, int k)
{
    return k == 0 ? QLatin1String(prefix) : QStringLiteral("%1_%2").arg(QLatin1String(prefix)).arg(k);
}

QStringList logLines(MeasureWindow &page)
{
    QStringList lines = child<QPlainTextEdit>(&page, "TextOut")->toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestMeasureWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The shown numbers are compared as text: use the C number format.
        QLocale::setDefault(QLocale::c());
    }

    void concentrationTile_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("discreteness");
        QTest::addColumn<float>("lel");
        QTest::addColumn<float>("concentration");
        QTest::addColumn<QString>("shown");

        // Layout p0 shows the detector's 16-bit count of displayed decimals.
        QTest::newRow("p0 count of tenths") << 0 << 0x0010 << 10 << 0.0f << 12.34f << "12.3 PPM";
        QTest::newRow("p0 half rounds to even") << 0 << 0x0000 << 1 << 0.0f << 2.5f << "2 PPM";
        QTest::newRow("p0 negative wraps") << 0 << 0x0000 << 1 << 0.0f << -1.0f << "65535 PPM";
        QTest::newRow("p0 negative tenths wrap") << 0 << 0x0010 << 10 << 0.0f << -0.1f << "6553.5 PPM";
        QTest::newRow("p0 ppm shown as %VOL") << 0 << 0x0023 << 100 << 0.0f << 12500.0f << "1.25 %VOL";
        // Layout p1 shows the float as it is, held to the field's range.
        QTest::newRow("p1 negative shows zero") << 1 << 0x0020 << 100 << 0.0f << -3.0f << "0.00 PPM";
        QTest::newRow("p1 %VOL shown as %LEL") << 1 << 0x001E << 10 << 4.4f << 2.2f << "50.0 %LEL";
        QTest::newRow("p1 three decimals") << 1 << 0x0031 << 1000 << 0.0f << 1.2344f << "1.234 mg/m3";
    }

    void concentrationTile()
    {
        QFETCH(int, layout);
        QFETCH(int, format);
        QFETCH(int, discreteness);
        QFETCH(float, lel);
        QFETCH(float, concentration);
        QFETCH(QString, shown);
        Detector detector(404, layout, 4);
        onChannel(*detector, 2, [&](auto &ch) {
            ch.display_format = quint16(format);
            ch.discreteness_display = quint16(discreteness);
            ch.lel_coefficient = lel;
            ch.molecular_weight = 1.0f;
            ch.concentration = concentration;
            setFormula(ch, "CH4");
        });
        MeasureWindowConcentration tile(nullptr, 2);
        QCOMPARE(child<QDoubleSpinBox>(&tile, "doubleSpinBoxChan")->text(), shown);
        QCOMPARE(child<QLabel>(&tile, "label_Chan")->text(), QStringLiteral("Канал CH4"));
        QVERIFY(child<QDoubleSpinBox>(&tile, "doubleSpinBoxChan")->isEnabled());

        QString line = QStringLiteral("t - 10:15:30");
        tile.UpdateStringConc(line, 20);
        QCOMPARE(line, QStringLiteral("t - 10:15:30        CH4 - ") + shown);
    }

    void unitChangeShowsAtNextRefresh()
    {
        Detector detector(420, 1, 4);
        onChannel(*detector, 0, [](auto &ch) {
            ch.display_format = 0x000C | 0x0010; // base %VOL, shown ppm, one decimal
            ch.concentration = 0.5f;
        });
        MeasureWindowConcentration tile(nullptr, 0);
        auto *box = child<QDoubleSpinBox>(&tile, "doubleSpinBoxChan");
        QCOMPARE(box->text(), QStringLiteral("5000.0 PPM"));
        detector->p1.channel[0].display_format = 0x000C | 0x0010 | 3; // now shown in %VOL
        tile.UpdateParam(0);
        QCOMPARE(box->text(), QStringLiteral("0.5 %VOL"));
    }

    void sensorErrorGreysTheValueAndLogsErr()
    {
        Detector detector(404, 0, 4);
        onChannel(*detector, 1, [](auto &ch) {
            ch.concentration = 7.0f;
            ch.channel_status = 0x0040;
            setFormula(ch, "O2");
        });
        MeasureWindowConcentration tile(nullptr, 1);
        auto *box = child<QDoubleSpinBox>(&tile, "doubleSpinBoxChan");
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->text(), QStringLiteral("7 PPM")); // the last value stays visible
        QString line = QStringLiteral("t - 10:15:30");
        tile.UpdateStringConc(line, 20);
        QCOMPARE(line, QStringLiteral("t - 10:15:30        O2 - Err"));

        detector->p0.channel[1].channel_status = 0;
        tile.UpdateParam(1);
        QVERIFY(box->isEnabled());
    }

    void logEntryIsInsertedNotOverwritten()
    {
        Detector detector(404, 0, 4);
        setFormula(detector->p0.channel[0], "CO");
        detector->p0.channel[0].concentration = 12.0f;
        MeasureWindowConcentration tile(nullptr, 0);
        QString line = QStringLiteral("t - 10:15:30A00, A01, A02, A03");
        tile.UpdateStringConc(line, 20);
        QCOMPARE(line, QStringLiteral("t - 10:15:30A00, A01CO - 12 PPM, A02, A03"));
    }

    void calibrationDateTile_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("layout");
        QTest::addColumn<quint32>("count");
        QTest::addColumn<qint64>("seconds");

        QTest::newRow("epoch") << 404 << 0 << quint32(0) << qint64(0);
        QTest::newRow("p1 seconds") << 412 << 1 << quint32(1700000000) << qint64(1700000000);
        // Model 411 counts 0.9375 s; the product is cut to whole seconds.
        QTest::newRow("411 units") << 411 << 0 << quint32(1600000000) << qint64(1500000000);
        QTest::newRow("411 truncated") << 411 << 0 << quint32(1600000001) << qint64(1500000000);
    }

    void calibrationDateTile()
    {
        QFETCH(int, model);
        QFETCH(int, layout);
        QFETCH(quint32, count);
        QFETCH(qint64, seconds);
        Detector detector(quint16(model), layout, 1);
        onChannel(*detector, 0, [&](auto &ch) {
            ch.last_calibration_time = count;
            setFormula(ch, "H2S");
        });
        MeasureWindowDateLastCalib tile(nullptr, 0);
        auto *edit = child<QDateTimeEdit>(&tile, "dateTimeEditDateLastCalib");
        QCOMPARE(edit->dateTime(), QDateTime::fromSecsSinceEpoch(seconds));
        QCOMPARE(edit->text(), QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("dd.MM.yy")));
        QCOMPARE(child<QLabel>(&tile, "label_Chan")->text(), QStringLiteral("Канал H2S"));
    }

    void identification_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("layout");
        QTest::addColumn<quint32>("serial");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("hardware");
        QTest::addColumn<QString>("serialText");
        QTest::addColumn<QString>("firmwareText");
        QTest::addColumn<QString>("hardwareText");

        QTest::newRow("M4 p0") << 404 << 0 << quint32(5300617) << 215 << 12 << "IVM05300617" << "2.15" << "1.2";
        QTest::newRow("M4 Plus(4) p1") << 421 << 1 << quint32(5300617) << 11 << 30 << "IVM4P5300617" << "0.11" << "3.0";
        QTest::newRow("M4 Plus p0") << 420 << 0 << quint32(1) << 1007 << 7 << "IVM4P0000001" << "10.07" << "0.7";
        QTest::newRow("M5 Plus p1") << 430 << 1 << quint32(4294967295u) << 0 << 255 << "IVM4294967295" << "0.00" << "25.5";
    }

    void identification()
    {
        QFETCH(int, model);
        QFETCH(int, layout);
        QFETCH(quint32, serial);
        QFETCH(int, firmware);
        QFETCH(int, hardware);
        Detector detector(quint16(model), layout, 4);
        detector->firmware_version = quint16(firmware);
        onDevice(*detector, [&](auto &d) {
            d.serial_number = serial;
            d.hardware_version = quint16(hardware);
        });
        MeasureWindow page(nullptr);
        QTEST(child<QLineEdit>(&page, "lineEditSerialNumber")->text(), "serialText");
        QTEST(child<QLineEdit>(&page, "lineEditFirmwareVer")->text(), "firmwareText");
        QTEST(child<QLineEdit>(&page, "lineEditHardwareVer")->text(), "hardwareText");
    }

    void statusCodes_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("login");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("channelStatus");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("sensorType");
        QTest::addColumn<int>("sensorStatus");
        QTest::addColumn<int>("deviceStatus");
        QTest::addColumn<QString>("codes");

        const QString user = login_user;
        QTest::newRow("none") << 404 << 0 << user << 0 << 0 << 0 << 0 << 0 << 0 << QString();
        QTest::newRow("alarm and sensor error") << 405 << 0 << user << 1 << 0x0041 << 0 << 0 << 0 << 0 << "A10, E16";
        QTest::newRow("all alarms") << 420 << 1 << user << 3 << 0x003F << 0 << 0 << 0 << 0
                                    << "A30, A31, A32, A33, A34, A35";
        QTest::newRow("warnings") << 404 << 1 << user << 2 << 0x0380 << 0 << 0 << 0 << 0 << "W27, W28, W29";
        QTest::newRow("device faults on M4") << 405 << 0 << user << 0 << 0 << 0 << 0 << 0 << 0x0018 << "FA3, FA4";
        QTest::newRow("device faults on M4 Plus") << 420 << 0 << user << 0 << 0 << 0 << 0 << 0 << 0x0018 << "FA3, WA4";
        QTest::newRow("device warnings") << 430 << 1 << user << 0 << 0 << 0 << 0 << 0 << 0x0227 << "WA0, WA1, WA2, WA5, WA9";
        QTest::newRow("device bits above 9 ignored") << 412 << 1 << user << 0 << 0 << 0 << 0 << 0 << 0xFC00 << QString();
        QTest::newRow("bootloader has no device codes") << 999 << 1 << user << 0 << 0 << 0 << 0 << 0 << 0x0018 << QString();
        QTest::newRow("channel then device") << 404 << 0 << user << 0 << 0x0001 << 0 << 0 << 0 << 0x0004 << "A00, WA2";
        QTest::newRow("digital sensor p0") << 404 << 0 << user << 0 << 0 << 0x0800 << 0 << 0x0012 << 0 << "MI0_ST-0012";
        QTest::newRow("digital sensor p1 CUBIC") << 420 << 1 << user << 2 << 0 << 0x0800 << 0x0002 << 0xBEEF << 0
                                                 << "CU2_ST-BEEF";
        QTest::newRow("digital sensor p1 first family wins") << 420 << 1 << user << 1 << 0 << 0x0800 << 0x0018 << 1 << 0
                                                             << "BR1_ST-0001";
        QTest::newRow("digital sensor p1 unknown family") << 420 << 1 << user << 1 << 0 << 0x0800 << 0x0020 << 1 << 0
                                                          << QString();
        QTest::newRow("diagnostics hidden from user") << 404 << 0 << user << 1 << 0x3C00 << 0 << 0 << 0 << 0 << QString();
        QTest::newRow("diagnostics hidden from admin") << 404 << 0 << login_admin << 1 << 0x3C00 << 0 << 0 << 0 << 0
                                                       << QString();
        QTest::newRow("diagnostics for production") << 404 << 0 << login_creator << 1 << 0x3C01 << 0 << 0 << 0 << 0
                                                    << "A10, ADC-01, POT-01, DAC-01, SHOCK-01";
    }

    void statusCodes()
    {
        QFETCH(int, model);
        QFETCH(int, layout);
        QFETCH(QString, login);
        QFETCH(int, channel);
        QFETCH(int, channelStatus);
        QFETCH(int, format);
        QFETCH(int, sensorType);
        QFETCH(int, sensorStatus);
        QFETCH(int, deviceStatus);
        QFETCH(QString, codes);
        Detector detector(quint16(model), layout, 4);
        detector->login_name = login;
        onChannel(*detector, channel, [&](auto &ch) {
            ch.channel_status = quint16(channelStatus);
            ch.display_format = quint16(format);
            ch.sensor_config = quint16(sensorType);
            ch.channel_status_2 = quint16(sensorStatus);
        });
        onDevice(*detector, [&](auto &d) { d.device_status = quint16(deviceStatus); });
        MeasureWindow page(nullptr);
        auto *state = child<QPlainTextEdit>(&page, "plainTextEditStateSystem");
        QCOMPARE(state->toPlainText(), codes);

        // Every code shown explains itself in the box's tool tip.
        const QStringList shown = codes.isEmpty() ? QStringList() : codes.split(QStringLiteral(", "));
        const QStringList tips = state->toolTip().isEmpty() ? QStringList() : state->toolTip().split(QLatin1Char('\n'));
        QCOMPARE(tips.size(), shown.size());
        for (int i = 0; i < shown.size(); ++i) {
            const QString meaning = MeasureWindow::StatusCodeMeaning(shown[i]);
            QVERIFY2(!meaning.isEmpty(), qPrintable(shown[i]));
            QCOMPARE(tips[i], shown[i] + QStringLiteral(" - ") + meaning);
        }

        // The log line carries the same codes right after the time.
        const QString line = logLines(page).last();
        QVERIFY2(QRegularExpression(QStringLiteral("^t - \\d\\d:\\d\\d:\\d\\d")).match(line).hasMatch(), qPrintable(line));
        QCOMPARE(line.mid(12, qMin(8, codes.size())), codes.left(8));
    }

    void statusCodeMeaning_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("meaning");

        QTest::newRow("threshold 2") << "A21" << "Канал 2: превышен порог 2";
        QTest::newRow("STEL") << "A03" << "Канал 0: превышен порог STEL";
        QTest::newRow("range") << "A95" << "Канал 9: превышен диапазон измерения";
        QTest::newRow("sensor error") << "E06" << "Канал 0: отказ сенсора или сенсор не подключен";
        QTest::newRow("calibration due") << "W49" << "Канал 4: требуется периодическая калибровка";
        QTest::newRow("bump due") << "WA1" << "Прибор: требуется периодический BUMP TEST";
        QTest::newRow("memory fault") << "FA3" << "Прибор: неисправность микросхемы памяти";
        QTest::newRow("measurement fault M4") << "FA4" << "Прибор: неисправность микросхемы измерения";
        QTest::newRow("measurement fault others") << "WA4" << "Прибор: неисправность микросхемы измерения";
        QTest::newRow("LoRa") << "WA8" << "Прибор: неисправность модуля LoRa";
        QTest::newRow("MIPEX status") << "MI3_ST-00FF" << "Канал 3: слово состояния цифрового сенсора MIPEX: 0x00FF";
        QTest::newRow("BELEAD BLDM status") << "BD0_ST-1234"
                                            << "Канал 0: слово состояния цифрового сенсора BELEAD BLDM: 0x1234";
        QTest::newRow("shock") << "SHOCK-02" << "Канал 2: производственная диагностика: зафиксирован удар";
        QTest::newRow("ADC") << "ADC-09" << "Канал 9: производственная диагностика: ошибка АЦП";
        // Texts that only look like codes explain nothing.
        QTest::newRow("alarm letter with error bit") << "A06" << QString();
        QTest::newRow("warning letter with alarm bit") << "W20" << QString();
        QTest::newRow("no fault 5") << "FA5" << QString();
        QTest::newRow("gas name") << "CH4" << QString();
        QTest::newRow("number") << "12.3" << QString();
        QTest::newRow("empty") << "" << QString();
    }

    void statusCodeMeaning()
    {
        QFETCH(QString, code);
        QTEST(MeasureWindow::StatusCodeMeaning(code), "meaning");
    }

    void logToolTipExplainsTheCodeUnderTheMouse()
    {
        Detector detector(404, 0, 4);
        detector->p0.channel[1].channel_status = 0x0041;
        MeasureWindow page(nullptr);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto *log = child<QPlainTextEdit>(&page, "TextOut");

        auto tipAt = [&](const QString &word) {
            const QString line = log->document()->firstBlock().text();
            const int at = line.indexOf(word);
            if (at < 0)
                return QStringLiteral("<%1 not in %2>").arg(word, line);
            QTextCursor cursor(log->document()->firstBlock());
            cursor.setPosition(cursor.position() + at + 1);
            const QPoint pos = log->cursorRect(cursor).center();
            QHelpEvent help(QEvent::ToolTip, pos, log->viewport()->mapToGlobal(pos));
            QCoreApplication::sendEvent(log->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(QStringLiteral("GAS0")), QString());
        // The first code is glued to the time of the line, the last one to
        // the first concentration entry at column 20.
        QCOMPARE(log->document()->firstBlock().text().mid(12, 12), QStringLiteral("A10, E16GAS0"));
        QCOMPARE(tipAt(QStringLiteral("A10")), QStringLiteral("A10 - Канал 1: превышен порог 1"));
        QCOMPARE(tipAt(QStringLiteral("E16")), QStringLiteral("E16 - Канал 1: отказ сенсора или сенсор не подключен"));
    }

    void switchedOffChannelIsHiddenAndNotLogged()
    {
        Detector detector(404, 0, 4);
        detector->p0.channel[2].channel_page = 7;
        detector->p0.channel[2].channel_status = 0x0001; // an off channel reports nothing
        for (int k = 0; k < 4; ++k)
            detector->p0.channel[k].concentration = float(k + 1);
        MeasureWindow page(nullptr);
        for (int k = 0; k < 10; ++k) {
            const bool shown = k < 4 && k != 2;
            QCOMPARE(!page.findChild<QStackedWidget *>(stackName("stackedWidgetconcentration", k))->isHidden(), shown);
            QCOMPARE(!page.findChild<QStackedWidget *>(stackName("stackedWidgetdatalastcalib", k))->isHidden(), shown);
        }
        QCOMPARE(child<QPlainTextEdit>(&page, "plainTextEditStateSystem")->toPlainText(), QString());

        const QString line = logLines(page).last();
        QCOMPARE(line.size(), 70 + int(strlen("GAS3 - 4 PPM")));
        QCOMPARE(line.mid(20, 25), QStringLiteral("GAS0 - 1 PPM").leftJustified(25));
        QCOMPARE(line.mid(45, 25), QStringLiteral("GAS1 - 2 PPM").leftJustified(25));
        QCOMPARE(line.mid(70), QStringLiteral("GAS3 - 4 PPM"));
        QVERIFY(!line.contains(QStringLiteral("GAS2")));

        // Switched back on, the channel returns in both columns at the next refresh.
        detector->p0.channel[2].channel_page = 2;
        page.UpdateParam();
        QVERIFY(!child<QStackedWidget>(&page, "stackedWidgetconcentration_2")->isHidden());
        QVERIFY(!child<QStackedWidget>(&page, "stackedWidgetdatalastcalib_2")->isHidden());
        QCOMPARE(child<QPlainTextEdit>(&page, "plainTextEditStateSystem")->toPlainText(), QStringLiteral("A20"));
        QCOMPARE(logLines(page).size(), 2);
        QCOMPARE(logLines(page).last().mid(70, 12), QStringLiteral("GAS2 - 3 PPM"));
    }

    void firstEntryGoesInsideLongCodeText()
    {
        Detector detector(420, 1, 4);
        detector->p1.channel[0].channel_status = 0x003F;
        setFormula(detector->p1.channel[0], "CO");
        MeasureWindow page(nullptr);
        const QString line = logLines(page).last();
        // "t - hh:mm:ss" is 12 characters; the first entry splits the codes at 20.
        QCOMPARE(line.indexOf(QStringLiteral("CO - 0 PPM")), 20);
        QCOMPARE(line.mid(12, 8), QStringLiteral("A00, A01"));
        QCOMPARE(line.mid(30, 10), QStringLiteral(", A02, A03"));
        QCOMPARE(line.indexOf(QStringLiteral("GAS1 - 0 PPM")), 45);
        QCOMPARE(line.indexOf(QStringLiteral("GAS2 - 0 PPM")), 70);
        QCOMPARE(line.indexOf(QStringLiteral("GAS3 - 0 PPM")), 95);
        // Nothing of the codes is lost.
        QString codes = line.mid(12);
        for (const char *entry : {"CO - 0 PPM", "GAS1 - 0 PPM", "GAS2 - 0 PPM", "GAS3 - 0 PPM"})
            codes.remove(QLatin1String(entry));
        QCOMPARE(codes.trimmed(), QStringLiteral("A00, A01, A02, A03, A04, A05"));
    }

    void clockBatteryTemperature_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("layout");
        QTest::addColumn<bool>("batteryBar");

        QTest::newRow("M1 p0") << 411 << 0 << false;
        QTest::newRow("M1 p1") << 412 << 1 << false;
        QTest::newRow("M4 p0") << 404 << 0 << true;
        QTest::newRow("M4 Plus p1") << 420 << 1 << true;
    }

    void clockBatteryTemperature()
    {
        QFETCH(int, model);
        QFETCH(int, layout);
        QFETCH(bool, batteryBar);
        Detector detector(quint16(model), layout, model == 411 || model == 412 ? 1 : 4);
        const double unit = detector->device_time_unit_s;
        onDevice(*detector, [&](auto &d) {
            d.battery_level = 76;
            d.battery_voltage_mv = 3870;
            d.temperature_c = -5.5f;
            d.production_date = 1600000000;
        });
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        MeasureWindow page(nullptr);
        const qint64 after = QDateTime::currentSecsSinceEpoch();

        QCOMPARE(child<QWidget>(&page, "progressBarCharge")->isHidden(), !batteryBar);
        QCOMPARE(child<QWidget>(&page, "label")->isHidden(), !batteryBar);
        QCOMPARE(child<QProgressBar>(&page, "progressBarCharge")->value(), 76);
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxChargeVolt")->text(), QStringLiteral("3.87 V"));
        QCOMPARE(child<QDoubleSpinBox>(&page, "doubleSpinBoxTemp")->value(), -5.5);
        QCOMPARE(child<QDateTimeEdit>(&page, "dateTimeEditDateProduct")->dateTime().toSecsSinceEpoch(),
                 qint64(1600000000 * unit));

        // The PC clock in device time units, ready for the next clock write.
        quint32 deviceTime = 0;
        qint32 offset = 0;
        onDevice(*detector, [&](auto &d) {
            deviceTime = d.device_time;
            offset = d.utc_offset_s;
        });
        QVERIFY(deviceTime >= quint32(before / unit) && deviceTime <= quint32(after / unit));
        const QDateTime shown = child<QDateTimeEdit>(&page, "dateTimeEdit")->dateTime();
        QCOMPARE(shown.toSecsSinceEpoch(), qint64(std::floor(deviceTime * unit)));
        QCOMPARE(offset, shown.offsetFromUtc());
        // The other layout's clock is left alone.
        QCOMPARE(layout == 0 ? detector->p1.device.device_time : detector->p0.device.device_time, 0u);
    }

    void unknownLayoutKeepsWhatIsShownAndStillLogs()
    {
        Detector detector(404, 1, 4);
        detector->p1.device.serial_number = 42;
        detector->p1.channel[0].channel_status = 0x0001;
        MeasureWindow page(nullptr);
        QCOMPARE(child<QLineEdit>(&page, "lineEditSerialNumber")->text(), QStringLiteral("IVM00000042"));
        detector->protocol_version = 2;
        detector->p1.device.serial_number = 43;
        detector->p1.channel[0].channel_status = 0x0002;
        page.UpdateParam();
        QCOMPARE(child<QLineEdit>(&page, "lineEditSerialNumber")->text(), QStringLiteral("IVM00000042"));
        QCOMPARE(child<QPlainTextEdit>(&page, "plainTextEditStateSystem")->toPlainText(), QStringLiteral("A00"));
        QCOMPARE(logLines(page).size(), 2);
    }

    void refreshSendsNothingToTheDetector()
    {
        Detector detector(420, 1, 4);
        PtyPeer peer;
        peer.setResponder([](const QByteArray &) { return PtyPeer::Reply(); });
        peer.start();
        detector->port.setPortName(peer.slavePath());
        QVERIFY(detector->port.open(QIODevice::ReadWrite));
        detector->port_connected = 1;
        {
            MeasureWindow page(nullptr);
            page.UpdateParam();
            page.UpdateParam();
        }
        QTest::qWait(50);
        QCOMPARE(peer.frames().size(), 0);
        detector->port_connected = 0;
        detector->port.close();
    }

    void escapeDoesNotCloseThePage()
    {
        Detector detector(404, 0, 4);
        // Hosted as the main window hosts it: in a stacked widget of a tab.
        QStackedWidget tab;
        auto *page = new MeasureWindow(&tab);
        tab.insertWidget(0, page);
        tab.setCurrentIndex(0);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        QVERIFY(page->isVisible());
        QTest::keyClick(page, Qt::Key_Escape);
        QVERIFY(page->isVisible());
    }

    void tilesAreReleasedWithThePage()
    {
        Detector detector(404, 0, 4);
        auto *page = new MeasureWindow(nullptr);
        for (int k = 0; k < 10; ++k) {
            QVERIFY(MeasureConcentrationArray[k]);
            QVERIFY(MeasureDateLastCalibArray[k]);
        }
        delete page;
        for (int k = 0; k < 10; ++k) {
            QVERIFY(!MeasureConcentrationArray[k]);
            QVERIFY(!MeasureDateLastCalibArray[k]);
        }
    }
};

QTEST_MAIN(TestMeasureWindow)
#include "tst_measurewindow.moc"
