#include "components/escaner/SpoolPaginas.h"

#include "components/EscrituraDurable.h"
#include "components/escaner/AnalisisPagina.h"
#include "components/escaner/CarpetaRecuperacion.h"
#include "components/tiff/EscritorTiff.h"
#include "components/tiff/LectorTiff.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <cmath>
#include <memory>
#include <tiffio.h>

Q_DECLARE_LOGGING_CATEGORY(lcSpool)
Q_LOGGING_CATEGORY(lcSpool, "expedientes.scan.spool")

namespace {
int resolucionDe(const QString& ruta)
{
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(QFile::encodeName(ruta).constData(), "r"),
                                               [](TIFF* t) { TIFFClose(t); });
    float ppp = 0;
    uint16_t unidad = RESUNIT_INCH;
    if (!tif || !TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &ppp))
        return 0;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_RESOLUTIONUNIT, &unidad);
    return int(std::lround(unidad == RESUNIT_CENTIMETER ? ppp * 2.54 : ppp));
}
} // namespace

SpoolPaginas::SpoolPaginas(QString carpetaBase, int paginasEnMemoria)
    : base_(std::move(carpetaBase)), enMemoria_(qMax(1, paginasEnMemoria))
{
}

SpoolPaginas::~SpoolPaginas()
{
    // Pages kept aside for an undo were removed: a restart must not find them.
    for (auto i = apartadas_.cbegin(); i != apartadas_.cend(); ++i)
        QFile::remove(i.key());
    // Pages still held were neither stored nor discarded: they are offered at the next start.
    if (!carpeta_.isEmpty() && CarpetaRecuperacion::paginas(carpeta_).isEmpty())
        QDir(carpeta_).removeRecursively();
}

bool SpoolPaginas::preparar(QString* error)
{
    if (!carpeta_.isEmpty() && QDir(carpeta_).exists())
        return true;
    // One folder per run, so a recovery can tell the pages of a crashed run from a live one.
    const QString nombre =
        QStringLiteral("sesion-%1-%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
            .arg(QCoreApplication::applicationPid());
    const QString carpeta = QDir(base_).filePath(nombre);
    if (!EscrituraDurable::crearCarpeta(carpeta)) {
        if (error)
            *error = QStringLiteral("No se pudo crear la carpeta de recuperación %1").arg(carpeta);
        qCWarning(lcSpool) << "no se pudo crear" << carpeta;
        return false;
    }
    carpeta_ = carpeta;
    return true;
}

QString SpoolPaginas::nuevaRuta()
{
    const int numero = siguiente_.fetch_add(1);
    return QDir(carpeta_).filePath(QStringLiteral("%1.tif").arg(numero, 6, 10, QLatin1Char('0')));
}

void SpoolPaginas::agregar(const PaginaEscaneada& pagina)
{
    PaginaEscaneada guardada = pagina;
    guardada.imagen = QImage();
    if (pagina.enBlanco) {
        quitadas_.append(
            {guardada, cantidad(), paginas_.isEmpty() ? QString() : paginas_.last().ruta});
        return;
    }
    paginas_.append(guardada);
    if (!pagina.imagen.isNull())
        recordar(pagina.ruta, pagina.imagen);
}

void SpoolPaginas::recordar(const QString& ruta, const QImage& imagen)
{
    for (qsizetype i = 0; i < cache_.size(); ++i) {
        if (cache_[i].first == ruta) {
            cache_.removeAt(i);
            break;
        }
    }
    cache_.prepend({ruta, imagen});
    while (cache_.size() > enMemoria_)
        cache_.removeLast();
}

QImage SpoolPaginas::imagen(int posicion)
{
    if (!contiene(posicion))
        return {};
    const QString& ruta = paginas_[posicion].ruta;
    for (const auto& [clave, imagen] : cache_) {
        if (clave == ruta) {
            const QImage encontrada = imagen;
            recordar(ruta, encontrada);
            return encontrada;
        }
    }
    const QImage leida = LectorTiff::leer(ruta);
    if (leida.isNull())
        qCWarning(lcSpool) << "no se pudo leer la hoja" << ruta;
    else
        recordar(ruta, leida);
    return leida;
}

bool SpoolPaginas::quitar(int posicion)
{
    if (!contiene(posicion))
        return false;
    const QString ruta = paginas_.takeAt(posicion).ruta;
    olvidarEnMemoria(ruta);
    // Not synced one by one: pages are let go as a whole (stored, or discarded), and the
    // journal's record, removed for good after the last of them, syncs the folder once.
    QFile::remove(ruta);
    return true;
}

int SpoolPaginas::restaurarQuitada(QString* error)
{
    if (quitadas_.isEmpty()) {
        if (error)
            *error = QStringLiteral("No hay hojas quitadas que restaurar.");
        return -1;
    }
    const Quitada quitada = quitadas_.last();
    int posicion = qMin(quitada.posicion, cantidad());
    if (quitada.anterior.isEmpty()) {
        posicion = 0;
    } else {
        for (int i = 0; i < cantidad(); ++i) {
            if (paginas_[i].ruta == quitada.anterior) {
                posicion = i + 1;
                break;
            }
        }
    }
    // The held pages' order is their files' order, so should the program end before they are
    // saved, it comes back in place.
    const QString destino = entreVecinos(QFileInfo(quitada.pagina.ruta).fileName(), posicion);
    if (!EscrituraDurable::renombrar(quitada.pagina.ruta, destino)) {
        if (error)
            *error = QStringLiteral("No se pudo restaurar la hoja quitada %1.")
                         .arg(QDir::toNativeSeparators(quitada.pagina.ruta));
        return -1;
    }
    quitadas_.removeLast();
    PaginaEscaneada pagina = quitada.pagina;
    pagina.ruta = destino;
    pagina.enBlanco = false;
    paginas_.insert(posicion, pagina);
    if (QFileInfo(destino).fileName() != QFileInfo(quitada.pagina.ruta).fileName())
        renumerar(posicion + 1);
    return posicion;
}

void SpoolPaginas::olvidarQuitadas()
{
    for (const Quitada& quitada : std::as_const(quitadas_))
        QFile::remove(quitada.pagina.ruta);
    quitadas_.clear();
    if (!carpeta_.isEmpty())
        QDir(QDir(carpeta_).filePath(QLatin1String(kCarpetaQuitadas))).removeRecursively();
}

QString SpoolPaginas::entreVecinos(const QString& nombre, int posicion)
{
    // Its old name when it still sorts between its neighbours there and is free; else a fresh
    // one, and the caller renames the pages after it behind it.
    const auto numero = [](const QString& ruta) {
        return QFileInfo(ruta).completeBaseName().toLongLong();
    };
    const QString propia = QDir(carpeta_).filePath(nombre);
    const bool cabe = !QFileInfo::exists(propia) &&
                      (posicion == 0 || numero(paginas_[posicion - 1].ruta) < numero(propia)) &&
                      (posicion == cantidad() || numero(propia) < numero(paginas_[posicion].ruta));
    return cabe ? propia : nuevaRuta();
}

void SpoolPaginas::olvidarEnMemoria(const QString& ruta)
{
    cache_.removeIf([&](const auto& par) { return par.first == ruta; });
}

bool SpoolPaginas::girar(int posicion, int cuartos, QString* error)
{
    const QImage original = imagen(posicion);
    if (original.isNull()) {
        if (error)
            *error = QStringLiteral("No se pudo leer la hoja de la carpeta de recuperación.");
        return false;
    }
    PaginaEscaneada& pagina = paginas_[posicion];
    // A 1-bit page turns pixel for pixel, so its Group 4 encoding stays lossless; a JPEG page
    // is encoded once more, from its pixels turned once.
    const QImage girada = AnalisisPagina::girarCuartos(original, cuartos);
    // A crash or a power cut leaves the page turned or not, whole.
    const auto escribir = [&](const QString& ruta, QString* motivo) {
        return EscritorTiff::escribirArchivo(ruta, girada, pagina.ppp, motivo);
    };
    if (!EscrituraDurable::escribir(pagina.ruta, escribir, error))
        return false;
    pagina.ancho = girada.width();
    pagina.alto = girada.height();
    recordar(pagina.ruta, girada);
    return true;
}

bool SpoolPaginas::renumerar(int desde)
{
    // The folder is synced once, after the last rename: the new order is on disk for good
    // before the window shows it.
    bool bien = true;
    for (int i = qMax(0, desde); bien && i < cantidad(); ++i) {
        PaginaEscaneada& pagina = paginas_[i];
        const QString nueva = nuevaRuta();
        bien = EscrituraDurable::renombrar(pagina.ruta, nueva, nullptr, false);
        if (!bien)
            break;
        for (auto& par : cache_)
            if (par.first == pagina.ruta)
                par.first = nueva;
        pagina.ruta = nueva;
    }
    return EscrituraDurable::sincronizarCarpeta(carpeta_) && bien;
}

bool SpoolPaginas::mover(int desde, int hasta)
{
    if (!contiene(desde) || !contiene(hasta))
        return false;
    if (desde == hasta)
        return true;
    paginas_.move(desde, hasta);
    return renumerar(qMin(desde, hasta));
}

QString SpoolPaginas::apartar(int posicion)
{
    if (!contiene(posicion))
        return {};
    const QString ruta = paginas_[posicion].ruta;
    const QString apartada = ruta + QStringLiteral(".quitada");
    if (!EscrituraDurable::renombrar(ruta, apartada))
        return {};
    PaginaEscaneada pagina = paginas_.takeAt(posicion);
    olvidarEnMemoria(ruta);
    apartadas_.insert(apartada, pagina);
    return apartada;
}

bool SpoolPaginas::reponer(const QString& apartada, int posicion)
{
    if (!apartadas_.contains(apartada) || posicion < 0 || posicion > cantidad())
        return false;
    PaginaEscaneada pagina = apartadas_.value(apartada);
    const QString destino = entreVecinos(QFileInfo(pagina.ruta).fileName(), posicion);
    const bool cabe = destino == pagina.ruta;
    if (!EscrituraDurable::renombrar(apartada, destino))
        return false;
    apartadas_.remove(apartada);
    pagina.ruta = destino;
    paginas_.insert(posicion, pagina);
    return cabe || renumerar(posicion + 1);
}

void SpoolPaginas::olvidar(const QString& apartada)
{
    if (apartadas_.remove(apartada))
        QFile::remove(apartada);
}

QString SpoolPaginas::apartarDanada(const QString& carpeta, const QString& ruta)
{
    // Kept where recovery never looks, under a name that says where it came from: a disk fault
    // may have left it readable to someone with the right tools.
    const QString destino = QDir(base_).filePath(QLatin1String(kCarpetaDanadas));
    const QString nombre =
        QFileInfo(carpeta).fileName() + QLatin1Char('-') + QFileInfo(ruta).fileName();
    const QString apartada = QDir(destino).filePath(nombre);
    if (!EscrituraDurable::crearCarpeta(destino) ||
        !EscrituraDurable::renombrar(ruta, apartada, nullptr, false))
        return {};
    return apartada;
}

int SpoolPaginas::absorber(const QString& carpeta, QStringList* danadas, bool* completa)
{
    if (completa)
        *completa = false;
    if (carpeta_.isEmpty())
        return 0;
    int tomadas = 0;
    bool todas = true;
    bool apartadas = false;
    for (const QString& origen : CarpetaRecuperacion::paginas(carpeta)) {
        const QString destino = nuevaRuta();
        if (!EscrituraDurable::renombrar(origen, destino, nullptr, false)) {
            // Gone meanwhile: another run of the program took it first.
            if (!QFile::exists(origen))
                continue;
            // This page and the ones after it wait in their folder, in order, for the next
            // start.
            todas = false;
            break;
        }
        QImage imagen = LectorTiff::leer(destino);
        if (imagen.isNull()) {
            // Nothing of it can be shown or saved, and it is not thrown away either.
            const QString apartada = apartarDanada(carpeta, destino);
            qCWarning(lcSpool) << "hoja ilegible" << origen << "se conserva en" << apartada;
            if (apartada.isEmpty()) {
                EscrituraDurable::renombrar(destino, origen, nullptr, false);
                todas = false;
                break;
            }
            apartadas = true;
            if (danadas)
                danadas->append(apartada);
            continue;
        }
        PaginaEscaneada pagina;
        pagina.ruta = destino;
        pagina.ancho = imagen.width();
        pagina.alto = imagen.height();
        pagina.bitsPorPixel = imagen.depth();
        pagina.ppp = resolucionDe(destino);
        if (pagina.ppp > 0) {
            imagen.setDotsPerMeterX(qRound(pagina.ppp / 0.0254));
            imagen.setDotsPerMeterY(qRound(pagina.ppp / 0.0254));
        }
        pagina.imagen = imagen;
        agregar(pagina);
        ++tomadas;
    }
    // Every page is on disk for good in its new place before the folder it came from goes.
    const bool asentadas = EscrituraDurable::sincronizarCarpeta(carpeta_) &&
                           (!apartadas || EscrituraDurable::sincronizarCarpeta(QDir(base_).filePath(
                                              QLatin1String(kCarpetaDanadas))));
    if (!todas || !asentadas)
        return tomadas;
    QDir(carpeta).removeRecursively();
    if (completa)
        *completa = true;
    return tomadas;
}
