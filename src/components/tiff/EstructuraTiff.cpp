#include "components/tiff/EstructuraTiff.h"

#include <QFile>
#include <QSet>
#include <QtEndian>
#include <tiffio.h>

namespace {
constexpr int kMaximoDirectorios = 65535;

struct Lector
{
    const QByteArray& datos;
    bool big; // big-endian
    std::optional<quint64> leer(qint64 en, int bytes) const
    {
        if (en < 0 || en + bytes > datos.size())
            return std::nullopt;
        const auto* p = reinterpret_cast<const uchar*>(datos.constData() + en);
        switch (bytes) {
        case 2:
            return big ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
        case 4:
            return big ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
        default:
            return big ? qFromBigEndian<quint64>(p) : qFromLittleEndian<quint64>(p);
        }
    }
};
} // namespace

std::optional<EstructuraTiff::Respaldo> EstructuraTiff::examinar(const QString& archivo,
                                                                 QString* error)
{
    const auto fallar = [&](const QString& motivo) -> std::optional<Respaldo> {
        if (error)
            *error = QStringLiteral("El archivo %1 no es un TIFF válido (%2); no se le agregó la "
                                    "hoja.")
                         .arg(archivo, motivo);
        return std::nullopt;
    };
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error =
                QStringLiteral("No se pudo leer el archivo %1: %2").arg(archivo, f.errorString());
        return std::nullopt;
    }
    const QByteArray datos = f.readAll();
    Respaldo r;
    r.tamano = datos.size();
    if (datos.isEmpty())
        return r; // an empty file takes its first page like a new one
    if (datos.size() < 8 || !(datos.startsWith("II") || datos.startsWith("MM")))
        return fallar(QStringLiteral("cabecera"));
    const Lector l{datos, datos.startsWith("MM")};
    const quint64 version = *l.leer(2, 2);
    const bool bigTiff = version == 43;
    if (version != 42 && !bigTiff)
        return fallar(QStringLiteral("cabecera"));
    const int ancho = bigTiff ? 8 : 4; // offsets
    const int entrada = bigTiff ? 20 : 12;
    const int cuenta = bigTiff ? 8 : 2;
    qint64 enlace = bigTiff ? 8 : 4;
    std::optional<quint64> siguiente = l.leer(enlace, ancho);
    QSet<quint64> vistos;
    while (siguiente && *siguiente != 0) {
        const quint64 dir = *siguiente;
        if (dir < 8 || dir >= quint64(datos.size()))
            return fallar(QStringLiteral("directorio fuera del archivo"));
        if (vistos.contains(dir) || vistos.size() >= kMaximoDirectorios)
            return fallar(QStringLiteral("directorios en bucle"));
        vistos.insert(dir);
        const auto entradas = l.leer(qint64(dir), cuenta);
        // A BigTIFF count is 64 bits: one larger than the file could hold is damage, and would
        // overflow the offset of the link below.
        if (!entradas || *entradas == 0 || *entradas > quint64(datos.size()) / entrada)
            return fallar(QStringLiteral("directorio fuera del archivo"));
        enlace = qint64(dir) + cuenta + qint64(*entradas) * entrada;
        siguiente = l.leer(enlace, ancho);
    }
    if (!siguiente)
        return fallar(QStringLiteral("archivo cortado"));
    if (vistos.isEmpty())
        return fallar(QStringLiteral("sin páginas"));
    // The chain is sound; libtiff must also be able to read every page's directory.
    TIFF* tif = TIFFOpen(QFile::encodeName(archivo).constData(), "r");
    if (!tif)
        return fallar(QStringLiteral("directorio ilegible"));
    int leidos = 1;
    while (TIFFReadDirectory(tif))
        ++leidos;
    TIFFClose(tif);
    if (leidos != vistos.size())
        return fallar(QStringLiteral("directorio ilegible"));
    r.posicionEnlace = enlace;
    r.enlace = datos.mid(enlace, ancho);
    r.paginas = leidos;
    return r;
}

bool EstructuraTiff::restaurar(const QString& archivo, const Respaldo& respaldo)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    bool bien = f.resize(respaldo.tamano);
    if (respaldo.posicionEnlace >= 0)
        bien = f.seek(respaldo.posicionEnlace) &&
               f.write(respaldo.enlace) == respaldo.enlace.size() && bien;
    return bien;
}
