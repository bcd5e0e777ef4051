// The simulated detector's registers.
//
// A detector answers on an address word: page (bits 12-15, a channel 0-9 or
// 0xA for the device) and register number (bits 0-11). The register file
// holds one cell per address the detector answers, for holding (H) and input
// (I) registers separately. Several cells may share one storage slot: a
// device-level register seen on every channel page, or an input register that
// mirrors a holding register (channel flags, status, zero ADC value). A cell
// may also show a single bit of another slot (the single-bit option
// registers) or be a command register whose write triggers an action.
//
// Cells are grouped into blocks of consecutive registers. A request must start
// on a cell of the page it addresses and stay inside one block on that page;
// the detector answers exception 2 otherwise for the start register and
// exception 3 for a count that runs past the block.
#pragma once

#include <QHash>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace sim {

enum class RegKind : quint8 { Holding = 'H', Input = 'I' };

constexpr quint8 kDevicePage = 0xA;

// Modbus exception codes the detector answers with.
constexpr quint8 kIllegalFunction = 1;
constexpr quint8 kIllegalDataAddress = 2;
constexpr quint8 kIllegalDataValue = 3;

struct RegAddress
{
    RegKind kind;
    quint8 page;
    quint16 reg;
};

inline quint32 addressKey(RegKind kind, quint8 page, quint16 reg)
{
    return (quint32(kind) << 16) | (quint32(page & 0xF) << 12) | (reg & 0x0FFF);
}

class RegisterFile
{
public:
    enum class Access : quint8 {
        ReadWrite,  // a setting: stored as written
        ReadOnly,   // identity or live value: writes are accepted and ignored
        Command,    // reads 0; a write is an action of the detector
    };

    // Where a cell keeps its value.
    struct Cell
    {
        quint32 slot = 0;      // storage key (an addressKey)
        quint16 block = 0;     // cells of one block are contiguous
        Access access = Access::ReadWrite;
        qint8 bit = -1;        // >= 0: the cell shows this bit of the slot
    };

    // Starts a new block; cells defined with its id must be contiguous per page.
    quint16 newBlock() { return ++m_lastBlock; }

    // Defines the cell at (kind, page, reg) with its own storage.
    void define(RegKind kind, quint8 page, quint16 reg, quint16 block,
                Access access = Access::ReadWrite);
    // Defines a cell that shares the storage of another address.
    void alias(RegKind kind, quint8 page, quint16 reg, quint16 block,
               const RegAddress &target, Access access = Access::ReadWrite);
    // Defines a cell that shows one bit of another address's storage.
    void bitAlias(RegKind kind, quint8 page, quint16 reg, quint16 block,
                  const RegAddress &target, int bit);

    const Cell *cell(RegKind kind, quint8 page, quint16 reg) const;
    bool exists(RegKind kind, quint8 page, quint16 reg) const
    {
        return cell(kind, page, reg) != nullptr;
    }

    // Checks a request for `count` registers from `reg`: 0 when the detector
    // takes it, otherwise the exception code to answer.
    quint8 check(RegKind kind, quint8 page, quint16 reg, int count) const;

    // Value as the detector answers it (Command cells read 0).
    quint16 read(RegKind kind, quint8 page, quint16 reg) const;
    // Stores a value written by the master; ReadOnly and Command cells are
    // left unchanged. Returns the cell (nullptr when it does not exist).
    const Cell *write(quint8 page, quint16 reg, quint16 value);

    // Direct access for the detector itself (live values, seeding); these
    // ignore the access mode and work on the storage behind any address.
    quint16 get(RegKind kind, quint8 page, quint16 reg) const;
    void set(RegKind kind, quint8 page, quint16 reg, quint16 value);
    quint32 get32(RegKind kind, quint8 page, quint16 reg) const;   // lo word first
    void set32(RegKind kind, quint8 page, quint16 reg, quint32 value);
    float getFloat(RegKind kind, quint8 page, quint16 reg) const;
    void setFloat(RegKind kind, quint8 page, quint16 reg, float value);
    QString getText(quint8 page, quint16 reg, int registers) const;
    void setText(quint8 page, quint16 reg, int registers, const QByteArray &text);

    // Snapshots of every stored value (settings snapshots for commit/restore).
    QHash<quint32, quint16> storage() const { return m_storage; }
    void restore(const QHash<quint32, quint16> &values, Access only);

    // Every cell, sorted by kind, page and register.
    QVector<RegAddress> addresses() const;

    // Text dump: one line "K P RRRR VVVV" per cell (kind H or I, page as one
    // hex digit, register and value as four hex digits), sorted.
    QString dumpText() const;

private:
    QHash<quint32, Cell> m_cells;
    QHash<quint32, quint16> m_storage;
    quint16 m_lastBlock = 0;
};

} // namespace sim
