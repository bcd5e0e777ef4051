// Register maps: which register of a detector feeds which device-image field,
// and how its value is converted.
//
// Each layout is described once, as a list of register blocks. A block is a
// run of consecutive registers; each register names its field and its
// conversion for reading (function 3/4 replies) and for writing (function 16
// requests). The decoders and the encoder both walk these descriptions, so a
// register can never be read into one field and written from another by
// accident. Registers that only exist in one direction (write-only command
// registers, the UTC offset of layout p0, the control register 0x0005) have
// no conversion in the other direction.
#include "command.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Where the field of a register lives.
enum class Where : quint8 {
    None,      // no field: constants, skipped registers
    Device,    // device-level block of the layout, whatever the page
    Record,    // channel record of the request's page
    RecordK,   // channel record `k`, whatever the page (device-page input maps)
    ZeroTable, // layout p0 zero-compensation table of the request's page
    Trailer,   // trailer of the layout
    Ident,     // identification field outside the areas
};

// Identification fields reached by registers.
enum class Ident : quint8 { None, DeviceCode, FirmwareVersion, BleMac, ControlFlag3, ControlFlag4, TempCalib };

// Conversions between a register value r and its field.
enum class Conv : quint8 {
    None,           // the register does not exist in this direction
    Word,           // 16 bits as they are: plain fields, halves of 32-bit
                    // fields (lower register = low half), character pairs
                    // (first character in the low byte), byte pairs
    LowByte,        // 8-bit field from the low byte; written with high byte 0
    Scaled100,      // float = r / 100; written as float x 100, truncated
    Scaled1000,     // float = r / 1000; written as float x 1000, truncated
    Signed100,      // float = (signed r) / 100
    Signed1000,     // float = (signed r) / 1000
    PerBase,        // float = r / discreteness_base of the record
    Flag,           // 8- or 64-bit control flag: 1 when r is non-zero;
                    // written as its low 16 bits
    Skip,           // consumed and dropped
    Const,          // written as `param`
    StartedAtFirst, // written 1 when the request starts at this block's first register
    Circuit,        // layout p0 0x011B: circuit indexes or protection threshold
    PgaSlot,        // layout p0 0x0120 written: pga_index or 0 by start register
    Bit,            // written as bit `param` of the field
    Language32,     // device_language read as a 32-bit value
};

struct Reg
{
    Where where = Where::None;
    quint16 offset = 0;       // byte offset in the record, block or trailer
    quint8 k = 0;             // record of RecordK
    Ident ident = Ident::None;
    Conv read = Conv::None;
    Conv write = Conv::None;
    quint16 param = 0;
    bool start = true;        // a read may start here
};

struct Block
{
    quint16 first = 0;
    quint16 readEnd = 8;      // result when a read runs past the last readable register
    quint16 writeEnd = 8;     // refusal when a write runs past the last writable register
    std::vector<Reg> regs;
};

using Map = std::vector<Block>;

// --- Building the descriptions -------------------------------------------

class BlockBuilder
{
public:
    BlockBuilder(Map &map, quint16 first, quint16 readEnd, quint16 writeEnd) : m_map(map)
    {
        m_block.first = first;
        m_block.readEnd = readEnd;
        m_block.writeEnd = writeEnd;
    }
    ~BlockBuilder() { m_map.push_back(std::move(m_block)); }

    // A register read and written with the same conversion.
    BlockBuilder &rw(Where w, size_t off, Conv c = Conv::Word) { return add(w, off, c, c); }
    // A 32-bit field in two registers, low half first.
    BlockBuilder &rw32(Where w, size_t off) { return rw(w, off).rw(w, off + 2); }
    // Read-only registers (input maps).
    BlockBuilder &ro(Where w, size_t off, Conv c = Conv::Word) { return add(w, off, c, Conv::None); }
    BlockBuilder &ro32(Where w, size_t off) { return ro(w, off).ro(w, off + 2); }
    // Write-only registers.
    BlockBuilder &wo(Where w, size_t off, Conv c = Conv::Word) { return add(w, off, Conv::None, c); }
    BlockBuilder &constant(quint16 value, Conv read = Conv::None)
    {
        add(Where::None, 0, read, Conv::Const);
        m_block.regs.back().param = value;
        return *this;
    }
    // `n` consecutive registers over an array with elements `stride` bytes apart.
    BlockBuilder &array(Where w, size_t off, int n, size_t stride, Conv c = Conv::Word, bool writable = true)
    {
        for (int i = 0; i < n; ++i)
            add(w, off + size_t(i) * stride, c, writable ? c : Conv::None);
        return *this;
    }
    // Text of `regs` registers, two characters each.
    BlockBuilder &text(size_t off, int regs) { return array(Where::Record, off, regs, 2); }
    BlockBuilder &ident(Ident id, Conv read, Conv write, quint16 offset = 0)
    {
        add(Where::Ident, offset, read, write);
        m_block.regs.back().ident = id;
        return *this;
    }
    BlockBuilder &add(Where w, size_t off, Conv read, Conv write)
    {
        Reg r;
        r.where = w;
        r.offset = quint16(off);
        r.k = m_k;
        r.read = read;
        r.write = write;
        m_block.regs.push_back(r);
        return *this;
    }
    // Following RecordK registers address record k.
    BlockBuilder &forRecord(int k) { m_k = quint8(k); return *this; }
    // Marks the last register as one a read may not start at.
    BlockBuilder &noStart() { m_block.regs.back().start = false; return *this; }
    // Sets the parameter of the last register.
    BlockBuilder &param(quint16 p) { m_block.regs.back().param = p; return *this; }
    // Appends copies of registers already described (status copy of layout p1).
    BlockBuilder &append(const std::vector<Reg> &regs) { m_block.regs.insert(m_block.regs.end(), regs.begin(), regs.end()); return *this; }

private:
    Map &m_map;
    Block m_block;
    quint8 m_k = 0;
};

#define R0(f) Where::Record, offsetof(ChannelRecordP0, f)
#define D0(f) Where::Device, offsetof(DeviceBlockP0, f)
#define Z0(f) Where::ZeroTable, offsetof(ZeroTableP0, f)
#define R1(f) Where::Record, offsetof(ChannelRecordP1, f)
#define D1(f) Where::Device, offsetof(DeviceBlockP1, f)
#define K0(f) Where::RecordK, offsetof(ChannelRecordP0, f)

// Registers common to both layouts' holding maps.
void addControlBlock(Map &m)
{
    BlockBuilder b(m, 0x0001, 8, 8);
    b.constant(1, Conv::Skip);                                    // 0x0001
    b.add(Where::None, 0, Conv::Skip, Conv::StartedAtFirst);      // 0x0002
    b.ident(Ident::ControlFlag3, Conv::Flag, Conv::Flag).param(1); // 0x0003
    b.ident(Ident::ControlFlag4, Conv::Flag, Conv::Flag).param(8); // 0x0004
    b.constant(1);                                                // 0x0005, write only
}

void addZeroedRegisters(Map &m)
{
    BlockBuilder(m, 0x0010, 8, 8).constant(0).constant(0).constant(0);
}

void addSingleBitRegisters(Map &m, size_t channelFlags, size_t deviceOptions)
{
    BlockBuilder b(m, 0x0230, 8, 8);
    b.wo(Where::Record, channelFlags, Conv::Bit).param(3);  // automatic zero calibration
    b.wo(Where::Device, deviceOptions, Conv::Bit).param(1); // sound blocked
    b.wo(Where::Device, deviceOptions, Conv::Bit).param(3); // calibration menu blocked
    b.wo(Where::Device, deviceOptions, Conv::Bit).param(2); // switching off blocked
}

void addCommandRegisters(Map &m)
{
    for (quint16 reg : {0x0240, 0x0250, 0x0252, 0x0254, 0x0702, 0x0800})
        BlockBuilder(m, reg, 8, 8).constant(0);
    // Temperature-sensor calibration: the reference temperature x 100.
    BlockBuilder(m, 0x0256, 8, 8).ident(Ident::TempCalib, Conv::None, Conv::Scaled100);
}

Map buildHoldingP0()
{
    Map m;
    addControlBlock(m);
    addZeroedRegisters(m);
    {
        BlockBuilder b(m, 0x00FE, 8, 8);
        b.wo(D0(utc_offset_s)).wo(Where::Device, offsetof(DeviceBlockP0, utc_offset_s) + 2); // 0x00FE write only
        b.rw32(D0(device_time));                                   // 0x0100
        b.rw(R0(channel_page)).rw(R0(display_format)).rw(R0(calib_gas_concentration));
        b.rw(R0(alarm_threshold_1)).rw(R0(alarm_threshold_2)).rw(R0(alarm_threshold_3)).rw(R0(alarm_threshold_4));
        b.rw(R0(stel_limit)).rw(R0(twa_limit)).rw(R0(stel_interval)).rw(R0(calib_interval));
        b.rw(D0(bump_interval));                                   // 0x010D
        b.text(offsetof(ChannelRecordP0, sensor_name), 3);         // 0x010E
        b.text(offsetof(ChannelRecordP0, gas_formula), 5);         // 0x0111
        b.rw(R0(hysteresis)).rw(R0(sensor_param_1)).rw(R0(sensor_param_2)); // 0x0116
        b.rw(R0(lel_coefficient), Conv::Scaled100);                // 0x0119
        b.rw(R0(molecular_weight), Conv::Scaled100);               // 0x011A
        b.rw(Where::Record, 0, Conv::Circuit);                     // 0x011B
        b.rw(R0(pga_index), Conv::LowByte);                        // 0x011C
        b.rw32(D0(serial_number)).rw(D0(hardware_version));        // 0x011D
        b.ident(Ident::FirmwareVersion, Conv::Word, Conv::PgaSlot); // 0x0120
        b.rw32(D0(production_date));                               // 0x0121
        b.rw(R0(dead_zone)).rw(R0(dead_zone_2)).rw(R0(channel_status_2));
        b.rw(R0(range_calib_limit)).rw(R0(formula_gas_number));    // 0x0126
        b.array(R0(temp_table_temp), 10, 2);                       // 0x0128
        b.array(R0(temp_table_coef), 10, 4, Conv::Scaled1000);     // 0x0132
        b.array(R0(span_table_conc), 10, 2);                       // 0x013C
        b.array(R0(span_table_coef), 10, 2);                       // 0x0146
        b.rw(R0(adc_zero)).rw(R0(adc_calib_value));                // 0x0150
    }
    BlockBuilder(m, 0x0160, 8, 8).array(Z0(zero_table_temp), 10, 2).array(Z0(zero_table_value), 10, 2);
    BlockBuilder(m, 0x0200, 8, 8).rw(D0(sound_pwm));
    BlockBuilder(m, 0x0202, 8, 8).rw(R0(sensor_config));
    BlockBuilder(m, 0x0210, 8, 8)
        .rw(D0(archive_interval))
        .rw32(D0(archive_start_address))
        .rw32(D0(archive_current_address))
        .rw(D0(archive_enabled));
    BlockBuilder(m, 0x0220, 8, 8)
        .rw(D0(device_options))
        .rw(D0(device_status))
        .rw(R0(channel_flags))
        .rw(R0(channel_status));
    addSingleBitRegisters(m, offsetof(ChannelRecordP0, channel_flags), offsetof(DeviceBlockP0, device_options));
    BlockBuilder(m, 0x0700, 8, 8).rw(Where::Trailer, offsetof(ImageTrailer, device_language));
    addCommandRegisters(m);
    return m;
}

Map buildHoldingP1()
{
    Map m;
    addControlBlock(m);
    addZeroedRegisters(m);
    {
        BlockBuilder b(m, 0x00FE, 8, 8);
        b.rw32(D1(utc_offset_s)).rw32(D1(device_time));            // 0x00FE
        b.rw(R1(channel_page)).rw(R1(display_format)).rw(R1(sensor_config)); // 0x0102
        b.rw(R1(formula));                                         // 0x0105: formula, sensor_position
        b.rw32(R1(calib_gas_concentration));                       // 0x0106
        b.rw32(R1(alarm_threshold_1)).rw32(R1(alarm_threshold_2));
        b.rw32(R1(alarm_threshold_3)).rw32(R1(alarm_threshold_4)); // 0x0108
        b.rw32(R1(stel_limit)).rw32(R1(twa_limit));                // 0x0110
        b.rw(R1(stel_interval));                                   // 0x0114
        b.rw32(R1(hysteresis)).rw32(R1(lel_coefficient)).rw32(R1(molecular_weight)); // 0x0115
        b.rw(R1(calib_interval)).rw(D1(bump_interval));            // 0x011B
        b.text(offsetof(ChannelRecordP1, sensor_name), 3);         // 0x011D
        b.text(offsetof(ChannelRecordP1, gas_formula), 5);         // 0x0120
        b.rw(R1(sensor_param_1)).rw(R1(sensor_param_2)).rw(R1(pga_index)); // 0x0125
        b.rw(R1(channel_word_26)).rw(R1(filter_average_count)).rw(R1(rgain_index)); // 0x0128
        b.rw32(D1(serial_number)).rw(D1(hardware_version)).rw32(D1(production_date)); // 0x012B
        b.rw32(R1(sensor_protection_threshold));                   // 0x0130
        b.rw32(R1(dead_zone)).rw32(R1(dead_zone_2));               // 0x0132
        b.rw(R1(range_calib_limit)).rw(R1(formula_gas_number)).rw(R1(warmup_time)); // 0x0136
    }
    // Register 0x018C does not exist: a write reaching it is refused with 3.
    BlockBuilder(m, 0x0150, 4, 3)
        .array(R1(temp_table_temp), 10, 2)
        .array(R1(temp_table_coef), 10, 4, Conv::Scaled1000)
        .array(R1(span_table_conc), 10, 2)
        .array(R1(span_table_coef), 10, 4, Conv::Scaled1000)
        .array(R1(zero_table_temp), 10, 2)
        .array(R1(zero_table_value), 10, 2);
    BlockBuilder(m, 0x0200, 4, 4)
        .rw(D1(sound_pwm)).rw(D1(led_pulse_time)).rw(D1(led_period))
        .rw(D1(battery_max)).rw(D1(battery_min)).rw(D1(battery_limit_1)).rw(D1(battery_limit_2));
    BlockBuilder(m, 0x0210, 4, 4)
        .rw(D1(archive_interval))
        .rw32(D1(archive_start_address))
        .rw32(D1(archive_current_address))
        .rw(D1(archive_enabled));
    BlockBuilder(m, 0x0220, 4, 4)
        .rw32(D1(device_options)).rw(D1(device_status)).rw(D1(device_status_2))
        .rw32(R1(channel_flags)).rw(R1(channel_status)).rw(R1(channel_status_hi)).rw(R1(channel_status_2));
    addSingleBitRegisters(m, offsetof(ChannelRecordP1, channel_flags), offsetof(DeviceBlockP1, device_options));
    BlockBuilder(m, 0x0300, 8, 8).rw(R1(adc_zero)).rw(R1(adc_calib_value));
    BlockBuilder(m, 0x0310, 8, 8).rw32(D1(gps_config));
    BlockBuilder(m, 0x0700, 4, 8).add(Where::Trailer, offsetof(ImageTrailer, device_language), Conv::Language32, Conv::Word);
    addCommandRegisters(m);
    return m;
}

// Input registers of layout p0, detectors 420 and 421: one channel per page.
Map buildInputP0Plus()
{
    Map m;
    BlockBuilder(m, 0x0010, 3, 8)
        .ident(Ident::DeviceCode, Conv::Word, Conv::None)
        .ro32(D0(last_bump_time))
        .ro(D0(temperature_c), Conv::Signed100)
        .ro(D0(battery_level))
        .ro(D0(battery_voltage_mv));
    BlockBuilder(m, 0x0020, 8, 8)
        .ro(R0(calib_concentration_measured))
        .ro(R0(calib_coefficient), Conv::Signed1000)
        .ro(R0(channel_flags))
        .ro(R0(channel_status))
        .ro32(R0(last_calibration_time))
        .ro(R0(adc_current))
        .ro(R0(adc_zero))
        .ro(R0(concentration), Conv::PerBase)
        .ro(R0(concentration_2), Conv::PerBase)
        .ro(R0(concentration_3), Conv::PerBase)
        .ro32(R0(input_value_60));
    BlockBuilder(m, 0x0999, 8, 8).ident(Ident::FirmwareVersion, Conv::Word, Conv::None);
    return m;
}

// Input registers of layout p0, all other models: the four channels' values
// are all on the device page.
Map buildInputP0()
{
    Map m;
    BlockBuilder(m, 0x0010, 3, 8).ident(Ident::DeviceCode, Conv::Word, Conv::None);
    {
        BlockBuilder b(m, 0x0020, 3, 8);
        for (int k = 0; k < 4; ++k)
            b.forRecord(k).ro(K0(calib_concentration_measured)).ro(K0(calib_coefficient), Conv::Signed1000);
    }
    {
        BlockBuilder b(m, 0x0030, 3, 8);
        for (int k = 0; k < 4; ++k)
            b.forRecord(k).ro(K0(channel_flags)).ro(K0(channel_status));
    }
    {
        BlockBuilder b(m, 0x00F6, 8, 8);
        for (int k = 0; k < 4; ++k)
            b.forRecord(k).ro32(K0(last_calibration_time));
        b.ro32(D0(last_bump_time)).ro(D0(temperature_c), Conv::Signed100);
        b.ro(D0(battery_level)).ro(D0(battery_voltage_mv));
        for (int k = 0; k < 4; ++k) {
            b.forRecord(k).ro(K0(adc_current)).ro(K0(adc_zero));
            b.ro(K0(concentration), Conv::PerBase).ro(K0(concentration_2), Conv::PerBase);
            b.ro(K0(concentration_3), Conv::PerBase).ro32(K0(input_value_60));
        }
    }
    BlockBuilder(m, 0x0999, 8, 8).ident(Ident::FirmwareVersion, Conv::Word, Conv::None);
    return m;
}

Map buildInputP1()
{
    Map m;
    BlockBuilder(m, 0x0010, 8, 8)
        .ident(Ident::DeviceCode, Conv::Word, Conv::None)
        .ident(Ident::FirmwareVersion, Conv::Word, Conv::None)
        .ro32(D1(last_bump_time))
        .ro32(D1(temperature_c))
        .ro(D1(battery_level))
        .ro(D1(battery_voltage_mv))
        .ro32(D1(pressure));
    std::vector<Reg> live; // 0x002B onward, shared with the status copy
    {
        BlockBuilder b(m, 0x0020, 8, 8);
        b.ro32(R1(calib_concentration_measured)).ro32(R1(last_calibration_time)).ro32(R1(calib_coefficient));
        // The five status registers are passed through but a read may not start at them.
        b.ro(R1(channel_flags)).noStart();
        b.ro(Where::Record, offsetof(ChannelRecordP1, channel_flags) + 2).noStart();
        b.ro(R1(channel_status)).noStart().ro(R1(channel_status_hi)).noStart().ro(R1(channel_status_2)).noStart();
        Map scratch;
        {
            BlockBuilder l(scratch, 0x002B, 8, 8);
            l.ro(R1(adc_current)).ro(R1(adc_zero));
            l.ro32(R1(concentration)).ro32(R1(concentration_2)).ro32(R1(concentration_3));
            l.ro32(R1(input_value_72)).ro32(R1(calib_service_value));
            l.ro(R1(calib_temperature)).ro32(R1(sensor_temperature)).ro32(R1(sensor_humidity));
        }
        live = scratch.front().regs;
        b.append(live);
    }
    BlockBuilder(m, 0x0060, 8, 8)
        .ident(Ident::BleMac, Conv::Word, Conv::None, 0)
        .ident(Ident::BleMac, Conv::Word, Conv::None, 2)
        .ident(Ident::BleMac, Conv::Word, Conv::None, 4);
    // The status copy: a read starting at 0x0226..0x022A runs on into the
    // live values of 0x002B onward, but a read cannot start in that run.
    for (Reg &r : live)
        r.start = false;
    BlockBuilder(m, 0x0226, 8, 8)
        .ro32(R1(channel_flags)).ro(R1(channel_status)).ro(R1(channel_status_hi)).ro(R1(channel_status_2))
        .append(live);
    BlockBuilder(m, 0x0999, 8, 8).ident(Ident::FirmwareVersion, Conv::Word, Conv::None);
    return m;
}

#undef R0
#undef D0
#undef Z0
#undef R1
#undef D1
#undef K0

const Map &holdingMap(int layout)
{
    static const Map p0 = buildHoldingP0();
    static const Map p1 = buildHoldingP1();
    return layout == 0 ? p0 : p1;
}

const Map &inputMap(int layout, quint16 deviceCode)
{
    static const Map p0 = buildInputP0();
    static const Map p0Plus = buildInputP0Plus();
    static const Map p1 = buildInputP1();
    if (layout == 1)
        return p1;
    return (deviceCode == 420 || deviceCode == 421) ? p0Plus : p0;
}

// --- Walking the descriptions ---------------------------------------------

enum class Dir { Read, Write };

Conv convOf(const Reg &r, Dir d) { return d == Dir::Read ? r.read : r.write; }

// Index range [first, last] of the registers of `b` that exist in direction d
// (always contiguous); false when none does.
bool range(const Block &b, Dir d, int &first, int &last)
{
    first = -1;
    last = -1;
    for (int i = 0; i < int(b.regs.size()); ++i) {
        if (convOf(b.regs[size_t(i)], d) == Conv::None) {
            if (first >= 0)
                break;
            continue;
        }
        if (first < 0)
            first = i;
        last = i;
    }
    return first >= 0;
}

struct Lookup
{
    const Block *block = nullptr;
    int index = 0;   // register index of the start register in the block
    int last = 0;    // last register index of the block in this direction
    quint16 code = 4; // result when block is null
};

// Finds the block holding `reg`; a register just past a block's last register
// gives that block's end code; any other register gives 4.
Lookup find(const Map &map, quint16 reg, Dir d)
{
    Lookup res;
    int first = 0, last = 0;
    for (const Block &b : map) {
        if (!range(b, d, first, last))
            continue;
        if (reg >= b.first + first && reg <= b.first + last) {
            res.block = &b;
            res.index = reg - b.first;
            res.last = last;
            return res;
        }
    }
    for (const Block &b : map) {
        if (range(b, d, first, last) && reg == b.first + last + 1) {
            res.code = d == Dir::Read ? b.readEnd : b.writeEnd;
            return res;
        }
    }
    return res;
}

// Registers stored in or taken from a channel record of the request's page.
bool pageBound(const Reg &r) { return r.where == Where::Record || r.where == Where::ZeroTable; }

bool isPlus(quint16 deviceCode) { return deviceCode == 420 || deviceCode == 421; }

// Field access with the layout chosen. Pages 0..9 are channels; any other
// page has no record (callers have already refused page-bound registers).
struct Access
{
    Command &cmd;
    int layout;
    int page;

    quint8 *record(int k) const
    {
        if (k < 0 || k > 9)
            return nullptr;
        return layout == 0 ? reinterpret_cast<quint8 *>(&cmd.p0.channel[k])
                           : reinterpret_cast<quint8 *>(&cmd.p1.channel[k]);
    }

    quint16 discretenessBase(int k) const
    {
        if (k < 0 || k > 9)
            return 1;
        const quint16 base = layout == 0 ? cmd.p0.channel[k].discreteness_base
                                         : cmd.p1.channel[k].discreteness_base;
        return base ? base : 1; // a record whose settings were never read scales by 1
    }

    int recordOf(const Reg &r) const { return r.where == Where::RecordK ? r.k : page; }

    quint8 *field(const Reg &r) const
    {
        quint8 *base = nullptr;
        switch (r.where) {
        case Where::None:
            return nullptr;
        case Where::Device:
            base = layout == 0 ? reinterpret_cast<quint8 *>(&cmd.p0.device)
                               : reinterpret_cast<quint8 *>(&cmd.p1.device);
            break;
        case Where::Record:
        case Where::RecordK:
            base = record(recordOf(r));
            break;
        case Where::ZeroTable:
            if (page < 0 || page > 9)
                return nullptr;
            base = reinterpret_cast<quint8 *>(&cmd.p0.zero_table[page]);
            break;
        case Where::Trailer:
            base = layout == 0 ? reinterpret_cast<quint8 *>(&cmd.p0.trailer)
                               : reinterpret_cast<quint8 *>(&cmd.p1.trailer);
            break;
        case Where::Ident:
            switch (r.ident) {
            case Ident::DeviceCode: return reinterpret_cast<quint8 *>(&cmd.device_code);
            case Ident::FirmwareVersion: return reinterpret_cast<quint8 *>(&cmd.firmware_version);
            case Ident::BleMac: return cmd.ble_mac + r.offset;
            case Ident::ControlFlag3: return &cmd.control_flag_3;
            case Ident::ControlFlag4: return reinterpret_cast<quint8 *>(&cmd.control_flag_4);
            case Ident::TempCalib: return reinterpret_cast<quint8 *>(&cmd.temp_sensor_calib_value);
            case Ident::None: return nullptr;
            }
            return nullptr;
        }
        return base ? base + r.offset : nullptr;
    }
};

quint16 loadWord(const quint8 *p)
{
    quint16 v;
    std::memcpy(&v, p, 2);
    return v;
}

void storeWord(quint8 *p, quint16 v) { std::memcpy(p, &v, 2); }

float loadFloat(const quint8 *p)
{
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

void storeFloat(quint8 *p, float v) { std::memcpy(p, &v, 4); }

// A float written as a scaled integer register: the value x scale truncated
// toward zero, low 16 bits. A product that lies within single-precision
// rounding of a whole number is taken as that number, so a value read from a
// register (r / 100) is written back as r and not r - 1; non-finite values
// are written as 0.
quint16 scaledRegister(float value, double scale)
{
    if (!std::isfinite(value))
        return 0;
    const double v = double(value) * scale;
    const double nearest = std::nearbyint(v);
    double whole = std::fabs(v - nearest) <= std::fabs(v) * 4.8e-7 ? nearest : std::trunc(v);
    if (whole > 2147483647.0)
        whole = 2147483647.0;
    if (whole < -2147483648.0)
        whole = -2147483648.0;
    return quint16(quint32(qint64(whole)) & 0xFFFF);
}

void decodeOne(const Access &a, const Reg &r, quint16 value)
{
    quint8 *p = a.field(r);
    switch (r.read) {
    case Conv::None:
    case Conv::Skip:
        return;
    case Conv::Circuit: {
        quint8 *rec = a.record(a.page);
        if (!rec)
            return;
        auto &ch = *reinterpret_cast<ChannelRecordP0 *>(rec);
        if (isPlus(a.cmd.device_code) || a.page == 3) {
            // Sensor-protection threshold: switch and high bits, then low bits.
            ch.rload_index = quint8(value >> 8);
            ch.rgain_index = quint8(value & 0xFF);
        } else {
            ch.rf_index = quint8(value & 0x0F);
            ch.rload_index = quint8((value >> 4) & 0x0F);
            ch.rgain_index = quint8(value >> 8);
        }
        return;
    }
    default:
        break;
    }
    if (!p)
        return;
    switch (r.read) {
    case Conv::Word:
        storeWord(p, value);
        break;
    case Conv::LowByte:
        *p = quint8(value & 0xFF);
        break;
    case Conv::Scaled100:
        storeFloat(p, float(value) / 100.0f);
        break;
    case Conv::Scaled1000:
        storeFloat(p, float(value) / 1000.0f);
        break;
    case Conv::Signed100:
        storeFloat(p, float(qint16(value)) / 100.0f);
        break;
    case Conv::Signed1000:
        storeFloat(p, float(qint16(value)) / 1000.0f);
        break;
    case Conv::PerBase:
        storeFloat(p, float(value) / float(a.discretenessBase(a.recordOf(r))));
        break;
    case Conv::Flag:
        if (r.param == 1) {
            *p = value != 0;
        } else {
            const quint64 flag = value != 0;
            std::memcpy(p, &flag, 8);
        }
        break;
    case Conv::Language32:
        storeWord(p, value);
        storeWord(p + 2, 0);
        break;
    default:
        break;
    }
}

quint16 encodeOne(const Access &a, const Reg &r, quint16 startReg, quint16 blockFirst)
{
    const quint8 *p = a.field(r);
    switch (r.write) {
    case Conv::Const:
        return r.param;
    case Conv::StartedAtFirst:
        return startReg == blockFirst ? 1 : 0;
    case Conv::Circuit: {
        const quint8 *rec = a.record(a.page);
        if (!rec)
            return 0;
        const auto &ch = *reinterpret_cast<const ChannelRecordP0 *>(rec);
        if (isPlus(a.cmd.device_code) || a.page == 3)
            return quint16(ch.rload_index * 256 + ch.rgain_index);
        return quint16((ch.rf_index & 0x0F) + ((ch.rload_index * 16) & 0xFF) + ch.rgain_index * 256);
    }
    case Conv::PgaSlot: {
        // The register after the firmware version: the amplifier index when
        // the write covers 0x011C, otherwise 0.
        if (startReg > 0x011C || a.page < 0 || a.page > 9)
            return 0;
        return a.cmd.p0.channel[a.page].pga_index;
    }
    default:
        break;
    }
    if (!p)
        return 0;
    switch (r.write) {
    case Conv::Word:
        return loadWord(p);
    case Conv::LowByte:
        return *p;
    case Conv::Scaled100:
        return scaledRegister(loadFloat(p), 100.0);
    case Conv::Scaled1000:
        return scaledRegister(loadFloat(p), 1000.0);
    case Conv::Flag:
        return r.param == 1 ? *p : loadWord(p);
    case Conv::Bit:
        return quint16((loadWord(p) >> r.param) & 1);
    default:
        return 0;
    }
}

// Decodes the reply data at the codec cursor into the image, starting at
// (page, reg) of `map`.
quint16 decode(Command &cmd, const Map &map, int layout, int page, quint16 reg)
{
    // A reply must carry whole registers, at least one.
    if (cmd.codec_remaining == 0 || (cmd.codec_remaining & 1))
        return 4;
    const Lookup at = find(map, reg, Dir::Read);
    if (!at.block)
        return at.code;
    const std::vector<Reg> &regs = at.block->regs;
    if (!regs[size_t(at.index)].start)
        return 4;
    const int count = cmd.codec_remaining / 2;
    const int covered = std::min(count, at.last - at.index + 1);
    // Channel registers addressed on the device page would land in an
    // eleventh record, which is the device-level block: refuse, store nothing.
    if (page > 9) {
        for (int i = at.index; i < at.index + covered; ++i)
            if (pageBound(regs[size_t(i)]))
                return 4;
    }
    const Access access{cmd, layout, page};
    for (int i = at.index; i < at.index + covered; ++i) {
        quint16 value = 0;
        cmd.CMD_SAVE_SAME_WORD_2(value);
        decodeOne(access, regs[size_t(i)], value);
    }
    if (count > covered)
        return at.block->readEnd;
    return 2;
}

} // namespace

quint16 Command::CmdFunc3(quint8 page, quint16 reg)
{
    if (protocol_version != 0 && protocol_version != 1)
        return 2;
    const int p = page & 0x0F;
    const quint16 result = decode(*this, holdingMap(protocol_version), protocol_version, p, reg & 0x0FFF);
    if (result == 2 && p <= 9)
        UpdateDiscreteness(p);
    return result;
}

quint16 Command::CmdFunc4(quint8 page, quint16 reg)
{
    if (protocol_version != 0 && protocol_version != 1)
        return 2;
    return decode(*this, inputMap(protocol_version, device_code), protocol_version, page & 0x0F, reg & 0x0FFF);
}

quint16 Command::EncodeFunc16(quint8 page, quint16 reg)
{
    if (protocol_version != 0 && protocol_version != 1)
        return 4;
    const int p = page & 0x0F;
    reg &= 0x0FFF;
    const Map &map = holdingMap(protocol_version);
    const int count = codec_remaining;
    if (count == 0)
        return 8;
    const Lookup at = find(map, reg, Dir::Write);
    if (!at.block)
        return at.code;
    if (at.index + count - 1 > at.last)
        return at.block->writeEnd;
    const std::vector<Reg> &regs = at.block->regs;
    if (p > 9) {
        for (int i = at.index; i < at.index + count; ++i)
            if (pageBound(regs[size_t(i)]))
                return 4;
    }
    const Access access{*this, protocol_version, p};
    for (int i = at.index; i < at.index + count; ++i)
        CMD_PUT_WORD_OUT_REG(encodeOne(access, regs[size_t(i)], reg, at.block->first));
    return 2;
}

void Command::UpdateDiscreteness(int channel)
{
    if (channel < 0 || channel > 9)
        return;
    if (protocol_version == 0) {
        ChannelRecordP0 &ch = p0.channel[channel];
        ch.discreteness_display = calculating_the_discreteness(ch.display_format, 0);
        ch.discreteness_base = calculating_the_discreteness(ch.display_format, 1);
    } else if (protocol_version == 1) {
        ChannelRecordP1 &ch = p1.channel[channel];
        ch.discreteness_display = calculating_the_discreteness(ch.display_format, 0);
        ch.discreteness_base = calculating_the_discreteness(ch.display_format, 1);
    }
}
