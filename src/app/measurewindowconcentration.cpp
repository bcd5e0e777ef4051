#include "measurewindowconcentration.h"
#include "ui_measurewindowconcentration.h"

#include "command.h"
#include "value_tables.h"

#include <cmath>
#include <cstring>

MeasureWindowConcentration *MeasureConcentrationArray[10] = {};

namespace {

constexpr quint16 SensorErrorBit = 1u << 6;

QString formulaText(const char (&field)[10])
{
    const void *end = std::memchr(field, 0, sizeof field);
    const int length = end ? int(static_cast<const char *>(end) - field) : int(sizeof field);
    return QString::fromUtf8(field, length);
}

// A divisor taken from the image: an image not yet computed holds 0, which
// must not divide anything.
double divisor(quint16 value) { return value ? double(value) : 1.0; }

// The low 16 bits of the integer nearest to `value` (ties to even), as the
// detector's 16-bit counter holds it: -1 becomes 65535.
quint16 wrappedCount(double value)
{
    if (!std::isfinite(value))
        return 0;
    double r = std::fmod(std::nearbyint(value), 65536.0);
    if (r < 0)
        r += 65536.0;
    return quint16(r);
}

} // namespace

QString channelGasFormula(int channel)
{
    if (channel < 0 || channel > 9)
        return QString();
    const Command &cmd = Command::instance();
    if (cmd.protocol_version == 0)
        return formulaText(cmd.p0.channel[channel].gas_formula);
    if (cmd.protocol_version == 1)
        return formulaText(cmd.p1.channel[channel].gas_formula);
    return QString();
}

MeasureWindowConcentration::MeasureWindowConcentration(QWidget *parent, unsigned short channel)
    : QDialog(parent), ui(new Ui::MeasureWindowConcentration), channel(channel)
{
    ui->setupUi(this);
    ui->doubleSpinBoxChan->setRange(0.0, 1e43);
    UpdateParam(channel);
}

MeasureWindowConcentration::~MeasureWindowConcentration()
{
    for (auto &tile : MeasureConcentrationArray)
        if (tile == this)
            tile = nullptr;
    delete ui;
}

void MeasureWindowConcentration::UpdateParam(unsigned short channel)
{
    Command &cmd = Command::instance();
    if ((cmd.protocol_version != 0 && cmd.protocol_version != 1) || channel > 9)
        return;
    const bool p0 = cmd.protocol_version == 0;
    const quint16 status = p0 ? cmd.p0.channel[channel].channel_status : cmd.p1.channel[channel].channel_status;
    const quint16 format = p0 ? cmd.p0.channel[channel].display_format : cmd.p1.channel[channel].display_format;
    const float concentration = p0 ? cmd.p0.channel[channel].concentration : cmd.p1.channel[channel].concentration;

    // A failed or missing sensor greys the value but keeps the last reading.
    ui->doubleSpinBoxChan->setEnabled(!(status & SensorErrorBit));

    this->channel = channel;
    // Recomputed every time, so a change of the displayed unit shows at once.
    conversion_factor = cmd.UpdateConversionFactor(channel);

    ui->label_Chan->setText(tr("Канал ") + channelGasFormula(channel));
    ui->doubleSpinBoxChan->setDecimals((format >> 4) & 3);
    ui->doubleSpinBoxChan->setSuffix(QStringLiteral(" ") + QLatin1String(UnitMeasure[format & 3]));

    double shown = double(concentration) * conversion_factor;
    if (p0) {
        // The detector shows a 16-bit count of displayed decimals.
        const double scale = divisor(cmd.p0.channel[channel].discreteness_display);
        shown = wrappedCount(shown * scale) / scale;
    } else if (!std::isfinite(shown)) {
        shown = 0.0;
    }
    ui->doubleSpinBoxChan->setValue(shown);
}

void MeasureWindowConcentration::UpdateStringConc(QString &text, unsigned short column)
{
    const Command &cmd = Command::instance();
    if ((cmd.protocol_version != 0 && cmd.protocol_version != 1) || channel > 9)
        return;
    const quint16 status = cmd.protocol_version == 0 ? cmd.p0.channel[channel].channel_status
                                                     : cmd.p1.channel[channel].channel_status;
    QString entry = channelGasFormula(channel) + QStringLiteral(" - ");
    entry += (status & SensorErrorBit) ? tr("Err") : ui->doubleSpinBoxChan->text();
    if (text.size() < column)
        text += QString(column - text.size(), QLatin1Char(' '));
    text.insert(column, entry);
}
