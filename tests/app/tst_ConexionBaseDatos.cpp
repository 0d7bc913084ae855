#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/EsquemaEmbebido.h"
#include "support/BaseDatosPrueba.h"

#include <QFile>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

class PruebaConexionBaseDatos : public QObject
{
    Q_OBJECT

private slots:
    void numeroPlano_data()
    {
        QTest::addColumn<double>("numero");
        QTest::addColumn<QString>("texto");
        QTest::newRow("entero") << 10234.0 << "10234";
        QTest::newRow("fraccion") << 1.5 << "1.5";
        QTest::newRow("negativo") << -3.0 << "-3";
        QTest::newRow("cero") << 0.0 << "0";
        QTest::newRow("cero negativo") << -0.0 << "0";
        QTest::newRow("decimal") << 0.1 << "0.1";
        QTest::newRow("negativo fraccion") << -10234.25 << "-10234.25";
        QTest::newRow("folio grande") << 123456789012.0 << "123456789012";
        QTest::newRow("2^53") << 9007199254740992.0 << "9007199254740992";
        QTest::newRow("mas alla de 2^53") << 1e20 << "100000000000000000000";
        QTest::newRow("pequeno") << 0.00001 << "0.00001";
    }
    void numeroPlano()
    {
        QFETCH(double, numero);
        QFETCH(QString, texto);
        QCOMPARE(NumeroPlano(numero), texto);
    }

    void nuloDistintoDeCeroYVacio()
    {
        BaseDatosPrueba bd;
        QVERIFY(bd.valida());
        Registros r = bd.conexion().consultar(QStringLiteral("SELECT NULL, 0, '', ?, ?"),
                                              {QVariant(), QString()});
        QVERIFY(!r.eof());
        QVERIFY(r.campo(0).isNull());
        QVERIFY(!r.campo(1).isNull());
        QCOMPARE(r.campo(1).toInt(), 0);
        QVERIFY(!r.campo(2).isNull());
        QCOMPARE(r.campo(2).toString(), QString());
        QVERIFY(r.campo(3).isNull());
    }

    void camposPorNombrePosicionYFilas()
    {
        BaseDatosPrueba bd;
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.sucursal(QStringLiteral("S02"), QStringLiteral("GDL"), QStringLiteral("Zapopan"));
        Registros r = bd.conexion().consultar(
            QStringLiteral("SELECT sucursal 'Sucursal', nombre_sucursal FROM sucursales"
                           " ORDER BY sucursal"));
        QCOMPARE(r.columnas(), 2);
        QCOMPARE(r.nombreColumna(0), QStringLiteral("Sucursal"));
        QCOMPARE(r.campo(QStringLiteral("SUCURSAL")).toString(), QStringLiteral("S01"));
        QCOMPARE(r.campo(QStringLiteral("Nombre_Sucursal")).toString(),
                 QStringLiteral("Guadalajara Centro"));
        QCOMPARE(r.campo(0).toString(), QStringLiteral("S01"));
        QVERIFY_THROWS_EXCEPTION(ErrorSistema, r.campo(QStringLiteral("centro_distribucion")));
        QVERIFY_THROWS_EXCEPTION(ErrorSistema, r.campo(2));
        QVERIFY(r.siguiente());
        QCOMPARE(r.campo(1).toString(), QStringLiteral("Zapopan"));
        QVERIFY(!r.siguiente());
        QVERIFY(r.eof());
        QVERIFY_THROWS_EXCEPTION(ErrorSistema, r.campo(0));

        Registros vacio =
            bd.conexion().consultar(QStringLiteral("SELECT * FROM sucursales WHERE 1=0"));
        QVERIFY(vacio.eof());
    }

    void sentenciaFallidaDaNumeroYDescripcion()
    {
        BaseDatosPrueba bd;
        try {
            bd.conexion().ejecutar(QStringLiteral("UPDATE BRAX.dbo.no_existe SET x = 1"));
            QFAIL("sin error");
        } catch (const ErrorSistema& e) {
            QVERIFY(e.numero() != 0);
            QVERIFY2(e.descripcion().contains(QStringLiteral("no_existe")),
                     qPrintable(e.descripcion()));
        }
        bd.conexion().cerrar();
        QVERIFY_THROWS_EXCEPTION(ErrorSistema, bd.conexion().consultar(QStringLiteral("SELECT 1")));
    }

    // What the clerk reads of a driver's failure: the usual causes in a sentence to act on, the
    // driver's number and text after it; anything else as the driver says it.
    void causasEnPalabrasDelPuesto_data()
    {
        QTest::addColumn<QString>("controlador");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("causa"); // how the message starts; empty: no cause
        const QString ocupada = QStringLiteral("La base de datos está ocupada");
        const QString conexion = QStringLiteral("No hay conexión con la base de datos");
        const QString permiso = QStringLiteral("La base de datos no dio permiso");
        const QString odbc = QStringLiteral("QODBC: Unable to execute statement");
        const QString sqlite = QStringLiteral("Unable to fetch row");
        QTest::newRow("SQLite bloqueada") << sqlite << "5"
                                          << "database is locked" << ocupada;
        QTest::newRow("SQLite solo lectura") << sqlite << "8"
                                             << "attempt to write a readonly database" << permiso;
        QTest::newRow("SQL Server interbloqueo")
            << odbc << "1205"
            << "[FreeTDS][SQL Server]Transaction was deadlocked" << ocupada;
        QTest::newRow("SQL Server sin acceso")
            << odbc << "18456"
            << "[FreeTDS][SQL Server]Login failed for user 'sa'" << permiso;
        QTest::newRow("estado ODBC de enlace caido")
            << odbc << "08S01"
            << "[FreeTDS][SQL Server]Read from the server failed" << conexion;
        QTest::newRow("otro controlador ODBC bloqueado") << odbc << "5"
                                                         << "database is locked (5)" << ocupada;
        QTest::newRow("sintaxis") << odbc << "102"
                                  << "Incorrect syntax near 'x'." << QString();
    }
    void causasEnPalabrasDelPuesto()
    {
        QFETCH(QString, controlador);
        QFETCH(QString, codigo);
        QFETCH(QString, texto);
        QFETCH(QString, causa);
        const ErrorSistema error =
            Registros::error(QSqlError(controlador, texto, QSqlError::StatementError, codigo));
        const QString mensaje = error.mensaje();
        bool esNumero = false;
        const int numero = codigo.toInt(&esNumero);
        const QString detalle =
            QStringLiteral("Error %1: %2").arg(esNumero ? numero : error.numero()).arg(texto);
        if (causa.isEmpty()) {
            QCOMPARE(mensaje, detalle);
            return;
        }
        QVERIFY2(mensaje.startsWith(causa), qPrintable(mensaje));
        QVERIFY2(mensaje.endsWith(QStringLiteral("\n\nPara soporte: ") + detalle),
                 qPrintable(mensaje));
    }

    void trazaYRegistroRecibenElTextoOriginalYSusValores()
    {
        BaseDatosPrueba bd;
        bd.limpiarSentencias();
        static QStringList registradas;
        registradas.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("expedientes.db.sentencias.debug=true"));
        const QtMessageHandler anterior = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& contexto, const QString& mensaje) {
                if (qstrcmp(contexto.category, "expedientes.db.sentencias") == 0)
                    registradas << mensaje;
            });
        const auto restaurar = qScopeGuard([anterior] {
            qInstallMessageHandler(anterior);
            QLoggingCategory::setFilterRules(QString());
        });
        const QString texto = QStringLiteral(
            "SELECT centro_distribucion,tasa_iva,nombre_sucursal FROM ERP_QOR.dbo.sucursales "
            "where sucursal=? and tasa_iva < ?");
        bd.conexion().consultar(texto, {QStringLiteral("O'HARA"), 16});
        bd.conexion().regresaFolio();
        QCOMPARE(bd.sentencias().size(), 2);
        QCOMPARE(bd.sentencias().at(0).texto, texto);
        QCOMPARE(bd.sentencias().at(0).valores, (QVariantList{QStringLiteral("O'HARA"), 16}));
        QCOMPARE(bd.sentencias().at(1).texto, QStringLiteral("REGRESA_FOLIO"));
        // Support reads what went to the server: the text unadapted, the values as @Pn.
        QCOMPARE(registradas, QStringList{texto + QStringLiteral(" @P1='O''HARA' @P2=16")});
    }

    void regresaFolioDelUltimoAltaDeEstaConexion()
    {
        BaseDatosPrueba bd;
        auto& c = bd.conexion();
        QVERIFY(c.regresaFolio().isNull());
        const QString alta = QStringLiteral("INSERT INTO  BRAX.dbo.Expedientes_ZR( "
                                            "Cliente,sucursal, fecha,es_prestamo) VALUES (") +
                             NumeroPlano(100001) + QStringLiteral(",?,GETDATE(),?)");
        c.ejecutar(alta, {QStringLiteral("S01"), QStringLiteral("1")});
        const QVariant primero = c.regresaFolio();
        QCOMPARE(primero.toDouble(),
                 bd.valor(QStringLiteral("SELECT max(expediente) FROM Expedientes_ZR")).toDouble());
        c.ejecutar(alta, {QStringLiteral("S01"), QStringLiteral("0")});
        QCOMPARE(c.regresaFolio().toDouble(), primero.toDouble() + 1);
        bd.sucursal(QStringLiteral("S09"), QStringLiteral("GDL")); // another table's insert
        QCOMPARE(c.regresaFolio().toDouble(), primero.toDouble() + 1);

        // A new row gets the state and flags the program relies on.
        Registros r = c.consultar(
            QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE expediente = ") +
            NumeroPlano(primero.toDouble()) + QStringLiteral(" "));
        QCOMPARE(r.campo(QStringLiteral("estado_actual")).toString(), QStringLiteral("Capturado"));
        QVERIFY(r.campo(QStringLiteral("Pedido")).isNull());
        QCOMPARE(r.campo(QStringLiteral("es_prestamo")).toInt(), 1);
        for (const char* bandera :
             {"imagen_solicitud", "Imagen_IFE", "imagen_TALON", "imagen_CARTA", "imagen_NOTA",
              "imagen_ENTREGA", "imagen_EXTRA"}) {
            QVERIFY(!r.campo(QString::fromLatin1(bandera)).isNull());
            QCOMPARE(r.campo(QString::fromLatin1(bandera)).toInt(), 0);
        }
        QVERIFY(r.campo(QStringLiteral("fecha"))
                    .toString()
                    .startsWith(QDate::currentDate().toString(Qt::ISODate)));
    }

    void textosComoElServidor_data()
    {
        // Case and trailing blanks do not count, accents do; Á sorts with A, Ñ after N.
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("esperado");
        const QString igual = QStringLiteral("SELECT sucursal FROM sucursales WHERE "
                                             "nombre_sucursal = ? ORDER BY sucursal");
        const QString parecido = QStringLiteral("SELECT sucursal FROM sucursales WHERE "
                                                "nombre_sucursal like ? ORDER BY sucursal");
        QTest::newRow("igual") << igual << "guadalajara CENTRO"
                               << "S01";
        QTest::newRow("igual con acentos") << igual << "peñón álamo"
                                           << "S02";
        QTest::newRow("sin acentos no es igual") << igual << "PENON ALAMO"
                                                 << "";
        QTest::newRow("like") << parecido << "%JARA cen%"
                              << "S01";
        QTest::newRow("like con acentos") << parecido << "%ÑÓN Á%"
                                          << "S02";
        QTest::newRow("like _ con una letra acentuada") << parecido << "pe_ón%"
                                                        << "S02";
        QTest::newRow("centro con blancos")
            << "SELECT sucursal FROM sucursales s WHERE s.centro_distribucion=? order by sucursal"
            << "gdl    "
            << "S01 S02";
        QTest::newRow("codigo") << "SELECT sucursal FROM sucursales WHERE sucursal=?"
                                << "s01"
                                << "S01";
        QTest::newRow("orden") << "SELECT sucursal FROM sucursales WHERE ?='' ORDER BY "
                                  "nombre_sucursal"
                               << ""
                               << "S04 S05 S06 S01 S03 S02";
    }
    void textosComoElServidor()
    {
        QFETCH(QString, consulta);
        QFETCH(QString, valor);
        QFETCH(QString, esperado);
        BaseDatosPrueba bd;
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.sucursal(QStringLiteral("S02"), QStringLiteral("GDL"), QStringLiteral("Peñón Álamo"));
        bd.sucursal(QStringLiteral("S03"), QStringLiteral("MTY"), QStringLiteral("Ñandú"));
        bd.sucursal(QStringLiteral("S04"), QStringLiteral("MTY"), QStringLiteral("Álamo"));
        bd.sucursal(QStringLiteral("S05"), QStringLiteral("MTY"), QStringLiteral("avena"));
        bd.sucursal(QStringLiteral("S06"), QStringLiteral("MTY"), QStringLiteral("Encino"));
        QStringList obtenidas;
        for (Registros r = bd.conexion().consultar(consulta, {valor}); !r.eof(); r.siguiente())
            obtenidas << r.campo(0).toString();
        QCOMPARE(obtenidas.join(QLatin1Char(' ')), esperado);
    }

    void calificadoresFueraDeLosTextos()
    {
        // Names lose their "X.dbo." in any letter case; quoted data keeps it.
        BaseDatosPrueba bd;
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        Registros r = bd.conexion().consultar(
            QStringLiteral(
                "SELECT 'erp_qor.dbo.x' 'Texto', s.sucursal FROM ERP_QOR.dbo.sucursales s "
                "JOIN brax.DBO.acceso_ftp_ZR a ON 1=1 OR 1=1 WHERE 'Brax.dbo.'<>? and "
                "1=1 UNION SELECT 'erp_qor.dbo.x', sucursal FROM erp_qor.dbo.sucursales"),
            {QStringLiteral("x")});
        QVERIFY(!r.eof());
        QCOMPARE(r.campo(QStringLiteral("texto")).toString(), QStringLiteral("erp_qor.dbo.x"));
    }

    void archivoExistenteConservaSusDatos()
    {
        BaseDatosPrueba bd;
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.conexion().cerrar();
        ConexionBaseDatos otra;
        otra.abrir(QStringLiteral("Driver={SQL Server};Server=sqlite:") + bd.rutaBase() +
                       QStringLiteral(";Database=erp_qor;Uid=sa;Pwd=x;"),
                   QStringLiteral("/no/importa"));
        QVERIFY(otra.embebida());
        QCOMPARE(otra.consultar(QStringLiteral("SELECT count(*) FROM sucursales")).campo(0).toInt(),
                 1);
        QCOMPARE(otra.consultar(QStringLiteral("PRAGMA user_version")).campo(0).toInt(),
                 EsquemaEmbebido::versionActual());
    }

    void archivoQueNoEsBaseDeDatos()
    {
        QTemporaryDir carpeta;
        QFile basura(carpeta.filePath(QStringLiteral("expedientes.db")));
        QVERIFY(basura.open(QIODevice::WriteOnly));
        basura.write(QByteArray(4096, 'x'));
        basura.close();
        ConexionBaseDatos c;
        QVERIFY_THROWS_EXCEPTION(
            ErrorSistema, c.abrir(QStringLiteral("Driver={SQL Server};Server=sqlite:expedientes.db;"
                                                 "Database=erp_qor;Uid=sa;Pwd=x;"),
                                  carpeta.path()));
        QVERIFY(!c.abierta());
    }
};

QTEST_GUILESS_MAIN(PruebaConexionBaseDatos)
#include "tst_ConexionBaseDatos.moc"
