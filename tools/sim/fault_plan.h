// Fault injection on the simulated line, reproducible from a seed.
//
// Every Modbus request addressed to the detector draws the same fixed set of
// random numbers, whatever faults are enabled, so a given seed and request
// sequence always gives the same faults on the same requests.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>
#include <random>

namespace sim {

struct FaultConfig
{
    quint32 seed = 1;
    double dropReply = 0;       // probabilities per request, 0 to 1
    double corruptByte = 0;
    double splitReply = 0;
    double lateReply = 0;
    double exceptionReply = 0;
    int splitGapMs = 40;        // silence inside a split reply
    int lateMs = 300;           // extra delay of a late reply
    quint8 exceptionCode = 6;   // "server busy" unless told otherwise
    int stopAfter = -1;         // stop answering after this many requests
    int hangupAfter = -1;       // hang up the line after this many requests
};

struct FaultDecision
{
    bool drop = false;
    bool corrupt = false;
    int corruptIndex = 0;       // byte of the reply to corrupt
    quint8 corruptMask = 0;     // XOR mask, never 0
    bool split = false;
    int splitAt = 0;            // bytes sent before the gap
    bool late = false;
    bool exception = false;

    // Human-readable list of the faults, empty when none.
    QStringList describe(const FaultConfig &config) const;
};

class FaultPlan
{
public:
    explicit FaultPlan(const FaultConfig &config);
    const FaultConfig &config() const { return m_config; }
    bool any() const;

    // Draws the decision for the next request whose reply has `replyLength` bytes.
    FaultDecision next(int replyLength);

private:
    FaultConfig m_config;
    std::mt19937 m_rng;
};

} // namespace sim
