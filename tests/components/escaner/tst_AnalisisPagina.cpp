#include "components/escaner/AnalisisPagina.h"
#include "support/HojaPrueba.h"

#include <QtTest>
#include <cmath>

class TstAnalisisPagina : public QObject
{
    Q_OBJECT
private slots:
    void hojasEnBlanco_data()
    {
        QTest::addColumn<int>("formato");
        QTest::addColumn<QString>("contenido");
        QTest::addColumn<bool>("enBlanco");
        QTest::addColumn<int>("ppp");
        const int mono = QImage::Format_Mono;
        // A pen stroke a pixel or two wide at a low resolution is still writing.
        QTest::newRow("firma a 100 ppp") << mono << "firma" << false << 100;
        QTest::newRow("vacia") << mono << "vacia" << true << 300;
        QTest::newRow("reverso con motas y sombra") << mono << "reverso" << true << 300;
        QTest::newRow("firma") << mono << "firma" << false << 300;
        QTest::newRow("sello") << mono << "sello" << false << 300;
        QTest::newRow("texto") << mono << "texto" << false << 300;
        QTest::newRow("gris, firma") << int(QImage::Format_Grayscale8) << "firma" << false << 300;
        QTest::newRow("gris, transparencia del anverso")
            << int(QImage::Format_Grayscale8) << "transparencia" << true << 300;
        QTest::newRow("color, sello") << int(QImage::Format_RGB888) << "sello" << false << 300;
        QTest::newRow("color, vacia") << int(QImage::Format_RGB888) << "vacia" << true << 300;
    }
    void hojasEnBlanco()
    {
        QFETCH(int, formato);
        QFETCH(QString, contenido);
        QFETCH(bool, enBlanco);
        QFETCH(int, ppp);
        const QImage pagina = HojaPrueba(QImage::Format(formato), ppp, contenido);
        const auto resultado = AnalisisPagina::analizar(pagina, {.quitarBlancas = true});
        QVERIFY(resultado.tinta >= 0);
        QCOMPARE(resultado.enBlanco, enBlanco);
        QCOMPARE(resultado.imagen, pagina);
    }

    // Pages skewed by known angles are found within 0.2° and come out straight, at their own
    // depth and size.
    void enderezar_data()
    {
        QTest::addColumn<int>("formato");
        QTest::addColumn<int>("ppp");
        QTest::addColumn<double>("grados");
        const int mono = QImage::Format_Mono;
        for (double grados : {-5.0, -2.5, 0.6, 3.7, 5.0})
            QTest::addRow("bilevel %g", grados) << mono << 300 << grados;
        QTest::newRow("bilevel 200 ppp") << mono << 200 << -1.4;
        QTest::newRow("gris") << int(QImage::Format_Grayscale8) << 150 << 4.2;
        QTest::newRow("color") << int(QImage::Format_RGB888) << 150 << -3.1;
    }
    void enderezar()
    {
        QFETCH(int, formato);
        QFETCH(int, ppp);
        QFETCH(double, grados);
        const QImage pagina =
            HojaPrueba(QImage::Format(formato), ppp, QStringLiteral("texto"), grados);
        double confianza = 0;
        const double hallada = AnalisisPagina::inclinacion(pagina, &confianza);
        QVERIFY2(
            std::abs(hallada + grados) < 0.2,
            qPrintable(QStringLiteral("hallada %1, confianza %2").arg(hallada).arg(confianza)));

        const auto resultado =
            AnalisisPagina::analizar(pagina, {.quitarBlancas = true, .enderezar = true});
        QVERIFY(!resultado.enBlanco);
        QCOMPARE(resultado.inclinacion, hallada);
        QCOMPARE(resultado.imagen.format(), pagina.format());
        QCOMPARE(resultado.imagen.size(), pagina.size());
        QCOMPARE(resultado.imagen.dotsPerMeterX(), pagina.dotsPerMeterX());
        QVERIFY(std::abs(AnalisisPagina::inclinacion(resultado.imagen)) < 0.2);
        // Still the same page: about as much ink as before.
        const double antes = AnalisisPagina::tinta(pagina);
        QVERIFY(std::abs(AnalisisPagina::tinta(resultado.imagen) - antes) < antes * 0.1);
    }

    // A page with no lines to follow is left as it came.
    void sinLineas_noSeGira()
    {
        for (const QString& contenido : {QStringLiteral("vacia"), QStringLiteral("sello")}) {
            const QImage pagina = HojaPrueba(QImage::Format_Mono, 300, contenido);
            const auto resultado = AnalisisPagina::analizar(pagina, {.enderezar = true});
            QCOMPARE(resultado.inclinacion, 0.0);
            QCOMPARE(resultado.imagen, pagina);
        }
        QCOMPARE(AnalisisPagina::tinta(QImage()), -1.0);
        QCOMPARE(AnalisisPagina::analizar(QImage(), {.enderezar = true}).imagen, QImage());
    }
};

QTEST_MAIN(TstAnalisisPagina)
#include "tst_AnalisisPagina.moc"
