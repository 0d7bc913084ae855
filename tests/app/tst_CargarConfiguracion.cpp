#include "app/CargarConfiguracion.h"
#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/Global.h"
#include "support/BaseDatosPrueba.h"

#include <QTest>

using Servidor = BaseDatosPrueba::ServidorImagenes;

class PruebaCargarConfiguracion : public QObject
{
    Q_OBJECT

    static Global cargar(BaseDatosPrueba& bd)
    {
        Global global;
        ConexionBaseDatos ConexionBD;
        CargarConfiguracion(global, ConexionBD, bd.carpeta());
        return global;
    }

private slots:
    void direccionLocalORemota_data()
    {
        // The embedded database's file name carries the head-office address into server_SQL.
        QTest::addColumn<QString>("servidor");
        QTest::addColumn<QString>("esperada");
        const QString matriz = DireccionSQLMatriz();
        QTest::newRow("otro") << "sqlite:expedientes.db"
                              << "192.0.2.7";
        QTest::newRow("la contiene") << "sqlite:" + matriz << "127.0.0.1";
        QTest::newRow("con algo despues") << "sqlite:" + matriz + ",1433.db"
                                          << "127.0.0.1";
        QTest::newRow("casi") << "sqlite:" + matriz.chopped(1) + ".db"
                              << "192.0.2.7";
    }
    void direccionLocalORemota()
    {
        QFETCH(QString, servidor);
        QFETCH(QString, esperada);
        BaseDatosPrueba bd(QStringLiteral("S01"), servidor);
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.servidorImagenes({});
        const Global global = cargar(bd);
        const DatosServidorImagenes& c = global.ConfigServidorImagenes;
        QCOMPARE(c.server_SQL, servidor);
        QCOMPARE(c.servidor, esperada);
        QCOMPARE(c.sucursal, QStringLiteral("S01"));
        QCOMPARE(c.CentroDistribucion, QStringLiteral("GDL    "));
        QCOMPARE(c.usuario, QStringLiteral("imagenes"));
        QCOMPARE(c.contrasena, QStringLiteral("imagenes"));
        QCOMPARE(c.puerto, QStringLiteral("2121"));
        QCOMPARE(c.tamano, 2048.0);
        QCOMPARE(c.resolucion_BN, 200.0);
        QCOMPARE(c.resolucion_RGB, 150.0);
        QCOMPARE(c.Ruta, QStringLiteral("/gdl"));
        QVERIFY(!global.CadenaConexion.isEmpty());
    }

    void centroDeSieteCaracteres_data()
    {
        QTest::addColumn<QString>("centro");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("corto") << "CDMX"
                               << "CDMX   ";
        QTest::newRow("exacto") << "NORTE01"
                                << "NORTE01";
        QTest::newRow("largo") << "OCCIDENTE"
                               << "OCCIDEN";
        QTest::newRow("blancos y apostrofo") << " O'H "
                                             << " O'H   ";
    }
    void centroDeSieteCaracteres()
    {
        QFETCH(QString, centro);
        QFETCH(QString, esperado);
        BaseDatosPrueba bd(QStringLiteral("S'05"));
        bd.sucursal(QStringLiteral("S'05"), centro);
        Servidor fila;
        fila.centro = centro;
        fila.usuario = QStringLiteral(" con blancos ");
        bd.servidorImagenes(fila);
        const DatosServidorImagenes c = cargar(bd).ConfigServidorImagenes;
        QCOMPARE(c.CentroDistribucion, esperado);
        QCOMPARE(c.usuario, QStringLiteral(" con blancos ")); // not trimmed
    }

    void sinFilasQuedanLosValoresIniciales()
    {
        BaseDatosPrueba bd(QStringLiteral("S02"));
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.servidorImagenes({});
        DatosServidorImagenes c = cargar(bd).ConfigServidorImagenes;
        QCOMPARE(c.CentroDistribucion, QStringLiteral("       "));
        QCOMPARE(c.servidor, QString());
        QCOMPARE(c.tamano, 0.0);

        // Branch known, but its centre has no image server.
        bd.sucursal(QStringLiteral("S02"), QStringLiteral("MTY"));
        c = cargar(bd).ConfigServidorImagenes;
        QCOMPARE(c.CentroDistribucion, QStringLiteral("MTY    "));
        QCOMPARE(c.servidor, QString());
        QCOMPARE(c.puerto, QString());
        QCOMPARE(c.resolucion_BN, 0.0);
    }

    void variasFilasSeUsaLaPrimera()
    {
        BaseDatosPrueba bd;
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        Servidor primera;
        primera.Ruta = QStringLiteral("/primera");
        Servidor segunda;
        segunda.Ruta = QStringLiteral("/segunda");
        bd.servidorImagenes(primera);
        bd.servidorImagenes(segunda);
        QCOMPARE(cargar(bd).ConfigServidorImagenes.Ruta, QStringLiteral("/primera"));
    }

    void valorNuloOInvalidoNombraLaColumna_data()
    {
        QTest::addColumn<QString>("columna");
        QTest::addColumn<QVariant>("valor");
        for (const char* columna : {"direccion_remota", "usuario", "contrasena", "puerto", "tamano",
                                    "resolucion_BN", "resolucion_RGB", "Ruta"})
            QTest::newRow(columna) << QString::fromLatin1(columna) << QVariant();
        QTest::newRow("tamano con texto") << "tamano" << QVariant(QStringLiteral("2 MB"));
    }
    void valorNuloOInvalidoNombraLaColumna()
    {
        QFETCH(QString, columna);
        QFETCH(QVariant, valor);
        BaseDatosPrueba bd;
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        Servidor fila;
        QVariant* campos[] = {&fila.direccion_remota, &fila.usuario, &fila.contrasena,
                              &fila.puerto,           &fila.tamano,  &fila.resolucion_BN,
                              &fila.resolucion_RGB,   &fila.Ruta};
        const QStringList nombres{"direccion_remota", "usuario",       "contrasena",     "puerto",
                                  "tamano",           "resolucion_BN", "resolucion_RGB", "Ruta"};
        *campos[nombres.indexOf(columna)] = valor;
        bd.servidorImagenes(fila);
        try {
            cargar(bd);
            QFAIL("sin error");
        } catch (const ErrorSistema& e) {
            QVERIFY2(e.descripcion().contains(columna), qPrintable(e.descripcion()));
            QVERIFY(e.numero() != 0);
        }
    }

    void centroNuloNombraLaColumna()
    {
        BaseDatosPrueba bd;
        bd.conexion().ejecutar(QStringLiteral("DROP TABLE sucursales"));
        bd.conexion().ejecutar(QStringLiteral("CREATE TABLE sucursales (sucursal TEXT, "
                                              "centro_distribucion TEXT, tasa_iva REAL, "
                                              "nombre_sucursal TEXT)"));
        bd.conexion().ejecutar(
            QStringLiteral("INSERT INTO sucursales VALUES ('S01', NULL, 0, '')"));
        QVERIFY_THROWS_EXCEPTION(ErrorSistema, cargar(bd));
    }

    void sinTablaDeArranqueNoAbre()
    {
        BaseDatosPrueba bd;
        QVERIFY(QFile::remove(bd.carpeta() + QStringLiteral("/ARRANQUE.dbf")));
        Global global;
        ConexionBaseDatos ConexionBD;
        QVERIFY_THROWS_EXCEPTION(ErrorSistema,
                                 CargarConfiguracion(global, ConexionBD, bd.carpeta()));
        QVERIFY(!ConexionBD.abierta());
    }
};

QTEST_GUILESS_MAIN(PruebaCargarConfiguracion)
#include "tst_CargarConfiguracion.moc"
