// The device image: the program's copy of a detector's registers.
//
// The identification fields live outside the two layout areas. The areas
// themselves are byte-exact: configuration files are raw dumps of them, so
// every record and block below is checked at compile time for its size and
// for the offsets of its fields.
//
// Two register layouts exist, chosen by protocol_version: layout p0 (first
// protocol, value 0) in `p0` and layout p1 (second protocol, value 1) in `p1`.
// A field of the layout in use is reached as, for example,
//     cmd.p0.channel[k].display_format      cmd.p1.device.device_options
//     cmd.p0.zero_table[k].zero_table_temp  cmd.p1.trailer.device_language
// Code must only read the area that matches protocol_version; the other area
// keeps whatever it last held.
//
// Byte order: every multi-byte field is little-endian and floats are IEEE 754
// single precision, because the areas are stored in memory exactly as they
// are stored in files. The structs are laid out with natural alignment, which
// for these layouts coincides with the file format byte for byte (asserted
// below), so fields can be bound by reference without packing tricks.
#pragma once

#include <QString>
#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "the device image is a little-endian file format stored in place");
static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4,
              "device image floats are IEEE 754 single precision");

class QProgressDialog;

// ---------------------------------------------------------------------------
// Layout p0 (first protocol)
// ---------------------------------------------------------------------------

// One measuring channel, 232 bytes. Counts are register values in units of
// the last displayed decimal of the base unit (value = counts / discreteness_base).
struct ChannelRecordP0
{
    qint16 channel_page;            // own number when on, channel_off_code when off
    quint16 display_format;         // units, decimals, sensor class, formula bits
    float molecular_weight;         // ppm -> mg/m3 coefficient (register / 100)
    float lel_coefficient;          // lower explosive limit, %VOL (register / 100)
    quint16 sensor_param_1;         // zero ADC value, or PID warm-up/read times
    quint16 sensor_param_2;         // span ADC value, or PID period
    quint8 pga_index;               // index into PGA_mas
    quint8 rload_index;             // index into Rload_STR (or protection switch/threshold high byte)
    quint8 rgain_index;             // index into Rgain_STR (or protection threshold low byte)
    quint8 rf_index;                // index into RF_STR
    char sensor_name[6];            // two characters per register
    quint8 reserved_26;             // always 0, ends sensor_name
    char gas_formula[10];           // two characters per register (odd offset)
    quint8 reserved_37;             // always 0, ends gas_formula
    quint16 channel_flags;          // option bits
    quint16 channel_status;         // alarms, sensor error, warnings
    quint16 dead_zone;              // counts
    quint16 dead_zone_2;            // counts
    quint16 adc_zero;               // ADC value at zero
    quint16 adc_current;            // present ADC value
    quint8 reserved_50[6];
    quint16 adc_calib_value;        // ADC value at calibration
    quint8 reserved_58[2];
    quint32 input_value_60;         // transferred, not interpreted
    float concentration;            // base unit
    float concentration_2;          // transferred, not interpreted
    float concentration_3;          // transferred, not interpreted
    quint16 calib_concentration_measured; // counts
    quint16 calib_gas_concentration;      // counts
    quint16 range_calib_limit;
    quint8 reserved_82[2];
    float calib_coefficient;        // computed by the detector
    quint16 alarm_threshold_1;      // bits 0-14 counts, bit 15 alarm on a falling value
    quint16 alarm_threshold_2;
    quint16 alarm_threshold_3;
    quint16 alarm_threshold_4;      // counts
    quint16 hysteresis;             // counts
    quint16 channel_status_2;       // second status word
    quint8 reserved_100[4];
    quint16 stel_limit;             // counts
    quint16 twa_limit;              // counts
    quint16 stel_interval;          // device time units
    quint16 calib_interval;
    quint32 last_calibration_time;  // device time units
    quint16 span_table_coef[10];    // coefficients x 1000
    quint16 span_table_conc[10];    // counts
    qint16 temp_table_temp[10];     // degrees C x 100
    float temp_table_coef[10];      // coefficients
    quint16 discreteness_display;   // computed from display_format bits 4-5
    quint16 discreteness_base;      // computed from display_format bits 6-7
    quint16 formula_gas_number;
    quint16 sensor_config;          // bits 0-7 sensor subtype, bits 12-15 position
    quint8 reserved_224[8];
};

// Device-level block of layout p0, 84 bytes.
struct DeviceBlockP0
{
    quint16 device_options;          // option bits
    quint16 device_status;           // device status bits
    quint8 reserved_4[6];
    quint16 sound_pwm;               // buzzer PWM value
    quint8 reserved_12[8];
    quint16 battery_level;           // percent
    quint16 battery_voltage_mv;      // mV
    quint16 archive_enabled;         // non-zero: archive recording on
    quint8 archive_interval[2];      // [0] minutes, [1] seconds while a threshold is exceeded
    quint32 archive_start_address;   // first archive record
    quint32 archive_current_address; // next archive record
    quint32 device_time;             // detector clock, device time units
    quint16 bump_interval;
    quint8 reserved_42[2];
    quint32 last_bump_time;          // device time units
    float temperature_c;             // detector temperature
    quint32 serial_number;           // factory number
    quint16 hardware_version;        // version x 10
    quint8 reserved_58[2];
    quint32 production_date;         // device time units
    qint32 utc_offset_s;             // PC local offset from UTC, written with the clock
    quint8 reserved_68[16];
};

// Zero-compensation table of one channel of layout p0, 40 bytes.
struct ZeroTableP0
{
    qint16 zero_table_temp[10];      // degrees C x 100
    quint16 zero_table_value[10];    // zero corrections, counts
};

// Trailer of both layouts, 8 bytes.
struct ImageTrailer
{
    quint16 device_language;         // detector menu language: 0 Russian, 1 English
    quint8 reserved_2[6];
};

struct AreaP0
{
    ChannelRecordP0 channel[10];
    DeviceBlockP0 device;            // where an eleventh record would start
    ZeroTableP0 zero_table[10];
    ImageTrailer trailer;
};

// ---------------------------------------------------------------------------
// Layout p1 (second protocol)
// ---------------------------------------------------------------------------

// One measuring channel, 420 bytes. Thresholds, limits and gas concentrations
// are floats in the base unit.
struct ChannelRecordP1
{
    qint16 channel_page;
    quint16 display_format;          // as p0, without formula bits 13-15
    quint16 sensor_config;           // bits 0-7 sensor subtype
    quint8 formula;                  // formula number
    quint8 sensor_position;
    float molecular_weight;
    float lel_coefficient;
    quint16 sensor_param_1;          // zero ADC, PID times, or UART baud-rate index
    quint16 sensor_param_2;          // span ADC, PID period, or BELEAD coefficient x 10^4
    quint16 pga_index;               // index into PGA_PRO_mas
    quint16 filter_average_count;
    quint16 rgain_index;             // index into Rgain_PRO_STR
    quint16 channel_word_26;         // transferred, not interpreted
    char sensor_name[6];
    quint8 reserved_34;              // always 0
    char gas_formula[10];            // odd offset
    quint8 reserved_45[3];           // byte 45 always 0
    quint32 channel_flags;           // option bits
    quint16 channel_status;
    quint16 channel_status_hi;       // high half of the 32-bit status
    quint16 channel_status_2;
    quint16 adc_zero;
    quint16 adc_current;
    quint8 reserved_62[6];
    quint16 adc_calib_value;
    quint8 reserved_70[2];
    float input_value_72;            // transferred, not interpreted
    float concentration;             // base unit
    float concentration_2;
    float concentration_3;
    quint16 range_calib_limit;
    quint8 reserved_90[2];
    float calib_concentration_measured;
    float calib_gas_concentration;
    float calib_coefficient;
    float dead_zone;
    float dead_zone_2;
    float alarm_threshold_1;         // falling direction in channel_flags bit 10
    float alarm_threshold_2;         // bit 11
    float alarm_threshold_3;         // bit 12
    float alarm_threshold_4;
    float hysteresis;
    float stel_limit;
    float twa_limit;
    float sensor_protection_threshold; // switch in channel_flags bit 9
    quint16 stel_interval;           // device time units
    quint16 calib_interval;
    quint32 last_calibration_time;   // device time units
    quint16 span_table_conc[10];     // counts
    float span_table_coef[10];
    qint16 temp_table_temp[10];      // degrees C x 100
    float temp_table_coef[10];
    qint16 zero_table_temp[10];      // degrees C x 100
    quint16 zero_table_value[10];    // counts
    quint8 reserved_312[60];
    quint16 discreteness_display;
    quint16 discreteness_base;
    quint16 formula_gas_number;
    qint16 calib_temperature;        // degrees C x 100
    quint16 warmup_time;
    quint8 reserved_382[2];
    float calib_service_value;       // base unit
    float sensor_temperature;        // degrees C
    float sensor_humidity;           // relative humidity
    quint8 reserved_396[24];
};

// Device-level block of layout p1, 108 bytes.
struct DeviceBlockP1
{
    quint32 device_options;
    quint16 device_status;
    quint16 device_status_2;         // transferred, not interpreted
    quint16 sound_pwm;
    quint16 led_pulse_time;
    quint16 led_period;
    quint8 reserved_14[12];
    quint16 battery_level;
    quint16 battery_voltage_mv;
    quint16 battery_max;
    quint16 battery_min;
    quint16 battery_limit_1;
    quint16 battery_limit_2;
    quint16 archive_enabled;
    quint8 archive_interval[2];      // [0] minutes, [1] seconds while a threshold is exceeded
    quint8 reserved_42[2];
    quint32 archive_start_address;
    quint32 archive_current_address;
    quint32 device_time;
    quint16 bump_interval;
    quint8 reserved_58[2];
    quint32 last_bump_time;
    float temperature_c;
    quint8 reserved_68[4];
    float pressure;                  // mm Hg
    quint32 serial_number;
    quint16 hardware_version;
    quint8 reserved_82[2];
    quint32 production_date;
    qint32 utc_offset_s;
    quint32 gps_config;              // bits 0-23 navigation systems, 24-25 start type
    quint8 reserved_96[12];
};

struct AreaP1
{
    ChannelRecordP1 channel[10];
    DeviceBlockP1 device;            // where an eleventh record would start
    ImageTrailer trailer;
};

// Option bits of device_options (both layouts unless noted).
enum DeviceOptionBit : quint32 {
    OptSoundBlocked = 1u << 1,
    OptTurnOffBlocked = 1u << 2,
    OptCalibMenuBlocked = 1u << 3,
    OptLcdUnits = 1u << 9,           // p1
    OptBle = 1u << 10,
    OptStateLed = 1u << 11,
    OptSoundTest = 1u << 12,
    OptGps = 1u << 13,               // p1
    OptLora = 1u << 15,              // p1
};

// channel_flags bit switched by Turn_on_FID.
constexpr quint32 ChannelFlagFid = 1u << 8;

// ---------------------------------------------------------------------------
// Compile-time checks of the file format
// ---------------------------------------------------------------------------

#define IVRA_AT(type, field, off) static_assert(offsetof(type, field) == (off), #type "." #field)

static_assert(std::is_standard_layout<AreaP0>::value && std::is_trivially_copyable<AreaP0>::value, "AreaP0 is raw bytes");
static_assert(std::is_standard_layout<AreaP1>::value && std::is_trivially_copyable<AreaP1>::value, "AreaP1 is raw bytes");

static_assert(sizeof(ChannelRecordP0) == 232, "p0 channel record");
IVRA_AT(ChannelRecordP0, molecular_weight, 4);
IVRA_AT(ChannelRecordP0, pga_index, 16);
IVRA_AT(ChannelRecordP0, rload_index, 17);
IVRA_AT(ChannelRecordP0, rgain_index, 18);
IVRA_AT(ChannelRecordP0, rf_index, 19);
IVRA_AT(ChannelRecordP0, sensor_name, 20);
IVRA_AT(ChannelRecordP0, gas_formula, 27);
IVRA_AT(ChannelRecordP0, channel_flags, 38);
IVRA_AT(ChannelRecordP0, adc_zero, 46);
IVRA_AT(ChannelRecordP0, adc_calib_value, 56);
IVRA_AT(ChannelRecordP0, input_value_60, 60);
IVRA_AT(ChannelRecordP0, calib_concentration_measured, 76);
IVRA_AT(ChannelRecordP0, calib_coefficient, 84);
IVRA_AT(ChannelRecordP0, alarm_threshold_1, 88);
IVRA_AT(ChannelRecordP0, stel_limit, 104);
IVRA_AT(ChannelRecordP0, last_calibration_time, 112);
IVRA_AT(ChannelRecordP0, span_table_coef, 116);
IVRA_AT(ChannelRecordP0, span_table_conc, 136);
IVRA_AT(ChannelRecordP0, temp_table_temp, 156);
IVRA_AT(ChannelRecordP0, temp_table_coef, 176);
IVRA_AT(ChannelRecordP0, discreteness_display, 216);
IVRA_AT(ChannelRecordP0, sensor_config, 222);

static_assert(sizeof(DeviceBlockP0) == 84, "p0 device block");
IVRA_AT(DeviceBlockP0, sound_pwm, 10);
IVRA_AT(DeviceBlockP0, battery_level, 20);
IVRA_AT(DeviceBlockP0, archive_interval, 26);
IVRA_AT(DeviceBlockP0, archive_start_address, 28);
IVRA_AT(DeviceBlockP0, device_time, 36);
IVRA_AT(DeviceBlockP0, bump_interval, 40);
IVRA_AT(DeviceBlockP0, last_bump_time, 44);
IVRA_AT(DeviceBlockP0, temperature_c, 48);
IVRA_AT(DeviceBlockP0, serial_number, 52);
IVRA_AT(DeviceBlockP0, hardware_version, 56);
IVRA_AT(DeviceBlockP0, production_date, 60);
IVRA_AT(DeviceBlockP0, utc_offset_s, 64);

static_assert(sizeof(ZeroTableP0) == 40, "p0 zero table");
IVRA_AT(ZeroTableP0, zero_table_value, 20);
static_assert(sizeof(ImageTrailer) == 8, "trailer");

static_assert(sizeof(AreaP0) == 2812, "p0 area");
IVRA_AT(AreaP0, device, 2320);
IVRA_AT(AreaP0, zero_table, 2404);
IVRA_AT(AreaP0, trailer, 2804);

static_assert(sizeof(ChannelRecordP1) == 420, "p1 channel record");
IVRA_AT(ChannelRecordP1, sensor_config, 4);
IVRA_AT(ChannelRecordP1, formula, 6);
IVRA_AT(ChannelRecordP1, sensor_position, 7);
IVRA_AT(ChannelRecordP1, molecular_weight, 8);
IVRA_AT(ChannelRecordP1, lel_coefficient, 12);
IVRA_AT(ChannelRecordP1, pga_index, 20);
IVRA_AT(ChannelRecordP1, channel_word_26, 26);
IVRA_AT(ChannelRecordP1, sensor_name, 28);
IVRA_AT(ChannelRecordP1, gas_formula, 35);
IVRA_AT(ChannelRecordP1, channel_flags, 48);
IVRA_AT(ChannelRecordP1, channel_status_2, 56);
IVRA_AT(ChannelRecordP1, adc_calib_value, 68);
IVRA_AT(ChannelRecordP1, input_value_72, 72);
IVRA_AT(ChannelRecordP1, range_calib_limit, 88);
IVRA_AT(ChannelRecordP1, calib_concentration_measured, 92);
IVRA_AT(ChannelRecordP1, dead_zone, 104);
IVRA_AT(ChannelRecordP1, alarm_threshold_1, 112);
IVRA_AT(ChannelRecordP1, sensor_protection_threshold, 140);
IVRA_AT(ChannelRecordP1, stel_interval, 144);
IVRA_AT(ChannelRecordP1, last_calibration_time, 148);
IVRA_AT(ChannelRecordP1, span_table_conc, 152);
IVRA_AT(ChannelRecordP1, span_table_coef, 172);
IVRA_AT(ChannelRecordP1, temp_table_temp, 212);
IVRA_AT(ChannelRecordP1, temp_table_coef, 232);
IVRA_AT(ChannelRecordP1, zero_table_temp, 272);
IVRA_AT(ChannelRecordP1, zero_table_value, 292);
IVRA_AT(ChannelRecordP1, discreteness_display, 372);
IVRA_AT(ChannelRecordP1, formula_gas_number, 376);
IVRA_AT(ChannelRecordP1, calib_temperature, 378);
IVRA_AT(ChannelRecordP1, calib_service_value, 384);
IVRA_AT(ChannelRecordP1, sensor_humidity, 392);

static_assert(sizeof(DeviceBlockP1) == 108, "p1 device block");
IVRA_AT(DeviceBlockP1, device_status_2, 6);
IVRA_AT(DeviceBlockP1, led_period, 12);
IVRA_AT(DeviceBlockP1, battery_level, 26);
IVRA_AT(DeviceBlockP1, battery_limit_2, 36);
IVRA_AT(DeviceBlockP1, archive_enabled, 38);
IVRA_AT(DeviceBlockP1, archive_interval, 40);
IVRA_AT(DeviceBlockP1, archive_start_address, 44);
IVRA_AT(DeviceBlockP1, device_time, 52);
IVRA_AT(DeviceBlockP1, bump_interval, 56);
IVRA_AT(DeviceBlockP1, last_bump_time, 60);
IVRA_AT(DeviceBlockP1, temperature_c, 64);
IVRA_AT(DeviceBlockP1, pressure, 72);
IVRA_AT(DeviceBlockP1, serial_number, 76);
IVRA_AT(DeviceBlockP1, production_date, 84);
IVRA_AT(DeviceBlockP1, utc_offset_s, 88);
IVRA_AT(DeviceBlockP1, gps_config, 92);

static_assert(sizeof(AreaP1) == 4316, "p1 area");
IVRA_AT(AreaP1, device, 4200);
IVRA_AT(AreaP1, trailer, 4308);

#undef IVRA_AT

// Decimal scale of a display-format word: which 0 uses bits 4-5 (displayed
// value), which 1 bits 6-7 (base value); codes 0..3 give 1, 10, 100, 1000.
// Any other `which` gives 1.
quint16 calculating_the_discreteness(quint16 format, int which);

// ---------------------------------------------------------------------------
// The image as a whole: identification fields and the two areas
// ---------------------------------------------------------------------------

struct DeviceImage
{
    // Identification and login fields (outside the two areas).
    double device_time_unit_s = 0.9375;  // seconds per device time unit
    QString login_name;
    QString login_password;
    quint8 login_done = 0;
    quint8 factory_password_ok = 0;
    QProgressDialog *progress_dialog = nullptr; // modal dialog of long jobs
    qint16 current_channel = 0;          // channel edited by the settings pages
    qint16 protocol_version = 1;         // 0 = layout p0, 1 = layout p1
    quint16 device_code = 0;             // model code, 0 = no device
    quint16 firmware_version = 0;        // major * 100 + minor
    quint16 channel_count = 1;           // channel records in use
    qint16 channel_off_code = 170;       // channel_page value of a channel switched off
    float temp_sensor_calib_value = 0;   // reference temperature, write only
    quint8 ble_mac[6] = {};              // BLE MAC address (layout p1)
    quint8 control_flag_3 = 0;           // control register 0x0003
    quint64 control_flag_4 = 0;          // control register 0x0004

    // The two layout areas; they start zeroed.
    AreaP0 p0{};
    AreaP1 p1{};
};
