#include "register_file.h"

#include <algorithm>
#include <cstring>

namespace sim {

void RegisterFile::define(RegKind kind, quint8 page, quint16 reg, quint16 block, Access access)
{
    const quint32 key = addressKey(kind, page, reg);
    m_cells.insert(key, Cell{key, block, access, -1});
    if (!m_storage.contains(key))
        m_storage.insert(key, 0);
}

void RegisterFile::alias(RegKind kind, quint8 page, quint16 reg, quint16 block,
                         const RegAddress &target, Access access)
{
    const quint32 slot = addressKey(target.kind, target.page, target.reg);
    m_cells.insert(addressKey(kind, page, reg), Cell{slot, block, access, -1});
    if (!m_storage.contains(slot))
        m_storage.insert(slot, 0);
}

void RegisterFile::bitAlias(RegKind kind, quint8 page, quint16 reg, quint16 block,
                            const RegAddress &target, int bit)
{
    const quint32 slot = addressKey(target.kind, target.page, target.reg);
    m_cells.insert(addressKey(kind, page, reg),
                   Cell{slot, block, Access::ReadWrite, qint8(bit)});
    if (!m_storage.contains(slot))
        m_storage.insert(slot, 0);
}

const RegisterFile::Cell *RegisterFile::cell(RegKind kind, quint8 page, quint16 reg) const
{
    if (reg > 0x0FFF || page > 0xF)
        return nullptr;
    auto it = m_cells.constFind(addressKey(kind, page, reg));
    return it == m_cells.constEnd() ? nullptr : &it.value();
}

quint8 RegisterFile::check(RegKind kind, quint8 page, quint16 reg, int count) const
{
    const Cell *first = cell(kind, page, reg);
    if (!first)
        return kIllegalDataAddress;
    for (int i = 1; i < count; ++i) {
        const Cell *c = cell(kind, page, quint16(reg + i));
        if (!c || c->block != first->block)
            return kIllegalDataValue;
    }
    return 0;
}

quint16 RegisterFile::read(RegKind kind, quint8 page, quint16 reg) const
{
    const Cell *c = cell(kind, page, reg);
    if (!c || c->access == Access::Command)
        return 0;
    const quint16 v = m_storage.value(c->slot);
    return c->bit >= 0 ? quint16((v >> c->bit) & 1u) : v;
}

const RegisterFile::Cell *RegisterFile::write(quint8 page, quint16 reg, quint16 value)
{
    const Cell *c = cell(RegKind::Holding, page, reg);
    if (!c || c->access != Access::ReadWrite)
        return c;
    quint16 &v = m_storage[c->slot];
    if (c->bit >= 0) {
        const quint16 mask = quint16(1u << c->bit);
        v = value ? quint16(v | mask) : quint16(v & ~mask);
    } else {
        v = value;
    }
    return c;
}

quint16 RegisterFile::get(RegKind kind, quint8 page, quint16 reg) const
{
    const Cell *c = cell(kind, page, reg);
    return c ? m_storage.value(c->slot) : 0;
}

void RegisterFile::set(RegKind kind, quint8 page, quint16 reg, quint16 value)
{
    const Cell *c = cell(kind, page, reg);
    if (c)
        m_storage[c->slot] = value;
}

quint32 RegisterFile::get32(RegKind kind, quint8 page, quint16 reg) const
{
    return quint32(get(kind, page, reg)) | (quint32(get(kind, page, quint16(reg + 1))) << 16);
}

void RegisterFile::set32(RegKind kind, quint8 page, quint16 reg, quint32 value)
{
    set(kind, page, reg, quint16(value & 0xFFFF));
    set(kind, page, quint16(reg + 1), quint16(value >> 16));
}

float RegisterFile::getFloat(RegKind kind, quint8 page, quint16 reg) const
{
    const quint32 bits = get32(kind, page, reg);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void RegisterFile::setFloat(RegKind kind, quint8 page, quint16 reg, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    set32(kind, page, reg, bits);
}

// Text registers carry two characters each, the first in the low byte.
QString RegisterFile::getText(quint8 page, quint16 reg, int registers) const
{
    QByteArray text;
    for (int i = 0; i < registers; ++i) {
        const quint16 v = get(RegKind::Holding, page, quint16(reg + i));
        text.append(char(v & 0xFF));
        text.append(char(v >> 8));
    }
    const int zero = text.indexOf('\0');
    return QString::fromLatin1(zero < 0 ? text : text.left(zero));
}

void RegisterFile::setText(quint8 page, quint16 reg, int registers, const QByteArray &text)
{
    for (int i = 0; i < registers; ++i) {
        const quint8 lo = 2 * i < text.size() ? quint8(text.at(2 * i)) : 0;
        const quint8 hi = 2 * i + 1 < text.size() ? quint8(text.at(2 * i + 1)) : 0;
        set(RegKind::Holding, page, quint16(reg + i), quint16(lo | (hi << 8)));
    }
}

void RegisterFile::restore(const QHash<quint32, quint16> &values, Access only)
{
    for (auto it = m_cells.constBegin(); it != m_cells.constEnd(); ++it) {
        const Cell &c = it.value();
        if (c.access != only || c.bit >= 0)
            continue;
        auto v = values.constFind(c.slot);
        if (v != values.constEnd())
            m_storage[c.slot] = v.value();
    }
}

QVector<RegAddress> RegisterFile::addresses() const
{
    QVector<quint32> keys;
    keys.reserve(m_cells.size());
    for (auto it = m_cells.constBegin(); it != m_cells.constEnd(); ++it)
        keys.append(it.key());
    std::sort(keys.begin(), keys.end());
    QVector<RegAddress> out;
    out.reserve(keys.size());
    for (quint32 k : keys)
        out.append(RegAddress{RegKind(k >> 16), quint8((k >> 12) & 0xF), quint16(k & 0x0FFF)});
    return out;
}

QString RegisterFile::dumpText() const
{
    QString out;
    for (const RegAddress &a : addresses()) {
        out += QStringLiteral("%1 %2 %3 %4\n")
                   .arg(QChar(char(a.kind)))
                   .arg(a.page, 1, 16)
                   .arg(a.reg, 4, 16, QLatin1Char('0'))
                   .arg(read(a.kind, a.page, a.reg), 4, 16, QLatin1Char('0'))
                   .toUpper();
    }
    return out;
}

} // namespace sim
