#include "components/tiff/LectorTiff.h"

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
