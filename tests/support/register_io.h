// Calling the register maps directly, without a serial line: a reply's
// register values are placed in the receive buffer as a function 3/4 reply
// carries them, or a function 16 request is built and its values taken back.
#pragma once

#include "command.h"

#include <QVector>

// Decodes `words` as the data of a function `function` (3 or 4) reply to a
// read starting at (page, reg); returns the decoder's result.
quint16 decodeRegisters(Command &cmd, int function, quint8 page, quint16 reg, const QVector<quint16> &words);

// Builds the function 16 request for `count` registers from (page, reg) with
// the write map. Returns the encoder's result; on 2 `words` receives the
// register values placed in the request.
quint16 encodeRegisters(Command &cmd, quint8 page, quint16 reg, quint16 count, QVector<quint16> *words = nullptr);
