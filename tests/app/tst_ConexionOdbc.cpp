#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "support/BaseDatosPrueba.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTest>

// The same connection code through QODBC and the SQLite ODBC driver ("SQLite3" in
// odbcinst.ini): binding, forward-only reads, Null, errors and the helper functions (loaded
// by the driver as an extension module) run through real ODBC calls.
class PruebaConexionOdbc : public QObject
{
    Q_OBJECT

    BaseDatosPrueba* bd_ = nullptr;
    ConexionBaseDatos odbc_{QStringLiteral("ConexionOdbc")};

private slots:
    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
            QSKIP("Sin el controlador QODBC de Qt");
        bd_ = new BaseDatosPrueba;
        bd_->sucursal(QStringLiteral("S'01"), QStringLiteral("GDL"));
        bd_->servidorImagenes({});
        BaseDatosPrueba::Cliente c;
        c.numero = 100001;
        c.nombre = QStringLiteral("O'HARA PEÑA JUAN");
        c.sucursal = QStringLiteral("S'01");
        c.huellas = true;
        bd_->cliente(c);
        bd_->venta(500001, 100001, QStringLiteral("S'01"), QStringLiteral("GDL-000001"));
        bd_->expediente(100001, QStringLiteral("S'01"));
        bd_->conexion().cerrar();
        odbc_.abrir(QStringLiteral("Driver={SQLite3};Database=%1;").arg(bd_->rutaBase()),
                    bd_->carpeta());
        QVERIFY(odbc_.abierta());
        QVERIFY(!odbc_.embebida());
    }
    void cleanupTestCase()
    {
        odbc_.cerrar();
        delete bd_;
    }

    void lecturaConTextoLigado()
    {
        Registros r = odbc_.consultar(
            QStringLiteral("SELECT centro_distribucion,tasa_iva,nombre_sucursal FROM sucursales "
                           "where sucursal=?"),
            {QStringLiteral("s'01")});
        QVERIFY(!r.eof());
        QCOMPARE(r.campo(QStringLiteral("CENTRO_DISTRIBUCION")).toString(), QStringLiteral("GDL"));
        QCOMPARE(r.campo(1).toDouble(), 0.16);
        QVERIFY(!r.siguiente());

        Registros a = odbc_.consultar(
            QStringLiteral("SELECT a.* from brax.dbo.acceso_ftp_ZR a Join sucursales s ON "
                           "a.centro_distribucion=s.centro_distribucion  WHERE s.sucursal=?"),
            {QStringLiteral("S'01")});
        QCOMPARE(a.campo(QStringLiteral("puerto")).toString(), QStringLiteral("2121"));
        QCOMPARE(a.campo(QStringLiteral("tamano")).toDouble(), 2048.0);
    }

    void funcionesDelServidor()
    {
        Registros r = odbc_.consultar(
            QStringLiteral(
                "SELECT C.Cliente'Cliente',C.Nombre_cliente'Nombre',brax.dbo.tiene_huellas("
                "c.cliente)'Huella Registrada',c.rfc'RFC', BRAX.dbo.clasificacion_credito_cliente "
                "(C.Cliente,1) 'Clasificación', ERP_QOR.dbo.telefono_cliente (C.Cliente) "
                "'Telefono', BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM "
                "Clientes C join sucursales s on c.sucursal=s.sucursal WHERE Nombre_Cliente like "
                "? and s.centro_distribucion=? order by Nombre_Cliente"),
            {QStringLiteral("%O'HARA%"), QStringLiteral("GDL    ")});
        QVERIFY(!r.eof());
        QCOMPARE(r.campo(QStringLiteral("nombre")).toString(), QStringLiteral("O'HARA PEÑA JUAN"));
        QCOMPARE(r.campo(QStringLiteral("Huella Registrada")).toString(), QStringLiteral("SI"));
        QCOMPARE(r.campo(QStringLiteral("Clasificación")).toString(), QStringLiteral("A"));
        QCOMPARE(r.campo(QStringLiteral("Direccion")).toString(),
                 QStringLiteral("HIDALGO 10, COL. CENTRO, GUADALAJARA, JALISCO, C.P. 44100"));
    }

    // Branch support reads the database with the stock sqlite3 tool: every text column
    // compares under the server's collation, so without the extension loaded (the README's
    // command) a comparison fails instead of answering.
    void herramientaSqlite3()
    {
        QString modulo = QStringLiteral(EXPEDIENTES_MODULO_FUNCIONES_SQLITE);
        modulo.chop(3); // the README's form: sqlite3 adds ".so" itself
        const QString consulta =
            QStringLiteral("SELECT Nombre_cliente, tiene_huellas(cliente) FROM clientes "
                           "WHERE Nombre_cliente = 'o''hara peña juan  ' ORDER BY Nombre_cliente;");
        const auto sqlite3 = [&](const QStringList& argumentos) {
            QProcess proceso;
            proceso.start(QStringLiteral("sqlite3"), argumentos);
            if (!proceso.waitForFinished(30000))
                return QStringLiteral("(sin respuesta)");
            return QString::fromUtf8(proceso.readAllStandardOutput() +
                                     proceso.readAllStandardError());
        };
        if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
            QSKIP("Sin la herramienta sqlite3");
        QCOMPARE(sqlite3({QStringLiteral("-cmd"), QStringLiteral(".load %1").arg(modulo),
                          bd_->rutaBase(), consulta}),
                 QStringLiteral("O'HARA PEÑA JUAN|SI\n"));
        const QString sinExtension =
            sqlite3({bd_->rutaBase(),
                     QStringLiteral("SELECT count(*) FROM clientes WHERE Nombre_cliente = 'x';")});
        QVERIFY2(sinExtension.contains(QStringLiteral("no such collation sequence: ESPANOL_CI")),
                 qPrintable(sinExtension));
    }

    void altaFolioBanderaYLista()
    {
        QVERIFY(odbc_.regresaFolio().isNull());
        odbc_.ejecutar(QStringLiteral("INSERT INTO  BRAX.dbo.Expedientes_ZR( Cliente,sucursal, "
                                      "fecha,es_prestamo) VALUES (") +
                           NumeroPlano(100001) + QStringLiteral(",?,GETDATE(),?)"),
                       {QStringLiteral("S'01"), QStringLiteral("0")});
        const QVariant folio = odbc_.regresaFolio();
        QCOMPARE(folio.toInt(), 2);
        odbc_.ejecutar(QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET imagen_NOTA = 1 WHERE "
                                      "expediente= ") +
                       NumeroPlano(folio.toDouble()));
        Registros r = odbc_.consultar(
            QStringLiteral(
                "SELECT e.expediente 'Expediente', erp_qor.dbo.fecha_corta(e.fecha) 'Fecha', "
                "ERP_QOR.dbo.nombre_sucursal(e.sucursal) 'Sucursal', p.clave_pedido 'Venta', "
                "e.es_prestamo'Prestamo', e.imagen_nota 'Nota Venta', e.estado_actual 'Estado "
                "Expediente' FROM BRAX.dbo.expedientes_ZR E LEFT JOIN Pedidos_clientes P ON "
                "e.pedido = p.pedido WHERE e.cliente = ") +
            NumeroPlano(100001) + QStringLiteral(" order by e.fecha DESC "));
        QCOMPARE(r.campo(0).toInt(), 2);
        QCOMPARE(r.campo(QStringLiteral("Fecha")).toString(),
                 QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        QCOMPARE(r.campo(QStringLiteral("Sucursal")).toString(),
                 QStringLiteral("Guadalajara Centro"));
        QVERIFY(r.campo(QStringLiteral("Venta")).isNull());
        QCOMPARE(r.campo(QStringLiteral("Nota Venta")).toInt(), 1);
        QCOMPARE(r.campo(QStringLiteral("Estado Expediente")).toString(),
                 QStringLiteral("Capturado"));
        QVERIFY(r.siguiente());
        QCOMPARE(r.campo(0).toInt(), 1);
    }

    void errorDelControlador()
    {
        try {
            odbc_.consultar(QStringLiteral("SELECT * FROM BRAX.dbo.no_existe"));
            QFAIL("sin error");
        } catch (const ErrorSistema& e) {
            QVERIFY(e.numero() != 0);
            QVERIFY2(e.descripcion().contains(QStringLiteral("no_existe")),
                     qPrintable(e.descripcion()));
        }
    }
};

QTEST_GUILESS_MAIN(PruebaConexionOdbc)
#include "tst_ConexionOdbc.moc"
