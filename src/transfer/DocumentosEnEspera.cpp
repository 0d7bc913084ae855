#include "transfer/DocumentosEnEspera.h"

#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/SesionCaptura.h"
#include "capture/DiarioPaginas.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/TipoDocumento.h"
#include "components/escaner/EscanerTwain.h"
#include "components/tiff/EscritorTiff.h"
#include "transfer/BandejaSalida.h"
#include "transfer/EnvioSalida.h"
#include "transfer/FrmSalida.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>

Q_LOGGING_CATEGORY(lcEspera, "expedientes.ftp.salida.ventana")

DocumentosEnEspera::DocumentosEnEspera(ContextoVentana& c, DiarioPaginas& diario,
                                       ListaExpedientes& lista, QObject* parent)
    : QObject(parent), c_(c), diario_(diario), lista_(lista),
      // Beside the working files: this copy's own folder, which nobody else's account reads.
      bandeja_(std::make_unique<BandejaSalida>(
          QDir::current().absoluteFilePath(QStringLiteral("salida"))))
{
    connect(&ControlVentana<QPushButton>(c_.ventana, "BSalida"), &QPushButton::clicked, this,
            &DocumentosEnEspera::mostrarBandeja);
}

DocumentosEnEspera::~DocumentosEnEspera() = default;

void DocumentosEnEspera::iniciar()
{
    iniciado_ = true;
    bandeja_->limpiar();
    mostrar();
    // What an earlier run left is sent now; with nothing waiting, no sender runs yet.
    if (pendientes() > 0)
        remitente().enviarAhora();
}

EnvioSalida& DocumentosEnEspera::remitente()
{
    if (envio_)
        return *envio_;
    RemitenteSalida::Ajustes ajustes;
    ajustes.cadenaConexion = c_.global.CadenaConexion;
    ajustes.carpetaArranque = c_.entorno.carpetaArranque;
    ajustes.servidor = c_.global.ConfigServidorImagenes;
    ajustes.archivoAjustes = c_.entorno.archivoAjustes;
    ajustes.carpetaSalida = bandeja_->carpeta();
    ajustes.pausaInicial = c_.entorno.pausaSalida;
    envio_ = new EnvioSalida(ajustes, this);
    connect(envio_, &EnvioSalida::cambio, this, &DocumentosEnEspera::mostrar);
    connect(envio_, &EnvioSalida::registrado, this, [this](double cliente, double folio) {
        // Another customer's document never changes what the window shows.
        if (cliente == c_.global.ClienteSeleccionado.NumeroCliente) {
            lista_.DocumentoRegistrado();
            if (folio == c_.sesion.FolioActual)
                lista_.ExpedienteTomado();
        }
        mostrar();
    });
    return *envio_;
}

void DocumentosEnEspera::cerrar()
{
    const int n = pendientes();
    if (n > 0)
        c_.entorno.mensajes->MensajeInformacion(
            n == 1 ? QStringLiteral("Hay 1 documento en espera de envío al servidor de imágenes. "
                                    "No se pierde: se enviará la próxima vez que inicie el "
                                    "programa.")
                   : QStringLiteral("Hay %1 documentos en espera de envío al servidor de "
                                    "imágenes. No se pierden: se enviarán la próxima vez que "
                                    "inicie el programa.")
                         .arg(n),
            QStringLiteral("Documentos en espera de envío"));
    if (envio_)
        envio_->detener();
    // The views made for the viewer go with the run.
    for (const TipoDocumento& tipo : TipoDocumento::todos())
        QFile::remove(QStringLiteral("espera") + tipo.letra + QStringLiteral(".tif"));
}

bool DocumentosEnEspera::poner(const TipoDocumento& tipo)
{
    EscanerTwain& escaner = *c_.VSTwain1;
    const Lote lote = diario_.lote();
    QString error;
    const QString carpeta = bandeja_->poner(
        lote, escaner.NumeroPaginas(),
        [&escaner](int posicion, const QString& archivo, QString* motivo) {
            if (escaner.GuardarPagina(posicion, archivo) == 1)
                return true;
            *motivo = escaner.TextoError();
            return false;
        },
        &error);
    const QString documento = tipo.nombreRemoto(lote.folio);
    if (carpeta.isEmpty()) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("No se pudo dejar el documento %1 en espera de envío: %2. Las hojas "
                           "escaneadas se conservan; vuelva a Guardar.")
                .arg(documento, error),
            QStringLiteral("No se pudo Guardar"));
        return false;
    }
    // The outbox holds them now: they leave the window, which is free for the next document.
    diario_.ceder();
    ControlVentana<QLabel>(c_.ventana, "LblEstatus")
        .setText(QStringLiteral("El documento %1 quedó en espera de envío; se enviará en cuanto "
                                "responda el servidor de imágenes.")
                     .arg(documento));
    mostrar();
    if (iniciado_)
        remitente().programar();
    return true;
}

QSet<QString> DocumentosEnEspera::documentos() const
{
    QSet<QString> nombres;
    for (const BandejaSalida::Espera& una : bandeja_->esperas())
        if (const TipoDocumento* tipo = TipoDocumento::porLetra(una.lote.tipo))
            nombres.insert(tipo->nombreRemoto(una.lote.folio));
    return nombres;
}

QList<BandejaSalida::Espera> DocumentosEnEspera::esperas() const
{
    return bandeja_->esperas();
}

QString DocumentosEnEspera::nombreDocumento(const Lote& lote) const
{
    const TipoDocumento* tipo = TipoDocumento::porLetra(lote.tipo);
    if (!tipo)
        return lote.tipo;
    return ControlVentana<QAbstractButton>(c_.ventana, tipo->opcion)
        .text()
        .remove(QLatin1Char('&'));
}

bool DocumentosEnEspera::descartar(const QString& carpeta)
{
    for (const BandejaSalida::Espera& una : bandeja_->esperas()) {
        if (una.carpeta != carpeta)
            continue;
        const int n = int(una.hojas.size());
        const QString hojas = diario_.descripcion(una.lote, n);
        if (!c_.entorno.mensajes->Pregunta(
                QStringLiteral("¿Desea descartar definitivamente ") + hojas +
                    DiarioPaginas::segun(n,
                                         " que espera su envío? No se guardará en el servidor "
                                         "de imágenes.",
                                         " que esperan su envío? No se guardarán en el servidor "
                                         "de imágenes."),
                QStringLiteral("Descartar Documento en Espera")))
            return false;
        qCInfo(lcEspera) << "se descartan" << hojas << carpeta;
        BandejaSalida::quitar(carpeta, true);
        mostrar();
        return true;
    }
    return false;
}

QString DocumentosEnEspera::vista(const QString& archivo)
{
    const TipoDocumento* tipo = TipoDocumento::porLetra(c_.sesion.LetraActual);
    QStringList hojas;
    for (const BandejaSalida::Espera& una : bandeja_->esperas())
        if (tipo && una.lote.folio == c_.sesion.FolioActual &&
            una.lote.tipo == QString(tipo->letra))
            hojas << una.hojas;
    if (hojas.isEmpty())
        return archivo;
    const QString copia = QFileInfo(archivo).dir().filePath(QStringLiteral("espera") + tipo->letra +
                                                            QStringLiteral(".tif"));
    QFile::remove(copia);
    bool bien = !QFile::exists(archivo) || QFile::copy(archivo, copia);
    for (const QString& hoja : hojas)
        bien = bien && EscritorTiff::agregarPaginaTiff(copia, hoja);
    if (!bien) {
        qCWarning(lcEspera) << "no se pudo armar la vista con las hojas en espera" << copia;
        return archivo;
    }
    auto& estatus = ControlVentana<QLabel>(c_.ventana, "LblEstatus");
    estatus.setText(estatus.text() + QLatin1Char(' ') +
                    DiarioPaginas::segun(int(hojas.size()),
                                         "%1 hoja espera su envío y se muestra al final.",
                                         "%1 hojas esperan su envío y se muestran al final.")
                        .arg(hojas.size()));
    return copia;
}

void DocumentosEnEspera::mostrarBandeja()
{
    FrmSalida ventana(*this, &c_.ventana);
    ventana.exec();
}

bool DocumentosEnEspera::contiene(const QString& id) const
{
    for (const BandejaSalida::Espera& una : bandeja_->esperas())
        if (una.lote.id == id)
            return true;
    return false;
}

int DocumentosEnEspera::pendientes() const
{
    return bandeja_->cuantas();
}

void DocumentosEnEspera::enviarAhora()
{
    if (iniciado_)
        remitente().enviarAhora();
}

void DocumentosEnEspera::mostrar()
{
    auto& etiqueta = ControlVentana<QLabel>(c_.ventana, "LblSalida");
    const int n = pendientes();
    etiqueta.setVisible(n > 0);
    ControlVentana<QPushButton>(c_.ventana, "BSalida").setVisible(n > 0);
    emit cambio();
    if (n == 0)
        return etiqueta.clear();
    QString texto = n == 1 ? QStringLiteral("1 documento en espera de envío")
                           : QStringLiteral("%1 documentos en espera de envío").arg(n);
    // The reason in full where the clerk points; the line keeps the window's layout.
    const QString error = envio_ ? envio_->ultimoError() : QString();
    if (!error.isEmpty()) {
        constexpr int kLargo = 60;
        const QString corto =
            error.size() > kLargo ? error.left(kLargo).trimmed() + QChar(0x2026) : error;
        texto += QStringLiteral(" (último intento: %1)").arg(corto);
    }
    etiqueta.setText(texto);
    etiqueta.setToolTip(error.isEmpty() ? QString() : QStringLiteral("Último intento: ") + error);
}
