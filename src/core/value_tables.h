// Constant text tables through which the settings pages show the coded values
// of the device image, and the name of the not-logged-in account.
#pragma once

#include <QString>
#include <QtGlobal>
#include <iterator>

// Load resistor, indexed by rload_index (layout p0).
inline constexpr const char *Rload_STR[] = {
    "RLOAD_0", "RLOAD_10", "RLOAD_30", "RLOAD_50",
    "RLOAD_100", "RLOAD_1600", "RLOAD_3100", "RLOAD_3600"};

// Gain resistor, indexed by rgain_index (layout p0).
inline constexpr const char *Rgain_STR[] = {
    "RGAIN_DIS", "RGAIN_200", "RGAIN_1K", "RGAIN_2K", "RGAIN_3K", "RGAIN_4K",
    "RGAIN_6K", "RGAIN_8K", "RGAIN_10K", "RGAIN_12K", "RGAIN_16K", "RGAIN_20K",
    "RGAIN_24K", "RGAIN_30K", "RGAIN_32K", "RGAIN_40K", "RGAIN_48K", "RGAIN_64K",
    "RGAIN_85K", "RGAIN_96K", "RGAIN_100K", "RGAIN_120K", "RGAIN_128K",
    "RGAIN_160K", "RGAIN_196K", "RGAIN_256K", "RGAIN_512K"};

// Gain resistor, indexed by rgain_index (layout p1).
inline constexpr const char *Rgain_PRO_STR[] = {
    "RGAIN_DIS", "RGAIN_16K", "RGAIN_20K", "RGAIN_24K", "RGAIN_30K", "RGAIN_32K",
    "RGAIN_40K", "RGAIN_48K", "RGAIN_64K", "RGAIN_85K", "RGAIN_96K", "RGAIN_100K"};

// Gain choice of the single-channel detectors' circuit page.
inline constexpr const char *Rgain_M1_1_STR[] = {
    "RGAIN_S0", "RGAIN_S1", "RGAIN_S2", "RGAIN_S3", "RGAIN_S4"};

// Filter, indexed by rf_index.
inline constexpr const char *RF_STR[] = {
    "RF_DIS", "RF_BYPASS", "RF_20K", "RF_100K", "RF_200K", "RF_400K", "RF_600K", "RF_1M"};

// Number of decimals of display_format.
inline constexpr const char *Discretiness_mas[] = {"X", "X,X", "X,XX"};

// Amplifier gain, indexed by pga_index (layout p0 and layout p1).
inline constexpr const char *PGA_mas[] = {"PGA_1", "PGA_1.5", "PGA_2", "PGA_4", "PGA_9"};
inline constexpr const char *PGA_PRO_mas[] = {"PGA_1", "PGA_2", "PGA_4", "PGA_8"};

// Range choice of the circuit page.
inline constexpr const char *RANGE_PRO_mas[] = {"RANGE_1", "RANGE_2", "RANGE_3", "RANGE_4"};

// Units of display_format (displayed unit bits 0-1, base unit bits 2-3).
inline constexpr const char *UnitMeasure[] = {"PPM", "mg/m3", "%LEL", "%VOL"};

// Baud rates of sensors with a serial interface (index in sensor_param_1).
inline constexpr const char *UartBautrateStrArr[] = {"9600", "19200", "38400", "57600"};

// Navigation receiver start type (gps_config bits 24-25).
inline constexpr const char *GPS_Type_start_mas[] = {"Reset", "Cold", "Warm", "Hot"};

static_assert(std::size(Rload_STR) == 8 && std::size(Rgain_STR) == 27 && std::size(Rgain_PRO_STR) == 12
                  && std::size(Rgain_M1_1_STR) == 5 && std::size(RF_STR) == 8
                  && std::size(Discretiness_mas) == 3 && std::size(PGA_mas) == 5
                  && std::size(PGA_PRO_mas) == 4 && std::size(RANGE_PRO_mas) == 4
                  && std::size(UnitMeasure) == 4 && std::size(UartBautrateStrArr) == 4
                  && std::size(GPS_Type_start_mas) == 4,
              "value table sizes");

// Looks up entry `index` of a value table; an index outside the table (a
// detector or file with a value this program does not know) gives nullptr.
template <std::size_t N>
constexpr const char *valueTableEntry(const char *const (&table)[N], long long index)
{
    return index >= 0 && static_cast<unsigned long long>(index) < N ? table[index] : nullptr;
}

// The account name in use before anyone has logged in (the other account
// names are in accounts.h).
extern const QString login_noname;
