#include "detector.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace sim {

using Access = RegisterFile::Access;
constexpr RegKind H = RegKind::Holding;
constexpr RegKind I = RegKind::Input;
constexpr quint8 A = kDevicePage;

// Units as the display-format word codes them.
enum Unit { Ppm = 0, MgM3 = 1, Lel = 2, Vol = 3 };

// One kind of gas sensor as fitted in the detectors: identity, units, the
// usual alarm settings and how it behaves in clean air.
struct Detector::Gas
{
    const char *sensor;   // sensor name, at most 6 characters
    const char *formula;  // gas formula, at most 10 characters
    int classBit;         // display-format class bit (8 EC, 9 O2, 10 PID, 11 IR, 12 TK)
    int variant;          // sensor variant byte
    int displayUnit, baseUnit;
    int displayDecimals, baseDecimals;
    double clean;         // reading in clean air
    double thr1, thr2, thr3;
    bool thr1Falling;     // threshold 1 alarms on a falling value (oxygen)
    double range;         // top of the measuring range
    double stel, twa;     // exposure limits (0: none)
    double calib;         // calibration gas concentration
    double hysteresis;
    double mgPerPpm;      // ppm to mg/m3 coefficient
    double lel;           // lower explosive limit, %VOL
    double noise;         // standard deviation of the wander per second
};

// The gases by channel, in the order the detectors carry them: two
// electrochemical channels, oxygen on channel 2, a combustible-gas channel 3,
// then the extra electrochemical, infrared and PID channels of the larger models.
static const Detector::Gas kGases[] = {
    {"CO-AF", "CO", 8, 0x01, Ppm, Ppm, 0, 0, 0.0, 20, 100, 200, false, 500, 100, 20, 100, 2, 1.16, 12.5, 0.4},
    {"H2S-A4", "H2S", 8, 0x01, Ppm, Ppm, 1, 1, 0.0, 10, 20, 40, false, 100, 10, 5, 20, 0.5, 1.42, 4.0, 0.05},
    {"O2-A3", "O2", 9, 0x00, Vol, Vol, 1, 1, 20.9, 19.5, 23.5, 0, true, 30, 0, 0, 20.9, 0.2, 1.33, 0.0, 0.03},
    {"DTK-4", "CH4", 12, 0x00, Lel, Lel, 1, 1, 0.0, 10, 20, 50, false, 100, 0, 0, 50, 1, 0.67, 4.4, 0.1},
    {"NO2-A1", "NO2", 8, 0x01, Ppm, Ppm, 1, 1, 0.0, 1, 2, 5, false, 20, 1, 0.5, 10, 0.2, 1.91, 0.0, 0.02},
    {"SO2-AF", "SO2", 8, 0x01, Ppm, Ppm, 1, 1, 0.0, 5, 10, 20, false, 50, 5, 2, 10, 0.5, 2.66, 0.0, 0.03},
    {"NH3-AF", "NH3", 8, 0x01, Ppm, Ppm, 0, 0, 0.0, 20, 60, 150, false, 500, 35, 25, 50, 2, 0.71, 15.0, 0.3},
    {"CL2-A1", "Cl2", 8, 0x01, Ppm, Ppm, 1, 1, 0.0, 0.5, 1, 2, false, 10, 0.5, 0.5, 5, 0.1, 2.95, 0.0, 0.01},
    {"CO2-IR", "CO2", 11, 0x01, Vol, Vol, 2, 2, 0.04, 0.5, 1.0, 2.0, false, 5, 1.5, 0.5, 2.0, 0.05, 1.83, 0.0, 0.002},
    {"PID-AH", "C4H8", 10, 0x00, Ppm, Ppm, 1, 1, 0.0, 10, 50, 100, false, 200, 0, 0, 100, 2, 2.29, 1.8, 0.1},
};
// The single-gas detectors carry carbon monoxide.
static const int kSingleGas = 0;

namespace {

int modelChannels(int model)
{
    switch (model) {
    case 411: case 412: return 1;
    case 404: case 405: case 406: case 421: return 4;
    case 420: return 6;
    case 430: return 10;
    default: return 0;
    }
}

int defaultFirmware(int model, Layout layout)
{
    if (model == 999)
        return 100;
    if (model == 411 || model == 412)
        return layout == Layout::P0 ? 112 : 205;
    return layout == Layout::P0 ? 215 : 302;
}

double pow10(int decimals)
{
    static const double table[] = {1, 10, 100, 1000};
    return table[std::clamp(decimals, 0, 3)];
}

quint16 toCounts(double value, int decimals)
{
    return quint16(std::clamp<long>(std::lround(value * pow10(decimals)), 0, 0x7FFF));
}

} // namespace

bool Detector::validate(const DetectorConfig &config, QString *error)
{
    const int m = config.model;
    if (m != 999 && modelChannels(m) == 0) {
        *error = QStringLiteral("unknown model %1 (known: 404, 405, 406, 411, 412, 420, 421, 430, 999)").arg(m);
        return false;
    }
    if (m == 411 && config.layout != Layout::P0) {
        *error = QStringLiteral("model 411 exists with layout p0 only");
        return false;
    }
    if ((m == 412 || m == 430) && config.layout != Layout::P1) {
        *error = QStringLiteral("model %1 exists with layout p1 only").arg(m);
        return false;
    }
    for (auto it = config.fixedGas.constBegin(); it != config.fixedGas.constEnd(); ++it) {
        if (it.key() < 0 || it.key() >= modelChannels(m)) {
            *error = QStringLiteral("model %1 has no channel %2").arg(m).arg(it.key());
            return false;
        }
    }
    for (int ch : config.exposed) {
        if (ch < 0 || ch >= modelChannels(m)) {
            *error = QStringLiteral("model %1 has no channel %2").arg(m).arg(ch);
            return false;
        }
    }
    for (auto it = config.sensors.constBegin(); it != config.sensors.constEnd(); ++it) {
        if (it.key() < 0 || it.key() >= modelChannels(m)) {
            *error = QStringLiteral("model %1 has no channel %2").arg(m).arg(it.key());
            return false;
        }
        if (gasByFormula(it.value()) < 0) {
            *error = QStringLiteral("no sensor for %1 (known: %2)").arg(it.value(), gasFormulas().join(", "));
            return false;
        }
    }
    return true;
}

int Detector::gasByFormula(const QString &formula)
{
    for (int i = 0; i < int(sizeof kGases / sizeof kGases[0]); ++i) {
        if (formula.compare(QLatin1String(kGases[i].formula), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QStringList Detector::gasFormulas()
{
    QStringList names;
    for (const Gas &g : kGases)
        names << QLatin1String(g.formula);
    return names;
}

Detector::Detector(const DetectorConfig &config, qint64 wallMs)
    : m_config(config), m_rng(config.seed)
{
    if (m_config.firmware < 0)
        m_config.firmware = defaultFirmware(config.model, config.layout);
    m_lastStepMs = wallMs;

    if (isBootloader()) {
        buildBootloaderMap();
        m_regs.set(I, A, 0x0010, 999);
        m_saved = m_factory = m_regs.storage();
        return;
    }

    const int n = modelChannels(config.model);
    m_channels.resize(n);
    std::uniform_int_distribution<int> zeroAdc(480, 620);
    std::uniform_int_distribution<int> spanAdc(2600, 3400);
    for (int k = 0; k < n; ++k) {
        Channel &c = m_channels[k];
        c.gas = n == 1 ? &kGases[kSingleGas] : &kGases[k];
        if (config.sensors.contains(k))
            c.gas = &kGases[gasByFormula(config.sensors.value(k))];
        c.trueZeroAdc = zeroAdc(m_rng);
        c.trueSpanAdc = spanAdc(m_rng);
        c.truth = c.target = c.gas->clean;
        c.stelAverage = c.twaAverage = c.gas->clean;
        if (config.fixedGas.contains(k)) {
            c.truth = c.target = config.fixedGas.value(k);
            c.fixed = true;
        }
    }
    std::uniform_real_distribution<double> temp(20.5, 24.5);
    std::uniform_real_distribution<double> battery(62.0, 96.0);
    m_temperature = temp(m_rng);
    m_battery = battery(m_rng);
    // A detector's clock is never quite right: up to five minutes off.
    m_clockOffsetMs = std::uniform_int_distribution<int>(-300, 300)(m_rng) * 1000;

    if (config.layout == Layout::P0) {
        buildMapP0();
        seedP0(wallMs);
    } else {
        buildMapP1();
        seedP1(wallMs);
    }
    for (int ch : config.exposed)
        toggleExposure(ch);
    writeLive(wallMs);
    m_saved = m_factory = m_regs.storage();
}

// ---------------------------------------------------------------------------
// Register maps

template<typename ScopeFn, typename AccessFn>
void Detector::addBlock(RegKind kind, quint16 first, quint16 last, bool onChannels, bool onDevice,
                        ScopeFn scope, AccessFn access)
{
    const quint16 block = m_regs.newBlock();
    if (onDevice) {
        for (quint16 r = first; r <= last; ++r)
            if (scope(r) == Scope::Device)
                m_regs.define(kind, A, r, block, access(r));
    }
    if (onChannels) {
        for (int k = 0; k < m_channels.size(); ++k) {
            for (quint16 r = first; r <= last; ++r) {
                switch (scope(r)) {
                case Scope::Channel:
                    m_regs.define(kind, quint8(k), r, block, access(r));
                    break;
                case Scope::Device:
                    m_regs.alias(kind, quint8(k), r, block, RegAddress{kind, A, r}, access(r));
                    break;
                case Scope::Absent:
                    break;
                }
            }
        }
    }
}

void Detector::addChannelBlock(RegKind kind, quint16 first, quint16 last)
{
    addBlock(kind, first, last, true, false, [](quint16) { return Scope::Channel; },
             [](quint16) { return Access::ReadWrite; });
}

void Detector::addDeviceBlock(RegKind kind, quint16 first, quint16 last, Access access)
{
    addBlock(kind, first, last, kind == H, true, [](quint16) { return Scope::Device; },
             [access](quint16) { return access; });
}

// Single-bit registers: 0x0230 is the auto-zero bit (bit 3) of a channel's
// flags word `flagsReg`; 0x0231 to 0x0233 are the sound, calibration-menu and
// switch-off locks (bits 1, 3, 2 of the device options), on every page.
void Detector::addSingleBitRegisters(quint8 channels, quint16 flagsReg)
{
    const quint16 block = m_regs.newBlock();
    for (quint8 k = 0; k < channels; ++k) {
        m_regs.bitAlias(H, k, 0x0230, block, {H, k, flagsReg}, 3);
        m_regs.bitAlias(H, k, 0x0231, block, {H, A, 0x0220}, 1);
        m_regs.bitAlias(H, k, 0x0232, block, {H, A, 0x0220}, 3);
        m_regs.bitAlias(H, k, 0x0233, block, {H, A, 0x0220}, 2);
    }
    m_regs.bitAlias(H, A, 0x0231, block, {H, A, 0x0220}, 1);
    m_regs.bitAlias(H, A, 0x0232, block, {H, A, 0x0220}, 3);
    m_regs.bitAlias(H, A, 0x0233, block, {H, A, 0x0220}, 2);
}

void Detector::addCommand(quint16 reg)
{
    m_regs.define(H, A, reg, m_regs.newBlock(), Access::Command);
}

// The control block: firmware-transfer handshake words; 0x0005 is a command.
static void addControlBlock(RegisterFile &regs)
{
    const quint16 block = regs.newBlock();
    for (quint16 r = 0x0001; r <= 0x0004; ++r)
        regs.define(H, A, r, block);
    regs.define(H, A, 0x0005, block, Access::Command);
}

void Detector::buildBootloaderMap()
{
    addControlBlock(m_regs);
    m_regs.define(I, A, 0x0010, m_regs.newBlock(), Access::ReadOnly);
}

void Detector::buildMapP0()
{
    const int n = m_channels.size();
    const bool plus = m_config.model == 420 || m_config.model == 421;
    addControlBlock(m_regs);

    // Channel settings; the clock, identity and bump interval are device-wide
    // and answer on every page.
    addBlock(H, 0x00FE, 0x0151, true, true,
             [](quint16 r) {
                 switch (r) {
                 case 0x00FE: case 0x00FF: case 0x0100: case 0x0101: case 0x010D:
                 case 0x011D: case 0x011E: case 0x011F: case 0x0120: case 0x0121: case 0x0122:
                     return Scope::Device;
                 default:
                     return Scope::Channel;
                 }
             },
             [](quint16 r) {
                 // Firmware version and the sensor's own status word are the detector's.
                 return (r == 0x0120 || r == 0x0125) ? Access::ReadOnly : Access::ReadWrite;
             });
    addChannelBlock(H, 0x0160, 0x0173);  // zero-compensation table
    addDeviceBlock(H, 0x0200, 0x0200);   // buzzer
    addChannelBlock(H, 0x0202, 0x0202);  // sensor configuration
    addDeviceBlock(H, 0x0210, 0x0215);   // archive
    addBlock(H, 0x0220, 0x0223, true, true,
             [](quint16 r) { return r <= 0x0221 ? Scope::Device : Scope::Channel; },
             [](quint16 r) { return (r == 0x0221 || r == 0x0223) ? Access::ReadOnly : Access::ReadWrite; });
    addSingleBitRegisters(n, 0x0222);
    for (quint16 r : {0x0240, 0x0250, 0x0252, 0x0254, 0x0256})
        addCommand(r);
    m_regs.define(H, A, 0x0700, m_regs.newBlock());  // menu language
    addCommand(0x0702);
    addCommand(0x0800);

    if (plus) {
        // The M4 Plus keeps its device values and each channel's live values
        // in blocks of their own.
        addDeviceBlock(I, 0x0010, 0x0015, Access::ReadOnly);
        const quint16 block = m_regs.newBlock();
        for (quint8 k = 0; k < n; ++k) {
            for (quint16 r = 0x0020; r <= 0x002C; ++r) {
                if (r == 0x0022)
                    m_regs.alias(I, k, r, block, {H, k, 0x0222}, Access::ReadOnly);
                else if (r == 0x0023)
                    m_regs.alias(I, k, r, block, {H, k, 0x0223}, Access::ReadOnly);
                else if (r == 0x0027)
                    m_regs.alias(I, k, r, block, {H, k, 0x0150}, Access::ReadOnly);
                else
                    m_regs.define(I, k, r, block, Access::ReadOnly);
            }
        }
        return;
    }

    // The other models keep the live values of four channel slots on the
    // device page.
    m_regs.define(I, A, 0x0010, m_regs.newBlock(), Access::ReadOnly);
    quint16 block = m_regs.newBlock();
    for (quint16 r = 0x0020; r <= 0x0027; ++r)
        m_regs.define(I, A, r, block, Access::ReadOnly);
    block = m_regs.newBlock();
    for (quint8 k = 0; k < 4; ++k) {
        m_regs.alias(I, A, quint16(0x0030 + 2 * k), block, {H, k, 0x0222}, Access::ReadOnly);
        m_regs.alias(I, A, quint16(0x0031 + 2 * k), block, {H, k, 0x0223}, Access::ReadOnly);
    }
    block = m_regs.newBlock();
    for (quint16 r = 0x00F6; r <= 0x011E; ++r) {
        const int k = (r - 0x0103) / 7;
        if (r >= 0x0103 && (r - 0x0103) % 7 == 1)
            m_regs.alias(I, A, r, block, {H, quint8(k), 0x0150}, Access::ReadOnly);
        else
            m_regs.define(I, A, r, block, Access::ReadOnly);
    }
}

void Detector::buildMapP1()
{
    const int n = m_channels.size();
    addControlBlock(m_regs);

    addBlock(H, 0x00FE, 0x0138, true, true,
             [](quint16 r) {
                 if (r <= 0x0101 || r == 0x011C || (r >= 0x012B && r <= 0x012F))
                     return Scope::Device;
                 return Scope::Channel;
             },
             [](quint16) { return Access::ReadWrite; });
    addChannelBlock(H, 0x0150, 0x018B);  // temperature, span and zero tables
    addDeviceBlock(H, 0x0200, 0x0206);   // buzzer, LED, battery scale
    addDeviceBlock(H, 0x0210, 0x0215);   // archive
    addBlock(H, 0x0220, 0x0228, true, true,
             [](quint16 r) { return r <= 0x0223 ? Scope::Device : Scope::Channel; },
             [](quint16 r) {
                 return (r == 0x0222 || r >= 0x0226) ? Access::ReadOnly : Access::ReadWrite;
             });
    addSingleBitRegisters(n, 0x0224);
    for (quint16 r : {0x0240, 0x0250, 0x0252, 0x0254, 0x0256})
        addCommand(r);
    addChannelBlock(H, 0x0300, 0x0301);  // ADC values at zero and at calibration
    addDeviceBlock(H, 0x0310, 0x0311);   // navigation receiver
    m_regs.define(H, A, 0x0700, m_regs.newBlock());
    addCommand(0x0702);
    addCommand(0x0800);

    // Device values; firmware 11 of the M4 Plus(4) ends before the pressure.
    const quint16 deviceEnd = (m_config.model == 421 && m_config.firmware == 11) ? 0x0017 : 0x0019;
    addDeviceBlock(I, 0x0010, deviceEnd, Access::ReadOnly);
    quint16 block = m_regs.newBlock();
    for (quint8 k = 0; k < n; ++k) {
        for (quint16 r = 0x0020; r <= 0x003B; ++r) {
            if (r >= 0x0026 && r <= 0x002A)
                m_regs.alias(I, k, r, block, {H, k, quint16(0x0224 + (r - 0x0026))}, Access::ReadOnly);
            else if (r == 0x002C)
                m_regs.alias(I, k, r, block, {H, k, 0x0300}, Access::ReadOnly);
            else
                m_regs.define(I, k, r, block, Access::ReadOnly);
        }
    }
    // The status words again at 0x0226, followed by the live values.
    block = m_regs.newBlock();
    for (quint8 k = 0; k < n; ++k)
        for (quint16 r = 0x0226; r <= 0x023B; ++r)
            m_regs.alias(I, k, r, block, {I, k, quint16(r - 0x0200)}, Access::ReadOnly);
    addDeviceBlock(I, 0x0060, 0x0062, Access::ReadOnly);  // BLE MAC address
    m_regs.define(I, A, 0x0999, m_regs.newBlock(), Access::ReadOnly);
}

bool Detector::answersInput(quint8 page, quint16 reg) const
{
    // The first protocol has no register 0x0999: the detector stays silent,
    // which is how the program tells the two layouts apart.
    return isBootloader() || m_config.layout != Layout::P0 || page != A || reg != 0x0999;
}

// ---------------------------------------------------------------------------
// Seeding

void Detector::seedP0(qint64 wallMs)
{
    const bool plus = m_config.model == 420 || m_config.model == 421;
    std::uniform_int_distribution<int> coef(960, 1040);
    std::uniform_int_distribution<int> days(8, 80);
    // Dates fall on whole days before today, during working hours, so they
    // depend on the seed and the date only.
    const quint32 day = quint32(86400 / timeUnit());
    const quint32 now = quint32((wallMs / 86400000) * 86400 / timeUnit())
                        + quint32(std::uniform_int_distribution<int>(9 * 3600, 17 * 3600)(m_rng) / timeUnit());

    for (int ki = 0; ki < m_channels.size(); ++ki) {
        const quint8 k = quint8(ki);
        const Channel &c = m_channels[ki];
        const Gas &g = *c.gas;
        const int dec = g.baseDecimals;
        const quint16 format = quint16(g.displayUnit | (g.baseUnit << 2) | (g.displayDecimals << 4)
                                       | (g.baseDecimals << 6) | (1 << g.classBit));
        m_regs.set(H, k, 0x0102, k);
        m_regs.set(H, k, 0x0103, format);
        m_regs.set(H, k, 0x0104, toCounts(g.calib, dec));
        m_regs.set(H, k, 0x0105, quint16(toCounts(g.thr1, dec) | (g.thr1Falling ? 0x8000 : 0)));
        m_regs.set(H, k, 0x0106, toCounts(g.thr2, dec));
        m_regs.set(H, k, 0x0107, toCounts(g.thr3, dec));
        m_regs.set(H, k, 0x0108, toCounts(g.range, dec));
        m_regs.set(H, k, 0x0109, toCounts(g.stel, dec));
        m_regs.set(H, k, 0x010A, toCounts(g.twa, dec));
        m_regs.set(H, k, 0x010B, 900);   // STEL over 15 minutes
        m_regs.set(H, k, 0x010C, 180);   // calibration every 180 days
        m_regs.setText(k, 0x010E, 3, g.sensor);
        m_regs.setText(k, 0x0111, 5, g.formula);
        m_regs.set(H, k, 0x0116, toCounts(g.hysteresis, dec));
        m_regs.set(H, k, 0x0117, quint16(c.trueZeroAdc));
        m_regs.set(H, k, 0x0118, quint16(c.trueSpanAdc));
        m_regs.set(H, k, 0x0119, quint16(std::lround(g.lel * 100)));
        m_regs.set(H, k, 0x011A, quint16(std::lround(g.mgPerPpm * 100)));
        // The circuit word carries the protection threshold on the M4 Plus
        // and on channel 3 (the combustible-gas channel) of the others.
        if (plus || k == 3)
            m_regs.set(H, k, 0x011B, quint16(0x8000 | toCounts(g.range * 0.6, dec)));
        else
            m_regs.set(H, k, 0x011B, quint16(2 | (2 << 4) | (8 << 8)));  // RF_20K, RLOAD_30, RGAIN_10K
        m_regs.set(H, k, 0x011C, 1);
        m_regs.set(H, k, 0x0123, toCounts(g.hysteresis, dec));
        m_regs.set(H, k, 0x0126, toCounts(g.calib * 1.5, dec));
        for (int i = 0; i < 10; ++i) {
            m_regs.set(H, k, quint16(0x0128 + i), quint16(qint16(-4000 + 1000 * i)));
            m_regs.set(H, k, quint16(0x0132 + i), quint16(coef(m_rng)));
            m_regs.set(H, k, quint16(0x013C + i), toCounts(g.range * i / 9.0, dec));
            m_regs.set(H, k, quint16(0x0146 + i), 1000);
            m_regs.set(H, k, quint16(0x0160 + i), quint16(qint16(-4000 + 1000 * i)));
            m_regs.set(H, k, quint16(0x016A + i), 0);
        }
        m_regs.set(H, k, 0x0150, quint16(c.trueZeroAdc));
        m_regs.set(H, k, 0x0151, quint16(c.trueSpanAdc));
        m_regs.set(H, k, 0x0202, quint16(g.variant | (k << 12)));
        m_regs.set(H, k, 0x0222, quint16(g.classBit == 8 ? 0x000C : 0x0004));

        const quint32 calibrated = now - quint32(days(m_rng)) * day;
        const quint16 calMeasured = toCounts(g.calib * coef(m_rng) / 1000.0, dec);
        const quint16 calCoef = quint16(coef(m_rng));
        if (plus) {
            m_regs.set(I, k, 0x0020, calMeasured);
            m_regs.set(I, k, 0x0021, calCoef);
            m_regs.set32(I, k, 0x0024, calibrated);
        } else if (k < 4) {
            m_regs.set(I, A, quint16(0x0020 + 2 * k), calMeasured);
            m_regs.set(I, A, quint16(0x0021 + 2 * k), calCoef);
            m_regs.set32(I, A, quint16(0x00F6 + 2 * k), calibrated);
        }
    }

    m_regs.set32(H, A, 0x00FE, 3 * 3600);  // UTC+3
    m_regs.set(H, A, 0x010D, 30);
    m_regs.set32(H, A, 0x011D, 5300000 + std::uniform_int_distribution<int>(1, 99999)(m_rng));
    m_regs.set(H, A, 0x011F, 21);
    m_regs.set(H, A, 0x0120, quint16(m_config.firmware));
    m_regs.set32(H, A, 0x0121, now - quint32(std::uniform_int_distribution<int>(200, 700)(m_rng)) * day);
    m_regs.set(H, A, 0x0200, 60);
    m_regs.set(H, A, 0x0210, quint16(1 | (10 << 8)));  // every minute, every 10 s in alarm
    m_regs.set32(H, A, 0x0211, 0);
    m_regs.set32(H, A, 0x0213, quint32(std::uniform_int_distribution<int>(500, 20000)(m_rng)));
    m_regs.set(H, A, 0x0215, 1);
    m_regs.set(H, A, 0x0220, 0x0C00);  // BLE and state LED on
    m_regs.set(H, A, 0x0700, 0);
    m_regs.set(I, A, 0x0010, quint16(m_config.model));
    const quint32 bumped = now - quint32(std::uniform_int_distribution<int>(1, 20)(m_rng)) * day;
    m_regs.set32(I, A, plus ? 0x0011 : 0x00FE, bumped);
}

void Detector::seedP1(qint64 wallMs)
{
    std::uniform_int_distribution<int> coef(960, 1040);
    std::uniform_int_distribution<int> days(8, 80);
    const quint32 day = 86400;
    const quint32 now = quint32((wallMs / 86400000) * 86400)
                        + quint32(std::uniform_int_distribution<int>(9 * 3600, 17 * 3600)(m_rng));

    for (int ki = 0; ki < m_channels.size(); ++ki) {
        const quint8 k = quint8(ki);
        const Channel &c = m_channels[ki];
        const Gas &g = *c.gas;
        const quint16 format = quint16(g.displayUnit | (g.baseUnit << 2) | (g.displayDecimals << 4)
                                       | (g.baseDecimals << 6) | (1 << g.classBit));
        m_regs.set(H, k, 0x0102, k);
        m_regs.set(H, k, 0x0103, format);
        m_regs.set(H, k, 0x0104, quint16(g.variant));
        m_regs.set(H, k, 0x0105, quint16(k << 8));  // formula 0, sensor position k
        m_regs.setFloat(H, k, 0x0106, float(g.calib));
        m_regs.setFloat(H, k, 0x0108, float(g.thr1));
        m_regs.setFloat(H, k, 0x010A, float(g.thr2));
        m_regs.setFloat(H, k, 0x010C, float(g.thr3));
        m_regs.setFloat(H, k, 0x010E, float(g.range));
        m_regs.setFloat(H, k, 0x0110, float(g.stel));
        m_regs.setFloat(H, k, 0x0112, float(g.twa));
        m_regs.set(H, k, 0x0114, 900);
        m_regs.setFloat(H, k, 0x0115, float(g.hysteresis));
        m_regs.setFloat(H, k, 0x0117, float(g.lel));
        m_regs.setFloat(H, k, 0x0119, float(g.mgPerPpm));
        m_regs.set(H, k, 0x011B, 180);
        m_regs.setText(k, 0x011D, 3, g.sensor);
        m_regs.setText(k, 0x0120, 5, g.formula);
        m_regs.set(H, k, 0x0125, quint16(c.trueZeroAdc));
        m_regs.set(H, k, 0x0126, quint16(c.trueSpanAdc));
        m_regs.set(H, k, 0x0127, 1);
        m_regs.set(H, k, 0x0129, 8);
        m_regs.set(H, k, 0x012A, 4);
        m_regs.setFloat(H, k, 0x0130, float(g.range * 0.6));
        m_regs.setFloat(H, k, 0x0132, float(g.hysteresis));
        m_regs.setFloat(H, k, 0x0134, 0.0f);
        m_regs.set(H, k, 0x0136, quint16(std::lround(g.calib * 1.5)));
        m_regs.set(H, k, 0x0138, 60);
        for (int i = 0; i < 10; ++i) {
            m_regs.set(H, k, quint16(0x0150 + i), quint16(qint16(-4000 + 1000 * i)));
            m_regs.set(H, k, quint16(0x015A + i), quint16(coef(m_rng)));
            m_regs.set(H, k, quint16(0x0164 + i), toCounts(g.range * i / 9.0, g.baseDecimals));
            m_regs.set(H, k, quint16(0x016E + i), 1000);
            m_regs.set(H, k, quint16(0x0178 + i), quint16(qint16(-4000 + 1000 * i)));
            m_regs.set(H, k, quint16(0x0182 + i), 0);
        }
        quint32 flags = g.classBit == 8 ? 0x000C : 0x0004;
        if (g.thr1Falling)
            flags |= 1u << 10;
        m_regs.set32(H, k, 0x0224, flags);
        m_regs.set(H, k, 0x0300, quint16(c.trueZeroAdc));
        m_regs.set(H, k, 0x0301, quint16(c.trueSpanAdc));

        m_regs.setFloat(I, k, 0x0020, float(g.calib * coef(m_rng) / 1000.0));
        m_regs.set32(I, k, 0x0022, now - quint32(days(m_rng)) * day);
        m_regs.setFloat(I, k, 0x0024, float(coef(m_rng) / 1000.0));
    }

    m_regs.set32(H, A, 0x00FE, 3 * 3600);
    m_regs.set(H, A, 0x011C, 30);
    m_regs.set32(H, A, 0x012B, 5300000 + std::uniform_int_distribution<int>(1, 99999)(m_rng));
    m_regs.set(H, A, 0x012D, 30);
    m_regs.set32(H, A, 0x012E, now - quint32(std::uniform_int_distribution<int>(200, 700)(m_rng)) * day);
    const quint16 device[] = {60, 50, 1000, 4200, 3400, 3600, 3500};
    for (int i = 0; i < 7; ++i)
        m_regs.set(H, A, quint16(0x0200 + i), device[i]);
    m_regs.set(H, A, 0x0210, quint16(1 | (10 << 8)));
    m_regs.set32(H, A, 0x0211, 0);
    m_regs.set32(H, A, 0x0213, quint32(std::uniform_int_distribution<int>(500, 20000)(m_rng)));
    m_regs.set(H, A, 0x0215, 1);
    m_regs.set32(H, A, 0x0220, 0x0E00);  // display units, BLE, state LED
    m_regs.set32(H, A, 0x0310, 0x02000003);  // GPS and GLONASS, warm start
    m_regs.set(H, A, 0x0700, 0);
    m_regs.set(I, A, 0x0010, quint16(m_config.model));
    m_regs.set(I, A, 0x0011, quint16(m_config.firmware));
    m_regs.set32(I, A, 0x0012, now - quint32(std::uniform_int_distribution<int>(1, 20)(m_rng)) * day);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 3; ++i)
        m_regs.set(I, A, quint16(0x0060 + i), quint16(byte(m_rng) | (byte(m_rng) << 8)));
    m_regs.set(I, A, 0x0999, quint16(m_config.firmware));
}

// ---------------------------------------------------------------------------
// Channel settings read back from the registers

int Detector::baseDecimalsScale(int k) const
{
    return int(pow10((m_regs.get(H, quint8(k), 0x0103) >> 6) & 3));
}

double Detector::calibGas(int k) const
{
    if (m_config.layout == Layout::P0)
        return m_regs.get(H, quint8(k), 0x0104) / double(baseDecimalsScale(k));
    return m_regs.getFloat(H, quint8(k), 0x0106);
}

double Detector::threshold(int k, int i, bool *falling) const
{
    if (m_config.layout == Layout::P0) {
        const quint16 raw = m_regs.get(H, quint8(k), quint16(0x0105 + i));
        *falling = i < 3 && (raw & 0x8000);
        return (raw & 0x7FFF) / double(baseDecimalsScale(k));
    }
    const quint32 flags = m_regs.get32(H, quint8(k), 0x0224);
    *falling = i < 3 && (flags & (1u << (10 + i)));
    return m_regs.getFloat(H, quint8(k), quint16(0x0108 + 2 * i));
}

double Detector::hysteresis(int k) const
{
    if (m_config.layout == Layout::P0)
        return m_regs.get(H, quint8(k), 0x0116) / double(baseDecimalsScale(k));
    return m_regs.getFloat(H, quint8(k), 0x0115);
}

double Detector::stelLimit(int k) const
{
    if (m_config.layout == Layout::P0)
        return m_regs.get(H, quint8(k), 0x0109) / double(baseDecimalsScale(k));
    return m_regs.getFloat(H, quint8(k), 0x0110);
}

double Detector::twaLimit(int k) const
{
    if (m_config.layout == Layout::P0)
        return m_regs.get(H, quint8(k), 0x010A) / double(baseDecimalsScale(k));
    return m_regs.getFloat(H, quint8(k), 0x0112);
}

// The sensor's ADC reading for a gas concentration.
int Detector::adcFor(int k, double gas) const
{
    const Channel &c = m_channels[k];
    return int(std::lround(c.trueZeroAdc + gas / c.gas->calib * (c.trueSpanAdc - c.trueZeroAdc)));
}

// The concentration the detector computes from an ADC reading with its
// calibration registers: zero and span ADC values and the calibration gas.
// A zero or span calibration written by the program therefore moves the
// reading the way it would on a real detector.
double Detector::measured(int k, int adc) const
{
    const quint8 p = quint8(k);
    const bool p0 = m_config.layout == Layout::P0;
    const int zero = m_regs.get(H, p, p0 ? 0x0150 : 0x0300);
    const int span = m_regs.get(H, p, p0 ? 0x0151 : 0x0301);
    const double gas = calibGas(k);
    if (span == zero || gas <= 0)
        return m_channels[k].truth;
    return std::max(0.0, (adc - zero) * gas / (span - zero));
}

double Detector::exposureTarget(int k) const
{
    bool falling1 = false, falling2 = false;
    const double t1 = threshold(k, 0, &falling1);
    const double t2 = threshold(k, 1, &falling2);
    if (falling1)
        return t1 * 0.9;
    if (t2 > 0 && !falling2)
        return t2 * 1.25;
    return t1 * 1.5;
}

void Detector::toggleExposure(int channel)
{
    if (channel < 0 || channel >= m_channels.size())
        return;
    Channel &c = m_channels[channel];
    c.exposed = !c.exposed;
    c.fixed = false;
    c.target = c.exposed ? exposureTarget(channel) : c.gas->clean;
    if (m_config.steady)
        c.truth = c.target;
}

bool Detector::exposed(int channel) const
{
    return channel >= 0 && channel < m_channels.size() && m_channels[channel].exposed;
}

void Detector::setExposure(int channel, bool on)
{
    if (exposed(channel) != on)
        toggleExposure(channel);
}

void Detector::setExtraChannelStatus(int channel, quint16 bits)
{
    if (channel >= 0 && channel < m_channels.size())
        m_channels[channel].extraStatus = bits;
}

void Detector::setExtraDeviceStatus(quint16 bits)
{
    m_extraDeviceStatus = bits;
}

void Detector::setBattery(double percent)
{
    m_battery = std::clamp(percent, 0.0, 100.0);
}

void Detector::setTemperature(double celsius)
{
    // What the detector reports includes its temperature-sensor calibration.
    m_temperature = celsius - m_temperatureOffset;
}

// ---------------------------------------------------------------------------
// Live values

quint32 Detector::deviceTime(qint64 wallMs) const
{
    const double seconds = (wallMs + m_clockOffsetMs) / 1000.0;
    return quint32(std::floor(seconds / timeUnit()));
}

void Detector::stepSecond()
{
    std::normal_distribution<double> normal(0.0, 1.0);
    for (int k = 0; k < m_channels.size(); ++k) {
        Channel &c = m_channels[k];
        const double noise = normal(m_rng);
        if (!c.fixed && !m_config.steady) {
            const double pull = c.exposed ? 0.25 : 0.05;
            c.truth += (c.target - c.truth) * pull + noise * c.gas->noise;
            c.truth = std::max(0.0, c.truth);
        } else if (!c.fixed) {
            c.truth = c.target;
        }
        const double value = measured(k, adcFor(k, c.truth));
        const int stelInterval = m_config.layout == Layout::P0 ? m_regs.get(H, quint8(k), 0x010B)
                                                              : m_regs.get(H, quint8(k), 0x0114);
        c.stelAverage += (value - c.stelAverage) / std::max(1, stelInterval);
        c.twaAverage += (value - c.twaAverage) / (8.0 * 3600.0);
    }
    const double noise = normal(m_rng);
    if (!m_config.steady) {
        m_temperature += 0.02 * noise;
        m_battery = std::max(3.0, m_battery - 1.0 / 1200.0);  // one percent in 20 minutes
    }
}

void Detector::update(qint64 wallMs)
{
    if (isBootloader())
        return;
    qint64 steps = (wallMs - m_lastStepMs) / 1000;
    if (steps > 0) {
        m_lastStepMs += steps * 1000;
        for (qint64 i = 0; i < std::min<qint64>(steps, 4 * 3600); ++i)
            stepSecond();
    }
    writeLive(wallMs);
}

void Detector::writeLive(qint64 wallMs)
{
    const bool p0 = m_config.layout == Layout::P0;
    const bool plus = m_config.model == 420 || m_config.model == 421;
    m_regs.set32(H, A, 0x0100, deviceTime(wallMs));

    for (int ki = 0; ki < m_channels.size(); ++ki) {
        const quint8 k = quint8(ki);
        const Channel &c = m_channels[ki];
        const int adc = std::clamp(adcFor(ki, c.truth), 0, 0xFFFF);
        const double value = measured(ki, adc);

        // Alarm bits 0-2 follow the thresholds with hysteresis; 3 and 4 the
        // STEL and TWA averages; 5 the top of the range (threshold 4).
        const quint16 statusReg = p0 ? 0x0223 : 0x0226;
        quint16 status = m_regs.get(H, k, statusReg);
        const double hyst = hysteresis(ki);
        for (int i = 0; i < 3; ++i) {
            bool falling = false;
            const double t = threshold(ki, i, &falling);
            const quint16 bit = quint16(1u << i);
            if (t <= 0) {
                status &= ~bit;
                continue;
            }
            if (falling ? value <= t : value >= t)
                status |= bit;
            else if (falling ? value > t + hyst : value < t - hyst)
                status &= ~bit;
        }
        const double stel = stelLimit(ki), twa = twaLimit(ki);
        status = (stel > 0 && c.stelAverage >= stel) ? (status | 0x08) : (status & ~0x08);
        status = (twa > 0 && c.twaAverage >= twa) ? (status | 0x10) : (status & ~0x10);
        bool unused = false;
        const double range = threshold(ki, 3, &unused);
        status = (range > 0 && value > range) ? (status | 0x20) : (status & ~0x20);
        // Bits raised on demand stay set while they are raised; bits 6 and up
        // are the detector's own diagnosis and follow the demand alone.
        status = quint16((status & 0x003F) | c.extraStatus);
        m_regs.set(H, k, statusReg, status);

        if (p0) {
            const quint16 counts = quint16(std::clamp<long>(std::lround(value * baseDecimalsScale(ki)), 0, 0xFFFF));
            if (plus) {
                m_regs.set(I, k, 0x0026, quint16(adc));
                m_regs.set(I, k, 0x0028, counts);
            } else if (ki < 4) {
                m_regs.set(I, A, quint16(0x0103 + 7 * ki), quint16(adc));
                m_regs.set(I, A, quint16(0x0105 + 7 * ki), counts);
            }
        } else {
            m_regs.set(I, k, 0x002B, quint16(adc));
            m_regs.setFloat(I, k, 0x002D, float(value));
            m_regs.set(I, k, 0x0037, quint16(qint16(std::lround(m_temperature * 100))));
            m_regs.setFloat(I, k, 0x0038, float(m_temperature + 0.4));
            m_regs.setFloat(I, k, 0x003A, 45.0f);
        }
    }

    const double temperature = m_temperature + m_temperatureOffset;
    const int level = std::clamp(int(std::lround(m_battery)), 0, 100);
    const quint16 millivolts = quint16(3400 + level * 8);
    const quint16 deviceStatus = quint16((level < 10 ? 0x0004 : 0) | m_extraDeviceStatus);  // critically low battery
    const quint16 centi = quint16(qint16(std::lround(temperature * 100)));
    if (p0) {
        m_regs.set(H, A, 0x0221, deviceStatus);
        m_regs.set(I, A, plus ? 0x0013 : 0x0100, centi);
        m_regs.set(I, A, plus ? 0x0014 : 0x0101, quint16(level));
        m_regs.set(I, A, plus ? 0x0015 : 0x0102, millivolts);
    } else {
        m_regs.set(H, A, 0x0222, deviceStatus);
        m_regs.setFloat(I, A, 0x0014, float(temperature));
        m_regs.set(I, A, 0x0016, quint16(level));
        m_regs.set(I, A, 0x0017, millivolts);
        m_regs.setFloat(I, A, 0x0018, float(745.0 + 0.5 * std::sin(wallMs / 600000.0)));
    }
}

// ---------------------------------------------------------------------------
// Writes and commands

WriteEffect Detector::afterWrite(quint8 page, quint16 reg, const QVector<quint16> &values, qint64 wallMs)
{
    WriteEffect effect;
    bool clock = false;
    for (int i = 0; i < values.size(); ++i) {
        const quint16 r = quint16(reg + i);
        const quint16 v = values[i];
        if (r == 0x0100 || r == 0x0101)
            clock = true;
        const RegisterFile::Cell *cell = m_regs.cell(H, page, r);
        if (!cell || cell->access != Access::Command)
            continue;
        switch (r) {
        case 0x0005:
            if (isBootloader()) {
                effect.notes << QStringLiteral("command 0005: switch off (bootloader)");
                effect.switchOff = true;
                ++m_counters.switchOffs;
            } else {
                effect.notes << QStringLiteral("command 0005 = %1: end of firmware transfer").arg(v);
            }
            break;
        case 0x0240:
            m_saved = m_regs.storage();
            ++m_counters.commits;
            effect.notes << QStringLiteral("command 0240: settings committed");
            break;
        case 0x0250:
            m_saved = m_factory = m_regs.storage();
            ++m_counters.factoryStores;
            effect.notes << QStringLiteral("command 0250: settings committed as factory settings");
            break;
        case 0x0252:
            m_regs.restore(m_factory, Access::ReadWrite);
            m_saved = m_factory;
            ++m_counters.factoryRestores;
            effect.notes << QStringLiteral("command 0252: factory settings restored");
            break;
        case 0x0254:
            ++m_counters.programExits;
            effect.notes << QStringLiteral("command 0254: configuration program left");
            break;
        case 0x0256:
            m_temperatureOffset = qint16(v) / 100.0 - m_temperature;
            ++m_counters.tempCalibrations;
            effect.notes << QStringLiteral("command 0256: temperature sensor calibrated to %1 C")
                                .arg(qint16(v) / 100.0, 0, 'f', 2);
            break;
        case 0x0702:
            ++m_counters.bleFirmwareMode;
            effect.notes << QStringLiteral("command 0702: BLE module to firmware mode");
            break;
        case 0x0800:
            ++m_counters.switchOffs;
            effect.switchOff = true;
            effect.notes << QStringLiteral("command 0800: switch off");
            break;
        default:
            break;
        }
    }
    if (clock && !isBootloader()) {
        // The clock runs on from the time written.
        const double written = m_regs.get32(H, A, 0x0100) * timeUnit() * 1000.0;
        m_clockOffsetMs = qint64(std::llround(written)) - wallMs;
        effect.notes << QStringLiteral("clock set to %1").arg(m_regs.get32(H, A, 0x0100));
    }
    if (!isBootloader())
        writeLive(wallMs);
    return effect;
}

} // namespace sim
