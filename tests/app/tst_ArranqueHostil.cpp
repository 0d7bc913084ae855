#include "app/CifrarTexto.h"
#include "app/ErrorSistema.h"
#include "app/TablaArranque.h"
#include "support/RutasPrueba.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

struct Campo
{
    QByteArray nombre;
    int largo;
};
const QList<Campo> camposArranque = {
    {"server_SQL", 20}, {"usuario", 10}, {"contrasena", 10}, {"token", 10}};

// A dBASE III table built byte by byte, so that its header can say what its data is not.
struct TablaCruda
{
    QList<Campo> campos = camposArranque;
    QList<QByteArray> registros; // values joined, without the deleted flag
    int ajusteLargoCabecera = 0;
    int ajusteLargoRegistro = 0;
    qint64 cuentaRegistros = -1; // -1: the real count

    QByteArray bytes() const
    {
        int largoRegistro = 1;
        for (const Campo& c : campos)
            largoRegistro += c.largo;
        QByteArray cabecera(32, '\0');
        cabecera[0] = 0x03;
        qToLittleEndian<quint32>(cuentaRegistros < 0 ? quint32(registros.size())
                                                     : quint32(cuentaRegistros),
                                 cabecera.data() + 4);
        qToLittleEndian<quint16>(quint16(32 + 32 * campos.size() + 1 + ajusteLargoCabecera),
                                 cabecera.data() + 8);
        qToLittleEndian<quint16>(quint16(largoRegistro + ajusteLargoRegistro),
                                 cabecera.data() + 10);
        for (const Campo& c : campos) {
            QByteArray d(32, '\0');
            d.replace(0, qMin<qsizetype>(c.nombre.size(), 11), c.nombre.left(11));
            d[11] = 'C';
            d[16] = char(c.largo);
            cabecera += d;
        }
        cabecera += '\x0d';
        for (const QByteArray& r : registros)
            cabecera += ' ' + r.leftJustified(largoRegistro - 1, ' ', true);
        return cabecera + '\x1a';
    }
};

QByteArray fila(const QByteArray& servidor = "srv")
{
    return servidor.leftJustified(20, ' ') + QByteArray("sa").leftJustified(10, ' ') +
           CifrarCodigos("x", true).leftJustified(10, ' ') +
           CifrarCodigos("S01", true).leftJustified(10, ' ');
}

// The ErrorSistema that reading the folder throws, as "number: description"; empty when none.
QString errorAlLeer(const QString& carpeta, DatosArranque* datos = nullptr)
{
    try {
        const DatosArranque leidos = TablaArranque::LeerArranque(carpeta);
        if (datos)
            *datos = leidos;
    } catch (const ErrorSistema& error) {
        return QStringLiteral("%1: %2").arg(error.numero()).arg(error.descripcion());
    }
    return {};
}

} // namespace

class tst_ArranqueHostil : public QObject
{
    Q_OBJECT

private slots:
    // Headers that disagree with the data behind them: each is refused with a message that
    // names the folder, or read as what the data really holds; never read past the record.
    void cabecerasQueMienten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error"); // part of the message; empty: reads "srv"
        const auto caso = [](const char* nombre, const TablaCruda& t, const QString& error) {
            QTest::newRow(nombre) << t.bytes() << error;
        };
        TablaCruda t;
        t.registros = {fila()};
        caso("sana", t, {});
        {
            TablaCruda m = t;
            m.cuentaRegistros = 100000; // more rows than the file holds; the first is there
            caso("mas registros que datos", m, {});
        }
        {
            TablaCruda m = t;
            m.cuentaRegistros = 0;
            caso("cero registros con datos", m, "no tiene registros");
        }
        {
            TablaCruda m = t;
            m.ajusteLargoRegistro = -30; // the columns do not fit the record
            caso("registro mas corto que sus columnas", m, "No se pudo leer");
        }
        {
            TablaCruda m = t;
            m.ajusteLargoCabecera = -40; // cut inside the last column's descriptor
            caso("cabecera cortada en un descriptor", m, "no tiene la columna");
        }
        {
            TablaCruda m = t;
            m.campos.clear();
            m.registros = {"x"};
            caso("sin columnas", m, "no tiene la columna server_SQL");
        }
        {
            TablaCruda m = t;
            m.campos[0] = {"server_SQLXXXX", 20}; // 11 characters, no terminating zero
            caso("nombre sin cero final", m, "no tiene la columna server_SQL");
        }
        {
            TablaCruda m = t;
            m.registros = {fila().left(25)};
            m.cuentaRegistros = 1;
            QByteArray b = m.bytes();
            b.chop(1 + 50 - 25 - 1); // the record ends in the middle of the user
            QTest::newRow("registro cortado en una columna") << b << "No se pudo leer";
        }
    }
    void cabecerasQueMienten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QTemporaryDir carpeta;
        QFile tabla(carpeta.filePath("ARRANQUE.dbf"));
        QVERIFY(tabla.open(QIODevice::WriteOnly) && tabla.write(bytes) == bytes.size());
        tabla.close();
        DatosArranque datos;
        const QString leido = errorAlLeer(carpeta.path(), &datos);
        if (error.isEmpty()) {
            QVERIFY2(leido.isEmpty(), qPrintable(leido));
            QCOMPARE(datos.server_SQL, QStringLiteral("srv"));
            QCOMPARE(datos.sucursal, QStringLiteral("S01"));
        } else {
            QVERIFY2(leido.contains(error) && leido.contains(carpeta.path()), qPrintable(leido));
        }
    }

    // A Visual FoxPro table whose columns may hold Null: a Null in any of the four is refused
    // with the column's name (an empty server or branch would fail later, unexplained); values
    // that are not Null, blanks among them, read as always.
    void nulos_data()
    {
        QTest::addColumn<int>("columna");   // the one left Null; -1 for none
        QTest::addColumn<QString>("error"); // the column the message names
        QTest::newRow("sin nulos") << -1 << QString();
        QTest::newRow("servidor nulo") << 0 << "server_SQL";
        QTest::newRow("usuario nulo") << 1 << "usuario";
        QTest::newRow("contrasena nula") << 2 << "contrasena";
        QTest::newRow("sucursal nula") << 3 << "token";
    }
    void nulos()
    {
        QFETCH(int, columna);
        QFETCH(QString, error);
        QTemporaryDir carpeta;
        const char* programa = R"(
import dbf, sys
t = dbf.Table(sys.argv[1], 'extra C(3) NULL; server_SQL C(20) NULL; usuario C(10) NULL; '
              'contrasena C(10) NULL; token C(10) NULL', dbf_type='vfp', codepage='cp1252')
t.open(dbf.READ_WRITE)
valores = [dbf.Null, 'srv', 'sa'] + [bytes.fromhex(v).decode('cp1252') for v in sys.argv[2:4]]
n = int(sys.argv[4])
if n >= 0:
    valores[n + 1] = dbf.Null
t.append(tuple(valores))
t.close()
)";
        QProcess python;
        python.start(RutasPrueba::python(),
                     {"-c", programa, carpeta.filePath("ARRANQUE.dbf"),
                      QString::fromLatin1(CifrarCodigos("x", true).toHex()),
                      QString::fromLatin1(CifrarCodigos("S01", true).toHex()),
                      QString::number(columna)});
        QVERIFY(python.waitForFinished(30000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());

        DatosArranque datos;
        const QString leido = errorAlLeer(carpeta.path(), &datos);
        if (error.isEmpty()) {
            QVERIFY2(leido.isEmpty(), qPrintable(leido));
            QCOMPARE(datos.server_SQL, QStringLiteral("srv"));
            QCOMPARE(datos.contrasena, QStringLiteral("x"));
            QCOMPARE(datos.sucursal, QStringLiteral("S01"));
        } else {
            QVERIFY2(leido.startsWith("94: La columna " + error + " ") &&
                         leido.contains("no tiene valor (Null)") && leido.contains(carpeta.path()),
                     qPrintable(leido));
        }
    }
};

QTEST_GUILESS_MAIN(tst_ArranqueHostil)
#include "tst_ArranqueHostil.moc"
