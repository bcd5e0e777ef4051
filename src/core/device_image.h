// The device image: the program's copy of a detector's registers.
//
// The identification fields live outside the two layout areas; the areas
// themselves are byte-exact (they are dumped into configuration files).
#pragma once

#include <QString>
#include <cstdint>

struct DeviceImage
{
    // Identification and login fields (outside the two areas).
    double device_time_unit_s = 0.9375;
    QString login_name;
    QString login_password;
    quint8 login_done = 0;
    quint8 factory_password_ok = 0;
    qint16 current_channel = 0;
    qint16 protocol_version = 1;
    quint16 device_code = 0;
    quint16 firmware_version = 0;
    quint16 channel_count = 1;
    qint16 channel_off_code = 170;
};
