#include "transfer/RemitenteSalida.h"

#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/Mensajes.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "components/tiff/EscritorTiff.h"
#include "transfer/ConexionImagenes.h"
#include "transfer/EnvioDocumento.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QThread>

Q_LOGGING_CATEGORY(lcRemitente, "expedientes.ftp.salida.remitente")

// Nobody reads a box in the sender's thread: the first reason of a try is kept for the outbox,
// and "Desea Agregarlos?" was settled by the Guardar that put the lote in.
class MensajesRemitente : public Mensajes
{
public:
    QString razon;
    void MensajeError(const QString& mensaje, const QString& titulo) override
    {
        anotar(titulo + QStringLiteral(": ") + mensaje);
    }
    void MensajeInformacion(const QString& mensaje, const QString&) override { anotar(mensaje); }
    bool Pregunta(const QString&, const QString&) override { return true; }
    void MensajeSimple(const QString& mensaje) override { anotar(mensaje); }
    void anotar(const QString& texto)
    {
        if (razon.isEmpty())
            razon = texto;
    }
};

RemitenteSalida::RemitenteSalida(const Ajustes& ajustes)
    : ajustes_(ajustes), bandeja_(ajustes.carpetaSalida), reintento_(this),
      pausa_(ajustes.pausaInicial)
{
    reintento_.setSingleShot(true);
    connect(&reintento_, &QTimer::timeout, this, &RemitenteSalida::revisar);
}

RemitenteSalida::~RemitenteSalida() = default;

void RemitenteSalida::detener()
{
    detenido_ = true;
    if (!ocupado_)
        terminar();
}

void RemitenteSalida::terminar()
{
    reintento_.stop();
    // The connection and the client belong to this thread: they go with it.
    envio_.reset();
    ftp_.reset();
    bd_.reset();
    thread()->quit();
}

bool RemitenteSalida::preparar(QString* error)
{
    if (envio_)
        return true;
    try {
        bd_ = std::make_unique<ConexionBaseDatos>(
            QStringLiteral("salida-%1").arg(quintptr(QThread::currentThreadId())));
        bd_->abrir(ajustes_.cadenaConexion, ajustes_.carpetaArranque);
    } catch (const ErrorSistema& falla) {
        *error = falla.mensaje();
        bd_.reset();
        return false;
    }
    auto ftp = std::make_unique<ClienteFtpCurl>();
    ClienteFtpCurl* curl = ftp.get();
    ftp_ = std::move(ftp);
    mensajes_ = std::make_unique<MensajesRemitente>();
    envio_ = std::make_unique<EnvioDocumento>(EnvioDocumento::Partes{
        *bd_, *ftp_, *mensajes_, [this, curl] {
            const auto apertura =
                ConexionImagenes::abrir(*curl, ajustes_.servidor, ajustes_.archivoAjustes);
            if (apertura.resultado != 1)
                mensajes_->anotar(apertura.motivo);
            return true;
        }});
    return true;
}

void RemitenteSalida::programar()
{
    if (!detenido_ && !ocupado_ && !reintento_.isActive())
        reintento_.start(pausa_);
}

void RemitenteSalida::revisar()
{
    if (ocupado_) {
        otraVez_ = true;
        return;
    }
    if (detenido_)
        return;
    ocupado_ = true;
    do {
        otraVez_ = false;
        recorrer();
    } while (otraVez_ && !detenido_);
    ocupado_ = false;
    if (detenido_)
        terminar();
}

void RemitenteSalida::recorrer()
{
    reintento_.stop();
    QString error;
    QList<BandejaSalida::Espera> esperas = bandeja_.esperas();
    int pendientes = int(esperas.size());
    for (const BandejaSalida::Espera& espera : esperas) {
        if (detenido_ || !enviar(espera, &error))
            break;
        --pendientes;
    }
    if (pendientes > 0 && !detenido_) {
        reintento_.start(pausa_);
        pausa_ = std::min(pausa_ * 2, ajustes_.pausaMaxima);
    } else {
        pausa_ = ajustes_.pausaInicial;
    }
    emit estado(pendientes, error);
}

bool RemitenteSalida::enviar(const BandejaSalida::Espera& espera, QString* error)
{
    if (!preparar(error))
        return false;
    Lote lote = espera.lote;
    // Stored and flagged before a cut brought it back: nothing is left to do.
    if (lote.estado == Lote::Estado::Registrada)
        return BandejaSalida::quitar(espera.carpeta, false) || true;
    mensajes_->razon.clear();
    EnvioDocumento::Pedido pedido{
        lote,
        [&] { BandejaSalida::registrar(espera.carpeta, lote); },
        BandejaSalida::documento(espera.carpeta),
        ajustes_.servidor.tamano,
        ajustes_.servidor.sucursal,
        false,
        [&](const QString& archivo) {
            for (const QString& hoja : espera.hojas) {
                QString motivo;
                if (!EscritorTiff::agregarPaginaTiff(archivo, hoja, &motivo)) {
                    mensajes_->anotar(motivo);
                    return false;
                }
            }
            return true;
        },
        [] { return true; },
    };
    bool listo = false;
    try {
        listo = envio_->enviar(pedido);
    } catch (const ErrorSistema& falla) {
        mensajes_->anotar(falla.mensaje());
    }
    if (listo) {
        qCInfo(lcRemitente) << "enviado desde la bandeja:" << espera.carpeta;
        BandejaSalida::quitar(espera.carpeta, false);
        emit registrado(lote.cliente.NumeroCliente, lote.folio, lote.tipo);
        return true;
    }
    *error = mensajes_->razon.isEmpty() ? QStringLiteral("No se pudo enviar") : mensajes_->razon;
    qCInfo(lcRemitente) << "sigue en espera:" << espera.carpeta << *error;
    lote.intento = QDateTime::currentDateTime().toString(Qt::ISODate);
    lote.error = *error;
    BandejaSalida::registrar(espera.carpeta, lote);
    return false;
}
