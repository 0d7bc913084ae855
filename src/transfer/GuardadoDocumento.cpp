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
#include "capture/RedondeoPar.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/SentenciasExpediente.h"
#include "casefiles/TipoDocumento.h"
#include "components/escaner/EscanerTwain.h"
#include "components/ftp/ClienteFtp.h"
#include "transfer/BloqueoDocumento.h"
#include "transfer/BloqueoTransferencia.h"
#include "transfer/ConexionImagenes.h"
#include "transfer/DocumentoActual.h"
#include "transfer/RespaldoArchivo.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <memory>

Q_LOGGING_CATEGORY(lcGuardado, "expedientes.ftp.guardado")

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
                                     QObject* parent)
    : QObject(parent),
      leerFolio([](ConexionBaseDatos& conexion) { return conexion.regresaFolio(); }), c_(c),
      conexion_(conexion), diario_(diario), lista_(lista)
{
    connect(&ControlVentana<QPushButton>(c_.ventana, "BUpload"), &QPushButton::clicked, this,
            [this] { BUpload_Click(); });
    // A slow upload keeps the document taken for as long as it runs.
    connect(c_.entorno.FTP, &ClienteFtp::AvanceTransferencia, this, [this] {
        if (unaEstacion_)
            unaEstacion_->renovar();
    });
}

GuardadoDocumento::~GuardadoDocumento() = default;

QString GuardadoDocumento::Megas(double kilobytes)
{
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::OmitGroupSeparator);
    return regional.toString(RedondeoPar(kilobytes / 1024.0, 2), 'f',
                             QLocale::FloatingPointShortest);
}

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
    c_.global.CambiosPendientes = true;
    c_.sesion.SubidaCorrecta = false;
    // The upload replaces the stored file through a temporary name and a rename, so a broken
    // transfer never damages it: deleting the stored file first is never needed.
    c_.sesion.BorrarRemotoPrimero = false;
    ControlVentana<QPushButton>(c_.ventana, "CmdCLientes").setEnabled(true);
    ControlVentana<QTableWidget>(c_.ventana, "iExpedientes").setEnabled(true);
    auto& boton = ControlVentana<QPushButton>(c_.ventana, "BUpload");

    const TipoDocumento* tipo = TipoDocumento::porLetra(c_.sesion.LetraActual);
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
    // The document reached the server on an earlier try: only its flag is missing.
    if (diario_.estado() == Lote::Estado::Enviada) {
        {
            LeyendaEspera espera(boton);
            marcarDocumento(*tipo);
        }
        if (diario_.estado() != Lote::Estado::Registrada)
            return;
        c_.sesion.SubidaCorrecta = true;
        estatus(QStringLiteral("Expediente Guardado Correctamente!!: "));
        terminar(*tipo);
        return;
    }
    const QString archivo = tipo->archivoTrabajo();
    {
        LeyendaEspera espera(boton);
        // What is sent is built on the server's document as it is now, and no other
        // workstation replaces it until this save is done. A new case file has none yet.
        agregarConfirmado_ = false;
        const auto soltar = qScopeGuard([this] { unaEstacion_.reset(); });
        if (c_.sesion.ExpedienteExiste && c_.sesion.FolioActual > 0) {
            unaEstacion_ = DocumentoActual::tomar(c_, conexion_, *tipo, esperaBloqueo, [this] {
                return agregarConfirmado_ = preguntarAgregar();
            });
            if (!unaEstacion_)
                return;
        }
        RespaldoArchivo respaldo(archivo);
        if (!respaldo.valido()) {
            c_.entorno.mensajes->MensajeError(
                QStringLiteral("No se pudo leer el archivo de trabajo %1 (%2). No se guardó "
                               "nada; las hojas escaneadas se conservan.")
                    .arg(archivo, respaldo.error()),
                kTituloNoGuardado);
            respaldo.confirmar();
            return;
        }
        // However this ends, the working file keeps the new pages only once the server has
        // them; short of that it goes back as it was and the pages stay held for the next try.
        const auto alFinal = qScopeGuard([this, &respaldo] {
            if (diario_.estado() >= Lote::Estado::Enviada)
                return respaldo.confirmar();
            respaldo.restaurar();
            diario_.fijarEstado(Lote::Estado::Retenida);
        });
        if (!escribirPaginas(archivo))
            return;
        diario_.fijarEstado(Lote::Estado::Escrita);

        c_.sesion.TamanoKB = double(QFileInfo(archivo).size()) / 1024.0;
        const double maximo = c_.global.ConfigServidorImagenes.tamano;
        if (c_.sesion.TamanoKB > maximo) {
            boton.setText(QStringLiteral("&Guardar"));
            c_.entorno.mensajes->MensajeError(
                QStringLiteral("El tamaño del documento a Guardar es de: ") +
                    Megas(c_.sesion.TamanoKB) +
                    QStringLiteral(" MB el cual es demasiado Grande, el tamaño maximo posible "
                                   "es de ") +
                    Megas(maximo) + QStringLiteral(" MB"),
                QStringLiteral("Archivo a enviar demasiado Grande, Remueva Hojas del Documento"));
            return;
        }
        BloqueoTransferencia bloqueo(c_);
        GuardarExpediente();
    }
    if (diario_.estado() == Lote::Estado::Registrada)
        terminar(*tipo);
}

void GuardadoDocumento::terminar(const TipoDocumento& tipo)
{
    diario_.liberar();
    c_.global.CambiosPendientes = false;
    ControlVentana<QGroupBox>(c_.ventana, "FrmDocumentos").setEnabled(true);
    ControlVentana<QLineEdit>(c_.ventana, "TextImgCounter").setText(QStringLiteral("0"));
    ControlVentana<QPushButton>(c_.ventana, "B_Acquire").setEnabled(false);
    ControlVentana<QPushButton>(c_.ventana, "BUpload").setEnabled(false);
    ControlVentana<QWidget>(c_.ventana, tipo.marcaPresente).setVisible(true);
    ControlVentana<QWidget>(c_.ventana, tipo.marcaFalta).setVisible(false);
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
    if (!QFileInfo(archivo).isFile()) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("No existe el archivo de trabajo %1 después de escribir las hojas "
                           "escaneadas, no hay nada que enviar al servidor de imágenes. Escanee "
                           "el documento y vuelva a Guardar.")
                .arg(archivo),
            kTituloNoGuardado);
        return false;
    }
    return true;
}

void GuardadoDocumento::GuardarExpediente()
{
    SesionCaptura& s = c_.sesion;
    const TipoDocumento* tipo = TipoDocumento::porLetra(s.LetraActual);
    if (!tipo)
        return;
    // A case file "known to exist" without a folio (the flag survives the choice of another
    // customer) would store the document as 0 + letter: it is created instead.
    if (s.ExpedienteExiste && !(s.FolioActual > 0))
        s.ExpedienteExiste = false;
    if (!s.ExpedienteExiste) {
        s.ExpedienteExiste = true;
        try {
            const bool prestamo = ControlVentana<QCheckBox>(c_.ventana, "chkPrestamo").isChecked();
            const Sentencia alta =
                SentenciasExpediente::crear(c_.global.ClienteSeleccionado.NumeroCliente,
                                            c_.global.ConfigServidorImagenes.sucursal, prestamo);
            c_.entorno.ConexionBD->ejecutar(alta.texto, alta.valores);
            const QVariant folio = leerFolio(*c_.entorno.ConexionBD);
            if (folio.isNull()) {
                c_.entorno.mensajes->MensajeError(
                    QStringLiteral("Error sin Folio, intente de nuevo"),
                    QStringLiteral("Error Grave"));
                // Without its folio the case file is not known: the next save creates it again
                // rather than upload under folio 0.
                s.ExpedienteExiste = false;
                return;
            }
            s.FolioActual = folio.toDouble();
            folioCreado_ = s.FolioActual;
            // From here the pages belong to the new case file, should anything fail later.
            diario_.fijarFolio(s.FolioActual);
            lista_.MostrarDestino();
        } catch (...) {
            // Nothing was created that the window can point at.
            s.ExpedienteExiste = false;
            throw;
        }
        if (conectarYSubir())
            marcarDocumento(*tipo);
    } else if (s.DocumentoExiste) {
        if (!agregarConfirmado_ && !preguntarAgregar())
            return;
        // Flagged again: the document may be one another workstation stored without its
        // flag, and the case file may be gone since the pick.
        if (conectarYSubir())
            marcarDocumento(*tipo);
    } else {
        if (conectarYSubir())
            marcarDocumento(*tipo);
    }
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

bool GuardadoDocumento::conectarYSubir()
{
    // A grave connection error has been reported; there is nothing to upload through.
    if (!conexion_.ConectarServidorImagenes())
        return false;
    SubirDocumento();
    return c_.sesion.SubidaCorrecta;
}

void GuardadoDocumento::marcarDocumento(const TipoDocumento& tipo)
{
    const double folio = c_.sesion.FolioActual;
    // The server has the file but the case file does not say so, so nothing can find it: the
    // save did not happen, whatever the upload's status said. The pages stay held and the next
    // save only sets the flag.
    const auto noRegistrado = [&] {
        c_.sesion.SubidaCorrecta = false;
        estatus(QStringLiteral("No se pudo Guardar el Expediente: ") + tipo.nombreRemoto(folio));
    };
    const Sentencia marca = SentenciasExpediente::marcarDocumento(tipo, folio);
    int filas = 0;
    try {
        filas = c_.entorno.ConexionBD->ejecutar(marca.texto, marca.valores);
    } catch (...) {
        noRegistrado();
        throw;
    }
    // Another workstation deleted the case file meanwhile: a flag on no row counts for nothing.
    if (filas == 0) {
        noRegistrado();
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("No se pudo registrar el documento: ") +
                DiarioPaginas::sinExpediente(tipo, folio) +
                QStringLiteral(". Las hojas escaneadas se conservan; avise a soporte de la "
                               "sucursal."),
            kTituloNoGuardado);
        return;
    }
    diario_.fijarEstado(Lote::Estado::Registrada);
}

void GuardadoDocumento::SubirDocumento()
{
    SesionCaptura& s = c_.sesion;
    s.SubidaCorrecta = false;
    const TipoDocumento* tipo = TipoDocumento::porLetra(s.LetraActual);
    if (!tipo)
        return;
    const QString local = tipo->archivoTrabajo();
    s.NombreRemoto = tipo->nombreRemoto(s.FolioActual);
    try {
        QCoreApplication::processEvents();
        estatus(QStringLiteral("Guardando: ") + s.NombreRemoto + QStringLiteral(", Espere..."));
        QCoreApplication::processEvents();
        ClienteFtp& ftp = *c_.entorno.FTP;
        s.ResultadoFtp = ftp.EnviarArchivo(local, s.NombreRemoto);
        if (s.ResultadoFtp != 1) {
            qCWarning(lcGuardado) << "envio fallido" << s.NombreRemoto << ftp.UltimoError();
            // A transfer cut after it had started was connected: the title says what happened.
            c_.entorno.mensajes->MensajeError(
                QStringLiteral("No se pudo Guardar el Expediente, favor de reintentarlo!!"),
                ftp.UltimaFalla() == ClienteFtp::Falla::Interrumpida
                    ? QStringLiteral("Se interrumpió el envío al servidor de Imagenes")
                    : QStringLiteral("No se puede Conectar con el servidor de Imagenes"));
            estatus(QStringLiteral("No se pudo Guardar el Expediente: ") + s.NombreRemoto);
            return;
        }
        // Recorded before anything else can happen: the server has the document now, and a
        // crash from here on must not offer its pages to be sent a second time.
        s.SubidaCorrecta = true;
        diario_.fijarEstado(Lote::Estado::Enviada);
        // The next workstation may build on it now: the flag and the viewer need no lock, and
        // a box they raise must not keep anyone waiting.
        unaEstacion_.reset();
        QCoreApplication::processEvents();
        estatus(QStringLiteral("Mostrando: ") + s.NombreRemoto + QStringLiteral(", Espere..."));
        QCoreApplication::processEvents();
        c_.entorno.visor->abrir(local);
        ftp.Desconectar();
        QCoreApplication::processEvents();
        estatus(QStringLiteral("Expediente Guardado Correctamente!!: "));
        QCoreApplication::processEvents();
    } catch (const std::exception& error) {
        qCWarning(lcGuardado) << "error al enviar" << s.NombreRemoto << error.what();
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("No se Guardó el Expediente, Favor de Intentarlo de Nuevo!!"),
            kTituloNoGuardado);
    }
}
