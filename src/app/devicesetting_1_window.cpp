#include "devicesetting_1_window.h"
#include "ui_devicesetting_1_window.h"

#include "command.h"
#include "measurewindowconcentration.h"
#include "value_tables.h"

#include <QKeyEvent>
#include <cfloat>
#include <cmath>
#include <vector>

namespace {

constexpr quint16 ThresholdFalling = 0x8000; // layout p0: bit 15 of a threshold
constexpr quint16 ThresholdCountMax = 0x7FFF; // layout p0: bits 0-14 of a threshold
constexpr quint32 AutoZeroBit = 1u << 3;
constexpr quint32 CircuitChangedBit = 1u << 2;

// A divisor taken from the image: a record whose decimals were never
// computed holds 0, which must not divide anything.
double divisor(quint16 value) { return value ? double(value) : 1.0; }

// A register count for a value entered in the displayed unit: rounded to
// the nearest integer (ties to even) and held to 0..max, since the field
// cannot store more; *clamped tells whether it had to be held.
quint16 toCount(double counts, double max, bool *clamped)
{
    double r = std::nearbyint(counts);
    *clamped = false;
    if (std::isnan(r) || r < 0) {
        r = 0;
        *clamped = true;
    } else if (r > max) {
        r = max;
        *clamped = true;
    }
    return quint16(r);
}

// A base-unit float for a value entered in the displayed unit, held to what
// a single-precision field can store.
float toBaseValue(double value, double factor, bool *clamped)
{
    double v = factor != 0.0 && std::isfinite(factor) ? value / factor : value;
    *clamped = false;
    if (std::isnan(v)) {
        v = 0;
        *clamped = true;
    } else if (std::fabs(v) > double(FLT_MAX)) {
        v = std::copysign(double(FLT_MAX), v);
        *clamped = true;
    }
    return float(v);
}

double shown(double value) { return std::isfinite(value) ? value : 0.0; }

} // namespace

DeviceSetting_1_Window::DeviceSetting_1_Window(QWidget *parent, unsigned short channel)
    : QDialog(parent), ui(new Ui::DeviceSetting_1_Window), channel(channel)
{
    ui->setupUi(this);
    // The calibration gas is set on the calibration pages, not here.
    ui->label_4->hide();
    ui->doubleSpinBoxConcCalibGas->hide();

    const quint16 code = Command::instance().device_code;
    if (code == 411 || code == 412)
        ui->ParamSensgroupBox->setCheckable(false); // the only channel cannot be switched off

    updating = true;
    for (int i = 0; i < 3; ++i)
        ui->comboBoxDiscreteness->addItem(QLatin1String(Discretiness_mas[i]));
    updating = false;

    UpdateParam(channel);
}

DeviceSetting_1_Window::~DeviceSetting_1_Window()
{
    delete ui;
}

bool DeviceSetting_1_Window::layoutKnown() const
{
    const qint16 version = Command::instance().protocol_version;
    return (version == 0 || version == 1) && channel <= 9;
}

void DeviceSetting_1_Window::UpdateParam(unsigned short channel)
{
    if (channel > 9)
        return;
    this->channel = channel;
    Command &cmd = Command::instance();
    const bool p0 = cmd.protocol_version == 0;
    const bool p1 = cmd.protocol_version == 1;
    const bool restore = updating;
    updating = true;

    quint16 fmt = 0;
    double maximum = 0;
    if (p0) {
        fmt = cmd.p0.channel[channel].display_format;
        maximum = 65535.0 / divisor(cmd.p0.channel[channel].discreteness_display);
    } else if (p1) {
        fmt = cmd.p1.channel[channel].display_format;
        maximum = 99999.0 / divisor(cmd.p1.channel[channel].discreteness_display);
    }
    const int decimals = (fmt >> 4) & 3;
    const QString suffix = QStringLiteral(" ") + QLatin1String(UnitMeasure[fmt & 3]);
    conversion_factor = cmd.UpdateConversionFactor(channel);
    UpdatecomboBoxUnitMeas(channel);

    // TWA and STEL rows only for toxic-gas channels; no unit choice for a
    // channel that measures in %VOL only.
    QWidget *const twaStelRow[] = {ui->label_28, ui->doubleSpinBoxLimitTWA, ui->label_29,
                                   ui->doubleSpinBoxLimitSTEL, ui->label_30, ui->spinBoxIntervalStel};
    QWidget *const displayRow[] = {ui->label_17, ui->comboBoxDiscreteness, ui->label_22, ui->comboBoxUnitMeas};
    for (QWidget *w : twaStelRow)
        w->hide();
    for (QWidget *w : displayRow)
        w->show();
    if (!(fmt & 0x1C00)) {
        if (fmt & 0x0200) {
            for (QWidget *w : displayRow)
                w->hide();
        } else {
            for (QWidget *w : twaStelRow)
                w->show();
        }
    }

    QDoubleSpinBox *const valueBoxes[] = {ui->doubleSpinBoxConcCalibGas, ui->doubleSpinBoxLim_1,
                                          ui->doubleSpinBoxLim_2,        ui->doubleSpinBoxLim_3,
                                          ui->doubleSpinBoxLim_4,        ui->doubleSpinBoxLimitSTEL,
                                          ui->doubleSpinBoxLimitTWA};
    for (QDoubleSpinBox *box : valueBoxes) {
        box->setDecimals(decimals);
        box->setMaximum(maximum);
        box->setSuffix(suffix);
    }
    ui->comboBoxDiscreteness->setCurrentIndex(decimals);

    if (p0) {
        const ChannelRecordP0 &ch = cmd.p0.channel[channel];
        raw_factor = conversion_factor / divisor(ch.discreteness_base);
        ui->ParamSensgroupBox->setTitle(channelGasFormula(channel) + QStringLiteral(" ") + tr("Параметры"));
        ui->ParamSensgroupBox->setChecked(ch.channel_page == qint16(channel));
        ui->checkBoxLim1IncDec->setChecked(!(ch.alarm_threshold_1 & ThresholdFalling));
        ui->checkBoxLim2IncDec->setChecked(!(ch.alarm_threshold_2 & ThresholdFalling));
        ui->checkBoxLim3IncDec->setChecked(!(ch.alarm_threshold_3 & ThresholdFalling));
        ui->checkBoxAutoCalibZero->setChecked(ch.channel_flags & AutoZeroBit);
        ui->doubleSpinBoxConcCalibGas->setValue(ch.calib_gas_concentration * raw_factor);
        ui->doubleSpinBoxLim_1->setValue((ch.alarm_threshold_1 & ThresholdCountMax) * raw_factor);
        ui->doubleSpinBoxLim_2->setValue((ch.alarm_threshold_2 & ThresholdCountMax) * raw_factor);
        ui->doubleSpinBoxLim_3->setValue((ch.alarm_threshold_3 & ThresholdCountMax) * raw_factor);
        ui->doubleSpinBoxLim_4->setValue(ch.alarm_threshold_4 * raw_factor);
        ui->doubleSpinBoxLimitSTEL->setValue(ch.stel_limit * raw_factor);
        ui->doubleSpinBoxLimitTWA->setValue(ch.twa_limit * raw_factor);
        ui->spinBoxIntervalStel->setValue(int(ch.stel_interval * cmd.device_time_unit_s));
        ui->spinBoxIntervalCalib->setValue(ch.calib_interval);
        ui->spinBoxIntervalBump->setValue(cmd.p0.device.bump_interval);
    } else if (p1) {
        const ChannelRecordP1 &ch = cmd.p1.channel[channel];
        const double f = conversion_factor;
        ui->ParamSensgroupBox->setTitle(channelGasFormula(channel) + QStringLiteral(" ") + tr("Параметры"));
        ui->ParamSensgroupBox->setChecked(ch.channel_page == qint16(channel));
        ui->checkBoxLim1IncDec->setChecked(!(ch.channel_flags & (1u << 10)));
        ui->checkBoxLim2IncDec->setChecked(!(ch.channel_flags & (1u << 11)));
        ui->checkBoxLim3IncDec->setChecked(!(ch.channel_flags & (1u << 12)));
        ui->checkBoxAutoCalibZero->setChecked(ch.channel_flags & AutoZeroBit);
        ui->doubleSpinBoxConcCalibGas->setValue(shown(ch.calib_gas_concentration * f));
        ui->doubleSpinBoxLim_1->setValue(shown(ch.alarm_threshold_1 * f));
        ui->doubleSpinBoxLim_2->setValue(shown(ch.alarm_threshold_2 * f));
        ui->doubleSpinBoxLim_3->setValue(shown(ch.alarm_threshold_3 * f));
        ui->doubleSpinBoxLim_4->setValue(shown(ch.alarm_threshold_4 * f));
        ui->doubleSpinBoxLimitSTEL->setValue(shown(ch.stel_limit * f));
        ui->doubleSpinBoxLimitTWA->setValue(shown(ch.twa_limit * f));
        ui->spinBoxIntervalStel->setValue(int(ch.stel_interval * cmd.device_time_unit_s));
        ui->spinBoxIntervalCalib->setValue(ch.calib_interval);
        ui->spinBoxIntervalBump->setValue(cmd.p1.device.bump_interval);
    }
    updating = restore;
}

void DeviceSetting_1_Window::UpdatecomboBoxUnitMeas(unsigned short channel)
{
    const Command &cmd = Command::instance();
    quint16 fmt = 0;
    quint16 sensorConfig = 0;
    if (channel <= 9 && cmd.protocol_version == 0) {
        fmt = cmd.p0.channel[channel].display_format;
        sensorConfig = cmd.p0.channel[channel].sensor_config;
    } else if (channel <= 9 && cmd.protocol_version == 1) {
        fmt = cmd.p1.channel[channel].display_format;
        sensorConfig = cmd.p1.channel[channel].sensor_config;
    }
    const int t = (fmt >> 2) & 3;       // base unit
    const int aux = (sensorConfig >> 3) & 3;

    // Which consecutive units the sensor class allows.
    int first = 0, last = 1;
    if (fmt & 0x1000) {
        first = 1;
        last = t == 1 ? 1 : 3;
    } else if (fmt & 0x0800) {
        if (t == 1) {
            first = last = 1;
        } else if (t >= 2) {
            first = 1;
            last = 3;
        } else {
            first = 0;
            last = aux ? 3 : 0;
        }
    } else if (fmt & 0x0400) {
        first = 0;
        last = 1;
    } else if (fmt & 0x0200) {
        first = last = 3;
    } else if (t >= 2) {
        first = last = t;
    }

    const bool restore = updating;
    updating = true;
    ui->comboBoxUnitMeas->clear();
    unit_base = quint16(first);
    for (int i = first; i <= last; ++i)
        ui->comboBoxUnitMeas->addItem(QLatin1String(UnitMeasure[i]));
    const int current = (fmt & 3) - unit_base;
    ui->comboBoxUnitMeas->setCurrentIndex(current < ui->comboBoxUnitMeas->count() ? current : -1);
    updating = restore;
}

void DeviceSetting_1_Window::on_comboBoxDiscreteness_activated(int index)
{
    if (updating || !layoutKnown() || index < 0)
        return;
    Command &cmd = Command::instance();
    if (cmd.protocol_version == 0) {
        ChannelRecordP0 &ch = cmd.p0.channel[channel];
        ch.display_format = quint16((ch.display_format & ~0x0030) | ((index & 3) << 4));
        ch.discreteness_display = calculating_the_discreteness(ch.display_format, 0);
    } else {
        ChannelRecordP1 &ch = cmd.p1.channel[channel];
        ch.display_format = quint16((ch.display_format & ~0x0030) | ((index & 3) << 4));
        ch.discreteness_display = calculating_the_discreteness(ch.display_format, 0);
    }
    UpdateParam(channel);
}

void DeviceSetting_1_Window::on_comboBoxUnitMeas_activated(int index)
{
    if (updating || !layoutKnown() || index < 0)
        return;
    Command &cmd = Command::instance();
    quint16 &fmt = cmd.protocol_version == 0 ? cmd.p0.channel[channel].display_format
                                             : cmd.p1.channel[channel].display_format;
    fmt = quint16((fmt & ~0x0003) | ((index + unit_base) & 3));
    UpdateParam(channel);
}

void DeviceSetting_1_Window::showValue(QDoubleSpinBox *box, double value)
{
    const bool restore = updating;
    updating = true;
    box->setValue(value);
    updating = restore;
}

void DeviceSetting_1_Window::storeThreshold(int number, QDoubleSpinBox *box, double value)
{
    if (updating || !layoutKnown())
        return;
    Command &cmd = Command::instance();
    bool clamped = false;
    if (cmd.protocol_version == 0) {
        ChannelRecordP0 &ch = cmd.p0.channel[channel];
        quint16 &field = number == 1 ? ch.alarm_threshold_1 : number == 2 ? ch.alarm_threshold_2 : ch.alarm_threshold_3;
        // Bits 0-14 hold the count, bit 15 the direction, which stays.
        const quint16 count = toCount(value / raw_factor, ThresholdCountMax, &clamped);
        field = quint16((field & ThresholdFalling) | count);
        if (clamped)
            showValue(box, count * raw_factor);
    } else {
        ChannelRecordP1 &ch = cmd.p1.channel[channel];
        float &field = number == 1 ? ch.alarm_threshold_1 : number == 2 ? ch.alarm_threshold_2 : ch.alarm_threshold_3;
        field = toBaseValue(value, conversion_factor, &clamped);
        if (clamped)
            showValue(box, shown(field * conversion_factor));
    }
}

void DeviceSetting_1_Window::storeCount(quint16 &countP0, float &valueP1, QDoubleSpinBox *box, double value)
{
    if (updating || !layoutKnown())
        return;
    bool clamped = false;
    if (Command::instance().protocol_version == 0) {
        countP0 = toCount(value / raw_factor, 65535.0, &clamped);
        if (clamped)
            showValue(box, countP0 * raw_factor);
    } else {
        valueP1 = toBaseValue(value, conversion_factor, &clamped);
        if (clamped)
            showValue(box, shown(valueP1 * conversion_factor));
    }
}

void DeviceSetting_1_Window::on_doubleSpinBoxLim_1_valueChanged(double value)
{
    storeThreshold(1, ui->doubleSpinBoxLim_1, value);
}

void DeviceSetting_1_Window::on_doubleSpinBoxLim_2_valueChanged(double value)
{
    storeThreshold(2, ui->doubleSpinBoxLim_2, value);
}

void DeviceSetting_1_Window::on_doubleSpinBoxLim_3_valueChanged(double value)
{
    storeThreshold(3, ui->doubleSpinBoxLim_3, value);
}

void DeviceSetting_1_Window::on_doubleSpinBoxConcCalibGas_valueChanged(double value)
{
    if (channel > 9)
        return;
    Command &cmd = Command::instance();
    storeCount(cmd.p0.channel[channel].calib_gas_concentration, cmd.p1.channel[channel].calib_gas_concentration,
               ui->doubleSpinBoxConcCalibGas, value);
}

void DeviceSetting_1_Window::on_doubleSpinBoxLimitTWA_valueChanged(double value)
{
    if (channel > 9)
        return;
    Command &cmd = Command::instance();
    storeCount(cmd.p0.channel[channel].twa_limit, cmd.p1.channel[channel].twa_limit,
               ui->doubleSpinBoxLimitTWA, value);
}

void DeviceSetting_1_Window::on_doubleSpinBoxLimitSTEL_valueChanged(double value)
{
    if (channel > 9)
        return;
    Command &cmd = Command::instance();
    storeCount(cmd.p0.channel[channel].stel_limit, cmd.p1.channel[channel].stel_limit,
               ui->doubleSpinBoxLimitSTEL, value);
}

void DeviceSetting_1_Window::on_spinBoxIntervalStel_valueChanged(int value)
{
    if (updating || !layoutKnown())
        return;
    Command &cmd = Command::instance();
    // Minutes entered, device time units stored (truncated).
    const double unit = cmd.device_time_unit_s > 0 && std::isfinite(cmd.device_time_unit_s)
        ? cmd.device_time_unit_s : 1.0;
    double units = std::trunc(value / unit);
    const bool clamped = units > 65535.0;
    if (clamped)
        units = 65535.0;
    quint16 &field = cmd.protocol_version == 0 ? cmd.p0.channel[channel].stel_interval
                                               : cmd.p1.channel[channel].stel_interval;
    field = quint16(units);
    if (clamped) {
        const bool restore = updating;
        updating = true;
        ui->spinBoxIntervalStel->setValue(int(field * cmd.device_time_unit_s));
        updating = restore;
    }
}

void DeviceSetting_1_Window::storeDirection(int number, QCheckBox *box, int state)
{
    // Checked means the alarm acts on a rising value.
    box->setText(state ? tr("Возр.") : tr("Убыв."));
    if (updating || !layoutKnown())
        return;
    Command &cmd = Command::instance();
    if (cmd.protocol_version == 0) {
        ChannelRecordP0 &ch = cmd.p0.channel[channel];
        quint16 &field = number == 1 ? ch.alarm_threshold_1 : number == 2 ? ch.alarm_threshold_2 : ch.alarm_threshold_3;
        field = state ? quint16(field & ~ThresholdFalling) : quint16(field | ThresholdFalling);
    } else {
        quint32 &flags = cmd.p1.channel[channel].channel_flags;
        const quint32 bit = 1u << (9 + number);
        flags = state ? (flags & ~bit) : (flags | bit);
    }
}

void DeviceSetting_1_Window::on_checkBoxLim1IncDec_stateChanged(int state)
{
    storeDirection(1, ui->checkBoxLim1IncDec, state);
}

void DeviceSetting_1_Window::on_checkBoxLim2IncDec_stateChanged(int state)
{
    storeDirection(2, ui->checkBoxLim2IncDec, state);
}

void DeviceSetting_1_Window::on_checkBoxLim3IncDec_stateChanged(int state)
{
    storeDirection(3, ui->checkBoxLim3IncDec, state);
}

void DeviceSetting_1_Window::on_checkBoxAutoCalibZero_stateChanged(int state)
{
    ui->checkBoxAutoCalibZero->setText(state ? tr("Вкл.") : tr("Выкл."));
    if (updating || !layoutKnown())
        return;
    Command &cmd = Command::instance();
    // Bit 2 tells the detector that a setting of the channel has changed.
    if (cmd.protocol_version == 0) {
        quint16 &flags = cmd.p0.channel[channel].channel_flags;
        flags = quint16(flags & ~CircuitChangedBit);
        flags = state ? quint16(flags | AutoZeroBit) : quint16(flags & ~AutoZeroBit);
    } else {
        quint32 &flags = cmd.p1.channel[channel].channel_flags;
        flags &= ~CircuitChangedBit;
        flags = state ? (flags | AutoZeroBit) : (flags & ~AutoZeroBit);
    }
}

void DeviceSetting_1_Window::on_ParamSensgroupBox_clicked(bool checked)
{
    if (updating || !layoutKnown())
        return;
    Command &cmd = Command::instance();
    const qint16 page = checked ? qint16(channel) : cmd.channel_off_code;
    if (cmd.protocol_version == 0)
        cmd.p0.channel[channel].channel_page = page;
    else
        cmd.p1.channel[channel].channel_page = page;
}

void DeviceSetting_1_Window::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
