// Turning, moving and removing held pages for the viewer: the part of EscanerSane that edits
// the spool between scans.
#include "components/escaner/EscanerSane.h"

QString EscanerSane::ArchivoPagina(int posicion)
{
    return paginaValida(posicion, false) ? spool_.pagina(posicion).ruta : QString();
}

int EscanerSane::GirarPagina(int posicion, int cuartos)
{
    if (!paginaValida(posicion, true))
        return 0;
    QString error;
    if (!spool_.girar(posicion, cuartos, &error)) {
        fallar(ErrorArchivo,
               QStringLiteral("No se pudo girar la hoja %1: %2").arg(posicion + 1).arg(error));
        return 0;
    }
    return 1;
}

int EscanerSane::MoverPagina(int desde, int hasta)
{
    if (!paginaValida(desde, true) || !paginaValida(hasta, true))
        return 0;
    if (!spool_.mover(desde, hasta)) {
        fallar(ErrorArchivo, QStringLiteral("No se pudo mover la hoja %1 en la carpeta de "
                                            "recuperación.")
                                 .arg(desde + 1));
        return 0;
    }
    return 1;
}

QString EscanerSane::ApartarPagina(int posicion)
{
    if (!paginaValida(posicion, true))
        return {};
    const QString apartada = spool_.apartar(posicion);
    if (apartada.isEmpty())
        fallar(ErrorArchivo, QStringLiteral("No se pudo quitar la hoja %1 de la carpeta de "
                                            "recuperación.")
                                 .arg(posicion + 1));
    return apartada;
}

int EscanerSane::ReponerPagina(const QString& apartada, int posicion)
{
    limpiar();
    if (escaneando_) {
        fallar(ErrorOcupado, QStringLiteral("Espere a que termine el escaneo."));
        return 0;
    }
    if (!spool_.reponer(apartada, posicion)) {
        fallar(ErrorArchivo, QStringLiteral("No se pudo volver a poner la hoja quitada."));
        return 0;
    }
    return 1;
}
