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

const QString camposArranque = "server_SQL C(254); usuario C(60); contrasena C(60); token C(60)";

// Writes a table with python3-dbf, another tool than the one the program reads with. Texts
// travel as hex of their Windows-1252 codes so enciphered values arrive byte for byte; the
// rows listed in 'borradas' are marked deleted.
bool escribirConPython(const QString& ruta, const QString& tipo, const QString& campos,
                       const QList<QJsonArray>& filas, const QJsonArray& borradas = {})
{
    const char* programa = R"(
import dbf, json, sys
d = json.loads(sys.argv[1])
t = dbf.Table(d['ruta'], d['campos'], dbf_type=d['tipo'], codepage='cp1252')
t.open(dbf.READ_WRITE)
for fila in d['filas']:
    t.append(tuple(v if isinstance(v, int) else bytes.fromhex(v).decode('cp1252') for v in fila))
for i in d['borradas']:
    dbf.delete(t[i])
t.close()
)";
    QJsonArray todas;
    for (const QJsonArray& fila : filas)
        todas.append(fila);
    const QJsonObject datos{{"ruta", ruta},
                            {"tipo", tipo},
                            {"campos", campos},
                            {"filas", todas},
                            {"borradas", borradas}};
    QProcess python;
    python.start(RutasPrueba::python(), {"-c", programa, QJsonDocument(datos).toJson()});
    python.waitForFinished(30000);
    if (python.exitCode() != 0)
        qWarning() << python.readAllStandardError();
    return python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
}

QString hex(const QString& texto)
{
    return QString::fromLatin1(Windows1252::codificar(texto).toHex());
}

// The description of the ErrorSistema that f throws; empty when it throws none.
template <typename F> QString errorDe(F f)
{
    try {
        f();
    } catch (const ErrorSistema& error) {
        return error.descripcion();
    }
    return {};
}

// A Visual FoxPro table of one row written byte by byte, as python3-dbf cannot write varchar:
// server_SQL C(20), usuario V(10) that may hold Null, contrasena C(10), token C(10), then the
// _NullFlags byte (bit 0: usuario is shorter than its column, bit 1: usuario is Null).
QByteArray tablaConVarchar(const QByteArray& usuario, char banderas)
{
    struct Campo
    {
        const char* nombre;
        char tipo;
        int largo;
        char opciones;
    };
    const Campo campos[] = {{"server_SQL", 'C', 20, 0},
                            {"usuario", 'V', 10, 0x02},
                            {"contrasena", 'C', 10, 0},
                            {"token", 'C', 10, 0},
                            {"_NullFlags", '0', 1, 0x05}};
    const int largoCabecera = 32 + 5 * 32 + 1 + 263;
    QByteArray tabla(32, '\0');
    tabla[0] = '\x30';
    tabla[4] = 1; // one record
    tabla[8] = char(largoCabecera & 0xff);
    tabla[9] = char(largoCabecera >> 8);
    tabla[10] = 1 + 20 + 10 + 10 + 10 + 1;
    tabla[29] = 3; // Windows-1252
    int desplazamiento = 1;
    for (const Campo& campo : campos) {
        QByteArray descriptor(32, '\0');
        descriptor.replace(0, int(qstrlen(campo.nombre)), campo.nombre);
        descriptor[11] = campo.tipo;
        descriptor[12] = char(desplazamiento);
        descriptor[16] = char(campo.largo);
        descriptor[18] = campo.opciones;
        desplazamiento += campo.largo;
        tabla += descriptor;
    }
    tabla += '\x0d' + QByteArray(263, '\0');
    const auto columna = [](const QString& texto) {
        return Windows1252::codificar(texto).leftJustified(10, ' ');
    };
    tabla += ' ' + QByteArray("srv").leftJustified(20, ' ') + usuario +
             columna(CifrarTexto("clave", true)) + columna(CifrarTexto("S07", true)) + banderas;
    return tabla + '\x1a';
}

QStringList archivos(const QString& carpeta)
{
    return QDir(carpeta).entryList(QDir::Files);
}

} // namespace

class tst_TablaArranque : public QObject
{
    Q_OBJECT

private slots:
    // Tables as other tools leave them: dBASE III and Visual FoxPro, columns in capitals and
    // in another order, extra columns, blanks around the values, more rows than one.
    void leeTablasAjenas_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<bool>("primeraBorrada");
        const auto caso = [](const char* nombre, const QString& tipo, const QString& archivo,
                             bool primeraBorrada) {
            QTest::newRow(nombre) << tipo << archivo << primeraBorrada;
        };
        caso("dBASE III", "db3", "ARRANQUE.DBF", false);
        caso("Visual FoxPro", "vfp", "arranque.dbf", false);
        caso("extension mezclada", "vfp", "Arranque.Dbf", false);
        caso("primera fila borrada", "vfp", "ARRANQUE.dbf", true);
    }
    void leeTablasAjenas()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, archivo);
        QFETCH(bool, primeraBorrada);
        const QString contrasena = QString::fromUtf8("Año 2024 €");
        const auto fila = [](const QString& servidor, const QString& clave, const QString& token) {
            return QJsonArray{hex("Ñ"),      7,           hex(CifrarTexto(token, true)),
                              hex(servidor), hex(" sa "), hex(clave)};
        };
        QList<QJsonArray> filas;
        if (primeraBorrada)
            filas.append(fila("borrado", CifrarTexto("x", true), "S99"));
        filas.append(
            fila("  srv-01\\SQLEXPRESS ", " " + CifrarTexto(contrasena, true) + "  ", "S04"));
        filas.append(fila("otro", CifrarTexto("otra", true), "S05"));
        QTemporaryDir carpeta;
        QVERIFY(escribirConPython(carpeta.filePath(archivo), tipo,
                                  "EXTRA C(5); NUMERO N(4,0); TOKEN C(60); SERVER_SQL C(254); "
                                  "USUARIO C(60); CONTRASENA C(60)",
                                  filas, primeraBorrada ? QJsonArray{0} : QJsonArray{}));

        const DatosArranque datos = TablaArranque::LeerArranque(carpeta.path());
        QCOMPARE(datos.server_SQL, QStringLiteral("srv-01\\SQLEXPRESS"));
        QCOMPARE(datos.usuario, QStringLiteral("sa"));
        QCOMPARE(datos.contrasena, contrasena);
        QCOMPARE(datos.sucursal, QStringLiteral("S04"));
        QCOMPARE(datos.CadenaConexion,
                 QString::fromUtf8("Driver={SQL Server};Server=srv-01\\SQLEXPRESS;Database=erp_qor;"
                                   "Uid=sa;Pwd=Año 2024 €;"));
    }

    // A varchar column keeps the length of a shorter value in its last byte, flagged in
    // _NullFlags after its own length bit comes its Null bit.
    void columnaVarchar_data()
    {
        QTest::addColumn<QByteArray>("usuario"); // the column's 10 bytes
        QTest::addColumn<int>("banderas");
        QTest::addColumn<QString>("leido"); // the user read, or part of the error
        QTest::newRow("llena") << QByteArray("cajero0001") << 0 << "cajero0001";
        QTest::newRow("corta, largo al final") << QByteArray("cajero001\x09") << 1 << "cajero001";
        QTest::newRow("corta con relleno") << QByteArray("sa\0\0\0\0\0\0\0\x02", 10) << 1 << "sa";
        QTest::newRow("nula") << QByteArray(10, '\0') << 2 << "no tiene valor (Null)";
        QTest::newRow("largo danado") << QByteArray("sa        ") << 1 << "incompleto o dañado";
    }
    void columnaVarchar()
    {
        QFETCH(QByteArray, usuario);
        QFETCH(int, banderas);
        QFETCH(QString, leido);
        QTemporaryDir carpeta;
        QFile tabla(carpeta.filePath("ARRANQUE.dbf"));
        const QByteArray bytes = tablaConVarchar(usuario, char(banderas));
        QVERIFY(tabla.open(QIODevice::WriteOnly) && tabla.write(bytes) == bytes.size());
        tabla.close();
        DatosArranque datos;
        const QString error = errorDe([&] { datos = TablaArranque::LeerArranque(carpeta.path()); });
        if (leido.contains(' ')) {
            QVERIFY2(error.contains(leido), qPrintable(error));
            return;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(datos.usuario, leido);
        QCOMPARE(datos.server_SQL, QStringLiteral("srv"));
        QCOMPARE(datos.contrasena, QStringLiteral("clave"));
        QCOMPARE(datos.sucursal, QStringLiteral("S07"));
    }

    void errores_data()
    {
        QTest::addColumn<QString>("campos");   // python3-dbf fields; "" for a raw file
        QTest::addColumn<QByteArray>("bytes"); // the raw file, or "-N" to cut N bytes off
        QTest::addColumn<QString>("texto");
        const auto caso = [](const char* nombre, const QString& campos, const QByteArray& bytes,
                             const QString& texto) {
            QTest::newRow(nombre) << campos << bytes << texto;
        };
        const QString sinToken = "server_SQL C(9); usuario C(9); contrasena C(9)";
        caso("sin carpeta", "", "", "No se encontró la carpeta de arranque");
        caso("sin tabla", "", "x", "No se encontró la tabla de arranque ARRANQUE en la carpeta");
        caso("tabla vacia", camposArranque, "vacia", "no tiene registros");
        caso("sin columna token", sinToken, "", "no tiene la columna token");
        caso("columna numerica", sinToken + "; token N(5,0)", "", "no es de caracteres");
        caso("columna memo", sinToken + "; token M", "", "es de tipo memo");
        caso("basura", "", QByteArray(600, '\xff'), "No se pudo leer");
        caso("cabecera corta", "", "\x03\x7c", "No se pudo leer");
        caso("registro cortado", camposArranque, "-100", "No se pudo leer");
    }
    void errores()
    {
        QFETCH(QString, campos);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, texto);
        QTemporaryDir raiz;
        const QString carpeta = raiz.filePath("qor");
        QDir().mkpath(carpeta);
        QFile tabla(carpeta + (bytes == "x" ? "/OTRA.dbf" : "/ARRANQUE.dbf"));
        if (!campos.isEmpty()) {
            QJsonArray fila;
            for (const QString& campo : campos.split(';'))
                fila.append(campo.contains("N(") ? QJsonValue(1) : QJsonValue(hex("s")));
            QVERIFY(escribirConPython(tabla.fileName(), "db3", campos,
                                      bytes == "vacia" ? QList<QJsonArray>{} : QList{fila}));
            if (bytes.startsWith('-'))
                QVERIFY(tabla.resize(tabla.size() + bytes.toInt()));
        } else if (!bytes.isEmpty()) {
            QVERIFY(tabla.open(QIODevice::WriteOnly) && tabla.write(bytes) == bytes.size());
            tabla.close();
        }
        const QString leida = bytes.isEmpty() && campos.isEmpty() ? raiz.filePath("no") : carpeta;
        const QString error = errorDe([&] { TablaArranque::LeerArranque(leida); });
        QVERIFY2(error.contains(texto) && error.contains(leida), qPrintable(error));
    }

    // Each write replaces a table already there under another letter case, in place and with
    // its permissions. Values the table could not give back as written are refused, leaving the
    // old table as it was and no temporary file behind.
    void escribir_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("contrasena");
        QTest::addColumn<QString>("sucursal");
        QTest::addColumn<QString>("texto"); // part of the error; empty when the write must succeed
        const auto caso = [](const char* nombre, const QString& usuario, const QString& contrasena,
                             const QString& sucursal, const QString& texto = {}) {
            QTest::newRow(nombre) << usuario << contrasena << sucursal << texto;
        };
        caso("sencillo", "sa", "Secreto 2024", "S01");
        caso("acentos, comillas, blancos", "  sa ", "Ñu ' \" € ü", "Centro 7");
        caso("contrasena vacia", "sa", "", "S02");
        caso("60 caracteres", "sa", QString(60, u'k'), "S03");
        caso("cifrado acaba en blanco", "sa", "ab ", "S01", "la contraseña");
        caso("cifrado empieza en blanco", "sa", "†abc", "S01", "la contraseña");
        caso("sucursal cifrada con blanco", "sa", "x", "S0 ", "la sucursal");
        caso("caracter 255", "sa", "ÿes", "S01", "la contraseña");
        caso("demasiado larga", "sa", QString(61, u'k'), "S01", "admite 60");
        caso("fuera de Windows-1252", "用户", "x", "S01", "fuera de Windows-1252");
        caso("caracter nulo", QString("s") + QChar(0) + "a", "x", "S01", "el usuario");
        caso("sin sucursal", "sa", "x", "", "la sucursal");
    }
    void escribir()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, contrasena);
        QFETCH(QString, sucursal);
        QFETCH(QString, texto);
        QTemporaryDir carpeta;
        QFile existente(carpeta.filePath("arranque.DBF"));
        const auto permisos = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(escribirConPython(existente.fileName(), "vfp", camposArranque,
                                  {QJsonArray{hex("viejo"), hex("u"), hex("x"), hex("y")}}));
        QVERIFY(existente.setPermissions(permisos) && existente.open(QIODevice::ReadOnly));
        const QByteArray antes = existente.readAll();
        existente.close();

        const QString servidor(254, u's');
        const QString error = errorDe([&] {
            TablaArranque::EscribirArranque(carpeta.path(), servidor, usuario, contrasena,
                                            sucursal);
        });
        QCOMPARE(archivos(carpeta.path()), QStringList{"arranque.DBF"});
        QCOMPARE(existente.permissions() & (permisos | QFile::ReadOther | QFile::WriteGroup),
                 permisos);
        if (!texto.isEmpty()) {
            QVERIFY2(error.contains(texto), qPrintable(error));
            QVERIFY(existente.open(QIODevice::ReadOnly));
            QCOMPARE(existente.readAll(), antes);
            return;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const DatosArranque datos = TablaArranque::LeerArranque(carpeta.path());
        QCOMPARE(datos.server_SQL, servidor);
        QCOMPARE(datos.usuario, usuario.trimmed());
        QCOMPARE(datos.contrasena, contrasena);
        QCOMPARE(datos.sucursal, sucursal);
    }

    // A ';' in the password must not end it early and add attributes to the connection.
    void contrasenaConPuntoYComa()
    {
        QTemporaryDir carpeta;
        TablaArranque::EscribirArranque(carpeta.path(), "srv", "sa", "a;Server=x}", "S01");
        QCOMPARE(TablaArranque::LeerArranque(carpeta.path()).CadenaConexion,
                 "Driver={SQL Server};Server=srv;Database=erp_qor;Uid=sa;Pwd={a;Server=x}}};");
    }
};

QTEST_GUILESS_MAIN(tst_TablaArranque)
#include "tst_TablaArranque.moc"
