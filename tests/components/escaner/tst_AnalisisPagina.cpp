#include "components/escaner/AnalisisPagina.h"

#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

namespace {
// A letter page at `ppp` with what a scanner would bring: lines of words (turned by `grados`
// about the centre), a signature, a stamp, or only the specks and the edge shadow of an empty
// back. Drawn in grey and taken to the format asked.
QImage hoja(QImage::Format formato, int ppp, const QString& contenido, double grados = 0)
{
    const double escala = ppp / 300.0;
    QImage gris(int(2550 * escala), int(3300 * escala), QImage::Format_Grayscale8);
    gris.fill(contenido == QLatin1String("transparencia") ? 235 : 255);
    QRandomGenerator azar(7);
    {
        QPainter p(&gris);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(escala, escala);
        if (contenido == QLatin1String("texto") || contenido == QLatin1String("transparencia")) {
            // Text of the other side showing through is light grey; real text is black.
            const QColor tinta =
                contenido == QLatin1String("texto") ? QColor(20, 20, 20) : QColor(205, 205, 205);
            p.translate(1275, 1650);
            p.rotate(grados);
            p.translate(-1275, -1650);
            for (int y = 300; y < 3000; y += 50) {
                for (int x = 300; x < 2250;) {
                    const int palabra = 40 + int(azar.bounded(160));
                    p.fillRect(x, y, qMin(palabra, 2250 - x), 28, tinta);
                    x += palabra + 25;
                }
            }
        } else if (contenido == QLatin1String("firma")) {
            // A short signature: a few loops of a 0.4 mm pen, about 1.3 by 0.4 inches.
            QPainterPath trazo(QPointF(1600, 2800));
            for (int i = 0; i < 6; ++i)
                trazo.cubicTo(1600 + 70 * i + 40, 2700, 1600 + 70 * i + 90, 2920,
                              1600 + 70 * i + 60, 2800);
            p.setPen(QPen(Qt::black, 5));
            p.drawPath(trazo);
        } else if (contenido == QLatin1String("sello")) {
            p.setPen(QPen(QColor(40, 40, 40), 6));
            p.drawEllipse(QPointF(1900, 2600), 160, 160);
            p.fillRect(1800, 2580, 200, 14, QColor(40, 40, 40));
        }
        if (contenido == QLatin1String("reverso")) {
            // Sensor specks of a pixel, dust a pixel wide, and the feeder's shadow on the edge.
            for (int i = 0; i < 4000; ++i)
                p.fillRect(int(azar.bounded(2550)), int(azar.bounded(3300)), 1,
                           1 + int(azar.bounded(2)), Qt::black);
            p.fillRect(0, 0, 90, 3300, QColor(60, 60, 60));
        }
    }
    QImage imagen;
    if (formato == QImage::Format_Mono) {
        imagen = gris.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    } else {
        imagen = gris.convertToFormat(formato);
    }
    imagen.setDotsPerMeterX(qRound(ppp / 0.0254));
    imagen.setDotsPerMeterY(qRound(ppp / 0.0254));
    return imagen;
}
} // namespace

class TstAnalisisPagina : public QObject
{
    Q_OBJECT
private slots:
    void hojasEnBlanco_data()
    {
        QTest::addColumn<int>("formato");
        QTest::addColumn<QString>("contenido");
        QTest::addColumn<bool>("enBlanco");
        const int mono = QImage::Format_Mono;
        QTest::newRow("vacia") << mono << "vacia" << true;
        QTest::newRow("reverso con motas y sombra") << mono << "reverso" << true;
        QTest::newRow("firma") << mono << "firma" << false;
        QTest::newRow("sello") << mono << "sello" << false;
        QTest::newRow("texto") << mono << "texto" << false;
        QTest::newRow("gris, firma") << int(QImage::Format_Grayscale8) << "firma" << false;
        QTest::newRow("gris, transparencia del anverso")
            << int(QImage::Format_Grayscale8) << "transparencia" << true;
        QTest::newRow("color, sello") << int(QImage::Format_RGB888) << "sello" << false;
        QTest::newRow("color, vacia") << int(QImage::Format_RGB888) << "vacia" << true;
    }
    void hojasEnBlanco()
    {
        QFETCH(int, formato);
        QFETCH(QString, contenido);
        QFETCH(bool, enBlanco);
        const QImage pagina = hoja(QImage::Format(formato), 300, contenido);
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
        const QImage pagina = hoja(QImage::Format(formato), ppp, QStringLiteral("texto"), grados);
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
            const QImage pagina = hoja(QImage::Format_Mono, 300, contenido);
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
