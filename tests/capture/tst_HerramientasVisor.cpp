#include "capture/LienzoPagina.h"
#include "capture/Lote.h"
#include "capture/ModeloMiniaturas.h"
#include "capture/VisorPaginas.h"
#include "components/escaner/CarpetaRecuperacion.h"
#include "components/tiff/LectorTiff.h"
#include "transfer/EscenarioGuardado.h"

#include <QComboBox>
#include <QListView>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>

// The tools beside the page, through the real window over the SANE test backend: what they do
// must reach the spool, the journal and the next save, in the order shown.
namespace {
ConfigSanePrueba* configuracion = nullptr;

struct Herramientas : Escenario
{
    bool hojas(int n, double tamano = 2048)
    {
        saneCompartida = configuracion;
        if (!preparar(tamano, true) || !saneCompartida->valida())
            return false;
        p.clic("OpcNota");
        p.control<QCheckBox>("ChkShowUI")->setChecked(true);
        for (int i = 0; i < n; ++i)
            escanear();
        return paginas() == n && p.mensajes.cajas().isEmpty();
    }
    VisorPaginas& visor() { return *p.ventana().findChild<VisorPaginas*>(); }
    EscanerTwain& escaner() { return *p.ventana().VSTwain1(); }
    QListView& tira() { return *p.control<QListView>("ListaMiniaturas"); }
    QString etiqueta() { return p.control<QLabel>("LabelImageNum")->text(); }
    void tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        tira().setFocus();
        QTest::keyClick(&tira(), k, m);
    }
    // Sizes of the held pages in the component's order, as their files on disk read back.
    QList<QSize> enDisco()
    {
        QList<QSize> tamanos;
        for (int i = 0; i < paginas(); ++i)
            tamanos << LectorTiff::leer(escaner().ArchivoPagina(i)).size();
        return tamanos;
    }
    // What a restart after a crash would offer: the page files of the session, by name.
    QList<QSize> trasCaida()
    {
        QList<QSize> tamanos;
        const QString carpeta = escaner().CarpetaPaginas();
        for (const QString& ruta : CarpetaRecuperacion::paginas(carpeta))
            tamanos << LectorTiff::leer(ruta).size();
        return Lote::leer(carpeta) ? tamanos : QList<QSize>{};
    }
};
} // namespace

class PruebaHerramientasVisor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { configuracion = sane_.get(); }
    void init() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }

    void miniaturas_clicMuestraLaHojaYTeclasPasan()
    {
        Herramientas e;
        QVERIFY(e.hojas(3));
        ModeloMiniaturas& modelo = e.visor().miniaturas();
        QCOMPARE(modelo.rowCount(), 3);
        QCOMPARE(e.tira().currentIndex().row(), 2);
        // Made once the strip has painted, which a loaded machine may not have done yet.
        QTRY_VERIFY(modelo.hechas() >= 1);
        const QRect celda = e.tira().visualRect(modelo.index(0));
        QTest::mouseClick(e.tira().viewport(), Qt::LeftButton, {}, celda.center());
        QCOMPARE(e.sesion().PaginaActual, qint16(0));
        QVERIFY(e.etiqueta().startsWith(QStringLiteral("Imagen 0 (")));
        QVERIFY(e.etiqueta().endsWith(VisorPaginas::kTerminacionPaso));
        QVERIFY(!e.p.control<QPushButton>("BPrev")->isEnabled());
        e.tecla(Qt::Key_PageDown);
        e.tecla(Qt::Key_Right);
        QCOMPARE(e.sesion().PaginaActual, qint16(2));
        QCOMPARE(e.tira().currentIndex().row(), 2);
        e.tecla(Qt::Key_Left);
        e.tecla(Qt::Key_Delete);
        QCOMPARE(e.paginas(), 2);
        QCOMPARE(modelo.rowCount(), 2);
    }

    void zoom_cienPorCientoConBarrasYBitonalNitido()
    {
        Herramientas e;
        QVERIFY(e.hojas(1));
        auto* imagen = e.p.control<QLabel>("Image1");
        auto* area = e.p.control<QScrollArea>("areaImagen");
        const QSize hoja(e.escaner().AnchoPagina(0), e.escaner().AltoPagina(0));
        QVERIFY(imagen->pixmap().height() <= area->viewport()->height());
        auto* zoom = e.p.control<QComboBox>("CmbZoom");
        zoom->setCurrentIndex(2);
        emit zoom->activated(2);
        QCOMPARE(imagen->pixmap().size(), hoja);
        for (int i = 0; i < 6; ++i)
            e.tecla(Qt::Key_Plus);
        QVERIFY(imagen->pixmap().width() > 3 * hoja.width());
        QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
        const QImage vista = imagen->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < vista.height(); y += 3)
            for (int x = 0; x < vista.width(); ++x)
                QVERIFY(vista.pixel(x, y) == qRgb(0, 0, 0) ||
                        vista.pixel(x, y) == qRgb(255, 255, 255));
        zoom->setCurrentIndex(0);
        emit zoom->activated(0);
        QTRY_VERIFY(imagen->pixmap().height() <= area->viewport()->height());
    }

    void girar_quedaGiradaEnDiscoYSeDeshace()
    {
        Herramientas e;
        QVERIFY(e.hojas(2));
        const QSize antes = e.enDisco().value(1);
        // Pixels as they read from the page's file, whatever colour table it was written with.
        const auto pixeles = [&e] {
            return LectorTiff::leer(e.escaner().ArchivoPagina(1))
                .convertToFormat(QImage::Format_RGB32);
        };
        const QImage original = pixeles();
        e.p.clic("BGirarDerecha");
        QCOMPARE(e.enDisco(), (QList<QSize>{antes, antes.transposed()}));
        QCOMPARE(e.trasCaida(), e.enDisco());
        QCOMPARE(pixeles(), original.transformed(QTransform().rotate(90)));
        QVERIFY(e.etiqueta().startsWith(
            QStringLiteral("Imagen 1 (%1 x %2 x 1").arg(antes.height()).arg(antes.width())));
        e.tecla(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.enDisco(), (QList<QSize>{antes, antes}));
        QCOMPARE(pixeles(), original); // Group 4 turned and back: not a pixel lost
    }

    void mover_cambiaElOrdenDelDiscoYDelGuardado()
    {
        Herramientas e;
        QVERIFY(e.hojas(3));
        e.visor().VerPagina(0);
        e.p.clic("BGirar180");
        e.p.clic("BGirarDerecha"); // page 0 is told apart by its turned size
        const QSize hoja = e.enDisco().value(1);
        // What a drop of the first thumbnail after the last does.
        QVERIFY(e.visor().miniaturas().moveRow({}, 0, {}, 3));
        // The turned page, last now, leaves the upright ones their full height: the strip takes
        // one size for every row, and it measures the last.
        ModeloMiniaturas& modelo = e.visor().miniaturas();
        modelo.data(modelo.index(2), Qt::DecorationRole); // made anew once moved
        modelo.esperar();
        QCoreApplication::processEvents();
        e.tira().doItemsLayout();
        QVERIFY(e.tira().visualRect(modelo.index(0)).height() >= ModeloMiniaturas::kLado);
        QVERIFY(
            !e.tira().visualRect(modelo.index(0)).intersects(e.tira().visualRect(modelo.index(1))));
        const QList<QSize> orden{hoja, hoja, hoja.transposed()};
        QCOMPARE(e.enDisco(), orden);
        QCOMPARE(e.trasCaida(), orden);
        QCOMPARE(e.sesion().PaginaActual, qint16(2));
        e.p.clic("BUpload");
        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.p.mensajes.resumen().join('\n')));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(LectorTiff::leer(QStringLiteral("expedienteN.tif"), i).size(), orden[i]);
        QCOMPARE(e.visor().miniaturas().rowCount(), 0);
        QVERIFY(!e.p.control<QWidget>("BDeshacer")->isEnabled());
    }

    void deshacer_quitarDevuelveLaHojaASuLugar_data()
    {
        QTest::addColumn<int>("hojas");
        QTest::addColumn<int>("quitada");
        QTest::newRow("de en medio") << 3 << 1;
        QTest::newRow("la única") << 1 << 0; // its journal went with it, and comes back
    }
    void deshacer_quitarDevuelveLaHojaASuLugar()
    {
        QFETCH(int, hojas);
        QFETCH(int, quitada);
        Herramientas e;
        QVERIFY(e.hojas(hojas));
        e.visor().VerPagina(quitada);
        e.p.clic("BGirarIzquierda");
        const QList<QSize> antes = e.enDisco();
        e.p.clic("BDelete");
        QCOMPARE(e.trasCaida().size(), hojas - 1);
        QCOMPARE(e.paginas(), hojas - 1);
        e.tecla(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.enDisco(), antes);
        QCOMPARE(e.trasCaida(), antes);
        QCOMPARE(e.sesion().PaginaActual, qint16(quitada));
        QCOMPARE(e.p.control<QLineEdit>("TextImgCounter")->text(), QString::number(hojas));
        QVERIFY(e.p.control<QPushButton>("BUpload")->isEnabled());
        QVERIFY(e.p.global.CambiosPendientes);
        // The turn before it is the next step back.
        e.tecla(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e.enDisco().value(quitada), antes.value(quitada).transposed());
        QVERIFY(!e.p.control<QWidget>("BDeshacer")->isEnabled());
    }

    void medidor_tamanoContraElMaximo_data()
    {
        QTest::addColumn<double>("maximoKB");
        QTest::addColumn<bool>("excede");
        QTest::newRow("cabe") << 2048.0 << false;
        QTest::newRow("excede") << 1.0 << true;
    }
    void medidor_tamanoContraElMaximo()
    {
        QFETCH(double, maximoKB);
        QFETCH(bool, excede);
        Herramientas e;
        QVERIFY(e.hojas(2, maximoKB));
        auto* medidor = e.p.control<QLabel>("LblTamano");
        QVERIFY(medidor->isVisible());
        QCOMPARE(e.visor().medidor().excedido(), excede);
        QVERIFY2(
            medidor->text().contains(QStringLiteral(" de ") +
                                     (excede ? QStringLiteral("1 KB") : QStringLiteral("2 MB"))),
            qPrintable(medidor->text()));
        // Over the limit, the two figures never read alike; within it, nor do they.
        constexpr qint64 mega = 1024 * 1024;
        const QList<std::pair<qint64, QString>> cifras{
            {qint64(2.04 * mega), QStringLiteral("2,04 MB de 2 MB")},
            {2 * mega + 1, QStringLiteral("2,001 MB de 2 MB")},
            {2 * mega, QStringLiteral("2 MB de 2 MB")},
            {qint64(1.98 * mega), QStringLiteral("1,98 MB de 2 MB")},
            {qint64(1.3 * mega), QStringLiteral("1,3 MB de 2 MB")}};
        for (const auto& [bytes, texto] : cifras)
            QCOMPARE(MedidorTamano::texto(bytes, 2048), texto);
        // Two small pages are some kilobytes, not "0 MB".
        QVERIFY2(medidor->text().contains(
                     QRegularExpression(QStringLiteral("^(Documento|Excede): [1-9]"))),
                 qPrintable(medidor->text()));
        // However long its text, it never widens the window.
        const int ancho = e.p.ventana().width();
        const QString leyenda = medidor->text();
        medidor->setText(leyenda.repeated(10));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(e.p.ventana().width(), ancho);
        medidor->setText(leyenda);
        const qint64 bytes = MedidorTamano::bytesHojas(e.escaner());
        e.p.clic("BDelete");
        QVERIFY(MedidorTamano::bytesHojas(e.escaner()) < bytes);
        e.p.clic("BDelete");
        QVERIFY(!medidor->isVisible());
        // Nor does its going stretch the tools beside it, on a wide screen too.
        e.p.ventana().resize(1600, e.p.ventana().height());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const auto* zoom = e.p.control<QWidget>("CmbZoom");
        QVERIFY(zoom->width() <= zoom->sizeHint().width());
    }

private:
    std::unique_ptr<ConfigSanePrueba> sane_ = std::make_unique<ConfigSanePrueba>();
};

QTEST_MAIN(PruebaHerramientasVisor)
#include "tst_HerramientasVisor.moc"
