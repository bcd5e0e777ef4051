#include "measurewindow.h"
#include "ui_measurewindow.h"

#include "accounts.h"
#include "command.h"
#include "measurewindowconcentration.h"
#include "measurewindowdatelastcalib.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

// Channel records a refresh visits: those in use, never more than the image holds.
int channelsInUse(const Command &cmd) { return std::min<int>(cmd.channel_count, 10); }

bool knownLayout(const Command &cmd) { return cmd.protocol_version == 0 || cmd.protocol_version == 1; }

// Models whose device status bits the page decodes.
bool decodesDeviceStatus(quint16 code)
{
    switch (code) {
    case 404: case 405: case 406: case 411: case 412: case 420: case 421: case 430:
        return true;
    default:
        return false;
    }
}

// A device time count as a date-time: count x unit seconds since the epoch.
QDateTime fromDeviceTime(quint32 count, double unitSeconds)
{
    const double ms = std::floor(double(count) * unitSeconds * 1000.0);
    return QDateTime::fromMSecsSinceEpoch(std::isfinite(ms) ? qint64(ms) : 0);
}

// Status-word prefixes of the digital sensor families (bits 0..4 of the
// layout p1 sensor type word); layout p0 knows MIPEX sensors only.
const char *const DigitalSensorPrefix[] = {"MI", "CU", "DY", "BR", "BD"};
const char *const DigitalSensorFamily[] = {"MIPEX", "CUBIC", "DYNAMENT", "BELEAD BLRM", "BELEAD BLDM"};
// Production diagnostics, channel status bits 10..13.
const char *const DiagnosticPrefix[] = {"ADC-", "POT-", "DAC-", "SHOCK-"};

} // namespace

MeasureWindow::MeasureWindow(QWidget *parent)
    : QDialog(parent), ui(new Ui::MeasureWindow)
{
    ui->setupUi(this);
    QStackedWidget *const concentration[10] = {
        ui->stackedWidgetconcentration,   ui->stackedWidgetconcentration_1, ui->stackedWidgetconcentration_2,
        ui->stackedWidgetconcentration_3, ui->stackedWidgetconcentration_4, ui->stackedWidgetconcentration_5,
        ui->stackedWidgetconcentration_6, ui->stackedWidgetconcentration_7, ui->stackedWidgetconcentration_8,
        ui->stackedWidgetconcentration_9};
    QStackedWidget *const calibDate[10] = {
        ui->stackedWidgetdatalastcalib,   ui->stackedWidgetdatalastcalib_1, ui->stackedWidgetdatalastcalib_2,
        ui->stackedWidgetdatalastcalib_3, ui->stackedWidgetdatalastcalib_4, ui->stackedWidgetdatalastcalib_5,
        ui->stackedWidgetdatalastcalib_6, ui->stackedWidgetdatalastcalib_7, ui->stackedWidgetdatalastcalib_8,
        ui->stackedWidgetdatalastcalib_9};
    std::copy(std::begin(concentration), std::end(concentration), concentration_stack);
    std::copy(std::begin(calibDate), std::end(calibDate), calib_date_stack);

    ui->TextOut->viewport()->installEventFilter(this);
    ui->plainTextEditStateSystem->viewport()->installEventFilter(this);

    UpdateDialog();
    UpdateParam();

    const quint16 code = Command::instance().device_code;
    if (code == 411 || code == 412) {
        // The single-channel detectors report no battery charge.
        ui->label->hide();
        ui->progressBarCharge->hide();
    }
}

MeasureWindow::~MeasureWindow()
{
    delete ui;
}

void MeasureWindow::UpdateDialog()
{
    const Command &cmd = Command::instance();
    const int channels = channelsInUse(cmd);
    for (int k = 0; k < channels; ++k) {
        if (cmd.protocol_version == 0)
            switched_on[k] = quint8(cmd.p0.channel[k].channel_page & 0xFF);
        else if (cmd.protocol_version == 1)
            switched_on[k] = quint8(cmd.p1.channel[k].channel_page & 0xFF);
    }

    for (int k = 0; k < 10; ++k) {
        auto *tile = new MeasureWindowConcentration(this, quint16(k));
        MeasureConcentrationArray[k] = tile;
        concentration_stack[k]->hide();
        if (k < channels) {
            concentration_stack[k]->setVisible(channelOn(k));
            concentration_stack[k]->insertWidget(0, tile);
            concentration_stack[k]->setCurrentIndex(0);
        } else {
            tile->hide(); // kept for the channel index, never placed on the page
        }
    }
    for (int k = 0; k < 10; ++k) {
        auto *tile = new MeasureWindowDateLastCalib(this, quint16(k));
        MeasureDateLastCalibArray[k] = tile;
        calib_date_stack[k]->hide();
        if (k < channels) {
            calib_date_stack[k]->setVisible(channelOn(k));
            calib_date_stack[k]->insertWidget(0, tile);
            calib_date_stack[k]->setCurrentIndex(0);
        } else {
            tile->hide();
        }
    }
}

void MeasureWindow::UpdateParam()
{
    Command &cmd = Command::instance();
    const int channels = channelsInUse(cmd);
    const bool p0 = cmd.protocol_version == 0;

    if (knownLayout(cmd)) {
        for (int k = 0; k < channels; ++k) {
            if (p0) {
                const ChannelRecordP0 &ch = cmd.p0.channel[k];
                switched_on[k] = quint8(ch.channel_page & 0xFF);
                channel_status[k] = ch.channel_status;
                sensor_status[k] = ch.channel_status_2;
                display_format[k] = ch.display_format;
                sensor_type[k] = ch.sensor_config;
            } else {
                const ChannelRecordP1 &ch = cmd.p1.channel[k];
                switched_on[k] = quint8(ch.channel_page & 0xFF);
                channel_status[k] = ch.channel_status;
                sensor_status[k] = ch.channel_status_2;
                display_format[k] = ch.display_format;
                sensor_type[k] = ch.sensor_config;
            }
        }
        device_status = p0 ? cmd.p0.device.device_status : cmd.p1.device.device_status;
    }

    for (int k = 0; k < channels; ++k) {
        const bool on = channelOn(k);
        concentration_stack[k]->setVisible(on);
        calib_date_stack[k]->setVisible(on);
        if (on) {
            if (MeasureConcentrationArray[k])
                MeasureConcentrationArray[k]->UpdateParam(quint16(k));
            if (MeasureDateLastCalibArray[k])
                MeasureDateLastCalibArray[k]->UpdateParam(quint16(k));
        }
    }

    if (cmd.device_code == 411 || cmd.device_code == 412) {
        ui->label->hide();
        ui->progressBarCharge->hide();
    }

    if (knownLayout(cmd)) {
        const quint32 serial = p0 ? cmd.p0.device.serial_number : cmd.p1.device.serial_number;
        const quint16 hardware = p0 ? cmd.p0.device.hardware_version : cmd.p1.device.hardware_version;
        const bool plus4 = cmd.device_code == 420 || cmd.device_code == 421;
        ui->lineEditSerialNumber->setText(plus4 ? QString::asprintf("IVM4P%07u", serial)
                                                : QString::asprintf("IVM%08u", serial));
        ui->lineEditFirmwareVer->setText(
            QString::asprintf("%01d.%02d", cmd.firmware_version / 100, cmd.firmware_version % 100));
        ui->lineEditHardwareVer->setText(QString::asprintf("%01d.%01d", hardware / 10, hardware % 10));

        // The PC clock as the detector counts it; the clock fields stay set
        // for the next clock write of the refresh.
        const double unit = cmd.device_time_unit_s > 0 ? cmd.device_time_unit_s : 1.0;
        const double counts = std::floor(double(QDateTime::currentSecsSinceEpoch()) / unit);
        const quint32 deviceTime = counts > 0 && counts < 4294967296.0 ? quint32(counts) : 0;
        const QDateTime clock = fromDeviceTime(deviceTime, unit);
        if (p0) {
            cmd.p0.device.device_time = deviceTime;
            cmd.p0.device.utc_offset_s = clock.offsetFromUtc();
        } else {
            cmd.p1.device.device_time = deviceTime;
            cmd.p1.device.utc_offset_s = clock.offsetFromUtc();
        }
        ui->dateTimeEdit->setDateTime(clock);

        const quint32 produced = p0 ? cmd.p0.device.production_date : cmd.p1.device.production_date;
        ui->dateTimeEditDateProduct->setDateTime(fromDeviceTime(produced, cmd.device_time_unit_s));

        const quint16 level = p0 ? cmd.p0.device.battery_level : cmd.p1.device.battery_level;
        const quint16 millivolts = p0 ? cmd.p0.device.battery_voltage_mv : cmd.p1.device.battery_voltage_mv;
        const float temperature = p0 ? cmd.p0.device.temperature_c : cmd.p1.device.temperature_c;
        ui->progressBarCharge->setValue(std::min<int>(level, ui->progressBarCharge->maximum()));
        ui->doubleSpinBoxChargeVolt->setValue(millivolts / 1000.0);
        ui->doubleSpinBoxTemp->setValue(std::isfinite(temperature) ? double(temperature) : 0.0);
    }

    // Current codes, each explained in the tool tip of the box.
    const QStringList codes = statusCodes();
    const QString state = codes.join(QStringLiteral(", "));
    ui->plainTextEditStateSystem->setPlainText(state);
    QStringList explained;
    for (const QString &code : codes)
        explained << code + QStringLiteral(" - ") + StatusCodeMeaning(code);
    ui->plainTextEditStateSystem->setToolTip(explained.join(QLatin1Char('\n')));

    // Log line: the time, the codes, and the concentration of every
    // switched-on channel at fixed columns 20, 45, 70, ...
    QString line = QStringLiteral("t - ") + QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + state;
    int column = 20;
    for (int k = 0; k < channels; ++k) {
        if (!channelOn(k) || !MeasureConcentrationArray[k])
            continue;
        MeasureConcentrationArray[k]->UpdateStringConc(line, quint16(column));
        column += 25;
    }
    line += QStringLiteral("\r\n");
    QTextCursor end(ui->TextOut->document());
    end.movePosition(QTextCursor::End);
    end.insertText(line);
    ui->TextOut->verticalScrollBar()->setValue(ui->TextOut->verticalScrollBar()->maximum());
}

QStringList MeasureWindow::statusCodes() const
{
    const Command &cmd = Command::instance();
    const int channels = channelsInUse(cmd);
    QStringList codes;
    for (int k = 0; k < channels; ++k) {
        if (!channelOn(k))
            continue;
        const quint16 status = channel_status[k];
        for (int bit = 0; bit < 10; ++bit) {
            if (!(status & (1u << bit)))
                continue;
            const char letter = bit < 6 ? 'A' : bit == 6 ? 'E' : 'W';
            codes << QString::asprintf("%c%02X", letter, 16 * k + bit);
        }
        if (display_format[k] & 0x0800) {
            // A digital sensor reports its own status word.
            int family = -1;
            if (cmd.protocol_version == 0) {
                family = 0;
            } else {
                for (int bit = 0; bit < 5 && family < 0; ++bit)
                    if (sensor_type[k] & (1u << bit))
                        family = bit;
            }
            if (family >= 0)
                codes << QString::asprintf("%s%01X_ST-%04X", DigitalSensorPrefix[family], k, sensor_status[k]);
        }
        if (cmd.login_name == login_creator) {
            for (int bit = 10; bit < 14; ++bit)
                if (status & (1u << bit))
                    codes << QString::asprintf("%s%02X", DiagnosticPrefix[bit - 10], k);
        }
    }
    if (decodesDeviceStatus(cmd.device_code)) {
        const bool m4 = cmd.device_code >= 404 && cmd.device_code <= 406;
        for (int bit = 0; bit < 10; ++bit) {
            if (!(device_status & (1u << bit)))
                continue;
            if (bit == 3 || (bit == 4 && m4))
                codes << QString::asprintf("FA%01X", bit);
            else
                codes << QString::asprintf("WA%01X", bit);
        }
    }
    return codes;
}

QString MeasureWindow::StatusCodeMeaning(const QString &code)
{
    static const QRegularExpression channelCode(QStringLiteral("^([AEW])([0-9])([0-9])$"));
    static const QRegularExpression deviceCode(QStringLiteral("^(FA|WA)([0-9])$"));
    static const QRegularExpression sensorCode(QStringLiteral("^(MI|CU|DY|BR|BD)([0-9])_ST-([0-9A-F]{4})$"));
    static const QRegularExpression diagnosticCode(QStringLiteral("^(ADC|POT|DAC|SHOCK)-([0-9A-F]{2})$"));

    QRegularExpressionMatch m = channelCode.match(code);
    if (m.hasMatch()) {
        const QChar letter = m.captured(1).at(0);
        const int channel = m.captured(2).toInt();
        const int bit = m.captured(3).toInt();
        QString meaning;
        if (letter == QLatin1Char('A') && bit <= 2)
            meaning = tr("превышен порог %1").arg(bit + 1);
        else if (letter == QLatin1Char('A') && bit == 3)
            meaning = tr("превышен порог STEL");
        else if (letter == QLatin1Char('A') && bit == 4)
            meaning = tr("превышен порог TWA");
        else if (letter == QLatin1Char('A') && bit == 5)
            meaning = tr("превышен диапазон измерения");
        else if (letter == QLatin1Char('E') && bit == 6)
            meaning = tr("отказ сенсора или сенсор не подключен");
        else if (letter == QLatin1Char('W') && bit == 7)
            meaning = tr("ошибка калибровки нуля");
        else if (letter == QLatin1Char('W') && bit == 8)
            meaning = tr("ошибка калибровки");
        else if (letter == QLatin1Char('W') && bit == 9)
            meaning = tr("требуется периодическая калибровка");
        else
            return QString();
        return tr("Канал %1: %2").arg(channel).arg(meaning);
    }

    m = deviceCode.match(code);
    if (m.hasMatch()) {
        const bool fault = m.captured(1) == QLatin1String("FA");
        const int bit = m.captured(2).toInt();
        if (fault && bit != 3 && bit != 4)
            return QString();
        switch (bit) {
        case 0: return tr("Прибор: предупреждение (бит 0 состояния прибора)");
        case 1: return tr("Прибор: требуется периодический BUMP TEST");
        case 2: return tr("Прибор: критически низкий заряд батареи");
        case 3: return fault ? tr("Прибор: неисправность микросхемы памяти") : QString();
        case 4: return tr("Прибор: неисправность микросхемы измерения");
        case 5: return tr("Прибор: неисправность модуля BLE");
        case 6: return tr("Прибор: неисправность модуля GPS");
        case 7: return tr("Прибор: неисправность модуля GSM");
        case 8: return tr("Прибор: неисправность модуля LoRa");
        case 9: return tr("Прибор: неисправность дисплея");
        default: return QString();
        }
    }

    m = sensorCode.match(code);
    if (m.hasMatch()) {
        const int family = int(std::find_if(std::begin(DigitalSensorPrefix), std::end(DigitalSensorPrefix),
                                             [&](const char *p) { return m.captured(1) == QLatin1String(p); })
                               - std::begin(DigitalSensorPrefix));
        return tr("Канал %1: слово состояния цифрового сенсора %2: 0x%3")
            .arg(m.captured(2), QLatin1String(DigitalSensorFamily[family]), m.captured(3));
    }

    m = diagnosticCode.match(code);
    if (m.hasMatch()) {
        const int channel = m.captured(2).toInt(nullptr, 16);
        const QString which = m.captured(1);
        QString meaning;
        if (which == QLatin1String("ADC"))
            meaning = tr("ошибка АЦП");
        else if (which == QLatin1String("POT"))
            meaning = tr("ошибка цифрового потенциометра");
        else if (which == QLatin1String("DAC"))
            meaning = tr("ошибка ЦАП");
        else
            meaning = tr("зафиксирован удар");
        return tr("Канал %1: производственная диагностика: %2").arg(channel).arg(meaning);
    }
    return QString();
}

void MeasureWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool MeasureWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QDialog::eventFilter(watched, event);
    QPlainTextEdit *edit = nullptr;
    if (watched == ui->TextOut->viewport())
        edit = ui->TextOut;
    else if (watched == ui->plainTextEditStateSystem->viewport())
        edit = ui->plainTextEditStateSystem;
    if (!edit)
        return QDialog::eventFilter(watched, event);

    // The code under the mouse. Codes are found by their shape rather than
    // by separators: a log line glues its first code to the time, and a
    // concentration entry may follow the last code without a blank.
    static const QRegularExpression codeShape(QStringLiteral(
        "(?<![A-Za-z])(?:[AEW][0-9]{2}|[FW]A[0-9]|(?:MI|CU|DY|BR|BD)[0-9]_ST-[0-9A-F]{4}"
        "|(?:ADC|POT|DAC|SHOCK)-[0-9A-F]{2})"));
    auto *help = static_cast<QHelpEvent *>(event);
    const QTextCursor cursor = edit->cursorForPosition(help->pos());
    const QString text = cursor.block().text();
    const int at = cursor.positionInBlock();
    QString word;
    for (auto it = codeShape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (at >= m.capturedStart() && at <= m.capturedEnd()) {
            word = m.captured();
            break;
        }
    }
    const QString meaning = StatusCodeMeaning(word);
    if (!meaning.isEmpty())
        QToolTip::showText(help->globalPos(), word + QStringLiteral(" - ") + meaning, edit->viewport());
    else if (edit == ui->plainTextEditStateSystem && !edit->toolTip().isEmpty())
        QToolTip::showText(help->globalPos(), edit->toolTip(), edit->viewport());
    else
        QToolTip::hideText();
    return true;
}
