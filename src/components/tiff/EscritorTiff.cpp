#include "components/tiff/EscritorTiff.h"

#include "components/MotivoSistema.h"
#include "components/tiff/EstructuraTiff.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cerrno>
#include <memory>
#include <tiffio.h>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcTiff)
Q_LOGGING_CATEGORY(lcTiff, "expedientes.scan.tiff")

namespace {
constexpr int kCalidadJpeg = 80;

struct CerrarTiff
{
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using Tiff = std::unique_ptr<TIFF, CerrarTiff>;

Tiff abrir(const QString& archivo, const char* modo)
{
    return Tiff(TIFFOpen(QFile::encodeName(archivo).constData(), modo));
}

void fijarError(QString* error, const QString& texto)
{
    qCWarning(lcTiff) << texto;
    if (error)
        *error = texto;
}

// Black pixel as bit 1, whatever colour table the picture carries.
bool unoEsNegro(const QImage& imagen)
{
    return imagen.colorCount() < 2 || qGray(imagen.color(1)) < qGray(imagen.color(0));
}
} // namespace

bool EscritorTiff::escribirDirectorio(TIFF* tif, const QImage& original, int ppp, QString* error)
{
    if (original.isNull()) {
        fijarError(error, QStringLiteral("La hoja no tiene imagen"));
        return false;
    }
    QImage imagen = original;
    const bool bilevel =
        imagen.format() == QImage::Format_Mono || imagen.format() == QImage::Format_MonoLSB;
    if (bilevel) {
        imagen = imagen.convertToFormat(QImage::Format_Mono);
    } else if (imagen.isGrayscale()) {
        imagen = imagen.convertToFormat(QImage::Format_Grayscale8);
    } else {
        imagen = imagen.convertToFormat(QImage::Format_RGB888);
    }
    const uint32_t ancho = imagen.width();
    const uint32_t alto = imagen.height();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, ancho);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, alto);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    if (ppp > 0) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(ppp));
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(ppp));
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    std::vector<uint8_t> linea;
    bool invertir = false;
    if (bilevel) {
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, alto);
        invertir = !unoEsNegro(imagen);
        linea.resize((ancho + 7) / 8);
    } else {
        const bool color = imagen.format() == QImage::Format_RGB888;
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, color ? 3 : 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, kCalidadJpeg);
        if (color) {
            // YCbCr with libtiff doing the conversion: a third of the size of RGB JPEG.
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        } else {
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        }
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 64));
        linea.resize(imagen.bytesPerLine());
    }
    for (uint32_t y = 0; y < alto; ++y) {
        const uchar* origen = imagen.constScanLine(int(y));
        const size_t bytes = bilevel ? linea.size() : size_t(ancho) * (imagen.depth() / 8);
        for (size_t i = 0; i < bytes; ++i)
            linea[i] = invertir ? uint8_t(~origen[i]) : origen[i];
        if (TIFFWriteScanline(tif, linea.data(), y, 0) < 0) {
            fijarError(error, QStringLiteral("No se pudo escribir la línea %1 de la hoja").arg(y));
            return false;
        }
    }
    if (!TIFFWriteDirectory(tif)) {
        fijarError(error, QStringLiteral("No se pudo cerrar la hoja en el archivo TIFF"));
        return false;
    }
    return true;
}

bool EscritorTiff::copiarDirectorio(TIFF* origen, TIFF* destino, QString* error)
{
    uint16_t compresion = 0;
    TIFFGetField(origen, TIFFTAG_COMPRESSION, &compresion);
    TIFFSetField(destino, TIFFTAG_COMPRESSION, compresion);
    // Tags of the pages this class writes; raw strips need every one that shapes their decoding.
    for (ttag_t etiqueta : {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH, TIFFTAG_ROWSPERSTRIP}) {
        uint32_t valor = 0;
        if (TIFFGetField(origen, etiqueta, &valor))
            TIFFSetField(destino, etiqueta, valor);
    }
    for (ttag_t etiqueta :
         {TIFFTAG_BITSPERSAMPLE, TIFFTAG_SAMPLESPERPIXEL, TIFFTAG_PHOTOMETRIC, TIFFTAG_PLANARCONFIG,
          TIFFTAG_ORIENTATION, TIFFTAG_RESOLUTIONUNIT, TIFFTAG_FILLORDER}) {
        uint16_t valor = 0;
        if (TIFFGetField(origen, etiqueta, &valor))
            TIFFSetField(destino, etiqueta, valor);
    }
    TIFFSetField(destino, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    for (ttag_t etiqueta : {TIFFTAG_XRESOLUTION, TIFFTAG_YRESOLUTION}) {
        float valor = 0;
        if (TIFFGetField(origen, etiqueta, &valor))
            TIFFSetField(destino, etiqueta, valor);
    }
    uint32_t opciones = 0;
    if (compresion == COMPRESSION_CCITTFAX4 &&
        TIFFGetField(origen, TIFFTAG_GROUP4OPTIONS, &opciones))
        TIFFSetField(destino, TIFFTAG_GROUP4OPTIONS, opciones);
    if (compresion == COMPRESSION_JPEG) {
        uint32_t largo = 0;
        void* tablas = nullptr;
        if (TIFFGetField(origen, TIFFTAG_JPEGTABLES, &largo, &tablas))
            TIFFSetField(destino, TIFFTAG_JPEGTABLES, largo, tablas);
        uint16_t sub1 = 0, sub2 = 0;
        if (TIFFGetField(origen, TIFFTAG_YCBCRSUBSAMPLING, &sub1, &sub2))
            TIFFSetField(destino, TIFFTAG_YCBCRSUBSAMPLING, sub1, sub2);
        float* referencia = nullptr;
        if (TIFFGetField(origen, TIFFTAG_REFERENCEBLACKWHITE, &referencia))
            TIFFSetField(destino, TIFFTAG_REFERENCEBLACKWHITE, referencia);
    }
    const tstrip_t tiras = TIFFNumberOfStrips(origen);
    // A damaged directory can claim strips larger than the file; they cannot be read anyway.
    const uint64_t largoOrigen = TIFFGetSizeProc(origen)(TIFFClientdata(origen));
    std::vector<uint8_t> datos;
    for (tstrip_t t = 0; t < tiras; ++t) {
        const tmsize_t tamano = TIFFRawStripSize(origen, t);
        if (tamano < 0 || uint64_t(tamano) > largoOrigen) {
            fijarError(error, QStringLiteral("La hoja de origen está dañada"));
            return false;
        }
        datos.resize(size_t(tamano));
        const tmsize_t leidos = TIFFReadRawStrip(origen, t, datos.data(), tamano);
        if (leidos != tamano || TIFFWriteRawStrip(destino, t, datos.data(), leidos) != leidos) {
            fijarError(error, QStringLiteral("No se pudieron copiar los datos de la hoja"));
            return false;
        }
    }
    if (!TIFFWriteDirectory(destino)) {
        fijarError(error, QStringLiteral("No se pudo cerrar la hoja en el archivo TIFF"));
        return false;
    }
    return true;
}

template <typename Escribir>
bool EscritorTiff::agregar(const QString& archivo, Escribir escribir, QString* error, int* sistema)
{
    if (sistema)
        *sistema = 0;
    const bool nuevo = !QFileInfo::exists(archivo);
    // A file that is not a sound TIFF (a failed download, a cut copy) is refused untouched:
    // libtiff would otherwise write into it, or over it.
    std::optional<EstructuraTiff::Respaldo> respaldo;
    if (!nuevo) {
        QString motivo;
        respaldo = EstructuraTiff::examinar(archivo, &motivo);
        if (!respaldo) {
            fijarError(error, motivo);
            return false;
        }
    }
    bool bien = false;
    QString motivo;
    int codigo = 0;
    {
        // "a" appends a new directory and only relinks the last one: earlier pages stay as
        // they are.
        errno = 0;
        Tiff tif = abrir(archivo, "a");
        if (tif)
            bien = escribir(tif.get(), &motivo);
        else
            motivo = QStringLiteral("no se pudo abrir");
        // Taken before the undo below makes calls of its own.
        if (!bien)
            codigo = errno;
    }
    if (!bien && codigo != 0) {
        motivo += QStringLiteral(" (") + MotivoSistema::texto(codigo) + QLatin1Char(')');
        if (sistema)
            *sistema = codigo;
    }
    if (!bien) {
        // Undo the append: no half-written page is left in the document.
        if (nuevo)
            QFile::remove(archivo);
        else
            EstructuraTiff::restaurar(archivo, *respaldo);
        fijarError(
            error,
            QStringLiteral("No se pudo agregar la hoja al archivo %1: %2").arg(archivo, motivo));
    }
    return bien;
}

bool EscritorTiff::escribirArchivo(const QString& archivo, const QImage& imagen, int ppp,
                                   QString* error)
{
    bool bien = false;
    {
        Tiff tif = abrir(archivo, "w");
        if (!tif) {
            fijarError(error, QStringLiteral("No se pudo crear el archivo TIFF %1").arg(archivo));
            return false;
        }
        bien = escribirDirectorio(tif.get(), imagen, ppp, error);
    }
    if (!bien)
        QFile::remove(archivo);
    return bien;
}

bool EscritorTiff::agregarImagen(const QString& archivo, const QImage& imagen, int ppp,
                                 QString* error)
{
    return agregar(
        archivo,
        [&](TIFF* tif, QString* motivo) { return escribirDirectorio(tif, imagen, ppp, motivo); },
        error);
}

bool EscritorTiff::agregarPaginaTiff(const QString& archivo, const QString& origen, QString* error,
                                     int* sistema)
{
    if (sistema)
        *sistema = 0;
    Tiff fuente = abrir(origen, "r");
    if (!fuente) {
        fijarError(error, QStringLiteral("No se pudo leer la hoja %1").arg(origen));
        return false;
    }
    return agregar(
        archivo,
        [&](TIFF* tif, QString* motivo) { return copiarDirectorio(fuente.get(), tif, motivo); },
        error, sistema);
}

int EscritorTiff::contarPaginas(const QString& archivo)
{
    Tiff tif = abrir(archivo, "r");
    if (!tif)
        return -1;
    int paginas = 0;
    do {
        ++paginas;
    } while (TIFFReadDirectory(tif.get()));
    return paginas;
}
