#include "app/FrmEscaneo.h"
#include "app/NombreAplicacion.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/TipoDocumento.h"
#include "support/VentanaPrueba.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace {
const QString kLista = QStringLiteral(
    "SELECT e.expediente 'Expediente', erp_qor.dbo.fecha_corta(e.fecha) 'Fecha', "
    "ERP_QOR.dbo.nombre_sucursal(e.sucursal) 'Sucursal', p.clave_pedido 'Venta', "
    "e.es_prestamo'Prestamo', p.estado_actual 'Estado Venta', e.imagen_solicitud 'Solicitud', "
    "e.imagen_talon 'Recibo Pago', e.imagen_IFE 'Identificación', e.imagen_carta "
    "'C.Sindicato', e.imagen_nota 'Nota Venta', e.imagen_extra 'Extras', e.imagen_entrega "
    "'Entrega', e.estado_actual 'Estado Expediente' FROM BRAX.dbo.expedientes_ZR E LEFT JOIN "
    "Pedidos_clientes P ON e.pedido = p.pedido WHERE e.cliente = 1234 order by e.fecha DESC ");

QString leerUno(int folio)
{
    return QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE expediente = %1 ")
        .arg(folio);
}

// Customer 1234 with three case files, listed newest first as folios 2, 1, 3: folio 2 assigned
// to sale V-9001 (state stored with blanks around it), folio 1 with S and N stored and a loan.
// Customer 555 has one case file of its own; customer 777 has none.
class Escenario
{
public:
    explicit Escenario(bool banderaNula = false)
    {
        BaseDatosPrueba& bd = p.bd();
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.servidorImagenes({});
        bd.venta(9001, 1234, QStringLiteral("S01"), QStringLiteral("V-9001"));
        const std::tuple<double, const char*, QVariant, const char*> expedientes[] = {
            {1234, "Capturado", {}, "2024-01-10 09:00"},
            {1234, " Asignado ", 9001, "2024-03-05 10:00"},
            {1234, "Capturado", {}, "2023-12-01 08:00"},
            {555, "Capturado", {}, "2024-06-01 08:00"}};
        for (const auto& [cliente, estado, pedido, fecha] : expedientes)
            bd.expediente(cliente, QStringLiteral("S01"), QString::fromUtf8(estado), pedido,
                          QString::fromUtf8(fecha));
        auto ejecutar = [&](const char* sentencia) {
            bd.conexion().ejecutar(QString::fromUtf8(sentencia));
        };
        ejecutar("UPDATE Expedientes_ZR SET imagen_solicitud = 1, imagen_NOTA = 1,"
                 " es_prestamo = 1 WHERE expediente = 1");
        if (banderaNula) {
            // A central table without the flags' defaults: the copy keeps rows, drops NOT NULL.
            ejecutar("CREATE TABLE copia AS SELECT * FROM Expedientes_ZR");
            ejecutar("DROP TABLE Expedientes_ZR");
            ejecutar("ALTER TABLE copia RENAME TO Expedientes_ZR");
            ejecutar("UPDATE Expedientes_ZR SET imagen_solicitud = NULL WHERE expediente = 1");
        }
        QVERIFY(p.cargar());
        lista = p.ventana().findChild<ListaExpedientes*>();
        QVERIFY(lista);
        busquedaReal = lista->mostrarBusqueda;
    }

    // Presses the customer button; the dialog "chooses" numero, or closes without a choice (0).
    void elegir(double numero)
    {
        lista->mostrarBusqueda = [this, numero] {
            if (numero > 0)
                p.global.ClienteSeleccionado = {
                    numero, QStringLiteral("pérez gómez juan"), QStringLiteral("PEGJ800101AB1"),
                    QStringLiteral("HIDALGO 10, COL. CENTRO"), QStringLiteral("3312345678")};
        };
        p.clic("CmdCLientes");
    }
    QTableWidget* rejilla() { return p.control<QTableWidget>("iExpedientes"); }
    QString destino() { return p.control<QLabel>("LblDestino")->text(); }
    int veces(const QString& sentencia) { return p.sentencias().count(sentencia); }
    void crearArchivosTrabajo()
    {
        for (const TipoDocumento& tipo : TipoDocumento::todos())
            QFile(tipo.archivoTrabajo()).open(QIODevice::WriteOnly);
    }
    bool quedanArchivosTrabajo()
    {
        for (const TipoDocumento& tipo : TipoDocumento::todos())
            if (QFile::exists(tipo.archivoTrabajo()))
                return true;
        return false;
    }
    // Letters whose present mark is shown; checks that each pair shows exactly one mark.
    QString marcasPresentes()
    {
        QString letras;
        for (const TipoDocumento& tipo : TipoDocumento::todos()) {
            const bool presente = !p.control<QLabel>(tipo.marcaPresente)->isHidden();
            if (presente == !p.control<QLabel>(tipo.marcaFalta)->isHidden())
                return QStringLiteral("ambas marcas iguales en ") + tipo.letra;
            if (presente)
                letras += tipo.letra;
        }
        return letras;
    }

    VentanaPrueba p;
    ListaExpedientes* lista = nullptr;
    std::function<void()> busquedaReal;
};
} // namespace

// The case-file list of the main window and the choice of a case file, on the real window
// offscreen over the embedded database.
class PruebaListaExpedientes : public QObject
{
    Q_OBJECT

private slots:
    void elegirCliente_llenaEncabezadoYListaLoMasNuevoPrimero()
    {
        Escenario e;
        e.p.ventana().resize(1366, 768); // a branch's usual screen
        e.crearArchivosTrabajo();
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        e.p.ventana().sesion().FolioActual = 3;
        e.p.global.EstadoExpediente = QStringLiteral("Asignado");

        e.elegir(1234);

        QCOMPARE(e.p.control<QLineEdit>("TxtNumero")->text(), QStringLiteral("1234"));
        QCOMPARE(e.p.control<QLineEdit>("TxtCliente")->text(), QStringLiteral("PÉREZ GÓMEZ JUAN"));
        QCOMPARE(e.p.control<QLineEdit>("TxtRFC")->text(), QStringLiteral("PEGJ800101AB1"));
        QCOMPARE(e.p.control<QLineEdit>("TxtTelefono")->text(), QStringLiteral("3312345678"));
        QCOMPARE(e.p.control<QLineEdit>("TxtDomicilio")->text(),
                 QStringLiteral("HIDALGO 10, COL. CENTRO"));
        QVERIFY(e.p.control<QTabWidget>("TabScan")->isEnabled());
        QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 0);
        QCOMPARE(e.p.ventana().sesion().FolioActual, 0.0);
        QCOMPARE(e.p.global.EstadoExpediente, QStringLiteral("Capturado"));
        QVERIFY(!e.quedanArchivosTrabajo());
        QCOMPARE(e.p.sentencias().last(), kLista);
        QCOMPARE(e.destino(), QStringLiteral("Expediente nuevo de PÉREZ GÓMEZ JUAN"));

        QTableWidget* r = e.rejilla();
        auto fila = [r](int f) { // -1: the headers
            QStringList celdas;
            for (int i = 0; i < r->columnCount(); ++i)
                celdas << (f < 0 ? r->horizontalHeaderItem(i) : r->item(f, i))->text();
            return celdas.join(QLatin1Char('|'));
        };
        const QStringList esperadas{
            QStringLiteral("Expediente|Fecha|Sucursal|Venta|Prestamo|Estado Venta|Solicitud|"
                           "Recibo Pago|Identificación|C.Sindicato|Nota Venta|Extras|Entrega|"
                           "Estado Expediente"),
            QStringLiteral("2|05/03/2024|Guadalajara Centro|V-9001|No|Surtido|No|No|No|No|No|No|No|"
                           " Asignado "),
            QStringLiteral("1|10/01/2024|Guadalajara Centro||Sí||Sí|No|No|No|Sí|No|No|Capturado"),
            QStringLiteral("3|01/12/2023|Guadalajara Centro||No||No|No|No|No|No|No|No|Capturado")};
        QCOMPARE(r->rowCount(), 3);
        for (int f = -1; f < 3; ++f)
            QCOMPARE(fila(f), esperadas.at(f + 1));
        // The values as read stay behind what is shown.
        QCOMPARE(r->item(1, 6)->data(Qt::UserRole).toInt(), 1);
        QVERIFY(r->item(1, 3)->data(Qt::UserRole).isNull());
        QCOMPARE(r->item(0, 0)->background().color(), QColor(255, 255, 200));
        QCOMPARE(r->item(1, 0)->background().color(), QColor(Qt::white));
        // No header is cut, the last one included, and all of them fit the window.
        for (int i = 0; i < r->columnCount(); ++i)
            QVERIFY2(r->columnWidth(i) >= r->horizontalHeader()->sectionSizeHint(i),
                     qPrintable(r->horizontalHeaderItem(i)->text()));
        QCoreApplication::processEvents();
        QCOMPARE(r->horizontalScrollBar()->maximum(), 0);

        // A customer without case files: no rows, the headers of the last listing, no message.
        e.elegir(777);
        QCOMPARE(r->rowCount(), 0);
        QCOMPARE(fila(-1), esperadas.first());
        QVERIFY(e.p.mensajes.cajas().isEmpty());
    }

    void dialogoSinEleccion_repiteElClienteAnteriorONadaHace()
    {
        Escenario e;
        // The real dialog, closed without a choice before any customer: nothing happens.
        QString abierto;
        QTimer::singleShot(0, [&] {
            QWidget* dialogo = QApplication::activeModalWidget();
            abierto = dialogo ? QString::fromLatin1(dialogo->metaObject()->className()) : QString();
            if (dialogo && dialogo->parentWidget() == &e.p.ventana())
                dialogo->close();
        });
        e.lista->mostrarBusqueda = e.busquedaReal;
        e.p.clic("CmdCLientes");
        QCOMPARE(abierto, QStringLiteral("FrmBusqueda_Cliente"));
        QVERIFY(!e.p.control<QTabWidget>("TabScan")->isEnabled());
        QVERIFY(e.p.control<QLineEdit>("TxtCliente")->text().isEmpty());
        QCOMPARE(e.veces(kLista), 0);
        QVERIFY(e.p.global.EstadoExpediente.isEmpty());

        e.elegir(1234);
        e.lista->iExpedientes_Click(2);
        e.crearArchivosTrabajo();
        e.elegir(0); // closed without a choice: the earlier customer again
        QCOMPARE(e.p.ventana().sesion().FolioActual, 0.0);
        QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 0);
        QCOMPARE(e.p.global.EstadoExpediente, QStringLiteral("Capturado"));
        QVERIFY(!e.quedanArchivosTrabajo());
        QCOMPARE(e.veces(kLista), 2);
        QCOMPARE(e.rejilla()->rowCount(), 3);
    }

    void elegirFila_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<bool>("banderaNula");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("estado");
        QTest::addColumn<QString>("presentes");
        QTest::addColumn<bool>("prestamo");
        QTest::addColumn<QString>("destino");
        QTest::newRow("asignado") << 1 << false << "Expediente Numero:2 Venta:  V-9001"
                                  << "Asignado"
                                  << "" << false << "Expediente 2 (venta V-9001)";
        QTest::newRow("dos guardados") << 2 << false << "Expediente Numero:1 Venta:  "
                                       << "Capturado"
                                       << "SN" << true << "Expediente 1";
        QTest::newRow("bandera nula") << 2 << true << "Expediente Numero:1 Venta:  "
                                      << "Capturado"
                                      << "N" << true << "Expediente 1";
    }

    void elegirFila()
    {
        QFETCH(int, fila);
        QFETCH(bool, banderaNula);
        QFETCH(QString, titulo);
        QFETCH(QString, estado);
        QFETCH(QString, presentes);
        QFETCH(bool, prestamo);
        QFETCH(QString, destino);
        Escenario e(banderaNula);
        e.elegir(1234);
        const int folio = e.rejilla()->item(fila - 1, 0)->text().toInt();

        // Picking the same row twice runs the whole sequence twice.
        for (int vez = 1; vez <= 2; ++vez) {
            e.crearArchivosTrabajo();
            e.p.control<QTabWidget>("TabScan")->setCurrentIndex(0);
            e.p.control<QLabel>("eOK")->setVisible(true);
            e.p.control<QCheckBox>("chkPrestamo")->setEnabled(true);
            e.p.control<QCheckBox>("chkPrestamo")->setChecked(!prestamo);

            e.lista->iExpedientes_Click(fila);

            QCOMPARE(e.veces(leerUno(folio)), vez);
            QCOMPARE(e.p.ventana().sesion().FolioActual, double(folio));
            QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 1);
            QVERIFY(!e.quedanArchivosTrabajo());
            QCOMPARE(e.p.ventana().windowTitle(), titulo);
            QCOMPARE(e.p.global.EstadoExpediente, estado);
            QCOMPARE(e.marcasPresentes(), presentes);
            QCOMPARE(e.p.control<QCheckBox>("chkPrestamo")->isChecked(), prestamo);
            QVERIFY(!e.p.control<QCheckBox>("chkPrestamo")->isEnabled());
            QCOMPARE(e.destino(), destino);
            QCOMPARE(e.rejilla()->selectedItems().value(0)->row(), fila - 1);
        }
        QVERIFY(e.p.mensajes.cajas().isEmpty());

        // Another customer: the caption no longer names the case file picked before.
        e.elegir(555);
        QCOMPARE(e.p.ventana().windowTitle(), NombreAplicacion::titulo());
        QCOMPARE(e.p.ventana().sesion().FolioActual, 0.0);
        QCOMPARE(e.destino(), QStringLiteral("Expediente nuevo de PÉREZ GÓMEZ JUAN"));
        QVERIFY(e.rejilla()->selectedItems().isEmpty());
    }

    void expedienteBorradoTrasListar_avisaYBloqueaElEscaneo()
    {
        Escenario e;
        e.elegir(1234);
        const QString titulo = e.p.ventana().windowTitle();
        e.p.bd().conexion().ejecutar(
            QStringLiteral("DELETE FROM Expedientes_ZR WHERE expediente = 1"));
        e.p.control<QLabel>("sOK")->setVisible(true);
        e.p.control<QPushButton>("B_Acquire")->setEnabled(true);

        e.lista->iExpedientes_Click(2);

        QCOMPARE(e.p.mensajes.resumen(),
                 QStringList{QStringLiteral(
                     "error|No Existe Expediente Digitalizado|Falta de Expediente")});
        QCOMPARE(e.p.control<QLabel>("LblEstatus")->text(),
                 QStringLiteral("No Existe Expediente Digitalizado"));
        QCOMPARE(e.p.ventana().sesion().FolioActual, 1.0);
        QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 1);
        QCOMPARE(e.p.ventana().windowTitle(), titulo);
        QCOMPARE(e.marcasPresentes(), QString());
        QVERIFY(e.p.control<QCheckBox>("chkPrestamo")->isEnabled());
        // Nothing may be scanned and saved under a folio that no longer exists.
        QVERIFY(e.p.global.EstadoExpediente.isEmpty());
        QVERIFY(!e.p.control<QPushButton>("B_Acquire")->isEnabled());
        QCOMPARE(e.destino(), QStringLiteral("Expediente 1: ya no existe, elija otro expediente"));
    }

    void gestos_clicEIntroEligenFilasFueraDeRangoNada()
    {
        Escenario e;
        e.elegir(1234);
        const int sentencias = e.p.sentencias().size();
        for (const int fila : {0, -1, 4}) {
            e.lista->iExpedientes_Click(fila);
            QCOMPARE(e.p.ventana().sesion().FolioActual, 0.0);
        }
        QCOMPARE(e.p.sentencias().size(), sentencias);
        QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 0);

        // The click that highlights a row picks it, marks and loan box included.
        QTableWidget* r = e.rejilla();
        QTest::mouseClick(r->viewport(), Qt::LeftButton, {},
                          r->visualItemRect(r->item(1, 1)).center());
        QCOMPARE(e.p.ventana().sesion().FolioActual, 1.0);
        QCOMPARE(e.veces(leerUno(1)), 1);
        QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 1);
        QCOMPARE(e.marcasPresentes(), QStringLiteral("SN"));
        QVERIFY(e.p.control<QCheckBox>("chkPrestamo")->isChecked());
        QCOMPARE(e.destino(), QStringLiteral("Expediente 1"));

        // The second click of a clerk's double click lands on the tab the first one opened: it
        // picks no document type there.
        auto* opcion = e.p.control<QRadioButton>("OpcSolicitud");
        const ulong suelta = ulong(QTest::lastMouseTimestamp - QTest::mouseDoubleClickInterval);
        for (const QEvent::Type tipo : {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent segundo(tipo, QPointF(opcion->rect().center()),
                                opcion->mapToGlobal(QPointF(opcion->rect().center())),
                                Qt::LeftButton, Qt::LeftButton, {});
            segundo.setTimestamp(suelta + 150);
            QApplication::sendEvent(opcion, &segundo);
        }
        QVERIFY(e.p.ventana().sesion().LetraActual.isEmpty());
        QVERIFY(e.p.mensajes.cajas().isEmpty());
        e.p.clic("OpcSolicitud"); // a click of its own, later, does
        QCOMPARE(e.p.ventana().sesion().LetraActual, QStringLiteral("S"));

        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(0);
        r->setCurrentCell(2, 0);
        r->setFocus();
        QTest::keyClick(r, Qt::Key_Return);
        QCOMPARE(e.p.ventana().sesion().FolioActual, 3.0);
    }
};

QTEST_MAIN(PruebaListaExpedientes)
#include "tst_ListaExpedientes.moc"
