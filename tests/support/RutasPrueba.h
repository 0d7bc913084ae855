#pragma once

#include <QString>

// Folders of the source tree and of the build, for tests that run scripts or write artefacts.
namespace RutasPrueba {
inline QString fuentes() { return QStringLiteral(EXPEDIENTES_FUENTES_DIR); }
inline QString binarios() { return QStringLiteral(EXPEDIENTES_BINARIOS_DIR); }
// Debian's own python3, the one apt's modules (dbf, pyftpdlib) belong to.
inline QString python() { return QStringLiteral("/usr/bin/python3"); }
} // namespace RutasPrueba
