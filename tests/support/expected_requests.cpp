#include "expected_requests.h"

#include "command.h"

namespace expected {

namespace {
constexpr int Dev = 0xA;
} // namespace

QVector<WireRequest> fullReadP0(int code, int channels)
{
    QVector<WireRequest> r;
    switch (code) {
    case 411:
    case 412:
        r << T(3, 0, 0x0100, 82) << T(3, 0, 0x0220, 4) << T(4, Dev, 0x00F6, 20) << T(3, Dev, 0x0210, 6)
          << T(3, Dev, 0x0200, 1);
        break;
    case 404:
    case 405:
    case 406:
        for (int k = 0; k < channels; ++k)
            r << T(3, k, 0x0100, 82) << T(3, k, 0x0220, 4);
        r << T(4, Dev, 0x00F6, 41) << T(3, Dev, 0x0210, 6) << T(3, Dev, 0x0200, 1);
        break;
    case 420:
    case 421:
        for (int k = 0; k < channels; ++k)
            r << T(3, k, 0x0100, 82) << T(3, k, 0x0160, 20) << T(3, k, 0x0220, 4) << T(4, k, 0x0020, 13);
        r << T(3, Dev, 0x0210, 6) << T(3, Dev, 0x0200, 1);
        break;
    }
    return r;
}

QVector<WireRequest> readParamP1(int mode, bool inputsOnly, int channels)
{
    QVector<WireRequest> r;
    if (mode == 1) {
        r << T(16, Dev, 0x00FE, 4);
        for (int k = 0; k < channels; ++k) {
            if (!inputsOnly)
                r << T(3, k, 0x0102, P1ChannelSettings) << T(3, k, 0x0150, 60) << T(3, k, 0x0300, 2);
            r << T(4, k, 0x0020, 28);
        }
        r << T(3, Dev, 0x0200, 7) << T(3, Dev, 0x0210, 6) << T(3, Dev, 0x0220, 4)
          << T(4, Dev, 0x0011, P1DeviceInputs);
    } else {
        for (int k = 0; k < channels; ++k)
            r << T(3, k, 0x0102, P1ChannelSettings) << T(3, k, 0x0150, 60) << T(3, k, 0x0300, 2)
              << T(4, k, 0x0020, 28);
        r << T(3, Dev, 0x00FE, 4) << T(3, Dev, 0x0200, 7) << T(3, Dev, 0x0210, 6) << T(3, Dev, 0x0220, 4)
          << T(4, Dev, 0x0011, P1DeviceInputs);
    }
    r << T(4, Dev, 0x0060, 3) << T(3, Dev, 0x0310, 2);
    return r;
}

QVector<WireRequest> fullRead(int code, int layout, int channels)
{
    QVector<WireRequest> r;
    r << T(4, Dev, 0x0999, 1) << T(3, Dev, 0x0700, 1);
    r << (layout == 1 ? readParamP1(0, false, channels) : fullReadP0(code, channels));
    return r;
}

QVector<WireRequest> refresh(int code, int layout, int channels, int tab, bool autoOn,
                             const QVector<bool> &extra)
{
    QVector<WireRequest> r;
    r << T(4, Dev, 0x0010, 1) << T(4, Dev, 0x0999, 1);
    if (layout == 1) {
        r << readParamP1(1, autoOn, channels);
    } else {
        r << ((code == 411 || code == 412) ? T(16, 0, 0x0100, 2) : T(16, 0, 0x00FE, 4));
        switch (code) {
        case 411:
        case 412:
            for (int k = 0; k < channels; ++k)
                r << T(3, k, 0x0100, 82) << T(3, k, 0x0220, 4);
            r << T(3, Dev, 0x0210, 6) << T(4, Dev, 0x0020, 2) << T(4, Dev, 0x00F6, 20);
            break;
        case 404:
        case 405:
        case 406:
            for (int k = 0; k < channels; ++k) {
                if (!autoOn)
                    r << T(3, k, 0x0100, 82);
                if (extra.value(k))
                    r << T(3, k, 0x0125, 1);
            }
            r << T(3, Dev, 0x0220, 2) << T(4, Dev, 0x0030, 8) << T(4, Dev, 0x00F6, 41);
            if (tab == 4)
                r << T(3, Dev, 0x0210, 6);
            if (tab == 5 || tab == 6)
                r << T(3, Dev, 0x0210, 6) << T(4, Dev, 0x0020, 8);
            break;
        case 420:
        case 421:
            for (int k = 0; k < channels; ++k) {
                if (!autoOn)
                    r << T(3, k, 0x0100, 82) << T(3, k, 0x0160, 20) << T(3, k, 0x0202, 1);
                if (extra.value(k))
                    r << T(3, k, 0x0125, 1);
                r << T(4, k, 0x0020, 13);
            }
            r << T(3, Dev, 0x0210, 6) << T(3, Dev, 0x0220, 2) << T(4, Dev, 0x0011, 5);
            break;
        }
    }
    r << T(3, Dev, 0x0700, 1);
    return r;
}

QVector<bool> extraReads(const Command &cmd)
{
    QVector<bool> extra;
    for (int k = 0; k < 10; ++k)
        extra << (cmd.protocol_version == 0 && (cmd.p0.channel[k].display_format & 0x0800) != 0);
    return extra;
}

} // namespace expected
