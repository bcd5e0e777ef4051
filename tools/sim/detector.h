// The simulated detector: its register map by model and layout, a believable
// seeded configuration, live readings that move with time, alarms, the clock
// and the command registers.
//
// The register map here is written from what a detector answers on the line,
// independently of the configuration program's own maps, so that a mistake in
// either shows up when the two talk.
#pragma once

#include "register_file.h"

#include <QMap>
#include <QStringList>
#include <QVector>
#include <random>

namespace sim {

enum class Layout { P0 = 0, P1 = 1 };

struct DetectorConfig
{
    int model = 404;                 // 404, 405, 406, 411, 412, 420, 421, 430; 999 bootloader
    Layout layout = Layout::P1;
    quint32 seed = 1;
    int firmware = -1;               // firmware version x100; -1: the model's usual one
    bool steady = false;             // live readings do not wander
    QMap<int, double> fixedGas;      // channel -> concentration held fixed (base unit)
    QVector<int> exposed;            // channels that start exposed to gas
    QMap<int, QString> sensors;      // channel -> gas formula fitted there instead of the usual one
};

// What a function 16 write made the detector do.
struct WriteEffect
{
    QStringList notes;       // one line per action, for the log
    bool switchOff = false;  // stop answering after this reply
};

class Detector
{
public:
    struct Gas;  // one kind of gas sensor (detector.cpp)

    // Checks that the model code and layout describe a detector that exists.
    static bool validate(const DetectorConfig &config, QString *error);

    Detector(const DetectorConfig &config, qint64 wallMs);

    RegisterFile &registers() { return m_regs; }
    const RegisterFile &registers() const { return m_regs; }
    const DetectorConfig &config() const { return m_config; }

    int channelCount() const { return m_channels.size(); }
    bool isBootloader() const { return m_config.model == 999; }
    // Seconds per device time unit: 0.9375 on model 411, 1 otherwise.
    double timeUnit() const { return m_config.model == 411 ? 0.9375 : 1.0; }
    // The first-protocol firmware does not answer input register 0x0999.
    bool answersInput(quint8 page, quint16 reg) const;

    // Brings the live registers (clock, concentrations, status, battery,
    // temperature) to the given wall-clock moment. Called before every answer.
    void update(qint64 wallMs);

    // Applies the effects of a function 16 write that the register file has
    // already stored: the clock, commands, single-bit registers.
    WriteEffect afterWrite(quint8 page, quint16 reg, const QVector<quint16> &values, qint64 wallMs);

    // Toggles gas exposure on a channel: its reading moves past threshold 2
    // (or below threshold 1 for a falling alarm), and back to clean air.
    void toggleExposure(int channel);
    bool exposed(int channel) const;
    void setExposure(int channel, bool on);

    // Conditions raised on demand (the control commands): status bits the
    // detector reports on top of what its readings give (sensor faults,
    // calibration warnings, diagnostics; device faults), the battery charge
    // and the temperature at the sensor board.
    void setExtraChannelStatus(int channel, quint16 bits);
    void setExtraDeviceStatus(quint16 bits);
    void setBattery(double percent);
    void setTemperature(double celsius);

    // Index of the gas with this formula in the sensor table (case-insensitive), -1 if none.
    static int gasByFormula(const QString &formula);
    static QStringList gasFormulas();

    // Counters of the command registers, for the dump header.
    struct Counters
    {
        int commits = 0, factoryStores = 0, factoryRestores = 0, programExits = 0;
        int tempCalibrations = 0, bleFirmwareMode = 0, switchOffs = 0;
    };
    const Counters &counters() const { return m_counters; }

    // Device time (units since 1970-01-01 00:00 UTC) shown by the clock now.
    quint32 deviceTime(qint64 wallMs) const;

private:
    struct Channel
    {
        const Gas *gas = nullptr;
        double truth = 0;        // gas actually at the sensor, base unit
        double target = 0;       // where the drift pulls the reading
        double stelAverage = 0;  // running averages for the STEL/TWA alarms
        double twaAverage = 0;
        int trueZeroAdc = 0;     // the sensor's real ADC values at zero and
        int trueSpanAdc = 0;     // at the calibration gas
        bool fixed = false;
        bool exposed = false;
        quint16 extraStatus = 0; // status bits raised on demand
    };

    void buildMapP0();
    void buildMapP1();
    void buildBootloaderMap();
    void seedP0(qint64 wallMs);
    void seedP1(qint64 wallMs);
    void stepSecond();
    void writeLive(qint64 wallMs);

    // Channel settings as the detector reads them back from its registers.
    double calibGas(int k) const;
    double threshold(int k, int i, bool *falling) const;
    double hysteresis(int k) const;
    double stelLimit(int k) const;
    double twaLimit(int k) const;
    double measured(int k, int adc) const;
    int adcFor(int k, double gas) const;
    int baseDecimalsScale(int k) const;
    double exposureTarget(int k) const;

    // Block builder: `scope` says for each register of [first, last] whether it
    // is a channel register (own value per channel page), a device register
    // (one value, also seen on channel pages when the block is there) or absent.
    enum class Scope { Absent, Channel, Device };
    template<typename ScopeFn, typename AccessFn>
    void addBlock(RegKind kind, quint16 first, quint16 last, bool onChannels, bool onDevice,
                  ScopeFn scope, AccessFn access);
    void addChannelBlock(RegKind kind, quint16 first, quint16 last);
    void addDeviceBlock(RegKind kind, quint16 first, quint16 last,
                        RegisterFile::Access access = RegisterFile::Access::ReadWrite);
    void addCommand(quint16 reg);
    void addSingleBitRegisters(quint8 channels, quint16 flagsReg);

    DetectorConfig m_config;
    RegisterFile m_regs;
    QVector<Channel> m_channels;
    std::mt19937 m_rng;
    qint64 m_lastStepMs = 0;
    qint64 m_clockOffsetMs = 0;       // detector clock minus wall clock
    double m_temperature = 22.0;
    double m_temperatureOffset = 0;   // set by the temperature-sensor calibration
    double m_battery = 80.0;          // percent
    quint16 m_extraDeviceStatus = 0;  // device status bits raised on demand
    QHash<quint32, quint16> m_saved;    // settings as last committed
    QHash<quint32, quint16> m_factory;  // factory settings
    Counters m_counters;
};

} // namespace sim
