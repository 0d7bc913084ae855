#include "components/MotivoSistema.h"

#include <cerrno>
#include <cstring>

QString MotivoSistema::texto(int codigo, const QString& alternativa)
{
    if (discoLleno(codigo))
        return QStringLiteral("no hay espacio en el disco");
    switch (codigo) {
    case 0:
        return alternativa;
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso de escritura");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case ENOENT:
        return QStringLiteral("la carpeta no existe");
    case EISDIR:
        return QStringLiteral("el nombre lo ocupa una carpeta");
    case EIO:
        return QStringLiteral("el disco no responde (error de entrada y salida)");
    default:
        return QString::fromLocal8Bit(std::strerror(codigo)) +
               QStringLiteral(" (error %1)").arg(codigo);
    }
}

bool MotivoSistema::discoLleno(int codigo)
{
    // EFBIG: the file-size limit of the process, which is full disk as far as it can tell.
    return codigo == ENOSPC || codigo == EFBIG || codigo == EDQUOT;
}
