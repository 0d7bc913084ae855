#include "app/FrmEscaneo.h"
#include "search/FrmBusqueda_Cliente.h"
#include "support/VentanaPrueba.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

namespace {
// Runs `paso` on the search dialog once the customer button has opened it modally.
void enElDialogo(std::function<void(FrmBusqueda_Cliente&)> paso)
{
    QTimer::singleShot(0, [paso] {
        QTRY_VERIFY(qobject_cast<FrmBusqueda_Cliente*>(QApplication::activeModalWidget()));
        auto* dialogo = qobject_cast<FrmBusqueda_Cliente*>(QApplication::activeModalWidget());
        paso(*dialogo);
        if (dialogo->isVisible())
            dialogo->reject(); // a failed step must not leave the test waiting
    });
}
} // namespace

// The search dialog as the main window opens it: modal over the window, with the centre the
// window loaded from the branch's settings.
class PruebaBusquedaDesdeVentana : public QObject
{
    Q_OBJECT

private slots:
    void elegirCliente_llenaLaCabeceraYGuardaElTexto()
    {
        VentanaPrueba p;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().sucursal(QStringLiteral("S09"), QStringLiteral("MTY"));
        p.bd().servidorImagenes({});
        BaseDatosPrueba::Cliente propio;
        propio.numero = 120;
        propio.nombre = QStringLiteral("PEREZ GOMEZ ANA");
        p.bd().cliente(propio);
        BaseDatosPrueba::Cliente ajeno = propio;
        ajeno.numero = 930;
        ajeno.sucursal = QStringLiteral("S09");
        p.bd().cliente(ajeno);
        QVERIFY(p.cargar());

        int filas = -1;
        enElDialogo([&filas](FrmBusqueda_Cliente& d) {
            auto* texto = d.findChild<QLineEdit*>(QStringLiteral("TxtNombre"));
            QTRY_VERIFY(texto->hasFocus()); // the start-up timer puts it there
            QTest::keyClicks(texto, QStringLiteral("perez gomez"));
            QTest::mouseClick(d.findChild<QAbstractButton*>(QStringLiteral("cmdBuscar")),
                              Qt::LeftButton);
            filas = d.findChild<QTableWidget*>(QStringLiteral("Grid1"))->rowCount();
            d.Grid1_DblClick(1, 2);
        });
        p.clic("CmdCLientes");

        QCOMPARE(filas, 1); // only the branch's own centre
        QVERIFY(p.mensajes.cajas().isEmpty());
        QCOMPARE(p.global.ClienteSeleccionado.NumeroCliente, 120.0);
        QCOMPARE(p.control<QLineEdit>("TxtNumero")->text(), QStringLiteral("120"));
        QCOMPARE(p.control<QLineEdit>("TxtCliente")->text(), QStringLiteral("PEREZ GOMEZ ANA"));
        QFile historial(p.entorno.archivoHistorial);
        QVERIFY(historial.open(QIODevice::ReadOnly));
        QCOMPARE(historial.readAll(), QByteArray("PEREZ GOMEZ\r\n"));
    }

    void cerrarSinElegir_noCambiaNada()
    {
        VentanaPrueba p;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        QVERIFY(p.cargar());
        const QStringList antes = p.sentencias();
        enElDialogo([](FrmBusqueda_Cliente& d) { d.reject(); });
        p.clic("CmdCLientes");
        QCOMPARE(p.global.ClienteSeleccionado.NumeroCliente, 0.0);
        QVERIFY(p.control<QLineEdit>("TxtCliente")->text().isEmpty());
        QCOMPARE(p.sentencias(), antes);
        QVERIFY(p.mensajes.cajas().isEmpty());
    }
};

QTEST_MAIN(PruebaBusquedaDesdeVentana)
#include "tst_BusquedaDesdeVentana.moc"
