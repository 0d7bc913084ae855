#include "scannerinfo/TextoNumero.h"
#include "scannerinfo/VocabularioTwain.h"

#include <QSet>
#include <QTest>

using namespace VocabularioTwain;

// Names of TWAIN codes and the number format of the scanner report.
class PruebaVocabularioTwain : public QObject
{
    Q_OBJECT

private slots:
    void nombreCapacidad_data()
    {
        QTest::addColumn<qint64>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("primera fila") << qint64(0x0001) << "CAP_XFERCOUNT";
        QTest::newRow("lista de capacidades") << qint64(0x1005) << "CAP_SUPPORTEDCAPS";
        QTest::newRow("antes del hueco") << qint64(0x1022) << "CAP_DEVICEEVENT";
        QTest::newRow("hueco") << qint64(0x1023) << "Custom capability ( 4131)";
        QTest::newRow("despues del hueco") << qint64(0x1024) << "CAP_SERIALNUMBER";
        QTest::newRow("resolucion X") << qint64(0x1118) << "ICAP_XRESOLUTION";
        QTest::newRow("ultima fila") << qint64(0x1202) << "ACAP_XFERMECH";
        QTest::newRow("despues de la ultima") << qint64(0x1203) << "Custom capability ( 4611)";
        QTest::newRow("cero") << qint64(0) << "Custom capability ( 0)";
        QTest::newRow("propia del dispositivo") << qint64(0x8001) << "Custom capability ( 32769)";
        QTest::newRow("negativa") << qint64(-5) << "Custom capability (-5)";
        // A table kept in 16 bits must not wrap 0x10001 onto CAP_XFERCOUNT.
        QTest::newRow("fuera de 16 bits") << qint64(0x10001) << "Custom capability ( 65537)";
    }

    void nombreCapacidad()
    {
        QFETCH(qint64, codigo);
        QFETCH(QString, nombre);
        QCOMPARE(NombreCapacidad(codigo), nombre);
    }

    // Every row is reachable by its own code: no duplicate code shadows a later row.
    void tablaDeCapacidades_completaYSinRepetidos()
    {
        const auto filas = filasCapacidad();
        QCOMPARE(filas.size(), std::size_t(124));
        QSet<int> codigos;
        for (const FilaCapacidad& fila : filas) {
            QVERIFY2(!codigos.contains(fila.codigo), fila.nombre);
            codigos.insert(fila.codigo);
            QCOMPARE(NombreCapacidad(fila.codigo), QString::fromLatin1(fila.nombre));
        }
    }

    void tablasCortas_data()
    {
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<qint64>("codigo");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("unidad 0") << "unidad" << qint64(0) << "inches";
        QTest::newRow("unidad 5") << "unidad" << qint64(5) << "pixels";
        QTest::newRow("unidad 6") << "unidad" << qint64(6) << "";
        QTest::newRow("unidad -1") << "unidad" << qint64(-1) << "";
        QTest::newRow("pixel 0") << "pixel" << qint64(0) << "BW";
        QTest::newRow("pixel 9") << "pixel" << qint64(9) << "LAB";
        QTest::newRow("pixel 10") << "pixel" << qint64(10) << "";
        QTest::newRow("papel 0") << "papel" << qint64(0) << "None";
        QTest::newRow("papel 3") << "papel" << qint64(3) << "USLETTER";
        QTest::newRow("papel 7") << "papel" << qint64(7) << "B6";
        QTest::newRow("papel 8") << "papel" << qint64(8) << "Other";
        QTest::newRow("papel 9") << "papel" << qint64(9) << "USLEDGER";
        QTest::newRow("papel 17") << "papel" << qint64(17) << "Other";
        QTest::newRow("papel -1") << "papel" << qint64(-1) << "Other";
    }

    void tablasCortas()
    {
        QFETCH(QString, tabla);
        QFETCH(qint64, codigo);
        QFETCH(QString, nombre);
        const QString obtenido = tabla == QLatin1String("unidad")  ? NombreUnidad(codigo)
                                 : tabla == QLatin1String("pixel") ? NombreTipoPixel(codigo)
                                                                   : NombreTamanoPapel(codigo);
        QCOMPARE(obtenido, nombre);
    }

    // Current settings arrive as 16-bit values and list elements as 32-bit ones.
    void anchosDeArgumento_danLaMismaFila()
    {
        for (const qint16 codigo : {qint16(0), qint16(2), qint16(3), qint16(8), qint16(-1)}) {
            QCOMPARE(NombreUnidad(codigo), NombreUnidad(qint32(codigo)));
            QCOMPARE(NombreTipoPixel(codigo), NombreTipoPixel(qint32(codigo)));
            QCOMPARE(NombreTamanoPapel(codigo), NombreTamanoPapel(qint32(codigo)));
        }
        QCOMPARE(NombreCapacidad(qint16(0x1005)), NombreCapacidad(qint32(0x1005)));
        QCOMPARE(NombreCapacidad(qint16(0x1202)), QStringLiteral("ACAP_XFERMECH"));
    }

    void textoNumero()
    {
        QCOMPARE(TextoNumero(300), QStringLiteral(" 300"));
        QCOMPARE(TextoNumero(0), QStringLiteral(" 0"));
        QCOMPARE(TextoNumero(-1), QStringLiteral("-1"));
        QCOMPARE(TextoNumero(qint64(4294967296)), QStringLiteral(" 4294967296"));
        QCOMPARE(TextoNumero(-0.0f), QStringLiteral(" 0"));
        QCOMPARE(TextoNumero(0.5f), QStringLiteral(" 0.5"));
        QCOMPARE(TextoNumero(-2.25f), QStringLiteral("-2.25"));
        // A float keeps its own digits, not those of its widening to double.
        QCOMPARE(TextoNumero(0.1f), QStringLiteral(" 0.1"));
        QCOMPARE(TextoNumero(1e10f), QStringLiteral(" 10000000000"));
    }
};

QTEST_APPLESS_MAIN(PruebaVocabularioTwain)
#include "tst_VocabularioTwain.moc"
