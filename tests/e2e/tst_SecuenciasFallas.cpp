#include "PuestoPrueba.h"

// Two faults in a row, on the real workstation: each sequence ends with the program killed and
// started again, and then every page scanned is either stored and flagged under its own
// customer's case file, or offered again and stored now. None is lost, none misfiled.
class PruebaSecuenciasFallas : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConfigSanePrueba> sane_;

    // The program dies and starts again. What it offers is taken back and saved: after it, the
    // case file of the customer holds the pages stored before and these, flagged, and a further
    // start offers nothing.
    static void alFinNadaSePierde(PuestoPrueba& e, int hojas, int antes = 0)
    {
        e.p.mensajes.limpiar();
        e.p.mensajes.responder(true); // the offer
        QVERIFY(e.caerYArrancar());
        if (hojas > 0) {
            QCOMPARE(e.p.mensajes.cajas().size(), 1);
            const auto& oferta = e.p.mensajes.cajas().first();
            QCOMPARE(oferta.titulo, QStringLiteral("Recuperar Hojas Escaneadas"));
            QVERIFY2(oferta.mensaje.contains(
                         QStringLiteral("%1 hojas escaneadas del cliente 4711 ").arg(hojas)),
                     qPrintable(oferta.mensaje));
            QCOMPARE(e.texto("TxtNumero"), NumeroPlano(kCliente));
            QCOMPARE(e.paginas(), hojas);
            QVERIFY(e.p.global.CambiosPendientes);
            e.p.global.ConfigServidorImagenes.tamano = 10240;
            e.p.mensajes.limpiar();
            e.p.mensajes.responder(true); // adding to a stored document, when there is one
            e.p.clic("BUpload");
            QCOMPARE(e.cajas().size(), antes > 0 ? 1 : 0);
        } else {
            QCOMPARE(e.cajas(), QStringList{});
        }
        QCOMPARE(e.paginas(), 0);
        const QVariant folio = e.valor(QStringLiteral(
            "SELECT MAX(expediente) FROM Expedientes_ZR WHERE imagen_NOTA = 1 AND cliente = 4711"));
        QVERIFY(!folio.isNull());
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(NumeroPlano(folio.toDouble()) + "N.tif")),
                 antes + hojas);
        QCOMPARE(
            e.valor(QStringLiteral("SELECT COUNT(*) FROM Expedientes_ZR WHERE cliente <> 4711"))
                .toInt(),
            0);
        e.p.mensajes.limpiar();
        QVERIFY(e.caerYArrancar());
        QCOMPARE(e.cajas(), QStringList{});
    }

private slots:
    void initTestCase()
    {
        sane_ = std::make_unique<ConfigSanePrueba>();
        QVERIFY(sane_->valida());
        QLocale::setDefault(QLocale::c());
    }

    // Refused for size, then another customer chosen: the question keeps the pages with their
    // own customer, and the next save cannot file them under the other one.
    void otroClienteTrasRechazoPorTamano()
    {
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(0), qPrintable(e.servidor.error()));
        e.escanearNota(2);
        e.p.clic("BUpload");
        QCOMPARE(e.cajas().size(), 1);
        QVERIFY(e.activo("CmdCLientes"));
        e.p.mensajes.limpiar();
        e.p.mensajes.responder(false);
        QCOMPARE(e.buscarCliente(QStringLiteral("MORALES IBARRA LUIS"), kVecino), 1);
        QCOMPARE(e.cajas().size(), 1);
        QVERIFY(e.cajas().first().endsWith(QStringLiteral("|Hojas sin Guardar")));
        QCOMPARE(e.texto("TxtNumero"), NumeroPlano(kCliente));
        QCOMPARE(e.p.global.ClienteSeleccionado.NumeroCliente, kCliente);
        QCOMPARE(e.paginas(), 2);
        alFinNadaSePierde(e, 2);
    }

    // The server down for the upload: the case file exists, its document does not, and the
    // document waits in the outbox. Killed then, the next start sends it.
    void envioFallidoYCaida()
    {
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        e.escanearNota(3);
        e.servidor.matar();
        e.p.clic("BUpload");
        QCOMPARE(e.cajas().size(), 2);
        QCOMPARE(e.filas(), 1);
        e.verificarEnEspera(1);
        QVERIFY(e.servidor.reiniciar());
        e.p.mensajes.limpiar();
        QVERIFY(e.caerYArrancar());
        QCOMPARE(e.cajas(), QStringList{});
        QTRY_COMPARE(e.espera().pendientes(), 0);
        alFinNadaSePierde(e, 0, 3);
        QCOMPARE(e.filas(), 1);
    }

    // A failed upload, then another customer chosen, then the server back: the document is
    // stored and flagged once, and choosing its customer again asks nothing.
    void envioFallidoOtroClienteYReintento()
    {
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        e.escanearNota(2);
        e.servidor.matar();
        e.p.clic("BUpload");
        e.verificarEnEspera(1);
        e.p.mensajes.limpiar();
        QCOMPARE(e.buscarCliente(QStringLiteral("MORALES IBARRA LUIS"), kVecino), 1);
        QCOMPARE(e.cajas(), QStringList{});
        QVERIFY(e.servidor.reiniciar());
        QVERIFY(e.enviarEspera());
        QCOMPARE(e.cajas(), QStringList{});
        // The window stays with the customer it shows.
        QCOMPARE(e.p.global.ClienteSeleccionado.NumeroCliente, kVecino);
        QCOMPARE(e.buscarCliente(kNombre), 1);
        QCOMPARE(e.cajas(), QStringList{});
        alFinNadaSePierde(e, 0, 2);
    }

    // "Desea Agregarlos?" answered No on a stored document: nothing is sent, the pages wait.
    void noAgregarAlDocumentoGuardado()
    {
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        const double folio = e.expedienteConNota();
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QImage hoja(400, 500, QImage::Format_Mono);
        hoja.fill(0);
        QVERIFY(EscritorTiff::agregarImagen(e.remoto(nombre), hoja, 50, nullptr));
        const QByteArray guardado = leerArchivo(e.remoto(nombre));
        e.escanearNota(2, folio);
        QVERIFY(e.sesion().DocumentoExiste);
        // The stored copy cannot be discarded from under the held pages.
        QVERIFY(!e.activo("nOK"));
        e.p.mensajes.responder(false);
        e.p.clic("BUpload");
        QCOMPARE(e.cajas().size(), 1);
        QCOMPARE(leerArchivo(e.remoto(nombre)), guardado);
        QCOMPARE(leerArchivo(QStringLiteral("expedienteN.tif")), guardado);
        QCOMPARE(e.paginas(), 2);
        QVERIFY(e.p.global.CambiosPendientes);
        alFinNadaSePierde(e, 2, 1);
    }
};

QTEST_MAIN(PruebaSecuenciasFallas)
#include "tst_SecuenciasFallas.moc"
