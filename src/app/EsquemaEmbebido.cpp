#include "app/EsquemaEmbebido.h"

#include "app/FuncionesSQLite.h"

namespace {

// Every text compares as under the server's collation (FuncionesSQLite::kColacion): without
// regard to case or trailing blanks. The file therefore needs the functions registered (the
// connection does it) for any comparison or insert into an indexed text column.
QStringList version1()
{
    const QString codigo =
        QStringLiteral("TEXT COLLATE %1").arg(QLatin1String(FuncionesSQLite::kColacion));
    const QString texto = codigo;
    return {
        QStringLiteral("CREATE TABLE sucursales ("
                       " sucursal %1 PRIMARY KEY,"
                       " centro_distribucion %1 NOT NULL,"
                       " tasa_iva REAL NOT NULL DEFAULT 0.16,"
                       " nombre_sucursal %2)")
            .arg(codigo, texto),
        QStringLiteral("CREATE TABLE Clientes ("
                       " Cliente INTEGER PRIMARY KEY,"
                       " Nombre_cliente %2 NOT NULL,"
                       " rfc %2,"
                       " sucursal %1 REFERENCES sucursales(sucursal),"
                       " telefono %2,"
                       " huellas_registradas INTEGER NOT NULL DEFAULT 0,"
                       " clasificacion_credito %2,"
                       " puntaje_credito INTEGER)")
            .arg(codigo, texto),
        QStringLiteral("CREATE INDEX clientes_nombre ON Clientes(Nombre_cliente)"),
        QStringLiteral("CREATE INDEX clientes_sucursal ON Clientes(sucursal)"),
        QStringLiteral("CREATE TABLE domicilios ("
                       " clave INTEGER NOT NULL,"
                       " tabla %1 NOT NULL,"
                       " direccion %1,"
                       " calle %1, numero_exterior %1, colonia %1, ciudad %1, estado %1,"
                       " codigo_postal %1)")
            .arg(texto),
        QStringLiteral("CREATE INDEX domicilios_clave ON domicilios(clave, tabla)"),
        QStringLiteral("CREATE TABLE facturas_clientes ("
                       " venta %1 NOT NULL,"
                       " cliente INTEGER NOT NULL,"
                       " sucursal %1,"
                       " fecha TEXT,"
                       " importe REAL)")
            .arg(codigo),
        QStringLiteral("CREATE INDEX facturas_venta ON facturas_clientes(venta)"),
        QStringLiteral("CREATE INDEX facturas_cliente ON facturas_clientes(cliente)"),
        QStringLiteral("CREATE TABLE pedidos_clientes ("
                       " pedido INTEGER PRIMARY KEY,"
                       " cliente INTEGER NOT NULL,"
                       " clave_pedido %1,"
                       " estado_actual %2,"
                       " sucursal %1)")
            .arg(codigo, texto),
        QStringLiteral("CREATE INDEX pedidos_cliente ON pedidos_clientes(cliente)"),
        // AUTOINCREMENT: a folio is never handed out twice, even after the last row is gone.
        QStringLiteral("CREATE TABLE Expedientes_ZR ("
                       " expediente INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " Cliente INTEGER NOT NULL,"
                       " sucursal %1,"
                       " fecha TEXT,"
                       " es_prestamo INTEGER NOT NULL DEFAULT 0,"
                       " Pedido INTEGER NULL,"
                       " estado_actual %2 NOT NULL DEFAULT 'Capturado',"
                       " imagen_solicitud INTEGER NOT NULL DEFAULT 0,"
                       " imagen_IFE INTEGER NOT NULL DEFAULT 0,"
                       " imagen_TALON INTEGER NOT NULL DEFAULT 0,"
                       " imagen_CARTA INTEGER NOT NULL DEFAULT 0,"
                       " imagen_NOTA INTEGER NOT NULL DEFAULT 0,"
                       " imagen_ENTREGA INTEGER NOT NULL DEFAULT 0,"
                       " imagen_EXTRA INTEGER NOT NULL DEFAULT 0)")
            .arg(codigo, texto),
        QStringLiteral("CREATE INDEX expedientes_cliente ON Expedientes_ZR(Cliente)"),
        QStringLiteral("CREATE TABLE acceso_ftp_ZR ("
                       " centro_distribucion %1 NOT NULL,"
                       " direccion_local %2,"
                       " direccion_remota %2,"
                       " usuario TEXT,"
                       " contrasena TEXT,"
                       " puerto TEXT,"
                       " tamano REAL,"
                       " resolucion_BN REAL,"
                       " resolucion_RGB REAL,"
                       " Ruta TEXT)")
            .arg(codigo, texto),
    };
}

// The customer search of the own distribution centre starts from the centre's branches
// instead of walking every customer by name.
QStringList version2()
{
    return {
        QStringLiteral("CREATE INDEX sucursales_centro ON sucursales(centro_distribucion)"),
    };
}

} // namespace

int EsquemaEmbebido::versionActual()
{
    return 2;
}

QStringList EsquemaEmbebido::pasos(int desde)
{
    QStringList sentencias;
    if (desde < 1)
        sentencias += version1();
    if (desde < 2)
        sentencias += version2();
    // Later versions append their ALTER/CREATE steps here, each guarded by its number.
    return sentencias;
}
