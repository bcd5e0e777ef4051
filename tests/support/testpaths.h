// Paths the tests need: where the built programs and the sources are.
#pragma once
#include <QString>
inline QString ivraBinDir() { return QStringLiteral(IVRA_BIN_DIR); }
inline QString ivraSourceDir() { return QStringLiteral(IVRA_SOURCE_DIR); }
