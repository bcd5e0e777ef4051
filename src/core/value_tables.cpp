#include "value_tables.h"

const QString login_noname = QStringLiteral("Noname");
