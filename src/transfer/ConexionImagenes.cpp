#include "transfer/ConexionImagenes.h"

#include "app/AjustesTls.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/ErrorSistema.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/SesionCaptura.h"
#include "components/ftp/ClienteFtp.h"
#include "transfer/BloqueoTransferencia.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QProgressBar>

Q_LOGGING_CATEGORY(lcConexion, "expedientes.ftp.conexion")

namespace {
// The port or the TLS setting cannot be used: handled like any other grave error of the
// connection.
struct AjusteInvalido : std::runtime_error
{
    using std::runtime_error::runtime_error;
};
} // namespace

ConexionImagenes::ConexionImagenes(ContextoVentana& c, QObject* parent) : QObject(parent), c_(c)
{
    connect(c_.entorno.FTP, &ClienteFtp::AvanceTransferencia, this,
            &ConexionImagenes::FTP_AvanceTransferencia);
}

std::optional<int> ConexionImagenes::PuertoComoEntero(const QString& texto)
{
    bool valido = false;
    const int puerto = texto.trimmed().toInt(&valido, 10);
    if (!valido || puerto < 1 || puerto > 65535)
        return std::nullopt;
    return puerto;
}

bool ConexionImagenes::ConectarServidorImagenes()
{
    BloqueoTransferencia bloqueo(c_);
    auto& estatus = ControlVentana<QLabel>(c_.ventana, QStringLiteral("LblEstatus"));
    try {
        conectar();
        return true;
    } catch (const ErrorSistema& error) {
        qCWarning(lcConexion) << "Error grave al conectar:" << error.numero()
                              << error.descripcion();
    } catch (const std::exception& error) {
        qCWarning(lcConexion) << "Error grave al conectar:" << error.what();
    }
    // A stale 1 from the last transfer must not read as a connection.
    c_.sesion.ResultadoFtp = 0;
    const QString texto = QStringLiteral("Error Grave No se pudo conectar");
    c_.entorno.mensajes->MensajeError(texto, QStringLiteral("Trate de Nuevo"));
    estatus.setText(texto);
    return false;
}

ConexionImagenes::Apertura ConexionImagenes::abrir(ClienteFtp& ftp,
                                                   const DatosServidorImagenes& config,
                                                   const QString& archivoAjustes)
{
    ftp.FijarServidor(config.servidor);
    ftp.FijarUsuario(config.usuario);
    ftp.FijarContrasena(config.contrasena);
    const std::optional<int> puerto = PuertoComoEntero(config.puerto);
    if (!puerto)
        throw AjusteInvalido("puerto no numerico o fuera de rango: " + config.puerto.toStdString());
    ftp.FijarPuerto(*puerto);
    QString valorTls;
    const auto politica = AjustesTls::leer(archivoAjustes, valorTls);
    // A mistyped "obligatorio" must not quietly let the password travel in clear.
    if (!politica)
        throw AjusteInvalido(QStringLiteral("%1 = «%2» en los ajustes de la estación no es %3")
                                 .arg(AjustesTls::clave(), valorTls,
                                      AjustesTls::nombres().join(QStringLiteral(", ")))
                                 .toStdString());
    ftp.FijarPoliticaTls(*politica);
    ftp.FijarArchivoLlaves(AjustesTls::archivoLlaves(archivoAjustes));

    Apertura apertura;
    apertura.resultado = ftp.Conectar();
    // Taken before the directory change below, whose own failure would replace it.
    apertura.motivo = ftp.UltimoError();
    apertura.porSeguridad = ftp.UltimaFalla() == ClienteFtp::Falla::Seguridad;
    // Asked whatever the connect returned; its result is not examined.
    ftp.CambiarDirectorioRemoto(config.Ruta);
    return apertura;
}

void ConexionImagenes::conectar()
{
    auto& estatus = ControlVentana<QLabel>(c_.ventana, QStringLiteral("LblEstatus"));

    QCoreApplication::processEvents();
    estatus.setText(QStringLiteral("Conectando al Servidor de Imagenes, Espere..."));
    QCoreApplication::processEvents();

    const Apertura apertura =
        abrir(*c_.entorno.FTP, c_.global.ConfigServidorImagenes, c_.entorno.archivoAjustes);
    c_.sesion.ResultadoFtp = apertura.resultado;
    if (apertura.resultado != 1) {
        qCInfo(lcConexion) << "Conexion rechazada:" << apertura.motivo;
        // A refused key says who may be answering and how to accept a new one: the clerk
        // passes it to support, who cannot guess it from "try again".
        QString mensaje = QStringLiteral("No se pudo conectar al servidor de Imagenes");
        if (apertura.porSeguridad)
            mensaje += QStringLiteral("\n\n") + apertura.motivo;
        c_.entorno.mensajes->MensajeError(mensaje, QStringLiteral("Trate de Nuevo"));
        estatus.setText(
            QStringLiteral("No se pudo conectar con el servidor de Imagenes, Trate de Nuevo"));
    } else {
        estatus.setText(QStringLiteral("Conectado al Servidor de Imagenes"));
    }
}

void ConexionImagenes::FTP_AvanceTransferencia(int porcentaje)
{
    QCoreApplication::processEvents();
    if (auto* barra = c_.ventana.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")))
        barra->setValue(porcentaje);
    QCoreApplication::processEvents();
}
