#include "transfer/DocumentoActual.h"

#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Mensajes.h"
#include "app/SesionCaptura.h"
#include "casefiles/TipoDocumento.h"
#include "components/ftp/ClienteFtp.h"
#include "transfer/BloqueoDocumento.h"
#include "transfer/BloqueoTransferencia.h"
#include "transfer/ConexionImagenes.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDocumentoActual, "expedientes.ftp.actual")

bool DocumentoActual::traer(ContextoVentana& c, ConexionImagenes& conexion,
                            const TipoDocumento& tipo)
{
    SesionCaptura& s = c.sesion;
    auto& estatus = ControlVentana<QLabel>(c.ventana, QStringLiteral("LblEstatus"));
    BloqueoTransferencia bloqueo(c);
    const QString remoto = tipo.nombreRemoto(s.FolioActual);
    const QString archivo = tipo.archivoTrabajo();
    ClienteFtp& ftp = *c.entorno.FTP;
    // A grave error of the connection has been told already.
    if (!conexion.ConectarServidorImagenes())
        return false;
    QCoreApplication::processEvents();
    estatus.setText(QStringLiteral("Recibiendo: ") + remoto + QStringLiteral(", Espere..."));
    QCoreApplication::processEvents();
    // A failed download leaves the working file as it was.
    if (ftp.RecibirArchivo(remoto, archivo) == 1) {
        if (!s.DocumentoExiste)
            qCInfo(lcDocumentoActual) << remoto << "se guardó desde otra estación";
        s.DocumentoExiste = true;
        return true;
    }
    if (ftp.UltimaFalla() == ClienteFtp::Falla::NoExiste &&
        (!QFile::exists(archivo) || QFile::remove(archivo))) {
        // Not on the server (any more): what is sent is the held pages alone.
        if (s.DocumentoExiste)
            qCWarning(lcDocumentoActual) << remoto << "ya no está en el servidor";
        s.DocumentoExiste = false;
        return true;
    }
    qCWarning(lcDocumentoActual) << "no se pudo traer" << remoto << ftp.UltimoError();
    // Built on an older copy, the upload would replace pages stored since: nothing is sent.
    c.entorno.mensajes->MensajeError(
        QStringLiteral("No se pudo Guardar el Expediente, favor de reintentarlo!!"),
        ftp.UltimaFalla() == ClienteFtp::Falla::Local
            ? QStringLiteral("No se pudo escribir el archivo de trabajo")
            : QStringLiteral("No se puede Conectar con el servidor de Imagenes"));
    estatus.setText(QStringLiteral("No se pudo Guardar el Expediente: ") + remoto);
    return false;
}

std::unique_ptr<BloqueoDocumento>
DocumentoActual::tomar(ContextoVentana& c, ConexionImagenes& conexion, const TipoDocumento& tipo,
                       std::chrono::milliseconds espera, const std::function<bool()>& preguntar)
{
    const QString documento = tipo.nombreRemoto(c.sesion.FolioActual);
    auto& estatus = ControlVentana<QLabel>(c.ventana, QStringLiteral("LblEstatus"));
    for (bool preguntado = false;;) {
        estatus.setText(QStringLiteral("Guardando: ") + documento + QStringLiteral(", Espere..."));
        auto bloqueo = std::make_unique<BloqueoDocumento>(*c.entorno.ConexionBD, documento, espera);
        if (!bloqueo->tomado()) {
            c.entorno.mensajes->MensajeError(
                QStringLiteral("Otra estación está guardando el documento %1 en este momento. No "
                               "se guardó nada; las hojas escaneadas se conservan. Vuelva a "
                               "Guardar en un momento.")
                    .arg(documento),
                QStringLiteral("No se pudo Guardar"));
            estatus.setText(QStringLiteral("No se pudo Guardar el Expediente: ") + documento);
            return nullptr;
        }
        if (!traer(c, conexion, tipo))
            return nullptr;
        if (!c.sesion.DocumentoExiste || preguntado)
            return bloqueo;
        bloqueo.reset();
        if (!preguntar())
            return nullptr;
        preguntado = true;
    }
}
