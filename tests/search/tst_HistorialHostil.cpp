#include "search/ListaHistorial.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray basura(int largo, quint32 semilla)
{
    QByteArray bytes(largo, '\0');
    QRandomGenerator azar(semilla);
    for (char& b : bytes)
        b = char(azar.bounded(256));
    return bytes;
}

QByteArray todosLosBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    return bytes;
}

bool escribir(const QString& ruta, const QByteArray& bytes)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly) && archivo.write(bytes) == bytes.size();
}

QByteArray leer(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

} // namespace

class tst_HistorialHostil : public QObject
{
    Q_OBJECT

private slots:
    // Files the dialog did not write: each loads (one entry per LF-ended line, undecodable
    // bytes replaced), and a search text recorded afterwards comes back as its own last entry
    // on the next opening, with the earlier entries unchanged.
    void archivosAjenos_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<int>("entradas"); // rows after row 0
        const auto caso = [](const char* nombre, const QByteArray& contenido, int entradas) {
            QTest::newRow(nombre) << contenido << entradas;
        };
        caso("todos los bytes", todosLosBytes(), 2); // one LF inside: two lines, no end
        const QByteArray aleatorios = basura(1 << 16, 7);
        caso("basura binaria", aleatorios,
             int(aleatorios.count('\n')) + (aleatorios.endsWith('\n') ? 0 : 1));
        caso("ceros", QByteArray(4096, '\0'), 1);
        caso("utf-8 cortado", QByteArray("PEREZ \xc3"), 1);
        caso("sin fin de linea", "PEREZ GOMEZ JUAN", 1);
        caso("solo CR", "UNO\rDOS\rTRES", 1);
        caso("CR CR LF", "UNO\r\r\nDOS\r\n", 2);
        caso("lineas vacias", "\r\n\r\n\n", 3);
        caso("linea de 16 MB", QByteArray(16 << 20, 'A'), 1);
        caso("40000 lineas", QByteArray("PEREZ\r\n").repeated(40000), 40000);
        caso("BOM UTF-16", QByteArray("\xff\xfeP\0E\0\r\0\n\0", 10), 2);
    }
    void archivosAjenos()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(int, entradas);
        QTemporaryDir carpeta;
        const QString ruta = carpeta.filePath("DirLogFact.ini");
        QVERIFY(escribir(ruta, contenido));

        ListaHistorial lista;
        QVERIFY(lista.cargar(ruta));
        QCOMPARE(lista.filas(), 1 + entradas);
        QCOMPARE(lista.texto(0, 0), QString());
        QStringList antes;
        for (int i = 1; i < lista.filas(); ++i)
            antes << lista.texto(i, 0);

        QVERIFY(ListaHistorial::anexar(ruta, "NUEVA BUSQUEDA"));
        QVERIFY(leer(ruta).startsWith(contenido)); // appended, never rewritten
        // Control characters never reach the file: a line end would make two entries.
        for (const QString& control :
             {QStringLiteral("A\r\nB"), QStringLiteral("A\nB"), QStringLiteral("\tA"),
              QStringLiteral("A") + QChar(0), QStringLiteral("\x1b[2J")})
            QVERIFY(!ListaHistorial::anexar(ruta, control));
        ListaHistorial otra;
        QVERIFY(otra.cargar(ruta));
        QCOMPARE(otra.filas(), lista.filas() + 1);
        QCOMPARE(otra.texto(otra.filas() - 1, 0), QStringLiteral("NUEVA BUSQUEDA"));
        for (int i = 1; i < lista.filas(); ++i)
            QCOMPARE(otra.texto(i, 0), antes.at(i - 1));
    }

    // A history path the program cannot use (a folder, a file in place of a folder) leaves the
    // list with its empty row and does not stop the search.
    void rutasInservibles()
    {
        QTemporaryDir carpeta;
        QVERIFY(QDir(carpeta.path()).mkdir("DirLogFact.ini"));
        QVERIFY(escribir(carpeta.filePath("archivo"), "x"));
        for (const QString& ruta :
             {carpeta.filePath("DirLogFact.ini"), carpeta.filePath("archivo/DirLogFact.ini")}) {
            ListaHistorial lista;
            lista.agregar("antes");
            QVERIFY2(!lista.cargar(ruta), qPrintable(ruta));
            QVERIFY(!ListaHistorial::anexar(ruta, "x"));
        }
        QCOMPARE(leer(carpeta.filePath("archivo")), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(tst_HistorialHostil)
#include "tst_HistorialHostil.moc"
