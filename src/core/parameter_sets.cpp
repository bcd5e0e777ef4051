// Parameter sets: the sequences of transactions that read or write a whole
// detector or channel, and the unit factors every concentration display uses.
#include "command.h"
#include "accounts.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace {

constexpr quint8 DevicePage = 0xAA;
constexpr quint16 Ok = 2;

// Number of channel records a sequence visits: the records in use, never
// more than the ten the image holds.
int channelsInUse(const Command &cmd) { return std::min<int>(cmd.channel_count, 10); }

bool isPlus(quint16 code) { return code == 420 || code == 421; }

// A unit coefficient that can be divided by or multiplied with: zero,
// infinite and not-a-number values (an unset channel, a damaged file) are not.
bool usable(float v) { return v != 0.0f && std::isfinite(v); }

// The PC clock as the detector counts it: device time units since
// 1970-01-01 00:00 UTC (truncated), and the local offset from UTC in seconds.
void pcClock(double unitSeconds, quint32 &deviceTime, qint32 &utcOffset)
{
    const QDateTime now = QDateTime::currentDateTime();
    const double unit = unitSeconds > 0 ? unitSeconds : 1.0;
    deviceTime = quint32(double(now.toSecsSinceEpoch()) / unit);
    utcOffset = now.offsetFromUtc();
}

} // namespace

int Command::count_reg_fw_Protocol_2() const
{
    switch (device_code) {
    case 404: case 405: case 406: case 411: case 412: case 420: case 430:
        return 1;
    case 421:
        return firmware_version == 11 ? 0 : 1;
    default:
        return 0;
    }
}

void Command::SetDeviceClockFromPc()
{
    if (protocol_version == 0)
        pcClock(device_time_unit_s, p0.device.device_time, p0.device.utc_offset_s);
    else if (protocol_version == 1)
        pcClock(device_time_unit_s, p1.device.device_time, p1.device.utc_offset_s);
}

float Command::UpdateConversionFactor(int channel)
{
    if (channel < 0 || channel > 9)
        return 1.0f;
    quint16 format = 0;
    float m = 0, l = 0;
    double k = 1.0;
    if (protocol_version == 0) {
        const ChannelRecordP0 &ch = p0.channel[channel];
        format = ch.display_format;
        m = ch.molecular_weight;
        l = ch.lel_coefficient;
        k = double(11.117779731750488f);
    } else if (protocol_version == 1) {
        const ChannelRecordP1 &ch = p1.channel[channel];
        format = ch.display_format;
        m = ch.molecular_weight;
        l = ch.lel_coefficient;
    } else {
        return 1.0f;
    }
    enum { Ppm, MgM3, Lel, Vol };
    const int base = (format >> 2) & 3;
    const int shown = format & 3;
    const bool hasM = usable(m), hasL = usable(l);
    const double M = m, L = l;
    double factor = 1.0;
    switch (base) {
    case Ppm:
        switch (shown) {
        case MgM3: factor = hasM ? M : 1.0; break;
        case Lel: factor = hasL ? 1e-4 * 100.0 / L : 1.0; break;
        case Vol: factor = 1e-4; break;
        default: break;
        }
        break;
    case MgM3:
        switch (shown) {
        case Ppm: factor = hasM ? 1.0 / M : 1.0; break;
        case Lel: factor = hasM && hasL ? (1.0 / (M * k * 1e4)) * (100.0 / L) : 1.0; break;
        case Vol: factor = hasM ? 1.0 / (M * k * 1e4) : 1.0; break;
        default: break;
        }
        break;
    case Lel:
        switch (shown) {
        case Ppm: factor = hasL ? L * 100.0 : 1.0; break;
        case MgM3: factor = hasM && hasL ? M * k * 1e4 * L / 100.0 : 1.0; break;
        case Vol: factor = hasL ? L / 100.0 : 1.0; break;
        default: break;
        }
        break;
    case Vol:
        switch (shown) {
        case Ppm: factor = 1e4; break;
        case MgM3: factor = hasM ? M * k * 1e4 : 1.0; break;
        case Lel: factor = hasL ? 100.0 / L : 1.0; break;
        default: break;
        }
        break;
    }
    return float(factor);
}

int Command::Read_Param_Protocol_2(int mode, bool inputs_only)
{
    const quint16 *counts = count_reg_fw[count_reg_fw_Protocol_2()];
    const int channels = channelsInUse(*this);
    if (mode == 1) {
        // Refresh with clock: every transaction must succeed.
        pcClock(device_time_unit_s, p1.device.device_time, p1.device.utc_offset_s);
        if (Transmit_command(16, DevicePage, 0x00FE, 4) != Ok)
            return 0;
        for (int k = 0; k < channels; ++k) {
            if (!inputs_only) {
                if (Transmit_command(3, quint8(k), 0x0102, counts[0]) != Ok
                    || Transmit_command(3, quint8(k), 0x0150, 60) != Ok
                    || Transmit_command(3, quint8(k), 0x0300, 2) != Ok)
                    return 0;
            }
            if (Transmit_command(4, quint8(k), 0x0020, 28) != Ok)
                return 0;
        }
        if (Transmit_command(3, DevicePage, 0x0200, 7) != Ok
            || Transmit_command(3, DevicePage, 0x0210, 6) != Ok
            || Transmit_command(3, DevicePage, 0x0220, 4) != Ok
            || Transmit_command(4, DevicePage, 0x0011, counts[1]) != Ok)
            return 0;
    } else if (mode == 2) {
        // Live values of the switched-on channels; a silent detector keeps
        // the previous values in the image.
        for (int k = 0; k < channels; ++k) {
            if (p1.channel[k].channel_page == k)
                Transmit_command(4, quint8(k), 0x0020, 28);
        }
        Transmit_command(4, DevicePage, 0x0011, counts[1]);
        return 1;
    } else {
        // Full read after connecting; whatever fails keeps its old values.
        for (int k = 0; k < channels; ++k) {
            Transmit_command(3, quint8(k), 0x0102, counts[0]);
            Transmit_command(3, quint8(k), 0x0150, 60);
            Transmit_command(3, quint8(k), 0x0300, 2);
            Transmit_command(4, quint8(k), 0x0020, 28);
        }
        Transmit_command(3, DevicePage, 0x00FE, 4);
        Transmit_command(3, DevicePage, 0x0200, 7);
        Transmit_command(3, DevicePage, 0x0210, 6);
        Transmit_command(3, DevicePage, 0x0220, 4);
        Transmit_command(4, DevicePage, 0x0011, counts[1]);
    }
    Transmit_command(4, DevicePage, 0x0060, 3); // BLE address
    Transmit_command(3, DevicePage, 0x0310, 2); // navigation settings
    return 1;
}

bool Command::Write_Param_Protocol_2(bool with_adc)
{
    const quint16 *counts = count_reg_fw[count_reg_fw_Protocol_2()];
    const int channels = channelsInUse(*this);
    pcClock(device_time_unit_s, p1.device.device_time, p1.device.utc_offset_s);
    // The clock registers are device-level; they are written on page 0.
    if (Transmit_command(16, 0, 0x00FE, 4) != Ok)
        return false;

    if (login_name == login_user) {
        // Channel page to the low half of alarm threshold 4, and the flags.
        for (int k = 0; k < channels; ++k) {
            if (Transmit_command(16, quint8(k), 0x0102, 13) != Ok
                || Transmit_command(16, quint8(k), 0x0224, 2) != Ok)
                return false;
        }
        return true;
    }
    if (login_name == login_admin) {
        // Channel page to the gain resistor index, flags and status words.
        for (int k = 0; k < channels; ++k) {
            if (Transmit_command(16, quint8(k), 0x0102, 41) != Ok
                || Transmit_command(16, quint8(k), 0x0224, 5) != Ok)
                return false;
        }
        return Transmit_command(16, DevicePage, 0x0220, 4) == Ok;
    }
    if (login_name == login_creator) {
        for (int k = 0; k < channels; ++k) {
            if (Transmit_command(16, quint8(k), 0x0102, counts[0]) != Ok
                || Transmit_command(16, quint8(k), 0x0150, 60) != Ok
                || Transmit_command(16, quint8(k), 0x0224, 5) != Ok)
                return false;
            if (with_adc && Transmit_command(16, quint8(k), 0x0300, 2) != Ok)
                return false;
        }
        if (Transmit_command(16, DevicePage, 0x0200, 7) != Ok
            || Transmit_command(16, DevicePage, 0x0210, 6) != Ok
            || Transmit_command(16, DevicePage, 0x0220, 4) != Ok)
            return false;
        Transmit_command(16, DevicePage, 0x0310, 2);
        return true;
    }
    return true;
}

bool Command::Write_Param_one_chan()
{
    const int c = current_channel;
    if (protocol_version != 0 && protocol_version != 1)
        return true;
    if (c < 0 || c > 9)
        return false;
    const quint8 page = quint8(c);
    if (protocol_version == 0) {
        const bool plus = isPlus(device_code);
        quint16 e = Transmit_command(16, page, 0x0100, 82);
        if (plus)
            e |= Transmit_command(16, page, 0x0160, 20);
        if (device_code == 411 || device_code == 412)
            e |= Transmit_command(4, DevicePage, 0x0020, 2);
        else if (device_code >= 404 && device_code <= 406)
            e |= Transmit_command(4, DevicePage, 0x0020, 8);
        else if (plus)
            e |= Transmit_command(4, page, 0x0020, 13);
        e |= Transmit_command(16, DevicePage, 0x0240, 1);
        if (e & 0xFD)
            return false;
        Transmit_command(3, page, 0x0100, 82);
        if (plus)
            Transmit_command(3, page, 0x0160, 20);
        return true;
    }
    const quint16 *counts = count_reg_fw[count_reg_fw_Protocol_2()];
    quint16 e = Transmit_command(16, page, 0x0102, counts[0]);
    e |= Transmit_command(16, page, 0x0150, 60);
    e |= Transmit_command(16, page, 0x0300, 2);
    e |= Transmit_command(4, page, 0x0020, 21);
    e |= Transmit_command(16, DevicePage, 0x0240, 1);
    if (e & 0xFD)
        return false;
    Transmit_command(3, page, 0x0102, counts[0]);
    Transmit_command(3, page, 0x0150, 60);
    Transmit_command(3, page, 0x0300, 2);
    return true;
}

void Command::Turn_on_FID(bool on)
{
    const int channels = channelsInUse(*this);
    for (int k = 0; k < channels; ++k) {
        if (protocol_version == 0) {
            ChannelRecordP0 &ch = p0.channel[k];
            if (ch.channel_page != k || !(ch.display_format & (1u << 10)))
                continue;
            if (on && (ch.channel_flags & ChannelFlagFid))
                continue;
            ch.channel_flags = quint16(on ? ch.channel_flags | ChannelFlagFid : ch.channel_flags & ~ChannelFlagFid);
            Transmit_command(16, quint8(k), 0x0222, 1);
        } else if (protocol_version == 1) {
            ChannelRecordP1 &ch = p1.channel[k];
            if (ch.channel_page != k || !(ch.display_format & (1u << 10)))
                continue;
            if (on && (ch.channel_flags & ChannelFlagFid))
                continue;
            ch.channel_flags = on ? ch.channel_flags | ChannelFlagFid : ch.channel_flags & ~ChannelFlagFid;
            Transmit_command(16, quint8(k), 0x0224, 2);
        }
    }
}
