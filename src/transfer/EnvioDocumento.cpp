#include "transfer/EnvioDocumento.h"

#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/Mensajes.h"
#include "capture/DiarioPaginas.h"
#include "capture/RedondeoPar.h"
#include "casefiles/SentenciasExpediente.h"
#include "casefiles/TipoDocumento.h"
#include "components/ftp/ClienteFtp.h"
#include "components/tiff/EscritorTiff.h"
#include "components/tiff/LectorTiff.h"
#include "transfer/BloqueoDocumento.h"
#include "transfer/RespaldoArchivo.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <algorithm>

Q_LOGGING_CATEGORY(lcEnvio, "expedientes.ftp.envio")

namespace {
const QString kTituloNoGuardado = QStringLiteral("No se pudo Guardar");
const QString kNoGuardado = QStringLiteral("No se pudo Guardar el Expediente: ");
} // namespace

EnvioDocumento::EnvioDocumento(Partes partes, QObject* parent)
    : QObject(parent),
      leerFolio([](ConexionBaseDatos& conexion) { return conexion.regresaFolio(); }),
      partes_(std::move(partes))
{
    // A slow upload keeps the document taken for as long as it runs.
    connect(&partes_.ftp, &ClienteFtp::AvanceTransferencia, this, [this] {
        if (unaEstacion_)
            unaEstacion_->renovar();
    });
}

EnvioDocumento::~EnvioDocumento() = default;

QString EnvioDocumento::Megas(double kilobytes)
{
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::OmitGroupSeparator);
    return regional.toString(RedondeoPar(kilobytes / 1024.0, 2), 'f',
                             QLocale::FloatingPointShortest);
}

void EnvioDocumento::error(const QString& mensaje, const QString& titulo)
{
    partes_.mensajes.MensajeError(mensaje, titulo);
}

bool EnvioDocumento::enviar(Pedido& p)
{
    resultado_ = {};
    base_.clear();
    conectado_ = false;
    resultado_.falla = Falla::Otra;
    const auto bien = [this] {
        resultado_.falla = Falla::Ninguna;
        return true;
    };
    const TipoDocumento* tipo = TipoDocumento::porLetra(p.lote.tipo);
    if (!tipo)
        return false;
    resultado_.nombreRemoto = tipo->nombreRemoto(p.lote.folio);
    const auto soltar = qScopeGuard([this] { unaEstacion_.reset(); });
    // A new case file has no document yet; any other is built on the server's, as it is now.
    if (p.lote.estado != Lote::Estado::Enviada && p.lote.folio > 0) {
        const Toma toma = tomar(p, *tipo);
        if (toma == Toma::Detenido)
            return false;
        if (toma == Toma::Llegado) {
            qCInfo(lcEnvio) << resultado_.nombreRemoto
                            << "ya tiene lo que envió un intento anterior";
            p.lote.estado = Lote::Estado::Enviada;
            p.registrar();
        }
    }
    // The document reached the server on an earlier try: only its flag is missing.
    if (p.lote.estado == Lote::Estado::Enviada) {
        unaEstacion_.reset();
        if (!marcar(p, *tipo))
            return false;
        emit estatus(QStringLiteral("Expediente Guardado Correctamente!!: "));
        return bien();
    }

    RespaldoArchivo respaldo(p.archivo);
    if (!respaldo.valido()) {
        error(QStringLiteral("No se pudo leer el archivo de trabajo %1 (%2). No se guardó nada; "
                             "las hojas escaneadas se conservan.")
                  .arg(p.archivo, respaldo.error()),
              kTituloNoGuardado);
        respaldo.confirmar();
        return false;
    }
    // However this ends, the file keeps the new pages only once the server has them; short of
    // that it goes back as it was and the pages stay held for the next try.
    const auto alFinal = qScopeGuard([&] {
        if (p.lote.estado >= Lote::Estado::Enviada)
            return respaldo.confirmar();
        respaldo.restaurar();
        if (p.lote.estado != Lote::Estado::Retenida) {
            p.lote.estado = Lote::Estado::Retenida;
            p.registrar();
        }
    });
    // The pages of the server's document come first; the lote's follow them.
    const int desde =
        QFile::exists(p.archivo) ? std::max(0, EscritorTiff::contarPaginas(p.archivo)) : 0;
    if (!p.escribirHojas(p.archivo))
        return false;
    if (!QFileInfo(p.archivo).isFile()) {
        error(QStringLiteral("No existe el archivo de trabajo %1 después de escribir las hojas "
                             "escaneadas, no hay nada que enviar al servidor de imágenes. Escanee "
                             "el documento y vuelva a Guardar.")
                  .arg(p.archivo),
              kTituloNoGuardado);
        return false;
    }
    resultado_.tamanoKB = double(QFileInfo(p.archivo).size()) / 1024.0;
    if (resultado_.tamanoKB > p.tamanoMaximo) {
        error(
            QStringLiteral("El tamaño del documento a Guardar es de: ") +
                Megas(resultado_.tamanoKB) +
                QStringLiteral(" MB el cual es demasiado Grande, el tamaño maximo posible es de ") +
                Megas(p.tamanoMaximo) + QStringLiteral(" MB"),
            QStringLiteral("Archivo a enviar demasiado Grande, Remueva Hojas del Documento"));
        return false;
    }
    if (!(p.lote.folio > 0) && !crearExpediente(p, *tipo))
        return false;
    // What is about to replace the stored document, and what it replaces: a try that never
    // hears back, or the next start, asks the server which of the two it holds.
    p.lote.enviado = Lote::huella(p.archivo);
    p.lote.base = base_;
    p.lote.hojas = LectorTiff::huellasPaginas(p.archivo).mid(desde);
    p.lote.desde = desde;
    p.lote.estado = Lote::Estado::Escrita;
    p.registrar();
    return subir(p, *tipo) && marcar(p, *tipo) && bien();
}

EnvioDocumento::Toma EnvioDocumento::tomar(Pedido& p, const TipoDocumento& tipo)
{
    const QString documento = tipo.nombreRemoto(p.lote.folio);
    for (bool preguntado = false;;) {
        emit estatus(QStringLiteral("Guardando: ") + documento + QStringLiteral(", Espere..."));
        unaEstacion_ = std::make_unique<BloqueoDocumento>(partes_.bd, documento, esperaBloqueo);
        if (!unaEstacion_->tomado()) {
            error(QStringLiteral("Otra estación está guardando el documento %1 en este momento. "
                                 "No se guardó nada; las hojas escaneadas se conservan. Vuelva a "
                                 "Guardar en un momento.")
                      .arg(documento),
                  kTituloNoGuardado);
            emit estatus(kNoGuardado + documento);
            return Toma::Detenido;
        }
        if (!traer(documento, p.archivo))
            return Toma::Detenido;
        base_ = *resultado_.documentoExiste ? Lote::huella(p.archivo) : QString();
        // An earlier try's upload arrived though its answer never came: its pages are there.
        if (*resultado_.documentoExiste && llego(p.lote, p.archivo, base_))
            return Toma::Llegado;
        if (!*resultado_.documentoExiste || preguntado)
            return Toma::Tomado;
        // The clerk's answer may take a while: nobody waits for it, and after a Yes the
        // document is taken and fetched again.
        unaEstacion_.reset();
        conectado_ = false;
        if (!p.preguntarAgregar())
            return Toma::Detenido;
        preguntado = resultado_.agregar = true;
    }
}

bool EnvioDocumento::traer(const QString& remoto, const QString& archivo)
{
    ClienteFtp& ftp = partes_.ftp;
    // A grave error of the connection has been told already.
    if (!partes_.conectar())
        return false;
    QCoreApplication::processEvents();
    emit estatus(QStringLiteral("Recibiendo: ") + remoto + QStringLiteral(", Espere..."));
    QCoreApplication::processEvents();
    // A failed download leaves the file as it was.
    if (ftp.RecibirArchivo(remoto, archivo) == 1) {
        resultado_.documentoExiste = conectado_ = true;
        return true;
    }
    if (ftp.UltimaFalla() == ClienteFtp::Falla::NoExiste &&
        (!QFile::exists(archivo) || QFile::remove(archivo))) {
        // Not on the server (any more): what is sent is the held pages alone.
        resultado_.documentoExiste = false;
        conectado_ = true;
        return true;
    }
    qCWarning(lcEnvio) << "no se pudo traer" << remoto << ftp.UltimoError();
    // Built on an older copy, the upload would replace pages stored since: nothing is sent.
    return fallaTransferencia(remoto, ftp.UltimaFalla() == ClienteFtp::Falla::Local
                                          ? QStringLiteral("No se pudo escribir el archivo de "
                                                           "trabajo")
                                          : QStringLiteral("No se puede Conectar con el servidor "
                                                           "de Imagenes"));
}

bool EnvioDocumento::fallaTransferencia(const QString& remoto, const QString& titulo)
{
    // What this workstation's disk refused, a new try alone does not mend.
    resultado_.falla =
        partes_.ftp.UltimaFalla() == ClienteFtp::Falla::Local ? Falla::Otra : Falla::Servidor;
    error(QStringLiteral("No se pudo Guardar el Expediente, favor de reintentarlo!!"), titulo);
    emit estatus(kNoGuardado + remoto);
    return false;
}

bool EnvioDocumento::crearExpediente(Pedido& p, const TipoDocumento& tipo)
{
    const Sentencia alta =
        SentenciasExpediente::crear(p.lote.cliente.NumeroCliente, p.sucursal, p.prestamo);
    partes_.bd.ejecutar(alta.texto, alta.valores);
    const QVariant folio = leerFolio(partes_.bd);
    // Without its folio the case file is not known: the next try creates it again rather
    // than upload under folio 0.
    if (folio.isNull()) {
        error(QStringLiteral("Error sin Folio, intente de nuevo"), QStringLiteral("Error Grave"));
        return false;
    }
    // From here the pages belong to the new case file, should anything fail later.
    p.lote.folio = folio.toDouble();
    p.registrar();
    resultado_.nombreRemoto = tipo.nombreRemoto(p.lote.folio);
    emit expedienteCreado(p.lote.folio);
    return true;
}

bool EnvioDocumento::subir(Pedido& p, const TipoDocumento& tipo)
{
    const QString remoto = tipo.nombreRemoto(p.lote.folio);
    // The session of the fetch a moment ago serves (the client opens another should the server
    // have dropped it); a new case file's first upload connects. A grave connection error has
    // been told: there is nothing to upload through.
    if (!std::exchange(conectado_, false) && !partes_.conectar())
        return false;
    ClienteFtp& ftp = partes_.ftp;
    try {
        QCoreApplication::processEvents();
        emit estatus(QStringLiteral("Guardando: ") + remoto + QStringLiteral(", Espere..."));
        QCoreApplication::processEvents();
        resultado_.resultadoFtp = ftp.EnviarArchivo(p.archivo, remoto);
        if (resultado_.resultadoFtp != 1) {
            qCWarning(lcEnvio) << "envio fallido" << remoto << ftp.UltimoError();
            // A transfer cut after it had started was connected: the title says what happened.
            return fallaTransferencia(
                remoto, ftp.UltimaFalla() == ClienteFtp::Falla::Interrumpida
                            ? QStringLiteral("Se interrumpió el envío al servidor de Imagenes")
                            : QStringLiteral("No se puede Conectar con el servidor de Imagenes"));
        }
        // Recorded before anything else can happen: the server has the document now, and a
        // crash from here on must not send its pages a second time.
        p.lote.estado = Lote::Estado::Enviada;
        p.registrar();
        // The next workstation may build on it now: the flag and the viewer need no lock, and
        // a box they raise must not keep anyone waiting.
        unaEstacion_.reset();
        QCoreApplication::processEvents();
        emit estatus(QStringLiteral("Mostrando: ") + remoto + QStringLiteral(", Espere..."));
        QCoreApplication::processEvents();
        emit enviado(p.archivo);
        ftp.Desconectar();
        QCoreApplication::processEvents();
        emit estatus(QStringLiteral("Expediente Guardado Correctamente!!: "));
        QCoreApplication::processEvents();
    } catch (const std::exception& falla) {
        qCWarning(lcEnvio) << "error al enviar" << remoto << falla.what();
        error(QStringLiteral("No se Guardó el Expediente, Favor de Intentarlo de Nuevo!!"),
              kTituloNoGuardado);
    }
    return p.lote.estado == Lote::Estado::Enviada;
}

bool EnvioDocumento::llego(const Lote& lote, const QString& archivo, const QString& huella)
{
    if (lote.enviado.isEmpty())
        return false;
    if (huella == lote.enviado)
        return true;
    // Other workstations may have added pages after them since: they are still in their place.
    return !lote.hojas.isEmpty() &&
           LectorTiff::huellasPaginas(archivo).mid(lote.desde, lote.hojas.size()) == lote.hojas;
}

int EnvioDocumento::marcarFilas(const Lote& lote, const TipoDocumento& tipo)
{
    const Sentencia marca = SentenciasExpediente::marcarDocumento(tipo, lote.folio);
    return partes_.bd.ejecutar(marca.texto, marca.valores);
}

bool EnvioDocumento::marcar(Pedido& p, const TipoDocumento& tipo)
{
    // The server has the file but the case file does not say so, so nothing can find it: the
    // save did not happen, whatever the upload's status said. The pages stay held and the next
    // try only sets the flag.
    const QString remoto = tipo.nombreRemoto(p.lote.folio);
    int filas = 0;
    try {
        filas = marcarFilas(p.lote, tipo);
    } catch (...) {
        emit estatus(kNoGuardado + remoto);
        resultado_.falla = Falla::Marca;
        throw;
    }
    // Another workstation deleted the case file meanwhile: a flag on no row counts for nothing.
    if (filas == 0) {
        emit estatus(kNoGuardado + remoto);
        error(QStringLiteral("No se pudo registrar el documento: ") +
                  DiarioPaginas::sinExpediente(tipo, p.lote.folio) +
                  QStringLiteral(". Las hojas escaneadas se conservan; avise a soporte de la "
                                 "sucursal."),
              kTituloNoGuardado);
        return false;
    }
    p.lote.estado = Lote::Estado::Registrada;
    p.registrar();
    return true;
}

Lote::Cierre EnvioDocumento::completar(Lote& lote, const std::function<void()>& registrar,
                                       QString* motivo)
{
    const TipoDocumento* tipo = TipoDocumento::porLetra(lote.tipo);
    if (!tipo || !(lote.folio > 0))
        return Lote::Cierre::PorEnviar;
    const QString remoto = tipo->nombreRemoto(lote.folio);
    if (lote.estado < Lote::Estado::Enviada) {
        if (lote.enviado.isEmpty())
            return Lote::Cierre::PorEnviar;
        // Its upload was under way: the server says whether it arrived.
        QTemporaryFile copia;
        if (!copia.open() || !partes_.conectar())
            return Lote::Cierre::PorEnviar;
        copia.close();
        if (partes_.ftp.RecibirArchivo(remoto, copia.fileName()) != 1 ||
            !llego(lote, copia.fileName(), Lote::huella(copia.fileName()))) {
            qCInfo(lcEnvio) << remoto << "no tiene lo que se estaba enviando";
            return Lote::Cierre::PorEnviar;
        }
        qCInfo(lcEnvio) << remoto << "tiene lo que se estaba enviando";
        lote.estado = Lote::Estado::Enviada;
        registrar();
    }
    QString falla;
    try {
        if (marcarFilas(lote, *tipo) != 0) {
            lote.estado = Lote::Estado::Registrada;
            registrar();
            return Lote::Cierre::Registrado;
        }
        falla = DiarioPaginas::sinExpediente(*tipo, lote.folio);
    } catch (const ErrorSistema& error) {
        falla = error.mensaje();
    }
    qCWarning(lcEnvio) << "sigue sin registrar" << remoto << falla;
    if (motivo)
        *motivo = falla;
    return Lote::Cierre::SinRegistrar;
}
