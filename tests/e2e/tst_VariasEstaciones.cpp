#include "support/EstacionesPrueba.h"

#include <QTest>
#include <algorithm>

// Several workstations of a branch, each a process of its own with its own folder, save at once
// on one embedded database and one FTP server, through the program's own send. Every page is
// marked with its workstation, so the stored documents show each page ending up exactly once:
// none lost, none twice, none under another case file, whatever the order of the saves, a
// workstation waiting for another, or a transfer cut on either side of the server storing it.
class PruebaVariasEstaciones : public QObject
{
    Q_OBJECT

private slots:
    void guardanALaVez_data()
    {
        QTest::addColumn<int>("estaciones");
        QTest::addColumn<bool>("mismo"); // all to one stored document, or each to a new case file
        QTest::addColumn<QStringList>("fallas");
        QTest::newRow("dos estaciones, un documento") << 2 << true << QStringList{"perdida"};
        QTest::newRow("seis estaciones, un documento")
            << 6 << true << QStringList{"perdida", "corte", "", "perdida"};
        QTest::newRow("seis estaciones, expedientes nuevos")
            << 6 << false << QStringList{"perdida", "corte"};
    }
    void guardanALaVez()
    {
        QFETCH(int, estaciones);
        QFETCH(bool, mismo);
        QFETCH(QStringList, fallas);
        EstacionesPrueba e;
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        const double folio = mismo ? e.expedienteConDocumento(0) : 0;
        QList<int> esperadas = mismo ? QList<int>{0} : QList<int>{};
        for (int i = 1; i <= estaciones; ++i) {
            const QList<int> marcas{i * 10 + 1, i * 10 + 2};
            esperadas << marcas;
            e.lanzar(folio, marcas, fallas.value(i - 1));
        }
        QString error;
        QVERIFY2(e.esperar(&error), qPrintable(error));

        // Every page once, in the document of its case file, and every document flagged.
        QList<int> guardadas;
        const auto documentos = e.documentos();
        for (const QList<int>& marcas : documentos)
            guardadas << marcas;
        std::sort(guardadas.begin(), guardadas.end());
        std::sort(esperadas.begin(), esperadas.end());
        QCOMPARE(guardadas, esperadas);
        QStringList folios = e.folios();
        folios.removeDuplicates();
        QCOMPARE(folios.size(), mismo ? 1 : estaciones);
        for (const QString& uno : folios) {
            QVERIFY(e.marcado(uno));
            if (!mismo) // a new case file holds its own workstation's pages and no others
                QCOMPARE(documentos.value(uno + "N.tif").size(), 2);
        }
        QCOMPARE(e.bd.valor(QStringLiteral("SELECT COUNT(*) FROM bloqueos_documento")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(PruebaVariasEstaciones)
#include "tst_VariasEstaciones.moc"
