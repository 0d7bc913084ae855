#include "transfer/GuardadoDocumento.h"

#include "app/ConexionBaseDatos.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/Proteccion.h"
#include "app/RelojArena.h"
#include "app/SesionCaptura.h"
#include "app/Visor.h"
#include "capture/DiarioPaginas.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/TipoDocumento.h"
#include "components/escaner/EscanerTwain.h"
#include "transfer/BloqueoTransferencia.h"
#include "transfer/ConexionImagenes.h"
#include "transfer/DocumentosEnEspera.h"
#include "transfer/EnvioDocumento.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <exception>

namespace {
const QString kTituloNoGuardado = QStringLiteral("No se pudo Guardar");

// "Espere..." on the button for as long as the save runs, whichever way it ends.
class LeyendaEspera
{
public:
    explicit LeyendaEspera(QPushButton& boton) : boton_(boton)
    {
        boton_.setText(QStringLiteral("Espere..."));
    }
    ~LeyendaEspera() { boton_.setText(QStringLiteral("&Guardar")); }
    LeyendaEspera(const LeyendaEspera&) = delete;
    LeyendaEspera& operator=(const LeyendaEspera&) = delete;

private:
    QPushButton& boton_;
};
} // namespace

GuardadoDocumento::GuardadoDocumento(ContextoVentana& c, ConexionImagenes& conexion,
                                     DiarioPaginas& diario, ListaExpedientes& lista,
                                     DocumentosEnEspera& espera, QObject* parent)
    : QObject(parent), c_(c), diario_(diario), lista_(lista), espera_(espera),
      envio_(new EnvioDocumento({*c.entorno.ConexionBD, *c.entorno.FTP, *c.entorno.mensajes,
                                 [&conexion] { return conexion.ConectarServidorImagenes(); }},
                                this))
{
    connect(&ControlVentana<QPushButton>(c_.ventana, "BUpload"), &QPushButton::clicked, this,
            [this] { BUpload_Click(); });
    connect(envio_, &EnvioDocumento::estatus, this, &GuardadoDocumento::estatus);
    connect(envio_, &EnvioDocumento::enviado, this,
            [this](const QString& archivo) { c_.entorno.visor->abrir(archivo); });
    connect(envio_, &EnvioDocumento::expedienteCreado, this, [this](double folio) {
        c_.sesion.FolioActual = folioCreado_ = folio;
        c_.sesion.ExpedienteExiste = true;
        lista_.MostrarDestino();
    });
}

GuardadoDocumento::~GuardadoDocumento() = default;

void GuardadoDocumento::estatus(const QString& texto)
{
    ControlVentana<QLabel>(c_.ventana, "LblEstatus").setText(texto);
}

void GuardadoDocumento::BUpload_Click()
{
    // The save yields to the event loop while it connects and uploads: a second press then
    // would write the same pages again and insert the case file twice.
    if (guardando_)
        return;
    // Pages still coming in are not all there yet.
    if (!c_.VSTwain1 || c_.VSTwain1->escaneando())
        return;
    struct Marca
    {
        bool& guardando;
        ~Marca() { guardando = false; }
    } marca{guardando_ = true};
    EjecutarProtegido(*c_.entorno.mensajes, [this] { guardar(); });
}

void GuardadoDocumento::guardar()
{
    RelojArena reloj;
    SesionCaptura& s = c_.sesion;
    c_.global.CambiosPendientes = true;
    s.SubidaCorrecta = false;
    // The upload replaces the stored file through a temporary name and a rename, so a broken
    // transfer never damages it: deleting the stored file first is never needed.
    s.BorrarRemotoPrimero = false;
    ControlVentana<QPushButton>(c_.ventana, "CmdCLientes").setEnabled(true);
    ControlVentana<QTableWidget>(c_.ventana, "iExpedientes").setEnabled(true);

    const TipoDocumento* tipo = TipoDocumento::porLetra(s.LetraActual);
    if (!tipo) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("Elija el tipo de documento antes de Guardar las hojas escaneadas."),
            kTituloNoGuardado);
        return;
    }
    // Never under a customer, case file or type other than the one they were scanned for.
    if (!diario_.pertenece()) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("Las ") + diario_.descripcion() +
                QStringLiteral(" no son del cliente, expediente y documento elegidos ahora. No "
                               "se guardó nada; las hojas se conservan. Vuelva a elegir su "
                               "cliente, expediente y documento para guardarlas."),
            kTituloNoGuardado);
        return;
    }
    // Whatever the save gets to, the journal says: pages that came with no scan get a lote too.
    diario_.abrir();
    Lote& lote = diario_.lote();
    // A case file "known to exist" without a folio (the flag survives the choice of another
    // customer) would store the document as 0 + letter: it is created instead.
    if (!(s.FolioActual > 0))
        s.ExpedienteExiste = false;
    if (!s.ExpedienteExiste)
        lote.folio = 0;
    // A lote of this document waits in the outbox: these pages go after it, the same way.
    if (lote.folio > 0 && espera_.documentos().contains(tipo->nombreRemoto(lote.folio))) {
        if (preguntarAgregar() && espera_.poner(*tipo))
            apartar(*tipo, true);
        return;
    }
    EnvioDocumento::Pedido pedido{
        lote,
        [this] { diario_.registrar(); },
        tipo->archivoTrabajo(),
        c_.global.ConfigServidorImagenes.tamano,
        c_.global.ConfigServidorImagenes.sucursal,
        ControlVentana<QCheckBox>(c_.ventana, "chkPrestamo").isChecked(),
        [this](const QString& archivo) { return escribirPaginas(archivo); },
        [this] { return preguntarAgregar(); },
    };
    bool listo = false;
    std::exception_ptr falla;
    {
        LeyendaEspera espera(ControlVentana<QPushButton>(c_.ventana, "BUpload"));
        BloqueoTransferencia bloqueo(c_);
        // Whatever the send got to, the window's state says so, also when it throws.
        const auto resultado = qScopeGuard([this, &s, &listo] {
            const EnvioDocumento::Resultado& r = envio_->resultado();
            s.DocumentoExiste = r.documentoExiste.value_or(s.DocumentoExiste);
            s.TamanoKB = r.tamanoKB;
            s.ResultadoFtp = r.resultadoFtp;
            s.NombreRemoto = r.nombreRemoto;
            s.SubidaCorrecta = listo;
        });
        try {
            listo = envio_->enviar(pedido);
        } catch (...) {
            falla = std::current_exception();
        }
    }
    if (listo)
        return terminar(*tipo);
    // Told as any failure of the database is, once the window is given back.
    if (falla)
        EjecutarProtegido(*c_.entorno.mensajes, [&falla] { std::rethrow_exception(falla); });
    // The server is away, or the flag was refused after the upload: the clerk goes on, and the
    // outbox sends the document when it can. (A new case file that got no folio stays held.)
    const EnvioDocumento::Falla motivo = envio_->resultado().falla;
    if ((motivo != EnvioDocumento::Falla::Servidor && motivo != EnvioDocumento::Falla::Marca) ||
        !(lote.folio > 0))
        return;
    // The server could not say whether a document is stored; the case file can. A stored one
    // gets the pages added: the clerk says so first, as when the server answers.
    const bool guardado = !ControlVentana<QWidget>(c_.ventana, tipo->marcaPresente).isHidden();
    if (guardado && !envio_->resultado().agregar && !preguntarAgregar())
        return;
    if (espera_.poner(*tipo))
        apartar(*tipo, motivo == EnvioDocumento::Falla::Servidor);
}

void GuardadoDocumento::reiniciarCaptura(const TipoDocumento& tipo, bool guardado)
{
    c_.global.CambiosPendientes = false;
    ControlVentana<QGroupBox>(c_.ventana, "FrmDocumentos").setEnabled(true);
    ControlVentana<QLineEdit>(c_.ventana, "TextImgCounter").setText(QStringLiteral("0"));
    ControlVentana<QPushButton>(c_.ventana, "B_Acquire").setEnabled(false);
    ControlVentana<QPushButton>(c_.ventana, "BUpload").setEnabled(false);
    ControlVentana<QWidget>(c_.ventana, tipo.marcaPresente).setVisible(guardado);
    ControlVentana<QWidget>(c_.ventana, tipo.marcaFalta).setVisible(false);
}

void GuardadoDocumento::apartar(const TipoDocumento& tipo, bool listar)
{
    // A stored document stays stored; one that is not is neither stored nor missing now.
    reiniciarCaptura(tipo, !ControlVentana<QWidget>(c_.ventana, tipo.marcaPresente).isHidden());
    // The list shows the document waiting, and a case file this save created; unless the
    // database is why it waits; then it shows them once it is stored.
    if (listar && folioCreado_ > 0 && folioCreado_ == c_.sesion.FolioActual)
        lista_.ExpedienteCreado();
    else if (listar)
        lista_.DocumentoRegistrado();
    folioCreado_ = 0;
}

void GuardadoDocumento::terminar(const TipoDocumento& tipo)
{
    diario_.liberar();
    reiniciarCaptura(tipo, true);
    // The list shows the flag just set, and the new case file.
    if (folioCreado_ > 0 && folioCreado_ == c_.sesion.FolioActual)
        lista_.ExpedienteCreado();
    else
        lista_.DocumentoRegistrado();
    folioCreado_ = 0;
}

bool GuardadoDocumento::escribirPaginas(const QString& archivo)
{
    EscanerTwain& escaner = *c_.VSTwain1;
    const int paginas = escaner.NumeroPaginas();
    for (int posicion = 0; posicion < paginas; ++posicion) {
        // A page missing from the file would be lost when the pages leave the scanner.
        if (escaner.GuardarPagina(posicion, archivo) != 1) {
            // A full disk is said plainly, with the folder to free: trying again cannot help.
            const QString motivo =
                escaner.CodigoError() == EscanerTwain::ErrorDiscoLleno
                    ? QStringLiteral("No hay espacio en el disco de la carpeta %1. Libere espacio "
                                     "en el disco y vuelva a Guardar")
                          .arg(QDir::toNativeSeparators(QFileInfo(archivo).absolutePath()))
                    : escaner.TextoError();
            c_.entorno.mensajes->MensajeError(
                QStringLiteral("No se pudo escribir la hoja %1 en el archivo de trabajo %2: %3. "
                               "No se guardó nada; las hojas escaneadas se conservan.")
                    .arg(posicion + 1)
                    .arg(archivo, motivo),
                kTituloNoGuardado);
            return false;
        }
    }
    return true;
}

bool GuardadoDocumento::preguntarAgregar()
{
    if (c_.entorno.mensajes->Pregunta(
            QStringLiteral(
                "Ya existen Documentos Digitalizados para este Apartado, Desea Agregarlos?"),
            QStringLiteral("Cambio Expediente Digitalizado")))
        return true;
    estatus(QStringLiteral("Las hojas escaneadas no se agregaron al documento; se conservan sin "
                           "guardar."));
    return false;
}
