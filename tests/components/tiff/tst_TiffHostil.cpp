#include "components/tiff/EscritorTiff.h"
#include "components/tiff/LectorTiff.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage hoja(int ancho = 64, int alto = 48)
{
    QImage imagen(ancho, alto, QImage::Format_Mono);
    imagen.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    imagen.fill(0);
    for (int y = 0; y < alto; y += 3)
        for (int x = y % 5; x < ancho; x += 5)
            imagen.setPixel(x, y, 1);
    return imagen;
}

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool escribir(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A little-endian TIFF of `paginas` pages, as the program writes them.
QByteArray tiffValido(int paginas)
{
    QTemporaryDir dir;
    const QString ruta = dir.filePath("t.tif");
    for (int i = 0; i < paginas; ++i)
        EscritorTiff::agregarImagen(ruta, hoja(64 + i, 48), 200);
    return leer(ruta);
}

// Little-endian numbers read and written byte by byte, with the bounds checked.
quint32 numero(const QByteArray& b, qsizetype en, int bytes)
{
    quint32 valor = 0;
    for (int i = bytes - 1; i >= 0; --i)
        valor = (valor << 8) | quint8(b.at(en + i));
    return valor;
}
void fijarU32(QByteArray& b, qsizetype en, quint32 valor)
{
    for (int i = 0; i < 4; ++i, valor >>= 8)
        b[en + i] = char(valor & 0xff);
}
// Where the first directory's next-directory offset is.
qsizetype siguienteDelPrimero(const QByteArray& b)
{
    const quint32 ifd = numero(b, 4, 4);
    return ifd + 2 + 12 * numero(b, ifd, 2);
}

} // namespace

class tst_TiffHostil : public QObject
{
    Q_OBJECT

private slots:
    // A "document" downloaded from the image server that is not a TIFF the program can extend:
    // appending a page fails with a message that names the file, and the file keeps every byte.
    // Files that are sound TIFFs (however short) get the page and keep their pages readable.
    void agregarSobreArchivoDescargado_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<int>("paginas"); // pages it holds; -1 when it must be refused
        const auto caso = [](const char* nombre, const QByteArray& contenido, int paginas) {
            QTest::newRow(nombre) << contenido << paginas;
        };
        const QByteArray dos = tiffValido(2);

        caso("pagina de error html", "<html><body>550 Not found</body></html>\r\n", -1);
        caso("tres bytes", "II*", -1);
        caso("solo la cabecera", QByteArray("II*\0\x08\0\0\0", 8), -1);
        caso("ceros", QByteArray(4096, '\0'), -1);
        caso("cabecera de big endian sin directorio", QByteArray("MM\0*\0\0\0\x08", 8), -1);
        {
            QByteArray fuera = dos;
            fijarU32(fuera, 4, 0x7ffffff0);
            caso("primer directorio fuera del archivo", fuera, -1);
        }
        {
            QByteArray bucle = dos;
            fijarU32(bucle, siguienteDelPrimero(bucle), numero(bucle, 4, 4));
            caso("directorio que apunta a si mismo", bucle, -1);
        }
        {
            QByteArray roto = dos;
            fijarU32(roto, siguienteDelPrimero(roto), quint32(roto.size() + 100));
            caso("segundo directorio fuera del archivo", roto, -1);
        }
        caso("cortado a la mitad", dos.left(dos.size() / 2), -1);
        caso("vacio", QByteArray(), 0); // a download of nothing is a new document
        caso("una pagina", tiffValido(1), 1);
        caso("dos paginas", dos, 2);
    }
    void agregarSobreArchivoDescargado()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(int, paginas);
        QTemporaryDir dir;
        const QString ruta = dir.filePath("expedienteN.tif");
        QVERIFY(escribir(ruta, contenido));

        for (const bool copiando : {false, true}) {
            QString error;
            bool bien = false;
            if (copiando) {
                const QString origen = dir.filePath("hoja.tif");
                QVERIFY(EscritorTiff::escribirArchivo(origen, hoja(40, 30), 200));
                bien = EscritorTiff::agregarPaginaTiff(ruta, origen, &error);
            } else {
                bien = EscritorTiff::agregarImagen(ruta, hoja(), 200, &error);
            }
            if (paginas < 0) {
                QVERIFY(!bien);
                QVERIFY2(error.contains(ruta), qPrintable(error));
                QCOMPARE(leer(ruta), contenido);
                continue;
            }
            QVERIFY2(bien, qPrintable(error));
            ++paginas;
            QCOMPARE(EscritorTiff::contarPaginas(ruta), paginas);
            for (int i = 0; i < paginas; ++i)
                QVERIFY2(!LectorTiff::leer(ruta, i).isNull(), qPrintable(QString::number(i)));
        }
    }

    // A page source that is not a TIFF is refused before the destination is touched.
    void origenQueNoEsTiff()
    {
        QTemporaryDir dir;
        const QString destino = dir.filePath("expedienteN.tif");
        const QByteArray antes = tiffValido(1);
        QVERIFY(escribir(destino, antes));
        for (const QByteArray& origen :
             {QByteArray("no es tiff"), QByteArray("II*\0\x08\0\0\0", 8), QByteArray()}) {
            const QString ruta = dir.filePath("hoja.tif");
            QVERIFY(escribir(ruta, origen));
            QString error;
            QVERIFY(!EscritorTiff::agregarPaginaTiff(destino, ruta, &error));
            QVERIFY(!error.isEmpty());
            QCOMPARE(leer(destino), antes);
        }
    }
};

QTEST_MAIN(tst_TiffHostil)
#include "tst_TiffHostil.moc"
