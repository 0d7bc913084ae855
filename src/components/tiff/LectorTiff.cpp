#include "components/tiff/LectorTiff.h"

#include <QCryptographicHash>
#include <QFile>
#include <memory>
#include <tiffio.h>

namespace {
struct CerrarTiff
{
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

QImage leerRgba(TIFF* tif, uint32_t ancho, uint32_t alto)
{
    QImage imagen(int(ancho), int(alto), QImage::Format_RGBA8888);
    if (imagen.isNull() ||
        !TIFFReadRGBAImageOriented(tif, ancho, alto, reinterpret_cast<uint32_t*>(imagen.bits()),
                                   ORIENTATION_TOPLEFT, 0))
        return {};
    return imagen.convertToFormat(QImage::Format_RGB888);
}
} // namespace

QImage LectorTiff::leer(const QString& archivo, int pagina)
{
    std::unique_ptr<TIFF, CerrarTiff> tif(TIFFOpen(QFile::encodeName(archivo).constData(), "r"));
    if (!tif || !TIFFSetDirectory(tif.get(), tdir_t(pagina)))
        return {};
    TIFF* t = tif.get();
    uint32_t ancho = 0, alto = 0;
    uint16_t bits = 1, muestras = 1, fotometria = 0, compresion = 0, plano = PLANARCONFIG_CONTIG;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &ancho);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &alto);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &muestras);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &plano);
    TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &fotometria);
    TIFFGetField(t, TIFFTAG_COMPRESSION, &compresion);
    if (ancho == 0 || alto == 0)
        return {};

    QImage imagen;
    if (bits == 1 && muestras == 1 &&
        (fotometria == PHOTOMETRIC_MINISWHITE || fotometria == PHOTOMETRIC_MINISBLACK)) {
        imagen = QImage(int(ancho), int(alto), QImage::Format_Mono);
        const QRgb blanco = qRgb(255, 255, 255), negro = qRgb(0, 0, 0);
        if (fotometria == PHOTOMETRIC_MINISWHITE)
            imagen.setColorTable({blanco, negro});
        else
            imagen.setColorTable({negro, blanco});
    } else if (bits == 8 && muestras == 1 && fotometria == PHOTOMETRIC_MINISBLACK) {
        imagen = QImage(int(ancho), int(alto), QImage::Format_Grayscale8);
    } else if (bits == 8 && muestras == 3 && plano == PLANARCONFIG_CONTIG &&
               (fotometria == PHOTOMETRIC_RGB ||
                (fotometria == PHOTOMETRIC_YCBCR && compresion == COMPRESSION_JPEG))) {
        if (fotometria == PHOTOMETRIC_YCBCR)
            TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        imagen = QImage(int(ancho), int(alto), QImage::Format_RGB888);
    } else {
        return leerRgba(t, ancho, alto);
    }
    if (imagen.isNull())
        return {};
    for (uint32_t y = 0; y < alto; ++y) {
        if (TIFFReadScanline(t, imagen.scanLine(int(y)), y, 0) < 0)
            return {};
    }
    float ppp = 0;
    if (TIFFGetField(t, TIFFTAG_XRESOLUTION, &ppp) && ppp > 0) {
        imagen.setDotsPerMeterX(qRound(ppp / 0.0254));
        imagen.setDotsPerMeterY(qRound(ppp / 0.0254));
    }
    return imagen;
}

QStringList LectorTiff::huellasPaginas(const QString& archivo)
{
    std::unique_ptr<TIFF, CerrarTiff> tif(TIFFOpen(QFile::encodeName(archivo).constData(), "r"));
    if (!tif)
        return {};
    TIFF* t = tif.get();
    QStringList huellas;
    QByteArray datos;
    do {
        QCryptographicHash sha(QCryptographicHash::Sha256);
        uint32_t ancho = 0, alto = 0;
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &ancho);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &alto);
        sha.addData(QByteArray::number(ancho) + 'x' + QByteArray::number(alto));
        const bool mosaico = TIFFIsTiled(t);
        const uint32_t partes = mosaico ? TIFFNumberOfTiles(t) : TIFFNumberOfStrips(t);
        uint64_t* cuentas = nullptr;
        if (partes > 0 &&
            (!TIFFGetField(t, mosaico ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS,
                           &cuentas) ||
             !cuentas))
            return {};
        for (uint32_t parte = 0; parte < partes; ++parte) {
            const auto tamano = tmsize_t(cuentas[parte]);
            if (tamano < 0 || tamano > (tmsize_t(1) << 30))
                return {};
            datos.resize(qsizetype(tamano));
            const tmsize_t leidos = mosaico ? TIFFReadRawTile(t, parte, datos.data(), tamano)
                                            : TIFFReadRawStrip(t, parte, datos.data(), tamano);
            if (leidos < 0)
                return {};
            sha.addData(QByteArrayView(datos.constData(), qsizetype(leidos)));
        }
        huellas << QString::fromLatin1(sha.result().toHex().left(32));
    } while (TIFFReadDirectory(t));
    return huellas;
}
