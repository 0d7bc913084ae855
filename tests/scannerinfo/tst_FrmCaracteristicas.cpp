#include "app/FrmEscaneo.h"
#include "scannerinfo/FrmCaracteristicas.h"
#include "support/EscanerGuionado.h"
#include "support/VentanaPrueba.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {
using Tipo = MensajesGrabados::Tipo;

// What the report window showed while it was open.
struct Vista
{
    bool abierta = false;
    bool modal = false;
    QWidget* duena = nullptr;
    QString titulo;
    QString texto;
    bool soloLectura = false;
    bool fija = false;
};

// Waits for the modal window, reads it and closes it with its own button.
void leerYCerrar(Vista& vista)
{
    auto* espera = new QTimer;
    espera->setInterval(10);
    QObject::connect(espera, &QTimer::timeout, [espera, &vista] {
        auto* dialogo = qobject_cast<FrmCaracteristicas*>(QApplication::activeModalWidget());
        if (!dialogo)
            return;
        espera->stop();
        espera->deleteLater();
        auto* texto = dialogo->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        vista.abierta = true;
        vista.modal = dialogo->isModal();
        vista.duena = dialogo->parentWidget();
        vista.titulo = dialogo->windowTitle();
        vista.texto = texto ? texto->toPlainText() : QStringLiteral("<sin Text1>");
        vista.soloLectura = texto && texto->isReadOnly();
        vista.fija = texto && QFontInfo(texto->font()).fixedPitch();
        QTest::mouseClick(dialogo->findChild<QPushButton*>(QStringLiteral("BExit")),
                          Qt::LeftButton);
    });
    espera->start();
}
} // namespace

// The report button of the main window opens the report of the current source modally.
class PruebaFrmCaracteristicas : public QObject
{
    Q_OBJECT

private slots:
    void botonInformacion_abreElInformeModal_data()
    {
        QTest::addColumn<bool>("abre");
        QTest::newRow("fuente disponible") << true;
        QTest::newRow("fuente que no abre") << false;
    }

    void botonInformacion_abreElInformeModal()
    {
        QFETCH(bool, abre);
        VentanaPrueba p;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        EscanerGuionado* guion = nullptr;
        p.entorno.crearEscaner = [&guion, abre] {
            auto e = std::make_unique<EscanerGuionado>();
            e->fuentes = {QStringLiteral("Escaner de mostrador")};
            e->FijarResolucion(200);
            e->abrir = abre ? 1 : 0;
            if (!abre)
                e->FijarError(9, QStringLiteral("Escáner desconectado."));
            guion = e.get();
            return e;
        };
        QVERIFY(p.cargar());
        QVERIFY(guion);
        guion->llamadas.clear();
        // Enabling the scanning tab and the button belongs to other features; here only what
        // the button opens counts.
        auto* boton = p.control<QPushButton>("B_GetSourceInfo");
        auto* tabs = p.control<QTabWidget>("TabScan");
        tabs->setEnabled(true);
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(boton))
                tabs->setCurrentIndex(i);
        }
        boton->setEnabled(true);
        QVERIFY(boton->isVisible());

        Vista vista;
        leerYCerrar(vista);
        p.clic("B_GetSourceInfo");

        QVERIFY2(vista.abierta,
                 qPrintable(guion->llamadas.join(",") + " / " + p.mensajes.resumen().join(",")));
        QVERIFY(vista.modal);
        QCOMPARE(vista.duena, static_cast<QWidget*>(&p.ventana()));
        QCOMPARE(vista.titulo, QStringLiteral("Caracteristicas del Dispositivo"));
        QVERIFY(vista.soloLectura);
        QVERIFY(vista.fija);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(p.ventana().findChildren<FrmCaracteristicas*>().isEmpty());
        if (abre) {
            // Shown with plain line ends.
            QVERIFY(vista.texto.startsWith(QStringLiteral(
                "======================================\n\nDevice name: Escaner de mostrador\n")));
            QVERIFY(vista.texto.contains(QStringLiteral("\nCurrent resolution:  200 dpi\n")));
            QVERIFY(!vista.texto.contains(QLatin1Char('\r')));
            QVERIFY(p.mensajes.cajas().isEmpty());
            QCOMPARE(guion->llamadas.last(), QStringLiteral("CerrarFuente"));
        } else {
            QVERIFY(vista.texto.isEmpty());
            QCOMPARE(p.mensajes.cajas().size(), 1);
            QCOMPARE(p.mensajes.cajas()[0].tipo, Tipo::Simple);
            QCOMPARE(p.mensajes.cajas()[0].mensaje,
                     QStringLiteral("Can't open Data Source: Escáner desconectado."));
            QVERIFY(!guion->llamadas.contains(QStringLiteral("CerrarFuente")));
        }
    }
};

QTEST_MAIN(PruebaFrmCaracteristicas)
#include "tst_FrmCaracteristicas.moc"
