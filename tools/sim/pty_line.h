// The detector's serial line: the master side of a pseudo-terminal. The slave
// side is the port the configuration program opens.
#pragma once

#include <QByteArray>
#include <QString>

namespace sim {

class PtyLine
{
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;

    // Opens the pseudo-terminal in raw mode. A slave descriptor stays open
    // here so the line does not hang up while no program has the port open.
    bool open(QString *error);
    QString slavePath() const { return m_slavePath; }
    int fd() const { return m_master; }
    bool isOpen() const { return m_master >= 0; }

    // Reads what is waiting (non-blocking); empty when nothing is.
    QByteArray readAvailable();

    // Writes the bytes; with `baud` > 0 they leave at the pace of an 8N1 line
    // (ten bits a byte). Returns false when the line would not take them
    // within a second (nobody reading).
    bool write(const QByteArray &bytes, int baud);

    // Closes both sides: the program's port sees the line hang up.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

// Monotonic time in microseconds.
qint64 monotonicUs();
void sleepUs(qint64 us);

} // namespace sim
