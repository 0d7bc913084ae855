#include "app/CifrarTexto.h"
#include "app/ErrorSistema.h"
#include "app/TablaArranque.h"
#include "app/Windows1252.h"
#include "support/RutasPrueba.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Writes a table with python3-dbf, another tool than the one the program reads with. Texts
// travel as hex of their Windows-1252 codes so enciphered values arrive byte for byte.
const char* escritorPython = R"(
import dbf, json, sys
d = json.loads(sys.argv[1])
t = dbf.Table(d['ruta'], d['campos'], dbf_type=d['tipo'], codepage='cp1252')
t.open(dbf.READ_WRITE)
for fila in d['filas']:
    t.append(tuple(v if isinstance(v, int) else bytes.fromhex(v).decode('cp1252') for v in fila))
for i in d.get('borradas', []):
    dbf.delete(t[i])
t.close()
)";

QString hex(const QString& texto)
{
    return QString::fromLatin1(Windows1252::codificar(texto).toHex());
}

void escribirConPython(const QString& ruta, const QString& tipo, const QString& campos,
                       const QList<QJsonArray>& filas, const QJsonArray& borradas = {})
{
    QJsonArray todas;
    for (const QJsonArray& fila : filas)
        todas.append(fila);
    const QJsonObject datos{{"ruta", ruta},
                            {"tipo", tipo},
                            {"campos", campos},
                            {"filas", todas},
                            {"borradas", borradas}};
    QProcess python;
    python.start(RutasPrueba::python(),
                 {"-c", escritorPython, QString::fromUtf8(QJsonDocument(datos).toJson())});
    QVERIFY(python.waitForFinished(30000));
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
}

// Runs f and returns the ErrorSistema it throws (an empty description when it throws none).
template <typename F> QString errorDe(F f)
{
    try {
        f();
    } catch (const ErrorSistema& error) {
        return error.descripcion();
    }
    return {};
}

QStringList archivos(const QString& carpeta)
{
    return QDir(carpeta).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class tst_TablaArranque : public QObject
{
    Q_OBJECT

private slots:
    // Tables as other tools leave them: dBASE III and Visual FoxPro, column names in capitals
    // and in another order, extra columns, blanks around the values, a second row.
    void leeTablasAjenas_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<bool>("primeraBorrada");
        QTest::newRow("dBASE III") << "db3"
                                   << "ARRANQUE.DBF" << false;
        QTest::newRow("Visual FoxPro") << "vfp"
                                       << "arranque.dbf" << false;
        QTest::newRow("Visual FoxPro, extension mezclada") << "vfp"
                                                           << "Arranque.Dbf" << false;
        QTest::newRow("primera fila borrada") << "vfp"
                                              << "ARRANQUE.dbf" << true;
    }
    void leeTablasAjenas()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, archivo);
        QFETCH(bool, primeraBorrada);
        QTemporaryDir carpeta;
        const QString contrasena = QString::fromUtf8("Año 2024 €");
        const auto fila = [&](const QString& servidor, const QString& clave, const QString& token) {
            return QJsonArray{hex(QString::fromUtf8("Ñ")), 7,         hex(token), hex(servidor),
                              hex(QStringLiteral(" sa ")), hex(clave)};
        };
        QList<QJsonArray> filas;
        if (primeraBorrada)
            filas.append(fila("borrado", CifrarTexto("x", true), CifrarTexto("S99", true)));
        filas.append(
            fila(QStringLiteral("  srv-01\\SQLEXPRESS "),
                 QStringLiteral(" ") + CifrarTexto(contrasena, true) + QStringLiteral("  "),
                 CifrarTexto(QStringLiteral("S04"), true)));
        filas.append(fila("otro", CifrarTexto("otra", true), CifrarTexto("S05", true)));
        escribirConPython(carpeta.filePath(archivo), tipo,
                          "EXTRA C(5); NUMERO N(4,0); TOKEN C(60); SERVER_SQL C(254); "
                          "USUARIO C(60); CONTRASENA C(60)",
                          filas, primeraBorrada ? QJsonArray{0} : QJsonArray{});

        const DatosArranque datos = TablaArranque::LeerArranque(carpeta.path());
        QCOMPARE(datos.server_SQL, QStringLiteral("srv-01\\SQLEXPRESS"));
        QCOMPARE(datos.usuario, QStringLiteral("sa"));
        QCOMPARE(datos.contrasena, contrasena);
        QCOMPARE(datos.sucursal, QStringLiteral("S04"));
        QCOMPARE(datos.CadenaConexion,
                 QString::fromUtf8("Driver={SQL Server};Server=srv-01\\SQLEXPRESS;Database=erp_qor;"
                                   "Uid=sa;Pwd=Año 2024 €;"));
    }

    void errores_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("texto");
        QTest::newRow("sin carpeta") << "sin carpeta"
                                     << "No se encontró la carpeta de arranque";
        QTest::newRow("sin tabla") << "sin tabla"
                                   << "No se encontró la tabla de arranque ARRANQUE";
        QTest::newRow("tabla vacia") << "vacia"
                                     << "no tiene registros";
        QTest::newRow("sin columna token") << "sin columna"
                                           << "no tiene la columna token";
        QTest::newRow("columna numerica") << "numerica"
                                          << "no es de caracteres";
        QTest::newRow("basura") << "basura"
                                << "No se pudo leer la tabla de arranque";
        QTest::newRow("cabecera corta") << "corta"
                                        << "No se pudo leer la tabla de arranque";
        QTest::newRow("registro cortado") << "cortada"
                                          << "No se pudo leer la tabla de arranque";
    }
    void errores()
    {
        QFETCH(QString, caso);
        QFETCH(QString, texto);
        QTemporaryDir raiz;
        QString carpeta = raiz.filePath("qor");
        QDir().mkpath(carpeta);
        const QString tabla = carpeta + "/ARRANQUE.dbf";
        const QString campos = "server_SQL C(254); usuario C(60); contrasena C(60); token C(60)";
        const QJsonArray fila{hex("srv"), hex("sa"), hex(CifrarTexto("x", true)),
                              hex(CifrarTexto("S01", true))};
        if (caso == "sin carpeta") {
            carpeta = raiz.filePath("no-existe");
        } else if (caso == "sin tabla") {
            QFile otra(carpeta + "/OTRA.dbf");
            QVERIFY(otra.open(QIODevice::WriteOnly));
        } else if (caso == "vacia") {
            escribirConPython(tabla, "vfp", campos, {});
        } else if (caso == "sin columna") {
            escribirConPython(tabla, "db3", "server_SQL C(254); usuario C(60); contrasena C(60)",
                              {QJsonArray{hex("srv"), hex("sa"), hex("x")}});
        } else if (caso == "numerica") {
            escribirConPython(tabla, "db3",
                              "server_SQL C(254); usuario C(60); contrasena C(60); token N(5,0)",
                              {QJsonArray{hex("srv"), hex("sa"), hex("x"), 1}});
        } else if (caso == "basura" || caso == "corta") {
            QFile archivo(tabla);
            QVERIFY(archivo.open(QIODevice::WriteOnly));
            archivo.write(caso == "basura" ? QByteArray(600, '\xff') : QByteArray("\x03\x7c"));
        } else {
            escribirConPython(tabla, "db3", campos, {fila});
            QFile archivo(tabla);
            QVERIFY(archivo.resize(archivo.size() - 100));
        }
        const QString error = errorDe([&] { TablaArranque::LeerArranque(carpeta); });
        QVERIFY2(error.contains(texto), qPrintable(error));
        QVERIFY2(error.contains(carpeta), qPrintable(error));
    }

    void escribirYLeer_data()
    {
        QTest::addColumn<QString>("servidor");
        QTest::addColumn<QString>("contrasena");
        QTest::addColumn<QString>("sucursal");
        QTest::newRow("sencillo") << "10.0.0.5"
                                  << "Secreto 2024"
                                  << "S01";
        QTest::newRow("acentos, comillas, blancos dentro")
            << "sql.qor.mx,1433" << QString::fromUtf8("Ñu ' \" € ü") << "Centro 7";
        QTest::newRow("contrasena vacia") << "srv"
                                          << ""
                                          << "S02";
        QTest::newRow("60 caracteres") << QString(254, u's') << QString(60, u'k') << "S03";
    }
    void escribirYLeer()
    {
        QFETCH(QString, servidor);
        QFETCH(QString, contrasena);
        QFETCH(QString, sucursal);
        QTemporaryDir carpeta;
        TablaArranque::EscribirArranque(carpeta.path(), servidor, "  sa ", contrasena, sucursal);
        const DatosArranque datos = TablaArranque::LeerArranque(carpeta.path());
        QCOMPARE(datos.server_SQL, servidor);
        QCOMPARE(datos.usuario, QStringLiteral("sa"));
        QCOMPARE(datos.contrasena, contrasena);
        QCOMPARE(datos.sucursal, sucursal);
        QCOMPARE(archivos(carpeta.path()), QStringList{"ARRANQUE.dbf"});
    }

    // A table found under another letter case is replaced in place, not left beside a new one.
    void reemplazaTablaExistente()
    {
        QTemporaryDir carpeta;
        escribirConPython(carpeta.filePath("arranque.DBF"), "vfp",
                          "server_SQL C(254); usuario C(60); contrasena C(60); token C(60)",
                          {QJsonArray{hex("viejo"), hex("u"), hex("x"), hex("y")}});
        TablaArranque::EscribirArranque(carpeta.path(), "nuevo", "sa", "clave", "S06");
        QCOMPARE(archivos(carpeta.path()), QStringList{"arranque.DBF"});
        QCOMPARE(TablaArranque::LeerArranque(carpeta.path()).server_SQL, QStringLiteral("nuevo"));
    }

    // Values the table cannot give back as written are refused, and the table already there
    // stays as it was, with no temporary file left behind.
    void escribirRechaza_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("contrasena");
        QTest::addColumn<QString>("sucursal");
        QTest::addColumn<QString>("texto");
        QTest::newRow("cifrado termina en blanco") << "sa"
                                                   << "ab "
                                                   << "S01"
                                                   << "la contraseña";
        QTest::newRow("cifrado empieza en blanco") << "sa" << QString::fromUtf8("†abc") << "S01"
                                                   << "la contraseña";
        QTest::newRow("sucursal con blanco final") << "sa"
                                                   << "x"
                                                   << "S0 "
                                                   << "la sucursal";
        QTest::newRow("caracter 255") << "sa" << QString::fromUtf8("ÿes") << "S01"
                                      << "la contraseña";
        QTest::newRow("contrasena larga") << "sa" << QString(61, u'k') << "S01"
                                          << "admite 60";
        QTest::newRow("fuera de Windows-1252") << QString::fromUtf8("用户") << "x"
                                               << "S01"
                                               << "fuera de Windows-1252";
        QTest::newRow("caracter nulo") << QString("s") + QChar(0) + "a"
                                       << "x"
                                       << "S01"
                                       << "el usuario";
        QTest::newRow("sin sucursal") << "sa"
                                      << "x"
                                      << ""
                                      << "la sucursal";
    }
    void escribirRechaza()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, contrasena);
        QFETCH(QString, sucursal);
        QFETCH(QString, texto);
        QTemporaryDir carpeta;
        TablaArranque::EscribirArranque(carpeta.path(), "anterior", "sa", "clave", "S01");
        QFile tabla(carpeta.filePath("ARRANQUE.dbf"));
        QVERIFY(tabla.open(QIODevice::ReadOnly));
        const QByteArray antes = tabla.readAll();
        tabla.close();

        const QString error = errorDe([&] {
            TablaArranque::EscribirArranque(carpeta.path(), "srv", usuario, contrasena, sucursal);
        });
        QVERIFY2(error.contains(texto), qPrintable(error));
        QVERIFY(tabla.open(QIODevice::ReadOnly));
        QCOMPARE(tabla.readAll(), antes);
        QCOMPARE(archivos(carpeta.path()), QStringList{"ARRANQUE.dbf"});
    }

    void escribirSinCarpeta()
    {
        QTemporaryDir raiz;
        const QString carpeta = raiz.filePath("falta");
        const QString error =
            errorDe([&] { TablaArranque::EscribirArranque(carpeta, "s", "u", "c", "S01"); });
        QVERIFY2(error.contains(carpeta), qPrintable(error));
        QVERIFY(!QDir(carpeta).exists());
    }

    void carpetaPredeterminada()
    {
        qputenv("QOR_DIR", "/srv/qor/");
        QCOMPARE(TablaArranque::carpetaPredeterminada(), QStringLiteral("/srv/qor/"));
        qunsetenv("QOR_DIR");
        QCOMPARE(TablaArranque::carpetaPredeterminada(), QStringLiteral("/etc/qor/"));
    }
};

QTEST_GUILESS_MAIN(tst_TablaArranque)
#include "tst_TablaArranque.moc"
