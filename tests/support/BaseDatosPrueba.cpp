#include "support/BaseDatosPrueba.h"

#include "app/ErrorSistema.h"
#include "app/TablaArranque.h"

#include <QDir>
#include <QScopeGuard>
#include <QTest>

BaseDatosPrueba::BaseDatosPrueba(const QString& sucursal, const QString& servidor)
    : servidor_(servidor)
{
    if (!carpeta_.isValid())
        return;
    TablaArranque::EscribirArranque(carpeta_.path(), servidor, QStringLiteral("sa"),
                                    QStringLiteral("secreta"), sucursal);
    cadenaConexion_ = TablaArranque::LeerArranque(carpeta_.path()).CadenaConexion;
    conexion_.fijarTraza([this](const QString& texto, const QVariantList& valores) {
        if (grabando_)
            sentencias_.append({texto, valores});
    });
    conexion_.crear(cadenaConexion_, carpeta_.path());
    // A throw-away file: no need to wait for the disk after every seeded row.
    insertar(QStringLiteral("PRAGMA synchronous = OFF"), {});
    valida_ = conexion_.abierta();
}

QString BaseDatosPrueba::rutaBase() const
{
    QString ruta = servidor_.mid(servidor_.indexOf(QLatin1Char(':')) + 1);
    return QDir(carpeta_.path()).filePath(ruta);
}

void BaseDatosPrueba::insertar(const QString& sentencia, const QVariantList& valores)
{
    grabando_ = false;
    const auto reanudar = qScopeGuard([this] { grabando_ = true; });
    conexion_.ejecutar(sentencia, valores);
}

void BaseDatosPrueba::sucursal(const QString& sucursal, const QString& centro,
                               const QString& nombre)
{
    insertar(QStringLiteral("INSERT INTO sucursales (sucursal, centro_distribucion, tasa_iva,"
                            " nombre_sucursal) VALUES (?, ?, 0.16, ?)"),
             {sucursal, centro, nombre});
}

void BaseDatosPrueba::cliente(const Cliente& c)
{
    insertar(QStringLiteral("INSERT INTO Clientes (Cliente, Nombre_cliente, rfc, sucursal,"
                            " telefono, huellas_registradas, clasificacion_credito,"
                            " puntaje_credito) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
             {c.numero, c.nombre, c.rfc, c.sucursal, c.telefono, c.huellas ? 1 : 0, c.clasificacion,
              c.puntaje});
    insertar(
        QStringLiteral("INSERT INTO domicilios (clave, tabla, direccion, calle,"
                       " numero_exterior, colonia, ciudad, estado, codigo_postal)"
                       " VALUES (?, 'Clientes', ?, ?, ?, ?, ?, ?, ?)"),
        {c.numero,
         QStringLiteral("%1 %2 COL. %3 %4").arg(c.calle, c.numeroExterior, c.colonia, c.ciudad),
         c.calle, c.numeroExterior, c.colonia, c.ciudad, c.estado, c.codigoPostal});
}

void BaseDatosPrueba::venta(double pedido, double cliente, const QString& sucursal,
                            const QString& clave, const QString& estado, const QString& venta)
{
    insertar(QStringLiteral("INSERT INTO facturas_clientes (venta, cliente, sucursal, fecha,"
                            " importe) VALUES (?, ?, ?, '2024-02-01 12:00:00.000', 9999)"),
             {venta.isEmpty() ? NumeroPlano(pedido) : venta, cliente, sucursal});
    insertar(QStringLiteral("INSERT INTO pedidos_clientes (pedido, cliente, clave_pedido,"
                            " estado_actual, sucursal) VALUES (?, ?, ?, ?, ?)"),
             {pedido, cliente, clave, estado, sucursal});
}

double BaseDatosPrueba::expediente(double cliente, const QString& sucursal, const QString& estado,
                                   const QVariant& pedido, const QString& fecha)
{
    insertar(QStringLiteral("INSERT INTO Expedientes_ZR (Cliente, sucursal, fecha, Pedido,"
                            " estado_actual) VALUES (?, ?, ?, ?, ?)"),
             {cliente, sucursal, fecha, pedido, estado});
    return valor(QStringLiteral("SELECT max(expediente) FROM Expedientes_ZR")).toDouble();
}

void BaseDatosPrueba::servidorImagenes(const ServidorImagenes& f)
{
    insertar(QStringLiteral("INSERT INTO acceso_ftp_ZR (centro_distribucion, direccion_local,"
                            " direccion_remota, usuario, contrasena, puerto, tamano,"
                            " resolucion_BN, resolucion_RGB, Ruta)"
                            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
             {f.centro, f.direccion_local, f.direccion_remota, f.usuario, f.contrasena, f.puerto,
              f.tamano, f.resolucion_BN, f.resolucion_RGB, f.Ruta});
}

QVariant BaseDatosPrueba::valor(const QString& consulta, const QVariantList& valores)
{
    grabando_ = false;
    const auto reanudar = qScopeGuard([this] { grabando_ = true; });
    Registros registros = conexion_.consultar(consulta, valores);
    return registros.eof() ? QVariant() : registros.campo(0);
}
