#include "PuestoPrueba.h"

#include "components/tiff/LectorTiff.h"
#include "transfer/FrmSalida.h"

using namespace std::chrono_literals;

namespace {
struct Cliente
{
    double numero;
    QString nombre;
};
const QList<Cliente> kClientes{{kCliente, kNombre},
                               {kVecino, QStringLiteral("MORALES IBARRA LUIS")},
                               {4713, QStringLiteral("MORALES IBARRA ANA")},
                               {4714, QStringLiteral("MORALES IBARRA JUAN")}};

// What the outbox is asked to live through while documents wait.
enum class Caso
{
    ServidorVuelve,     // the server comes back in the same run
    ProgramaMuere,      // killed while they wait; the server comes back after the restart
    OtraEstacionAgrega, // another workstation adds to the same document meanwhile
};
} // namespace

Q_DECLARE_METATYPE(Caso)

// The image server away for a while, on the real workstation: each save puts its document in
// the outbox and the clerk goes on with the next customer; once the server is back, the outbox
// stores and flags each document once, under its own case file.
class PruebaBandejaSalida : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConfigSanePrueba> sane_;

    static void escanear(PuestoPrueba& e, const Cliente& cliente, int hojas, double folio = 0)
    {
        e.escanearPara(cliente.nombre, cliente.numero, hojas, folio);
    }

private slots:
    void initTestCase()
    {
        sane_ = std::make_unique<ConfigSanePrueba>();
        QVERIFY(sane_->valida());
        QLocale::setDefault(QLocale::c());
    }

    void losDocumentosEsperanYSeEnvianUnaVez_data()
    {
        QTest::addColumn<Caso>("caso");
        QTest::newRow("el servidor vuelve") << Caso::ServidorVuelve;
        QTest::newRow("el programa muere mientras esperan") << Caso::ProgramaMuere;
        QTest::newRow("otra estación agrega al mismo documento") << Caso::OtraEstacionAgrega;
    }
    void losDocumentosEsperanYSeEnvianUnaVez()
    {
        QFETCH(Caso, caso);
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        for (const Cliente& cliente : kClientes.mid(2)) {
            BaseDatosPrueba::Cliente fila;
            fila.numero = cliente.numero;
            fila.nombre = cliente.nombre;
            e.p.bd().cliente(fila);
        }
        // Another workstation adds to a stored document of the first customer.
        const bool otra = caso == Caso::OtraEstacionAgrega;
        const double guardado = otra ? e.expedienteConNota() : 0;
        if (otra)
            QVERIFY(EscritorTiff::agregarImagen(e.remoto(NumeroPlano(guardado) + "N.tif"),
                                                QImage(100, 100, QImage::Format_Mono), 50));
        // A try comes this long after a document is put in; it doubles after each failure.
        e.p.entorno.pausaSalida = otra ? 60s : 300ms;
        QVERIFY(e.arrancar());
        e.servidor.matar();

        const int documentos = otra ? 1 : 3;
        for (int i = 0; i < documentos; ++i) {
            e.p.mensajes.responder(true); // adding to the stored document
            escanear(e, kClientes[i], i + 1, guardado);
            e.p.clic("BUpload");
            // Told as before: the type's document could not be fetched, nor the save go; and a
            // stored document asks before the pages are added to it.
            QVERIFY2(e.cajas().size() == (otra ? 5 : 2), qPrintable(e.cajas().join('\n')));
            e.verificarEnEspera(i + 1);
            // Not stored yet: neither stored nor missing, in the list and in the marks. A
            // stored one stays stored.
            QCOMPARE(e.celda(e.sesion().FolioActual, QStringLiteral("Nota Venta")),
                     otra ? QStringLiteral("Sí") : QStringLiteral("En espera"));
            QCOMPARE(e.visible("nOK"), otra);
            QVERIFY(!e.visible("nFa"));
            e.p.mensajes.limpiar();
        }
        if (otra) {
            // The server back; meanwhile another workstation stores a page of its own in the
            // same document, before the outbox's next try.
            QVERIFY(e.servidor.reiniciar());
            QVERIFY(EscritorTiff::agregarImagen(e.remoto(NumeroPlano(guardado) + "N.tif"),
                                                QImage(120, 100, QImage::Format_Mono), 50));
            // Picking the type again shows the stored document with the waiting page after it.
            e.p.visor.abiertos.clear();
            e.p.clic("OpcSolicitud");
            e.p.clic("OpcNota");
            QVERIFY(!e.p.visor.abiertos.isEmpty());
            QVERIFY(e.p.visor.abiertos.last().endsWith(QStringLiteral("esperaN.tif")));
            QCOMPARE(EscritorTiff::contarPaginas(e.p.visor.abiertos.last()), 3);
            QVERIFY2(e.texto("LblEstatus")
                         .endsWith(QStringLiteral("1 hoja espera su envío y se muestra al final.")),
                     qPrintable(e.texto("LblEstatus")));
            e.p.mensajes.limpiar();
        }
        // The window goes on with a fourth customer, whose pages stay held.
        escanear(e, kClientes[3], 1);
        QCOMPARE(e.cajas(), QStringList{});

        if (caso == Caso::ProgramaMuere) {
            e.p.mensajes.responder(true); // the offer of the fourth customer's page
            QVERIFY(e.caerYArrancar());
            // Only the held page is offered: the waiting documents are the outbox's.
            QCOMPARE(e.cajas().size(), 1);
            QVERIFY2(e.cajas().first().contains(QStringLiteral("1 hoja escaneada del cliente "
                                                               "4714")),
                     qPrintable(e.cajas().first()));
            QCOMPARE(e.paginas(), 1);
            QTRY_COMPARE(e.texto("LblSalida").left(32),
                         QStringLiteral("3 documentos en espera de envío"));
            e.p.mensajes.limpiar();
        }
        if (!otra)
            QVERIFY(e.servidor.reiniciar());
        else
            e.espera().enviarAhora();
        // Within the pause, by itself.
        QTRY_COMPARE_WITH_TIMEOUT(e.espera().pendientes(), 0, 8000);
        QCOMPARE(e.cajas(), QStringList{});
        QTRY_VERIFY(!e.visible("LblSalida"));

        // Each document once, under its own customer's case file, flagged.
        for (int i = 0; i < documentos; ++i) {
            const QVariant folio = otra ? QVariant(guardado)
                                        : e.valor(QStringLiteral("SELECT expediente FROM "
                                                                 "Expedientes_ZR WHERE cliente = "
                                                                 "%1")
                                                      .arg(NumeroPlano(kClientes[i].numero)));
            QVERIFY(!folio.isNull());
            const QString remoto = e.remoto(NumeroPlano(folio.toDouble()) + "N.tif");
            QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio.toDouble()).toInt(), 1);
            if (otra) {
                // Stored first, the other workstation's page, then this one's.
                QCOMPARE(EscritorTiff::contarPaginas(remoto), 3);
                QCOMPARE(LectorTiff::leer(remoto, 0).width(), 100);
                QCOMPARE(LectorTiff::leer(remoto, 1).width(), 120);
            } else {
                QCOMPARE(EscritorTiff::contarPaginas(remoto), i + 1);
            }
        }
        QCOMPARE(e.filas(), otra ? 1 : 3);
        // The window still shows the fourth customer with the page held.
        QCOMPARE(e.texto("TxtNumero"), QStringLiteral("4714"));
        QCOMPARE(e.paginas(), 1);
    }

    // The outbox listed, tried on request, one document discarded after a question that names
    // it; closing says what still waits, and that it is not lost.
    void laBandejaSeVeYSeControla()
    {
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        e.p.entorno.pausaSalida = 60s;
        QVERIFY(e.arrancar());
        e.servidor.matar();
        for (int i = 0; i < 2; ++i) {
            escanear(e, kClientes[i], i + 1);
            e.p.clic("BUpload");
            e.p.mensajes.limpiar();
        }
        e.verificarEnEspera(2);
        QVERIFY(e.visible("BSalida"));

        bool visto = false;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<FrmSalida*>(QApplication::activeModalWidget()));
            auto* ventana = qobject_cast<FrmSalida*>(QApplication::activeModalWidget());
            const auto cerrar = qScopeGuard([ventana] { ventana->reject(); });
            auto* lista = ventana->findChild<QTableWidget*>(QStringLiteral("Lista"));
            QCOMPARE(lista->rowCount(), 2);
            const auto celda = [lista](int fila, int columna) {
                return lista->item(fila, columna)->text();
            };
            QCOMPARE(celda(0, 0), QStringLiteral("4711 MORALES IBARRA ROSA"));
            QCOMPARE(celda(1, 0), QStringLiteral("4712 MORALES IBARRA LUIS"));
            QCOMPARE(celda(0, 2), QStringLiteral("Nota Venta"));
            QCOMPARE(celda(1, 3), QStringLiteral("2"));
            QVERIFY(!celda(0, 4).isEmpty());
            // Tried now: the server is still away, and the list says why.
            QTest::mouseClick(ventana->findChild<QPushButton*>(QStringLiteral("BEnviar")),
                              Qt::LeftButton);
            QTRY_VERIFY(!lista->item(0, 6)->text().isEmpty());
            QVERIFY2(celda(0, 6).contains(QStringLiteral("servidor")), qPrintable(celda(0, 6)));
            QVERIFY(!celda(0, 5).isEmpty());
            // The second one goes, on a Yes to a question that names its pages and owner.
            lista->selectRow(1);
            e.p.mensajes.responder(true);
            QTest::mouseClick(ventana->findChild<QPushButton*>(QStringLiteral("BDescartar")),
                              Qt::LeftButton);
            QCOMPARE(e.p.mensajes.cajas().size(), 1);
            QVERIFY2(e.p.mensajes.cajas().first().mensaje.contains(
                         QStringLiteral("2 hojas escaneadas del cliente 4712 MORALES IBARRA LUIS")),
                     qPrintable(e.p.mensajes.cajas().first().mensaje));
            QCOMPARE(lista->rowCount(), 1);
            visto = true;
        });
        // Laid out once shown, as the clerk sees it.
        QTRY_VERIFY(e.p.control<QPushButton>("BSalida")->width() > 0);
        e.p.clic("BSalida");
        QVERIFY(visto);
        e.verificarEnEspera(1);

        // Closing says what waits; the next start sends it.
        e.p.mensajes.limpiar();
        QVERIFY(e.p.ventana().close());
        QCOMPARE(e.cajas(), QStringList{QStringLiteral(
                                "informacion|Hay 1 documento en espera de envío al servidor "
                                "de imágenes. No se pierde: se enviará la próxima "
                                "vez que inicie el programa.|Documentos en espera "
                                "de envío")});
        QVERIFY(e.servidor.reiniciar());
        QVERIFY(e.arrancar());
        QTRY_COMPARE(e.espera().pendientes(), 0);
        QCOMPARE(e.valor(QStringLiteral("SELECT COUNT(*) FROM Expedientes_ZR WHERE imagen_NOTA = "
                                        "1 AND cliente = 4711"))
                     .toInt(),
                 1);
        QCOMPARE(e.valor(QStringLiteral("SELECT COUNT(*) FROM Expedientes_ZR WHERE imagen_NOTA = "
                                        "1 AND cliente = 4712"))
                     .toInt(),
                 0);
        QCOMPARE(e.remotos().size(), 1);
    }
};

QTEST_MAIN(PruebaBandejaSalida)
#include "tst_BandejaSalida.moc"
