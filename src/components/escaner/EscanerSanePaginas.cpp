// Acquisition and the pages held: the part of EscanerSane that runs the scanning thread.
#include "components/escaner/EscanerSane.h"

#include "components/MotivoSistema.h"
#include "components/escaner/LectorSane.h"
#include "components/escaner/TextoEstadoSane.h"
#include "components/tiff/EscritorTiff.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QThread>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcEscaner)

int EscanerSane::Escanear()
{
    if (escaneando_) {
        fallar(ErrorOcupado, QStringLiteral("Ya hay un escaneo en curso."));
        return 0;
    }
    if (!AbrirFuente()) {
        emit PostScan(codigo_);
        return 0;
    }
    QString error;
    if (!spool_.preparar(&error)) {
        fallar(ErrorArchivo, error);
        emit PostScan(codigo_);
        return 0;
    }
    if (mostrarDialogo_ && !dialogo_(Ventana(), opciones_, tratamientoEditable())) {
        // The user cancelled the source's dialog: nothing to report.
        limpiar();
        emit PostScan(SANE_STATUS_CANCELLED);
        return 0;
    }
    const int ppp = Resolucion();
    LectorSane lector(
        dispositivo_, alimentadorActivo(), ppp, [this] { return spool_.nuevaRuta(); },
        Tratamiento());
    QEventLoop bucle;
    int final = SANE_STATUS_GOOD;
    QString detalle;
    connect(
        &lector, &LectorSane::paginaLeida, this,
        [this](const PaginaEscaneada& pagina) {
            spool_.agregar(pagina);
            emit PostScan(0);
        },
        Qt::QueuedConnection);
    connect(
        &lector, &LectorSane::terminado, &bucle,
        [&](int estado, const QString& texto) {
            final = estado;
            detalle = texto;
            bucle.quit();
        },
        Qt::QueuedConnection);
    std::unique_ptr<QThread> hilo(QThread::create([&lector] { lector.ejecutar(); }));
    escaneando_ = true;
    lector_ = &lector;
    hilo->start();
    // The window keeps repainting, and receives each page, while the device is read.
    bucle.exec();
    hilo->wait();
    lector_ = nullptr;
    escaneando_ = false;
    terminarEscaneo(final, detalle);
    return 1;
}

void EscanerSane::terminarEscaneo(int estado, const QString& detalle)
{
    if (estado == SANE_STATUS_GOOD) {
        limpiar();
        return;
    }
    if (estado == SANE_STATUS_CANCELLED)
        limpiar(); // cancelled by the user: the window has nothing to say
    else
        fallar(estado, detalle.isEmpty() ? TextoEstadoSane(SANE_Status(estado)) : detalle);
    emit PostScan(estado);
}

bool EscanerSane::paginaValida(int posicion, bool modifica)
{
    limpiar();
    if (modifica && escaneando_) {
        fallar(ErrorOcupado, QStringLiteral("Espere a que termine el escaneo."));
        return false;
    }
    if (!spool_.contiene(posicion)) {
        fallar(ErrorPosicion, QStringLiteral("No existe la hoja %1; hay %2 hojas escaneadas.")
                                  .arg(posicion)
                                  .arg(spool_.cantidad()));
        return false;
    }
    return true;
}

QImage EscanerSane::ImagenPagina(int posicion)
{
    if (!paginaValida(posicion, false))
        return {};
    const QImage imagen = spool_.imagen(posicion);
    if (imagen.isNull())
        fallar(ErrorArchivo, QStringLiteral("No se pudo leer la hoja %1 de la carpeta de "
                                            "recuperación.")
                                 .arg(posicion));
    return imagen;
}

int EscanerSane::AnchoPagina(int posicion)
{
    return paginaValida(posicion, false) ? spool_.pagina(posicion).ancho : 0;
}

int EscanerSane::AltoPagina(int posicion)
{
    return paginaValida(posicion, false) ? spool_.pagina(posicion).alto : 0;
}

int EscanerSane::BitsPorPixel(int posicion)
{
    return paginaValida(posicion, false) ? spool_.pagina(posicion).bitsPorPixel : 0;
}

int EscanerSane::GuardarPagina(int posicion, const QString& archivo)
{
    if (!paginaValida(posicion, true))
        return 0;
    QString error;
    int sistema = 0;
    // The spool already holds the page compressed as it goes into the file: copy, don't encode.
    if (!EscritorTiff::agregarPaginaTiff(archivo, spool_.pagina(posicion).ruta, &error, &sistema)) {
        // Pages are counted from 1 for the user, as the window's own messages do.
        fallar(MotivoSistema::discoLleno(sistema) ? ErrorDiscoLleno : ErrorArchivo,
               QStringLiteral("No se pudo guardar la hoja %1 en %2: %3")
                   .arg(posicion + 1)
                   .arg(archivo, error));
        return 0;
    }
    return 1;
}

int EscanerSane::QuitarPagina(int posicion)
{
    if (!paginaValida(posicion, true))
        return 0;
    spool_.quitar(posicion);
    return 1;
}

int EscanerSane::RestaurarPaginaQuitada()
{
    limpiar();
    if (escaneando_) {
        fallar(ErrorOcupado, QStringLiteral("Espere a que termine el escaneo."));
        return -1;
    }
    QString error;
    const int posicion = spool_.restaurarQuitada(&error);
    if (posicion < 0)
        fallar(ErrorArchivo, error);
    return posicion;
}

void EscanerSane::OlvidarPaginasQuitadas()
{
    if (!escaneando_)
        spool_.olvidarQuitadas();
}
