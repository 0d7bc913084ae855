#include "app/TablaArranque.h"
#include "support/RutasPrueba.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Resultado
{
    int codigo = -1;
    QString salida;
    QString errores;
};

Resultado herramienta(const QStringList& argumentos)
{
    QProcess proceso;
    proceso.start(RutasPrueba::binarios() + "/tools/expedientes-arranque", argumentos);
    Resultado resultado;
    if (!proceso.waitForFinished(120000) || proceso.exitStatus() != QProcess::NormalExit)
        return resultado;
    resultado.codigo = proceso.exitCode();
    resultado.salida = QString::fromUtf8(proceso.readAllStandardOutput());
    resultado.errores = QString::fromUtf8(proceso.readAllStandardError());
    return resultado;
}

} // namespace

class tst_HerramientaArranque : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(RutasPrueba::binarios() + "/tools/expedientes-arranque"),
                 "expedientes-arranque no está compilado");
    }

    void escribirYMostrar()
    {
        QTemporaryDir carpeta;
        const QString contrasena = QString::fromUtf8("Clave Ñ 2024");
        const Resultado escrito =
            herramienta({"escribir", "--dir", carpeta.path(), "--servidor", "sql01\\QOR",
                         "--usuario", "cajero", "--contrasena", contrasena, "--sucursal", "S02"});
        QVERIFY2(escrito.codigo == 0, qPrintable(escrito.errores));

        const Resultado mostrado = herramienta({"mostrar", "--dir", carpeta.path()});
        QVERIFY2(mostrado.codigo == 0, qPrintable(mostrado.errores));
        QCOMPARE(mostrado.salida, QStringLiteral("server_SQL: sql01\\QOR\nusuario: cajero\n"
                                                 "sucursal: S02\n"));
        QVERIFY(!mostrado.errores.contains(contrasena));
        QCOMPARE(TablaArranque::LeerArranque(carpeta.path()).contrasena, contrasena);
    }

    void usoIncorrecto_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::newRow("sin orden") << QStringList{};
        QTest::newRow("orden desconocida") << QStringList{"borrar", "--dir", "/tmp"};
        QTest::newRow("falta opcion") << QStringList{
            "escribir", "--dir", "/tmp", "--servidor", "s", "--usuario", "u", "--contrasena", "c"};
        QTest::newRow("opcion ajena") << QStringList{"mostrar", "--dir", "/tmp", "--servidor", "s"};
        QTest::newRow("opcion desconocida") << QStringList{"mostrar", "--carpeta", "/tmp"};
        QTest::newRow("argumento de sobra") << QStringList{"mostrar", "otro", "--dir", "/tmp"};
        QTest::newRow("opcion sin valor") << QStringList{"mostrar", "--dir"};
        QTest::newRow("puerto no numerico")
            << QStringList{"iniciar-demo", "--dir", "/tmp/x", "--puerto-ftp", "veintiuno"};
        QTest::newRow("puerto fuera de rango")
            << QStringList{"iniciar-demo", "--dir", "/tmp/x", "--puerto-ftp", "70000"};
    }
    void usoIncorrecto()
    {
        QFETCH(QStringList, argumentos);
        const Resultado resultado = herramienta(argumentos);
        QCOMPARE(resultado.codigo, 2);
        QVERIFY2(resultado.errores.contains("Uso:"), qPrintable(resultado.errores));
        QVERIFY(resultado.salida.isEmpty());
    }

    void fallos()
    {
        QTemporaryDir raiz;
        const QString falta = raiz.filePath("no-existe");
        Resultado resultado = herramienta({"mostrar", "--dir", falta});
        QCOMPARE(resultado.codigo, 1);
        QVERIFY2(resultado.errores.contains("No se encontró la carpeta de arranque " + falta),
                 qPrintable(resultado.errores));

        resultado = herramienta({"mostrar", "--dir", raiz.path()});
        QCOMPARE(resultado.codigo, 1);
        QVERIFY2(resultado.errores.contains("No se encontró la tabla de arranque"),
                 qPrintable(resultado.errores));

        // Its enciphered form ends in a blank the table would drop.
        resultado = herramienta({"escribir", "--dir", raiz.path(), "--servidor", "s", "--usuario",
                                 "u", "--contrasena", "ab ", "--sucursal", "S01"});
        QCOMPARE(resultado.codigo, 1);
        QVERIFY2(resultado.errores.contains("la contraseña"), qPrintable(resultado.errores));
        QVERIFY(QDir(raiz.path()).isEmpty());
    }

    void iniciarDemo()
    {
        if (!QFile::exists(RutasPrueba::fuentes() + "/tools/arranque/DatosDemo.cpp"))
            QSKIP("DatosDemo todavía no está");
        QTemporaryDir raiz;
        const QString carpeta = raiz.filePath("demo");
        Resultado resultado =
            herramienta({"iniciar-demo", "--dir", carpeta, "--puerto-ftp", "2121"});
        QVERIFY2(resultado.codigo == 0, qPrintable(resultado.errores));

        const DatosArranque datos = TablaArranque::LeerArranque(carpeta);
        QCOMPARE(datos.server_SQL, QStringLiteral("sqlite:expedientes.db"));
        QCOMPARE(datos.usuario, QStringLiteral("demo"));
        QCOMPARE(datos.contrasena, QStringLiteral("demo"));
        QCOMPARE(datos.sucursal, QStringLiteral("S01"));
        for (const char* centro : {"gdl", "mty", "cdmx"})
            QVERIFY(QDir(carpeta + "/imagenes/" + centro).exists());

        const auto contar = [&](const QString& sentencia) {
            auto base = QSqlDatabase::addDatabase("QSQLITE", "demo");
            base.setDatabaseName(carpeta + "/expedientes.db");
            int filas = -1;
            if (base.open()) {
                QSqlQuery consulta(base);
                if (consulta.exec(sentencia) && consulta.next())
                    filas = consulta.value(0).toInt();
            }
            base.close();
            base = {};
            QSqlDatabase::removeDatabase("demo");
            return filas;
        };
        QCOMPARE(contar("SELECT COUNT(*) FROM sucursales WHERE sucursal = 'S01'"), 1);
        QCOMPARE(contar("SELECT COUNT(*) FROM acceso_ftp_ZR WHERE puerto <> '2121'"), 0);
        QVERIFY(contar("SELECT COUNT(*) FROM acceso_ftp_ZR") >= 3);

        // A second run starts from a clean database: what was added meanwhile is gone.
        QVERIFY(contar("CREATE TABLE marca(x)") == -1);
        resultado = herramienta({"iniciar-demo", "--dir", carpeta, "--puerto-ftp", "2122"});
        QVERIFY2(resultado.codigo == 0, qPrintable(resultado.errores));
        QCOMPARE(contar("SELECT COUNT(*) FROM sqlite_master WHERE name = 'marca'"), 0);
        QCOMPARE(contar("SELECT COUNT(*) FROM acceso_ftp_ZR WHERE puerto <> '2122'"), 0);
    }
};

QTEST_GUILESS_MAIN(tst_HerramientaArranque)
#include "tst_HerramientaArranque.moc"
