// Buffers that the archive replies of the detector fill: the records read
// with function 12 and the record range that function 20 finds for a time
// window. The archive download works on these between transactions.
#pragma once

#include <QtGlobal>

// Room for the records of one function 12 reply (at most 25 records; the
// largest records, 168 bytes, fit 17 times).
constexpr int kArchiveReadBufferSize = 3000;
extern quint8 archiv_read_mas[kArchiveReadBufferSize];

// First and last archive record numbers of the window asked for with
// function 20.
extern quint32 address_archiv_start;
extern quint32 address_archiv_stop;
