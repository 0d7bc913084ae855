#include "PuestoPrueba.h"
#include "components/tiff/LectorTiff.h"
#include "support/EscanerGuionado.h"

#include <QRandomGenerator>
#include <QTabBar>

namespace {
// Noise does not compress: a few such pages make a document of several megabytes, which the
// throttled server takes long enough to receive that the test acts in the middle of it.
QImage hojaRuidosa(quint32 semilla)
{
    QImage imagen(2400, 3200, QImage::Format_Mono);
    QRandomGenerator azar(semilla);
    for (int y = 0; y < imagen.height(); ++y)
        azar.fillRange(reinterpret_cast<quint32*>(imagen.scanLine(y)),
                       imagen.bytesPerLine() / int(sizeof(quint32)));
    return imagen;
}

QByteArray bytesAlAzar(qsizetype cuantos)
{
    QByteArray datos(cuantos, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(datos.data()),
                                  cuantos / qsizetype(sizeof(quint32)));
    return datos;
}
} // namespace

// The image server dies in the middle of a transfer: the user is told, the stored document and
// the flags stay as they were, the pages are not lost, and the next attempt works.
class PruebaFallasServidorImagenes : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConfigSanePrueba> sane_;

    // Kills the server once the transfer is under way; true once it did.
    static std::shared_ptr<bool> matarEnMedio(PuestoPrueba& e)
    {
        auto hecho = std::make_shared<bool>(false);
        QObject::connect(&e.ftp, &ClienteFtp::AvanceTransferencia, &e.ftp, [&e, hecho](int pc) {
            // Any report inside the transfer (a busy machine may report few of them); a small
            // download jumps to 99 and 100.
            if (!*hecho && pc >= 1 && pc <= 98) {
                *hecho = true;
                e.servidor.matar();
            }
        });
        return hecho;
    }

    // The window takes clicks again: nothing left disabled or waiting by the transfer.
    static void verificarUsable(PuestoPrueba& e)
    {
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(e.activo("CmdCLientes") && e.activo("FrmDocumentos") && e.activo("OpcNota"));
        QVERIFY(e.activo("iExpedientes"));
        QVERIFY(e.p.control<QTabWidget>("TabScan")->tabBar()->isEnabled());
        QVERIFY(e.p.ventana().isVisible());
    }

private slots:
    void initTestCase()
    {
        sane_ = std::make_unique<ConfigSanePrueba>();
        QVERIFY(sane_->valida());
    }

    void servidorMuereDuranteElEnvio()
    {
        PuestoPrueba e(*sane_, false, ServidorFtpPrueba::Tipo::Lento);
        QVERIFY2(e.preparar(1024 * 1024), qPrintable(e.servidor.error()));
        // The case file's N document was stored once but its flag never set (the update did
        // not run): the save builds on it, and it must survive a broken replacement.
        const double folio = e.p.bd().expediente(kCliente);
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QImage pequena(64, 64, QImage::Format_Mono);
        pequena.fill(0);
        QVERIFY(EscritorTiff::agregarImagen(e.remoto(nombre), pequena, 50, nullptr));
        const QByteArray guardado = leerArchivo(e.remoto(nombre));
        EscanerGuionado* escaner = nullptr;
        e.p.entorno.crearEscaner = [&escaner] {
            auto nuevo = std::make_unique<EscanerGuionado>();
            escaner = nuevo.get();
            return nuevo;
        };
        QVERIFY(e.arrancar());
        QCOMPARE(e.buscarCliente(kNombre), 1);
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        e.p.clic("OpcNota");
        QCOMPARE(e.sesion().FolioActual, folio);
        EscanerGuionado::Tanda tanda;
        for (quint32 i = 0; i < 10; ++i)
            tanda.paginas << hojaRuidosa(i);
        escaner->tandas.enqueue(tanda);
        e.p.clic("B_Acquire");
        QCOMPARE(e.paginas(), 10);

        const auto matado = matarEnMedio(e);
        const QString pregunta =
            QStringLiteral("pregunta|Ya existen Documentos Digitalizados para este Apartado, "
                           "Desea Agregarlos?|Cambio Expediente Digitalizado");
        e.p.mensajes.responder(true);
        e.p.clic("BUpload");
        QVERIFY(*matado);
        // It was connected: the title says the transfer was cut, not that no connection came.
        QCOMPARE(e.cajas(),
                 (QStringList{pregunta,
                              QStringLiteral(
                                  "error|No se pudo Guardar el Expediente, favor de reintentarlo!!|"
                                  "Se interrumpió el envío al servidor de Imagenes")}));
        QCOMPARE(leerArchivo(e.remoto(nombre)), guardado);
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 0);
        QVERIFY(!e.visible("nOK"));
        QVERIFY(e.p.visor.abiertos.isEmpty());
        // The pages wait in the outbox; the working file never held them but during the try.
        e.verificarEnEspera(1);
        QCOMPARE(leerArchivo(QStringLiteral("expedienteN.tif")), guardado);
        QVERIFY(e.activo("CmdCLientes") && e.activo("iExpedientes"));
        QVERIFY(e.p.control<QTabWidget>("TabScan")->tabBar()->isEnabled());

        // One more page of the same document: it goes after the waiting ones, the same way.
        e.p.mensajes.limpiar();
        e.p.clic("OpcNota");
        EscanerGuionado::Tanda otra;
        otra.paginas << hojaRuidosa(99);
        escaner->tandas.enqueue(otra);
        e.p.clic("B_Acquire");
        e.p.mensajes.responder(true);
        e.p.clic("BUpload");
        QCOMPARE(e.cajas(), QStringList{pregunta});
        e.verificarEnEspera(2);

        // The server back: both are sent, in the order they were saved.
        QVERIFY(e.servidor.reiniciar());
        QVERIFY(e.enviarEspera());
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 12);
        QCOMPARE(LectorTiff::leer(e.remoto(nombre), 0).size(), pequena.size());
        for (int i = 1; i < 12; ++i)
            QCOMPARE(LectorTiff::leer(e.remoto(nombre), i).size(), QSize(2400, 3200));
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 1);
        QCOMPARE(e.filas(), 1);
        QTRY_VERIFY(e.visible("nOK"));
        verificarUsable(e);
    }

    void servidorMuereDuranteLaDescarga()
    {
        PuestoPrueba e(*sane_, false, ServidorFtpPrueba::Tipo::Lento);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        const double folio = e.expedienteConNota();
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        const QByteArray guardado = bytesAlAzar(24 * 1024 * 1024);
        {
            QFile archivo(e.remoto(nombre));
            QVERIFY(archivo.open(QIODevice::WriteOnly));
            archivo.write(guardado);
        }
        QVERIFY(e.arrancar());
        QCOMPARE(e.buscarCliente(kNombre), 1);
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(1);

        const auto matado = matarEnMedio(e);
        e.p.clic("OpcNota");
        QVERIFY(*matado);
        QCOMPARE(e.cajas(), (QStringList{QStringLiteral(
                                "error|Falla con el servidor de Imagenes|Trate de Nuevo")}));
        QCOMPARE(e.texto("LblEstatus"), QStringLiteral("Falla del servidor FTP!!: ") + nombre);
        // Neither the working file nor a piece of it under another name.
        QCOMPARE(e.archivosTrabajo(), QStringList{});
        QVERIFY(!e.sesion().DocumentoExiste);
        QVERIFY(e.p.visor.abiertos.isEmpty());
        verificarUsable(e);

        e.p.mensajes.limpiar();
        QVERIFY(e.servidor.reiniciar());
        e.p.clic("OpcNota");
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.texto("LblEstatus"),
                 QStringLiteral("Expediente Recibido con Exito!!: ") + nombre);
        QVERIFY(leerArchivo(QStringLiteral("expedienteN.tif")) == guardado);
        QCOMPARE(e.archivosTrabajo(), QStringList{QStringLiteral("expedienteN.tif")});
        QVERIFY(e.sesion().DocumentoExiste);
        QCOMPARE(e.p.visor.abiertos, QStringList{QStringLiteral("expedienteN.tif")});
    }
};

QTEST_MAIN(PruebaFallasServidorImagenes)
#include "tst_FallasServidorImagenes.moc"
