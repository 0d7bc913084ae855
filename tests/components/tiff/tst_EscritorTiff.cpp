#include "components/tiff/EscritorTiff.h"
#include "components/tiff/LectorTiff.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <tiffio.h>

namespace {
QImage bilevel(int ancho, int alto)
{
    QImage imagen(ancho, alto, QImage::Format_Mono);
    imagen.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    imagen.fill(0);
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            if ((x / 7 + y / 5) % 3 == 0)
                imagen.setPixel(x, y, 1);
    return imagen;
}

QImage gris(int ancho, int alto)
{
    QImage imagen(ancho, alto, QImage::Format_Grayscale8);
    for (int y = 0; y < alto; ++y)
        for (int x = 0; x < ancho; ++x)
            imagen.scanLine(y)[x] = uchar((x * 3 + y) % 256);
    return imagen;
}

QImage color(int ancho, int alto)
{
    QImage imagen(ancho, alto, QImage::Format_RGB888);
    imagen.fill(Qt::white);
    QPainter p(&imagen);
    p.fillRect(0, 0, ancho / 2, alto / 2, Qt::red);
    p.fillRect(ancho / 2, alto / 2, ancho / 2, alto / 2, Qt::blue);
    return imagen;
}

// Mean per-sample difference: JPEG pages come back close, not equal (edges smear).
double diferencia(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double suma = 0;
    for (int f = 0; f < x.height(); ++f)
        for (int c = 0; c < x.width() * 3; ++c)
            suma += qAbs(x.constScanLine(f)[c] - y.constScanLine(f)[c]);
    return suma / (double(x.height()) * x.width() * 3);
}

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int paginasSegunHerramienta(const QString& programa, const QStringList& argumentos,
                            const QString& marca)
{
    if (QStandardPaths::findExecutable(programa).isEmpty())
        return -2;
    QProcess p;
    p.start(programa, argumentos);
    p.waitForFinished(30000);
    const QString salida = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitCode() == 0 ? int(salida.count(marca)) : -1;
}
} // namespace

class TstEscritorTiff : public QObject
{
    Q_OBJECT
private slots:
    void paginaNuevaPorTipo_data();
    void paginaNuevaPorTipo();
    void agregarAArchivoExistente();
    void copiaSinRecodificar();
    void entradasMalas();

private:
    QTemporaryDir dir_;
};

void TstEscritorTiff::paginaNuevaPorTipo_data()
{
    QTest::addColumn<QImage>("imagen");
    QTest::addColumn<int>("compresion");
    QTest::addColumn<int>("fotometria");
    QTest::addColumn<QImage::Format>("formato");
    QTest::newRow("bilevel") << bilevel(301, 97) << COMPRESSION_CCITTFAX4 << PHOTOMETRIC_MINISWHITE
                             << QImage::Format_Mono;
    // A mono picture whose colour table has black first must still come out black on white.
    QImage invertida = bilevel(64, 40);
    invertida.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    QTest::newRow("bilevel negro primero")
        << invertida << COMPRESSION_CCITTFAX4 << PHOTOMETRIC_MINISWHITE << QImage::Format_Mono;
    QTest::newRow("gris") << gris(200, 120) << COMPRESSION_JPEG << PHOTOMETRIC_MINISBLACK
                          << QImage::Format_Grayscale8;
    QTest::newRow("color") << color(200, 120) << COMPRESSION_JPEG << PHOTOMETRIC_YCBCR
                           << QImage::Format_RGB888;
}

void TstEscritorTiff::paginaNuevaPorTipo()
{
    QFETCH(QImage, imagen);
    QFETCH(int, compresion);
    QFETCH(int, fotometria);
    QFETCH(QImage::Format, formato);
    const QString ruta = dir_.filePath(QStringLiteral("%1.tif").arg(QTest::currentDataTag()));
    QVERIFY(EscritorTiff::agregarImagen(ruta, imagen, 300));
    QCOMPARE(EscritorTiff::contarPaginas(ruta), 1);

    TIFF* tif = TIFFOpen(QFile::encodeName(ruta).constData(), "r");
    QVERIFY(tif);
    uint16_t c = 0, f = 0, unidad = 0;
    float ppp = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &c);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &f);
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &ppp);
    TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unidad);
    TIFFClose(tif);
    QCOMPARE(int(c), compresion);
    QCOMPARE(int(f), fotometria);
    QCOMPARE(ppp, 300.0f);
    QCOMPARE(int(unidad), RESUNIT_INCH);

    const QImage leida = LectorTiff::leer(ruta);
    QCOMPARE(leida.format(), formato);
    QCOMPARE(leida.size(), imagen.size());
    QVERIFY(diferencia(leida, imagen) <= (formato == QImage::Format_Mono ? 0 : 4));
    // Qt's own reader (the viewer of other programs reads these files too).
    const QImage qt = QImage(ruta);
    QVERIFY(!qt.isNull());
    QVERIFY(diferencia(qt, imagen) <= (formato == QImage::Format_Mono ? 0 : 4));
}

void TstEscritorTiff::agregarAArchivoExistente()
{
    const QString ruta = dir_.filePath(QStringLiteral("expedienteS.tif"));
    const QList<QImage> hojas{bilevel(850, 1100), color(400, 300), bilevel(850, 1100),
                              gris(300, 200)};
    QByteArray anterior;
    for (int i = 0; i < hojas.size(); ++i) {
        QVERIFY(EscritorTiff::agregarImagen(ruta, hojas[i], 100));
        const QByteArray ahora = leer(ruta);
        if (i > 0) {
            // Appending adds at the end and relinks the last directory: at most the 4 bytes of
            // its next-directory offset change; earlier pages are not rewritten.
            QVERIFY(ahora.size() > anterior.size());
            int distintos = 0;
            for (qsizetype b = 0; b < anterior.size(); ++b)
                distintos += anterior[b] != ahora[b];
            QVERIFY2(distintos <= 4, qPrintable(QString::number(distintos)));
        }
        anterior = ahora;
        QCOMPARE(EscritorTiff::contarPaginas(ruta), i + 1);
    }
    for (int i = 0; i < hojas.size(); ++i) {
        const QImage leida = LectorTiff::leer(ruta, i);
        QCOMPARE(leida.size(), hojas[i].size());
        QCOMPARE(leida.depth() == 1, hojas[i].depth() == 1);
    }
    QImageReader lector(ruta);
    QCOMPARE(lector.imageCount(), hojas.size());
    for (int i = 0; i < hojas.size(); ++i) {
        QVERIFY(lector.jumpToImage(i));
        QCOMPARE(lector.read().size(), hojas[i].size());
    }
    const int tiffinfo = paginasSegunHerramienta(QStringLiteral("tiffinfo"), {ruta},
                                                 QStringLiteral("TIFF Directory at"));
    if (tiffinfo != -2)
        QCOMPARE(tiffinfo, hojas.size());
    const int identify =
        paginasSegunHerramienta(QStringLiteral("identify"), {ruta}, QStringLiteral(" TIFF "));
    if (identify != -2)
        QCOMPARE(identify, hojas.size());
}

void TstEscritorTiff::copiaSinRecodificar()
{
    const QList<QImage> hojas{bilevel(850, 1100), gris(320, 240), color(320, 240)};
    const QString destino = dir_.filePath(QStringLiteral("copia.tif"));
    for (int i = 0; i < hojas.size(); ++i) {
        const QString hoja = dir_.filePath(QStringLiteral("hoja%1.tif").arg(i));
        QVERIFY(EscritorTiff::escribirArchivo(hoja, hojas[i], 200));
        QVERIFY(EscritorTiff::agregarPaginaTiff(destino, hoja));
        // The copied page decodes to exactly what the one-page file decodes to.
        QCOMPARE(LectorTiff::leer(destino, i), LectorTiff::leer(hoja));
    }
    QCOMPARE(EscritorTiff::contarPaginas(destino), hojas.size());
    QImageReader lector(destino);
    QCOMPARE(lector.imageCount(), hojas.size());
    for (int i = 0; i < hojas.size(); ++i) {
        QVERIFY(lector.jumpToImage(i));
        QVERIFY(diferencia(lector.read(), hojas[i]) <= 4);
    }
    const int tiffinfo = paginasSegunHerramienta(QStringLiteral("tiffinfo"), {destino},
                                                 QStringLiteral("TIFF Directory at"));
    if (tiffinfo != -2)
        QCOMPARE(tiffinfo, hojas.size());
    const int identify =
        paginasSegunHerramienta(QStringLiteral("identify"), {destino}, QStringLiteral(" TIFF "));
    if (identify != -2)
        QCOMPARE(identify, hojas.size());
}

void TstEscritorTiff::entradasMalas()
{
    // An existing file that is not a TIFF is left exactly as it was.
    const QString texto = dir_.filePath(QStringLiteral("notas.tif"));
    {
        QFile f(texto);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("no es un tiff");
    }
    QString error;
    QVERIFY(!EscritorTiff::agregarImagen(texto, bilevel(10, 10), 200, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(leer(texto), QByteArray("no es un tiff"));

    // A page that cannot be written leaves no new file behind.
    const QString vacio = dir_.filePath(QStringLiteral("vacio.tif"));
    QVERIFY(!EscritorTiff::agregarImagen(vacio, QImage(), 200, &error));
    QVERIFY(!QFile::exists(vacio));
    QVERIFY(!EscritorTiff::agregarImagen(dir_.filePath(QStringLiteral("no/existe.tif")),
                                         bilevel(10, 10), 200));
    QVERIFY(!EscritorTiff::agregarPaginaTiff(vacio, dir_.filePath(QStringLiteral("falta.tif"))));
    QVERIFY(!QFile::exists(vacio));
}

QTEST_MAIN(TstEscritorTiff)
#include "tst_EscritorTiff.moc"
