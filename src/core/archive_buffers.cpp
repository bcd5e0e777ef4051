#include "archive_buffers.h"

quint8 archiv_read_mas[kArchiveReadBufferSize] = {};
quint32 address_archiv_start = 0;
quint32 address_archiv_stop = 0;
