#pragma once

#include <QString>

// The name and version shown in the window caption, tab 0 and the version label.
namespace NombreAplicacion {
inline QString nombre()
{
    return QStringLiteral("Expedientes");
}
inline QString version()
{
    return QStringLiteral(EXPEDIENTES_VERSION);
}
inline QString titulo()
{
    return nombre() + QStringLiteral(" ") + version();
}
} // namespace NombreAplicacion
