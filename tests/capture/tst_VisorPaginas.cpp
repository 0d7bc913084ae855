#include "app/FrmEscaneo.h"
#include "capture/LienzoPagina.h"
#include "capture/VisorPaginas.h"
#include "support/EscanerGuionado.h"
#include "support/VentanaPrueba.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {
// Pages told apart by their size: page i is (100 + i) x (200 + i).
struct Escenario
{
    VentanaPrueba p;
    EscanerGuionado* escaner = nullptr;

    bool cargar()
    {
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        p.entorno.crearEscaner = [this] {
            auto nuevo = std::make_unique<EscanerGuionado>();
            escaner = nuevo.get();
            return nuevo;
        };
        if (!p.cargar())
            return false;
        p.control<QTabWidget>("TabScan")->setEnabled(true);
        p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        p.control<QPushButton>("B_Acquire")->setEnabled(true);
        p.ventana().sesion().LetraActual = QStringLiteral("N");
        return true;
    }
    void escanear(int paginas)
    {
        EscanerGuionado::Tanda tanda;
        for (int i = 0; i < paginas; ++i) {
            QImage imagen(100 + i, 200 + i, QImage::Format_Mono);
            imagen.fill(1);
            tanda.paginas << imagen;
        }
        escaner->tandas.enqueue(tanda);
        p.clic("B_Acquire");
    }
    QString etiqueta() { return p.control<QLabel>("LabelImageNum")->text(); }
    QString contador() { return p.control<QLineEdit>("TextImgCounter")->text(); }
    qint16 actual() { return p.ventana().sesion().PaginaActual; }
    bool habilitado(const char* nombre) { return p.control<QWidget>(nombre)->isEnabled(); }
    bool hayImagen() { return !p.control<QLabel>("Image1")->pixmap().isNull(); }
};
} // namespace

class PruebaVisorPaginas : public QObject
{
    Q_OBJECT

private slots:
    void unaHoja_posicionCeroSinPasos()
    {
        Escenario e;
        QVERIFY(e.cargar());
        e.escanear(1);
        QCOMPARE(e.etiqueta(), QStringLiteral("Imagen 0 (100 x 200 x 1 bpp )"));
        QVERIFY(!e.habilitado("BNext"));
        QVERIFY(!e.habilitado("BPrev"));
        QVERIFY(e.hayImagen());
    }

    void pasos_dentroDeLasHojas()
    {
        Escenario e;
        QVERIFY(e.cargar());
        e.escanear(3);
        e.p.clic("BPrev");
        e.p.clic("BPrev");
        QCOMPARE(e.actual(), qint16(0));
        QCOMPARE(e.etiqueta(), QStringLiteral("Imagen 0 (100 x 200 x 1 bpp )"));
        QVERIFY(!e.habilitado("BPrev"));
        QVERIFY(e.habilitado("BNext"));
        e.p.clic("BNext");
        e.p.clic("BNext");
        QCOMPARE(e.etiqueta(), QStringLiteral("Imagen 2 (102 x 202 x 1 bpp )"));
        // On the last page: nothing moves and the button goes off.
        QVERIFY(!e.habilitado("BNext"));
        e.p.ventana().findChild<VisorPaginas*>()->BNext_Click();
        QCOMPARE(e.actual(), qint16(2));
        QVERIFY(!e.habilitado("BNext"));
        QVERIFY(e.habilitado("BPrev"));
    }

    void quitar_terceraYSegunda_quedaUnaConAnteriorEncendido()
    {
        Escenario e;
        QVERIFY(e.cargar());
        e.escanear(3);
        e.p.clic("BDelete");
        QCOMPARE(e.actual(), qint16(1));
        QCOMPARE(e.etiqueta(), QStringLiteral("Imagen 1 (101 x 201 x 1 bpp)"));
        e.p.clic("BDelete");
        QCOMPARE(e.actual(), qint16(0));
        QCOMPARE(e.contador(), QStringLiteral("1"));
        QCOMPARE(e.etiqueta(), QStringLiteral("Imagen 0 (100 x 200 x 1 bpp)"));
        QVERIFY(e.habilitado("BPrev")); // a removal leaves the stepping buttons alone
        e.p.clic("BPrev");
        QCOMPARE(e.actual(), qint16(0));
        QVERIFY(!e.habilitado("BPrev"));
    }

    void quitar_primera_muestraLaSiguiente()
    {
        Escenario e;
        QVERIFY(e.cargar());
        e.escanear(3);
        e.p.clic("BPrev");
        e.p.clic("BPrev");
        e.p.clic("BDelete");
        QCOMPARE(e.actual(), qint16(0));
        QCOMPARE(e.contador(), QStringLiteral("2"));
        QCOMPARE(e.etiqueta(), QStringLiteral("Imagen 0 (101 x 201 x 1 bpp)"));
    }

    void quitar_unica_apagaTodo()
    {
        Escenario e;
        QVERIFY(e.cargar());
        e.escanear(1);
        e.p.clic("BDelete");
        QCOMPARE(e.contador(), QStringLiteral("0"));
        QCOMPARE(e.etiqueta(), QString());
        QVERIFY(!e.hayImagen());
        for (const char* boton : {"BPrev", "BNext", "BUpload", "BDelete"})
            QVERIFY2(!e.habilitado(boton), boton);
        QVERIFY(e.p.mensajes.cajas().isEmpty());
        // Nothing held, nothing to lose: closing does not ask.
        QVERIFY(!e.p.global.CambiosPendientes);
        QVERIFY(e.p.cerrar());
    }

    void quitar_rechazado_muestraElTextoYNoCambiaNada()
    {
        Escenario e;
        QVERIFY(e.cargar());
        e.escanear(2);
        const QString antes = e.etiqueta();
        e.escaner->resultadosQuitar.enqueue(0);
        e.p.clic("BDelete");
        QCOMPARE(e.p.mensajes.resumen(),
                 QStringList{QStringLiteral("simple|No se pudo quitar la hoja 1.|")});
        QCOMPARE(e.etiqueta(), antes);
        QCOMPARE(e.contador(), QStringLiteral("2"));
        QCOMPARE(e.actual(), qint16(1));
    }

    void quitar_duranteElEscaneo_noQuitaNada()
    {
        Escenario e;
        QVERIFY(e.cargar());
        e.escanear(2);
        e.escaner->escaneandoForzado = true;
        e.p.ventana().findChild<VisorPaginas*>()->BDelete_Click();
        QCOMPARE(e.escaner->NumeroPaginas(), 2);
    }

    void lienzo_ajustaSinDeformarYBitonalNitido()
    {
        QImage bitonal(2550, 3300, QImage::Format_Mono);
        bitonal.fill(1);
        for (int y = 0; y < bitonal.height(); y += 3)
            for (int x = 0; x < bitonal.width(); ++x)
                bitonal.setPixel(x, y, 0);
        const QImage reducida = LienzoPagina::ajustar(bitonal, QSize(400, 400));
        QCOMPARE(reducida.size(), QSize(309, 400));
        // No grey: every pixel is pure black or pure white.
        const QImage rgb = reducida.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y)
            for (int x = 0; x < rgb.width(); ++x) {
                const QRgb c = rgb.pixel(x, y);
                QVERIFY(c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255));
            }

        QImage color(1000, 500, QImage::Format_RGB32);
        color.fill(Qt::red);
        QCOMPARE(LienzoPagina::ajustar(color, QSize(300, 300)).size(), QSize(300, 150));
        QVERIFY(LienzoPagina::ajustar(color, QSize()).isNull());
    }

    void lienzo_escalaUnaVezPorHojaYTamano()
    {
        QLabel etiqueta;
        etiqueta.resize(300, 400);
        etiqueta.show();
        QVERIFY(QTest::qWaitForWindowExposed(&etiqueta));
        LienzoPagina lienzo(etiqueta);
        QImage color(2550, 3300, QImage::Format_RGB32);
        color.fill(Qt::blue);
        lienzo.mostrar(color);
        QCOMPARE(lienzo.escalados(), 1);
        for (int i = 0; i < 5; ++i)
            etiqueta.repaint();
        QCOMPARE(lienzo.escalados(), 1);
        etiqueta.resize(200, 300);
        QCOMPARE(lienzo.escalados(), 2);
        QVERIFY(etiqueta.pixmap().width() <= 200 && etiqueta.pixmap().height() <= 300);
        const auto centro = [&etiqueta] {
            const QImage vista = etiqueta.pixmap().toImage();
            return vista.pixelColor(vista.width() / 2, vista.height() / 2);
        };
        QTRY_COMPARE(centro(), QColor(Qt::blue));

        // The picture made off the UI thread for a page no longer shown never replaces the one
        // shown now: the clerk would remove a page they were not looking at.
        QImage verde(color.size(), QImage::Format_RGB888);
        verde.fill(Qt::green);
        lienzo.mostrar(color);
        lienzo.mostrar(verde);
        QImage rojo(300, 400, QImage::Format_RGB32);
        rojo.fill(Qt::red);
        lienzo.mostrar(rojo);
        QTest::qWait(200);
        QCOMPARE(centro(), QColor(Qt::red));
    }
};

QTEST_MAIN(PruebaVisorPaginas)
#include "tst_VisorPaginas.moc"
