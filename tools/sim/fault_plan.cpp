#include "fault_plan.h"

namespace sim {

FaultPlan::FaultPlan(const FaultConfig &config)
    // Its own stream, so the faults do not depend on how the detector was seeded.
    : m_config(config), m_rng(config.seed ^ 0x5EED1E55u)
{
}

bool FaultPlan::any() const
{
    const FaultConfig &c = m_config;
    return c.dropReply > 0 || c.corruptByte > 0 || c.splitReply > 0 || c.lateReply > 0
           || c.exceptionReply > 0 || c.stopAfter >= 0 || c.hangupAfter >= 0;
}

FaultDecision FaultPlan::next(int replyLength)
{
    // Always the same eight draws per request.
    quint32 draws[8];
    for (quint32 &d : draws)
        d = quint32(m_rng());
    auto chance = [](quint32 draw, double p) { return p > 0 && draw / 4294967296.0 < p; };
    FaultDecision d;
    d.exception = chance(draws[0], m_config.exceptionReply);
    d.drop = chance(draws[1], m_config.dropReply);
    d.corrupt = chance(draws[2], m_config.corruptByte);
    d.split = chance(draws[3], m_config.splitReply);
    d.late = chance(draws[4], m_config.lateReply);
    const int n = qMax(1, replyLength);
    d.corruptIndex = int(draws[5] % quint32(n));
    d.corruptMask = quint8(1u << (draws[6] % 8));
    d.splitAt = n > 1 ? 1 + int(draws[7] % quint32(n - 1)) : 0;
    if (n < 2)
        d.split = false;
    return d;
}

QStringList FaultDecision::describe(const FaultConfig &config) const
{
    QStringList out;
    if (exception)
        out << QStringLiteral("fault: exception %1 instead of the reply").arg(config.exceptionCode);
    if (drop)
        out << QStringLiteral("fault: reply dropped");
    if (corrupt && !drop)
        out << QStringLiteral("fault: byte %1 corrupted (xor %2)").arg(corruptIndex).arg(corruptMask, 2, 16, QLatin1Char('0'));
    if (split && !drop)
        out << QStringLiteral("fault: reply split after %1 bytes, %2 ms gap").arg(splitAt).arg(config.splitGapMs);
    if (late && !drop)
        out << QStringLiteral("fault: reply %1 ms late").arg(config.lateMs);
    return out;
}

} // namespace sim
