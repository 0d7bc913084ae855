#include "components/escaner/TextoEstadoSane.h"

QString TextoEstadoSane(SANE_Status estado)
{
    switch (estado) {
    case SANE_STATUS_GOOD:
        return {};
    case SANE_STATUS_UNSUPPORTED:
        return QStringLiteral("El escáner no admite la operación solicitada.");
    case SANE_STATUS_CANCELLED:
        return QStringLiteral("El escaneo fue cancelado.");
    case SANE_STATUS_DEVICE_BUSY:
        return QStringLiteral("El escáner está ocupado; intente de nuevo en un momento.");
    case SANE_STATUS_INVAL:
        return QStringLiteral("El escáner no acepta los valores solicitados.");
    case SANE_STATUS_EOF:
        return QStringLiteral("El escáner no tiene más datos.");
    case SANE_STATUS_JAMMED:
        return QStringLiteral(
            "El papel se atoró en el escáner. Retire la hoja y vuelva a escanear.");
    case SANE_STATUS_NO_DOCS:
        return QStringLiteral("No hay hojas en el alimentador del escáner.");
    case SANE_STATUS_COVER_OPEN:
        return QStringLiteral("La tapa del escáner está abierta. Ciérrela y vuelva a escanear.");
    case SANE_STATUS_IO_ERROR:
        return QStringLiteral("Error de comunicación con el escáner.");
    case SANE_STATUS_NO_MEM:
        return QStringLiteral("No hay memoria suficiente para escanear.");
    case SANE_STATUS_ACCESS_DENIED:
        return QStringLiteral("Acceso denegado al escáner.");
    }
    return QStringLiteral("Error desconocido del escáner (%1).").arg(int(estado));
}
