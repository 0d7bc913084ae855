#include "components/escaner/AnalisisPagina.h"

#include <QTransform>
#include <cmath>
#include <cstring>
#include <leptonica/allheaders.h>
#include <memory>
#include <numbers>

namespace {
struct BorrarPix
{
    void operator()(PIX* pix) const { pixDestroy(&pix); }
};
using PixPropio = std::unique_ptr<PIX, BorrarPix>;

// Below this confidence Leptonica's own deskew leaves a page alone.
constexpr float kConfianzaMinima = 3.0f;
// Grey level under which a grey or colour pixel is ink.
constexpr int kUmbralGris = 130;
// Below kCasiNada a page is blank, specks or not; past kTintaCierta it has writing: neither
// needs its specks counted out.
constexpr double kCasiNada = 0.00001;
constexpr double kTintaCierta = 0.02;
// Smaller pages have too few lines for the skew search to mean anything.
constexpr int kLadoMinimo = 200;

int pppDe(const QImage& imagen)
{
    return int(std::lround(imagen.dotsPerMeterX() * 0.0254));
}

// Leptonica keeps rows in 32-bit words, most significant byte first; Qt in bytes. Rows are
// copied as they are and the words swapped once on a little-endian machine.
PixPropio desdeFilas(const QImage& imagen, int profundidad, int bytesFila)
{
    PixPropio pix(pixCreate(imagen.width(), imagen.height(), profundidad));
    if (!pix)
        return {};
    const int palabras = pixGetWpl(pix.get());
    l_uint32* datos = pixGetData(pix.get());
    for (int y = 0; y < imagen.height(); ++y)
        std::memcpy(datos + qsizetype(y) * palabras, imagen.constScanLine(y), size_t(bytesFila));
    pixEndianByteSwap(pix.get());
    return pix;
}

PixPropio aPix(const QImage& imagen)
{
    PixPropio pix;
    if (imagen.format() == QImage::Format_Mono || imagen.format() == QImage::Format_MonoLSB) {
        const QImage mono = imagen.convertToFormat(QImage::Format_Mono);
        pix = desdeFilas(mono, 1, (mono.width() + 7) / 8);
        // Leptonica's 1 is ink; a picture whose index 1 is the light colour is turned over.
        const bool unoEsTinta =
            mono.colorCount() < 2 || qGray(mono.color(1)) < qGray(mono.color(0));
        if (pix && !unoEsTinta)
            pixInvert(pix.get(), pix.get());
    } else if (imagen.isGrayscale() && imagen.depth() <= 16) {
        const QImage gris = imagen.convertToFormat(QImage::Format_Grayscale8);
        pix = desdeFilas(gris, 8, gris.width());
    } else {
        const QImage color = imagen.convertToFormat(QImage::Format_RGB32);
        pix.reset(pixCreate(color.width(), color.height(), 32));
        if (!pix)
            return {};
        const int palabras = pixGetWpl(pix.get());
        l_uint32* datos = pixGetData(pix.get());
        for (int y = 0; y < color.height(); ++y) {
            const auto* fila = reinterpret_cast<const QRgb*>(color.constScanLine(y));
            l_uint32* destino = datos + qsizetype(y) * palabras;
            for (int x = 0; x < color.width(); ++x)
                destino[x] = l_uint32(fila[x]) << 8; // 0xRRGGBB00
        }
    }
    if (pix) {
        const int ppp = pppDe(imagen);
        pixSetResolution(pix.get(), ppp, ppp);
    }
    return pix;
}

QImage aQImage(PIX* pix, const QImage& modelo)
{
    const int ancho = int(pixGetWidth(pix));
    const int alto = int(pixGetHeight(pix));
    const int profundidad = int(pixGetDepth(pix));
    QImage imagen;
    if (profundidad == 1 || profundidad == 8) {
        pixEndianByteSwap(pix);
        imagen =
            QImage(ancho, alto, profundidad == 1 ? QImage::Format_Mono : QImage::Format_Grayscale8);
        if (profundidad == 1)
            imagen.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        const int palabras = pixGetWpl(pix);
        const l_uint32* datos = pixGetData(pix);
        const size_t bytes = size_t(profundidad == 1 ? (ancho + 7) / 8 : ancho);
        for (int y = 0; y < alto; ++y)
            std::memcpy(imagen.scanLine(y), datos + qsizetype(y) * palabras, bytes);
    } else if (profundidad == 32) {
        imagen = QImage(ancho, alto, QImage::Format_RGB32);
        const int palabras = pixGetWpl(pix);
        const l_uint32* datos = pixGetData(pix);
        for (int y = 0; y < alto; ++y) {
            auto* fila = reinterpret_cast<QRgb*>(imagen.scanLine(y));
            const l_uint32* origen = datos + qsizetype(y) * palabras;
            for (int x = 0; x < ancho; ++x)
                fila[x] = 0xff000000u | (origen[x] >> 8);
        }
        imagen = imagen.convertToFormat(modelo.format());
    } else {
        return {};
    }
    imagen.setDotsPerMeterX(modelo.dotsPerMeterX());
    imagen.setDotsPerMeterY(modelo.dotsPerMeterY());
    return imagen;
}

// The page at one bit per pixel, 1 the ink.
PixPropio binario(const QImage& imagen)
{
    PixPropio pix = aPix(imagen);
    if (!pix || pixGetDepth(pix.get()) == 1)
        return pix;
    return PixPropio(pixConvertTo1(pix.get(), kUmbralGris));
}

double tintaDe(PIX* binaria, int ppp)
{
    const int ancho = int(pixGetWidth(binaria));
    const int alto = int(pixGetHeight(binaria));
    const int x = int(ancho * AnalisisPagina::kBorde);
    const int y = int(alto * AnalisisPagina::kBorde);
    std::unique_ptr<BOX, void (*)(BOX*)> caja(boxCreate(x, y, ancho - 2 * x, alto - 2 * y),
                                              [](BOX* b) { boxDestroy(&b); });
    PixPropio centro(caja ? pixClipRectangle(binaria, caja.get(), nullptr) : nullptr);
    if (!centro)
        return -1;
    l_float32 fraccion = 0;
    if (pixForegroundFraction(centro.get(), &fraccion) != 0)
        return -1;
    // Past a few hundredths it is writing, whatever specks are among it.
    if (fraccion < kCasiNada || fraccion >= kTintaCierta)
        return fraccion;
    // Dust and sensor noise are specks a pixel or two across; a pen stroke, however thin, runs
    // longer than that one way or the other, so it stays.
    const int mota = ppp >= 400 ? 4 : 3;
    PixPropio limpia(
        pixSelectBySize(centro.get(), mota, mota, 8, L_SELECT_IF_EITHER, L_SELECT_IF_GTE, nullptr));
    if (!limpia || pixForegroundFraction(limpia.get(), &fraccion) != 0)
        return -1;
    return fraccion;
}

double inclinacionDe(PIX* binaria, double* confianza)
{
    if (confianza)
        *confianza = 0;
    if (int(pixGetWidth(binaria)) < kLadoMinimo || int(pixGetHeight(binaria)) < kLadoMinimo)
        return 0;
    l_float32 angulo = 0;
    l_float32 conf = 0;
    // Leptonica's defaults for its own deskew: a coarse sweep at 1/4 size by 1°, then a binary
    // search at 1/2 size down to 0.01°.
    if (pixFindSkewSweepAndSearch(binaria, &angulo, &conf, 4, 2,
                                  l_float32(AnalisisPagina::kInclinacionMaxima), 1.0f, 0.01f) != 0)
        return 0;
    if (confianza)
        *confianza = conf;
    return conf >= kConfianzaMinima ? double(angulo) : 0;
}
} // namespace

double AnalisisPagina::tinta(const QImage& pagina)
{
    if (pagina.isNull())
        return -1;
    const PixPropio binaria = binario(pagina);
    return binaria ? tintaDe(binaria.get(), pppDe(pagina)) : -1;
}

double AnalisisPagina::inclinacion(const QImage& pagina, double* confianza)
{
    if (confianza)
        *confianza = 0;
    if (pagina.isNull())
        return 0;
    const PixPropio binaria = binario(pagina);
    return binaria ? inclinacionDe(binaria.get(), confianza) : 0;
}

QImage AnalisisPagina::girar(const QImage& pagina, double grados)
{
    // Leptonica tells on stderr how it chose to rotate each page; only its warnings matter.
    static const bool callado = [] {
        setMsgSeverity(L_SEVERITY_WARNING);
        return true;
    }();
    Q_UNUSED(callado);
    const PixPropio pix = aPix(pagina);
    if (!pix)
        return pagina;
    const auto radianes = l_float32(grados * std::numbers::pi / 180.0);
    // Shear keeps a bilevel page at one bit with sharp edges; area mapping interpolates grey and
    // colour. Width and height 0: the page keeps its size, the corners that turn out go.
    const int forma = pixGetDepth(pix.get()) == 1 ? L_ROTATE_SHEAR : L_ROTATE_AREA_MAP;
    const PixPropio girada(pixRotate(pix.get(), radianes, forma, L_BRING_IN_WHITE, 0, 0));
    if (!girada)
        return pagina;
    const QImage imagen = aQImage(girada.get(), pagina);
    return imagen.isNull() ? pagina : imagen;
}

QImage AnalisisPagina::girarCuartos(const QImage& pagina, int cuartos)
{
    cuartos = ((cuartos % 4) + 4) % 4;
    QImage girada;
    if (pagina.depth() == 1) {
        const PixPropio pix = aPix(pagina);
        const PixPropio vuelta(pix ? pixRotateOrth(pix.get(), cuartos) : nullptr);
        if (vuelta)
            girada = aQImage(vuelta.get(), pagina);
    }
    if (girada.isNull())
        girada = pagina.transformed(QTransform().rotate(90.0 * cuartos));
    if (cuartos % 2 == 1) {
        girada.setDotsPerMeterX(pagina.dotsPerMeterY());
        girada.setDotsPerMeterY(pagina.dotsPerMeterX());
    }
    return girada;
}

AnalisisPagina::Resultado AnalisisPagina::analizar(const QImage& pagina,
                                                   const TratamientoHojas& tratamiento)
{
    Resultado resultado;
    resultado.imagen = pagina;
    if (pagina.isNull() || !tratamiento.activo())
        return resultado;
    const PixPropio binaria = binario(pagina);
    if (!binaria)
        return resultado;
    if (tratamiento.quitarBlancas) {
        resultado.tinta = tintaDe(binaria.get(), pppDe(pagina));
        resultado.enBlanco = resultado.tinta >= 0 && resultado.tinta < tratamiento.umbralBlanco;
        if (resultado.enBlanco)
            return resultado;
    }
    if (tratamiento.enderezar) {
        const double grados = inclinacionDe(binaria.get(), nullptr);
        if (std::abs(grados) >= kInclinacionMinima) {
            resultado.imagen = girar(pagina, grados);
            resultado.inclinacion = grados;
        }
    }
    return resultado;
}
