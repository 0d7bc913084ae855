#include "transfer/RecepcionDocumento.h"

#include "app/ConexionBaseDatos.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/RelojArena.h"
#include "app/SesionCaptura.h"
#include "app/Visor.h"
#include "casefiles/SentenciasExpediente.h"
#include "casefiles/TipoDocumento.h"
#include "components/MotivoSistema.h"
#include "components/ftp/ClienteFtp.h"
#include "transfer/BloqueoTransferencia.h"
#include "transfer/ConexionImagenes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRecepcion, "expedientes.ftp.recepcion")

namespace {
// Closes the record set on every way out, a database failure included.
class CierreRegistros
{
public:
    explicit CierreRegistros(Registros& registros) : registros_(registros) {}
    ~CierreRegistros() { registros_.cerrar(); }
    CierreRegistros(const CierreRegistros&) = delete;
    CierreRegistros& operator=(const CierreRegistros&) = delete;

private:
    Registros& registros_;
};
} // namespace

RecepcionDocumento::RecepcionDocumento(ContextoVentana& c, ConexionImagenes& conexion,
                                       QObject* parent)
    : QObject(parent), c_(c), conexion_(conexion)
{
}

bool RecepcionDocumento::BanderaPuesta(const QVariant& valor)
{
    if (valor.isNull())
        return false;
    if (valor.typeId() == QMetaType::Bool)
        return valor.toBool();
    bool numero = false;
    const double cifra = valor.toDouble(&numero);
    return numero ? cifra != 0 : valor.toBool();
}

void RecepcionDocumento::RecibirDocumento()
{
    RelojArena reloj;
    SesionCaptura& s = c_.sesion;
    QString remoto;
    s.ExpedienteExiste = false;

    const Sentencia consulta = s.FolioActual > 0 ? SentenciasExpediente::leerUno(s.FolioActual)
                                                 : SentenciasExpediente::capturadosDeCliente(
                                                       c_.global.ClienteSeleccionado.NumeroCliente);
    Registros registros = c_.entorno.ConexionBD->consultar(consulta.texto, consulta.valores);
    CierreRegistros cierre(registros);

    if (registros.eof()) {
        ControlVentana<QLabel>(c_.ventana, QStringLiteral("LblEstatus"))
            .setText(QStringLiteral("No Existe Documento Digitalizado"));
        return;
    }
    s.ExpedienteExiste = true;
    s.FolioActual = registros.campo(QStringLiteral("expediente")).toDouble();
    const TipoDocumento* tipo = TipoDocumento::porLetra(s.LetraActual);
    if (tipo && BanderaPuesta(registros.campo(QLatin1String(tipo->columnaBandera)))) {
        remoto = tipo->nombreRemoto(registros.campo(QStringLiteral("EXPEDIENTE")).toDouble());
        s.ArchivoLocal = tipo->archivoTrabajo();
    }
    if (remoto.isEmpty()) {
        s.DocumentoExiste = false;
        return;
    }
    descargar(remoto);
}

void RecepcionDocumento::descargar(const QString& remoto)
{
    SesionCaptura& s = c_.sesion;
    ClienteFtp& ftp = *c_.entorno.FTP;
    auto& estatus = ControlVentana<QLabel>(c_.ventana, QStringLiteral("LblEstatus"));
    BloqueoTransferencia bloqueo(c_);

    if (!conexion_.ConectarServidorImagenes())
        return;
    QCoreApplication::processEvents();
    estatus.setText(QStringLiteral("Recibiendo: ") + remoto + QStringLiteral(", Espere..."));
    QCoreApplication::processEvents();

    const bool habiaArchivo = QFileInfo::exists(s.ArchivoLocal);
    s.ResultadoFtp = ftp.RecibirArchivo(remoto, s.ArchivoLocal);
    if (s.ResultadoFtp != 1) {
        qCInfo(lcRecepcion) << "Descarga fallida:" << remoto << ftp.UltimoError();
        // A partial file would be taken as the stored document the next time the type is
        // picked; only a file this download created is removed.
        if (!habiaArchivo && QFileInfo::exists(s.ArchivoLocal))
            QFile::remove(s.ArchivoLocal);
        if (ftp.UltimaFalla() == ClienteFtp::Falla::Local) {
            avisarFallaLocal(remoto, ftp.ErrorLocal(), ftp.UltimoError());
        } else {
            c_.entorno.mensajes->MensajeError(QStringLiteral("Falla con el servidor de Imagenes"),
                                              QStringLiteral("Trate de Nuevo"));
            estatus.setText(QStringLiteral("Falla del servidor FTP!!: ") + remoto);
        }
        ftp.Desconectar();
        return;
    }
    estatus.setText(QStringLiteral("Expediente Recibido con Exito!!: ") + remoto);
    c_.entorno.visor->abrir(Vista ? Vista(s.ArchivoLocal) : s.ArchivoLocal);
    QCoreApplication::processEvents();
    ftp.Desconectar();
    s.DocumentoExiste = true;
}

void RecepcionDocumento::avisarFallaLocal(const QString& remoto, int codigo, const QString& detalle)
{
    // The server sent the document; this workstation could not keep it. Blaming the server
    // would send the user to try again, or to call about it, for nothing.
    const QString archivo = c_.sesion.ArchivoLocal;
    const QString carpeta = QDir::toNativeSeparators(QFileInfo(archivo).absolutePath());
    QString texto;
    if (MotivoSistema::discoLleno(codigo)) {
        texto = QStringLiteral("No hay espacio en el disco de la carpeta de trabajo %1 para "
                               "recibir el documento %2. Libere espacio en el disco y vuelva a "
                               "elegir el documento.")
                    .arg(carpeta, remoto);
    } else {
        const QString motivo = codigo != 0 ? MotivoSistema::texto(codigo) : detalle;
        texto = QStringLiteral("No se pudo escribir el archivo de trabajo %1 en la carpeta %2 "
                               "(%3), el documento %4 no se recibió. Revise que la carpeta admita "
                               "escritura y vuelva a elegir el documento.")
                    .arg(archivo, carpeta, motivo, remoto);
    }
    c_.entorno.mensajes->MensajeError(texto, QStringLiteral("Falla en la carpeta de trabajo"));
    ControlVentana<QLabel>(c_.ventana, QStringLiteral("LblEstatus"))
        .setText(QStringLiteral("Falla en la carpeta de trabajo: ") + carpeta);
}
