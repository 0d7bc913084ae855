#include "components/escaner/LectorSane.h"

#include "components/EscrituraDurable.h"
#include "components/escaner/AnalisisPagina.h"
#include "components/escaner/SpoolPaginas.h"
#include "components/tiff/EscritorTiff.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cstring>
#include <future>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

Q_DECLARE_LOGGING_CATEGORY(lcLector)
Q_LOGGING_CATEGORY(lcLector, "expedientes.scan")

namespace {
constexpr qsizetype kPaginaGrande = 8 * 1024 * 1024;

struct Escrita
{
    PaginaEscaneada pagina;
    QString error;
};

// Measures, straightens or sets aside the page, then writes it compressed where it belongs.
Escrita tratarYEscribir(PaginaEscaneada pagina, int ppp, const TratamientoHojas& tratamiento)
{
    Escrita salida;
    if (tratamiento.activo()) {
        const auto resultado = AnalisisPagina::analizar(pagina.imagen, tratamiento);
        pagina.imagen = resultado.imagen;
        pagina.inclinacion = resultado.inclinacion;
        pagina.enBlanco = resultado.enBlanco;
        if (pagina.enBlanco) {
            const QFileInfo archivo(pagina.ruta);
            const QString carpeta =
                archivo.dir().filePath(QLatin1String(SpoolPaginas::kCarpetaQuitadas));
            EscrituraDurable::crearCarpeta(carpeta);
            pagina.ruta = QDir(carpeta).filePath(archivo.fileName());
        }
        if (pagina.enBlanco || pagina.inclinacion != 0)
            qCInfo(lcLector) << "hoja" << pagina.ruta << "tinta" << resultado.tinta << "girada"
                             << resultado.inclinacion;
    }
    // On disk for good before the window counts it: a power cut after that cannot take it.
    const auto escribir = [&](const QString& ruta, QString* error) {
        return EscritorTiff::escribirArchivo(ruta, pagina.imagen, ppp, error);
    };
    EscrituraDurable::escribir(pagina.ruta, escribir, &salida.error);
    salida.pagina = std::move(pagina);
    return salida;
}
} // namespace

LectorSane::LectorSane(SANE_Handle dispositivo, bool alimentador, int ppp,
                       std::function<QString()> nuevaRuta, TratamientoHojas tratamiento,
                       QObject* parent)
    : QObject(parent), dispositivo_(dispositivo), alimentador_(alimentador), ppp_(ppp),
      nuevaRuta_(std::move(nuevaRuta)), tratamiento_(tratamiento)
{
}

void LectorSane::ejecutar()
{
    int paginas = 0;
    SANE_Status estado = SANE_STATUS_GOOD;
    QString detalle;
    // The page read last is compressed to the spool on a second thread while the device reads
    // the next one; pages still reach the UI thread in order, each only once on disk.
    std::future<Escrita> escritura;
    auto entregar = [&] {
        if (!escritura.valid())
            return true;
        const auto [enCurso, error] = escritura.get();
        if (!error.isEmpty()) {
            detalle = QStringLiteral("No se pudo guardar la hoja en la carpeta de recuperación: %1")
                          .arg(error);
            return false;
        }
        ++paginas;
        const bool grande = qsizetype(enCurso.imagen.sizeInBytes()) > kPaginaGrande;
        emit paginaLeida(enCurso);
#if defined(__GLIBC__)
        // Colour pages are tens of megabytes; glibc keeps freed buffers that size in this
        // thread's arena instead of giving them back, and a long batch would hold hundreds of
        // megabytes. Small pages reuse the same buffers, so they need no trim.
        if (grande)
            malloc_trim(0);
#else
        Q_UNUSED(grande);
#endif
        return true;
    };
    while (!cancelado_) {
        PaginaEscaneada pagina;
        estado = leerPagina(pagina, detalle);
        if (estado != SANE_STATUS_GOOD)
            break;
        if (!entregar()) {
            estado = SANE_STATUS_IO_ERROR;
            break;
        }
        escritura =
            std::async(std::launch::async, &tratarYEscribir, std::move(pagina), ppp_, tratamiento_);
        if (!alimentador_)
            break;
    }
    if (!entregar() && estado == SANE_STATUS_GOOD)
        estado = SANE_STATUS_IO_ERROR;
    sane_cancel(dispositivo_);
    // An empty feeder after at least one page is how a batch ends, not a failure.
    if (estado == SANE_STATUS_NO_DOCS && paginas > 0)
        estado = SANE_STATUS_GOOD;
    if (cancelado_ && estado == SANE_STATUS_GOOD)
        estado = SANE_STATUS_CANCELLED;
    qCInfo(lcLector) << "escaneo terminado:" << paginas << "hojas, estado" << estado;
    emit terminado(int(estado), detalle);
}

SANE_Status LectorSane::leerPagina(PaginaEscaneada& pagina, QString& detalle)
{
    SANE_Status estado = sane_start(dispositivo_);
    if (estado != SANE_STATUS_GOOD)
        return estado;
    QImage imagen;
    QImage canales; // three-pass scanners send red, green and blue as separate frames
    for (;;) {
        SANE_Parameters parametros;
        estado = sane_get_parameters(dispositivo_, &parametros);
        if (estado != SANE_STATUS_GOOD)
            return estado;
        QByteArray datos;
        if (parametros.lines > 0 && parametros.bytes_per_line > 0)
            datos.reserve(qsizetype(parametros.lines) * parametros.bytes_per_line);
        char bloque[1 << 16];
        for (;;) {
            if (cancelado_)
                return SANE_STATUS_CANCELLED;
            SANE_Int leidos = 0;
            estado = sane_read(dispositivo_, reinterpret_cast<SANE_Byte*>(bloque), sizeof bloque,
                               &leidos);
            if (estado == SANE_STATUS_EOF)
                break;
            if (estado != SANE_STATUS_GOOD)
                return estado;
            datos.append(bloque, leidos);
        }
        QImage marco = convertir(parametros, datos);
        if (marco.isNull()) {
            detalle = QStringLiteral("El escáner entregó un formato de imagen que no se reconoce.");
            return SANE_STATUS_UNSUPPORTED;
        }
        if (parametros.format == SANE_FRAME_RED || parametros.format == SANE_FRAME_GREEN ||
            parametros.format == SANE_FRAME_BLUE) {
            if (canales.isNull() || canales.size() != marco.size()) {
                canales = QImage(marco.size(), QImage::Format_RGB888);
                canales.fill(Qt::black);
            }
            const int canal = parametros.format - SANE_FRAME_RED;
            for (int y = 0; y < marco.height(); ++y) {
                const uchar* o = marco.constScanLine(y);
                uchar* d = canales.scanLine(y);
                for (int x = 0; x < marco.width(); ++x)
                    d[3 * x + canal] = o[x];
            }
            imagen = canales;
        } else {
            imagen = marco;
        }
        if (parametros.last_frame)
            break;
        estado = sane_start(dispositivo_);
        if (estado != SANE_STATUS_GOOD)
            return estado;
    }
    pagina.ruta = nuevaRuta_();
    pagina.ancho = imagen.width();
    pagina.alto = imagen.height();
    pagina.bitsPorPixel = imagen.depth();
    pagina.ppp = ppp_;
    if (ppp_ > 0) {
        imagen.setDotsPerMeterX(qRound(ppp_ / 0.0254));
        imagen.setDotsPerMeterY(qRound(ppp_ / 0.0254));
    }
    pagina.imagen = imagen;
    return SANE_STATUS_GOOD;
}

QImage LectorSane::convertir(const SANE_Parameters& p, const QByteArray& datos)
{
    const int ancho = p.pixels_per_line;
    const int bpl = p.bytes_per_line;
    if (ancho <= 0 || bpl <= 0)
        return {};
    const int alto = int(datos.size() / bpl);
    if (alto <= 0)
        return {};
    const auto* origen = reinterpret_cast<const uchar*>(datos.constData());
    const bool gris = p.format != SANE_FRAME_RGB;
    QImage imagen;
    if (gris && p.depth == 1) {
        imagen = QImage(ancho, alto, QImage::Format_Mono);
        imagen.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        const int bytes = qMin(bpl, int(imagen.bytesPerLine()));
        for (int y = 0; y < alto; ++y)
            std::memcpy(imagen.scanLine(y), origen + qsizetype(y) * bpl, size_t(bytes));
        return imagen;
    }
    imagen = QImage(ancho, alto, gris ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (imagen.isNull())
        return {};
    const int muestras = gris ? 1 : 3;
    for (int y = 0; y < alto; ++y) {
        const uchar* linea = origen + qsizetype(y) * bpl;
        uchar* destino = imagen.scanLine(y);
        if (p.depth == 8) {
            std::memcpy(destino, linea, size_t(qMin(bpl, ancho * muestras)));
        } else if (p.depth == 16) {
            const auto* palabras = reinterpret_cast<const quint16*>(linea);
            for (int i = 0; i < ancho * muestras && i * 2 < bpl; ++i)
                destino[i] = uchar(palabras[i] >> 8);
        } else if (p.depth == 1) {
            // Colour at one bit per sample: 1 is full intensity.
            for (int i = 0; i < ancho * muestras && i / 8 < bpl; ++i)
                destino[i] = (linea[i / 8] & (0x80 >> (i % 8))) ? 255 : 0;
        } else {
            return {};
        }
    }
    return imagen;
}
