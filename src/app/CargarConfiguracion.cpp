#include "app/CargarConfiguracion.h"

#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/Global.h"
#include "app/TablaArranque.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(registroBaseDatos)

namespace {

constexpr int kErrorConversion = 13; // "Type mismatch", what the conversion raised before

// A database Null or a text that is no number would leave a setting silently empty or 0;
// start-up stops instead and names the column.
QVariant leido(const Registros& registros, const QString& columna)
{
    const QVariant valor = registros.campo(columna);
    if (valor.isNull())
        throw ErrorSistema(
            kErrorConversion,
            QStringLiteral("La columna %1 no tiene valor (Null) en la configuración de la sucursal")
                .arg(columna),
            QStringLiteral("Configuración"));
    return valor;
}

QString texto(const Registros& registros, const QString& columna)
{
    return leido(registros, columna).toString();
}

double numero(const Registros& registros, const QString& columna)
{
    const QVariant valor = leido(registros, columna);
    bool esNumero = false;
    const double resultado = valor.toDouble(&esNumero);
    if (!esNumero)
        throw ErrorSistema(
            kErrorConversion,
            QStringLiteral("La columna %1 no tiene un número válido ('%2') en la configuración de "
                           "la sucursal")
                .arg(columna, valor.toString()),
            QStringLiteral("Configuración"));
    return resultado;
}

} // namespace

QString DireccionSQLMatriz()
{
    return QStringLiteral(EXPEDIENTES_DIRECCION_SQL_MATRIZ);
}

void CargarConfiguracion(Global& global, ConexionBaseDatos& ConexionBD,
                         const QString& carpetaArranque)
{
    const DatosArranque arranque = TablaArranque::LeerArranque(carpetaArranque);
    global.CadenaConexion = arranque.CadenaConexion;
    DatosServidorImagenes& config = global.ConfigServidorImagenes;
    config.sucursal = arranque.sucursal;
    config.server_SQL = arranque.server_SQL;

    ConexionBD.abrir(global.CadenaConexion, carpetaArranque);

    Registros registros = ConexionBD.consultar(
        QStringLiteral(
            "SELECT centro_distribucion,tasa_iva,nombre_sucursal FROM sucursales where sucursal=?"),
        {config.sucursal});
    if (!registros.eof()) {
        const QVariant centro = registros.campo(0);
        if (centro.isNull())
            throw ErrorSistema(kErrorConversion,
                               QStringLiteral("La columna centro_distribucion no tiene valor "
                                              "(Null) para la sucursal %1")
                                   .arg(config.sucursal),
                               QStringLiteral("Configuración"));
        config.CentroDistribucion = centro.toString().leftJustified(7, QLatin1Char(' '), true);
    }
    registros.cerrar();

    registros = ConexionBD.consultar(
        QStringLiteral("SELECT a.* from brax.dbo.acceso_ftp_ZR a Join sucursales s ON "
                       "a.centro_distribucion=s.centro_distribucion  WHERE s.sucursal=?"),
        {config.sucursal});
    if (!registros.eof()) {
        config.servidor = config.server_SQL.contains(DireccionSQLMatriz())
                              ? texto(registros, QStringLiteral("direccion_local"))
                              : texto(registros, QStringLiteral("direccion_remota"));
        config.usuario = texto(registros, QStringLiteral("usuario"));
        config.contrasena = texto(registros, QStringLiteral("contrasena"));
        config.puerto = texto(registros, QStringLiteral("puerto"));
        config.tamano = numero(registros, QStringLiteral("tamano"));
        config.resolucion_BN = numero(registros, QStringLiteral("resolucion_BN"));
        config.resolucion_RGB = numero(registros, QStringLiteral("resolucion_RGB"));
        config.Ruta = texto(registros, QStringLiteral("Ruta"));
    } else {
        qCWarning(registroBaseDatos)
            << "Sin servidor de imágenes para la sucursal" << config.sucursal;
    }
    registros.cerrar();
}
