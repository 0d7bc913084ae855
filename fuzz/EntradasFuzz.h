#pragma once

// What each fuzz target does with one input, shared by the fuzzers and by the test that replays
// the kept inputs. Each returns an empty text when the program handled the input soundly, or
// what went wrong; a crash or a sanitizer report is a failure too.

#include "app/ErrorSistema.h"
#include "app/TablaArranque.h"
#include "components/tiff/EscritorTiff.h"
#include "components/tiff/LectorTiff.h"
#include "search/ListaHistorial.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace EntradasFuzz {

inline const QTemporaryDir& carpeta()
{
    static const QTemporaryDir dir;
    return dir;
}

inline bool escribir(const QString& ruta, const QByteArray& datos)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           archivo.write(datos) == datos.size();
}

inline QByteArray leer(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<ilegible>");
}

// The start-up table: the reader gives the four values or an ErrorSistema with a description.
inline QString arranque(const QByteArray& datos)
{
    const QString dir = carpeta().filePath(QStringLiteral("qor"));
    QDir().mkpath(dir);
    if (!escribir(dir + QStringLiteral("/ARRANQUE.dbf"), datos))
        return QStringLiteral("no se pudo preparar la tabla");
    try {
        TablaArranque::LeerArranque(dir);
    } catch (const ErrorSistema& error) {
        if (error.descripcion().isEmpty() || !error.descripcion().contains(dir))
            return QStringLiteral("error sin descripción útil: ") + error.descripcion();
    }
    return {};
}

// The search history: one entry per LF-ended line after the empty row 0, whatever the bytes.
inline QString historial(const QByteArray& datos)
{
    const QString ruta = carpeta().filePath(QStringLiteral("DirLogFact.ini"));
    if (!escribir(ruta, datos))
        return QStringLiteral("no se pudo preparar el historial");
    ListaHistorial lista;
    if (!lista.cargar(ruta))
        return QStringLiteral("el historial no se cargó");
    const qsizetype lineas =
        datos.count('\n') + (!datos.isEmpty() && !datos.endsWith('\n') ? 1 : 0);
    if (lista.filas() != 1 + lineas)
        return QStringLiteral("%1 filas para %2 líneas").arg(lista.filas()).arg(lineas);
    if (!lista.texto(0, 0).isEmpty())
        return QStringLiteral("la fila 0 no está vacía");
    return {};
}

inline QImage hojaFuzz()
{
    QImage imagen(24, 16, QImage::Format_Mono);
    imagen.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    imagen.fill(0);
    imagen.setPixel(3, 3, 1);
    return imagen;
}

// A page appended onto an arbitrary existing file, and the input used as the page to copy onto
// a sound file: a refusal leaves the file byte for byte; a success leaves every page readable.
inline QString tiff(const QByteArray& datos)
{
    const QString destino = carpeta().filePath(QStringLiteral("expedienteN.tif"));
    if (!escribir(destino, datos))
        return QStringLiteral("no se pudo preparar el archivo");
    QString error;
    if (!EscritorTiff::agregarImagen(destino, hojaFuzz(), 200, &error)) {
        if (leer(destino) != datos)
            return QStringLiteral("una hoja rechazada cambió el archivo: ") + error;
        if (error.isEmpty())
            return QStringLiteral("rechazo sin mensaje");
    } else {
        const int paginas = EscritorTiff::contarPaginas(destino);
        if (paginas < 1)
            return QStringLiteral("el archivo quedó ilegible tras agregar la hoja");
        if (LectorTiff::leer(destino, paginas - 1).size() != hojaFuzz().size())
            return QStringLiteral("la hoja agregada no se lee");
    }

    const QString origen = carpeta().filePath(QStringLiteral("hoja.tif"));
    const QString sano = carpeta().filePath(QStringLiteral("expedienteS.tif"));
    if (!escribir(origen, datos) || !EscritorTiff::escribirArchivo(sano, hojaFuzz(), 200))
        return QStringLiteral("no se pudo preparar la copia");
    const QByteArray antes = leer(sano);
    if (!EscritorTiff::agregarPaginaTiff(sano, origen, &error)) {
        if (leer(sano) != antes)
            return QStringLiteral("una copia rechazada cambió el archivo: ") + error;
    } else if (EscritorTiff::contarPaginas(sano) != 2) {
        return QStringLiteral("la copia no dejó dos hojas");
    }
    return {};
}

} // namespace EntradasFuzz
