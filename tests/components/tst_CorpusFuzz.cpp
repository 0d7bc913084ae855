#include "../../fuzz/EntradasFuzz.h"
#include "support/RutasPrueba.h"

#include <QDirIterator>
#include <QTest>
#include <functional>
#include <tiffio.h>

// Replays, through the fuzzers' own entry points, the inputs that once made a fuzzer fail and
// the seeds the fuzzers start from, so a fixed fault cannot come back unnoticed.
class tst_CorpusFuzz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    }

    void entradasGuardadas_data()
    {
        QTest::addColumn<QString>("objetivo");
        QTest::addColumn<QString>("archivo");
        int guardadas = 0;
        for (const char* objetivo : {"arranque", "historial", "tiff"}) {
            for (const char* carpeta : {"semillas", "regresion"}) {
                QDirIterator it(RutasPrueba::fuentes() + "/fuzz/" + carpeta + "/" + objetivo,
                                QDir::Files);
                while (it.hasNext()) {
                    const QString archivo = it.next();
                    QTest::newRow(qPrintable(QString("%1/%2").arg(objetivo, it.fileName())))
                        << QString(objetivo) << archivo;
                    ++guardadas;
                }
            }
        }
        QVERIFY2(guardadas >= 3, "no se encontraron las entradas de fuzz/");
    }
    void entradasGuardadas()
    {
        QFETCH(QString, objetivo);
        QFETCH(QString, archivo);
        const std::function<QString(const QByteArray&)> entrada =
            objetivo == "arranque"    ? EntradasFuzz::arranque
            : objetivo == "historial" ? EntradasFuzz::historial
                                      : EntradasFuzz::tiff;
        const QString fallo = entrada(EntradasFuzz::leer(archivo));
        QVERIFY2(fallo.isEmpty(), qPrintable(fallo));
    }
};

QTEST_GUILESS_MAIN(tst_CorpusFuzz)
#include "tst_CorpusFuzz.moc"
