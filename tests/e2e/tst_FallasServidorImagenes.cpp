#include "PuestoPrueba.h"
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
            if (!*hecho && pc >= 1 && pc <= 80) {
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
        // not run): the copy on the server must survive a broken replacement.
        const double folio = e.p.bd().expediente(kCliente);
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        const QByteArray guardado = bytesAlAzar(64 * 1024);
        {
            QFile archivo(e.remoto(nombre));
            QVERIFY(archivo.open(QIODevice::WriteOnly));
            archivo.write(guardado);
        }
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
        e.p.clic("BUpload");
        QVERIFY(*matado);
        QCOMPARE(e.cajas(), (QStringList{QStringLiteral(
                                "error|No se pudo Guardar el Expediente, favor de reintentarlo!!|"
                                "No se puede Conectar con el servidor de Imagenes")}));
        QCOMPARE(e.texto("LblEstatus"),
                 QStringLiteral("No se pudo Guardar el Expediente: ") + nombre);
        QCOMPARE(leerArchivo(e.remoto(nombre)), guardado);
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 0);
        QVERIFY(!e.visible("nOK"));
        QVERIFY(e.p.visor.abiertos.isEmpty());
        QCOMPARE(EscritorTiff::contarPaginas(QStringLiteral("expedienteN.tif")), 10);
        QVERIFY(QFileInfo(QStringLiteral("expedienteN.tif")).size() > 16 * 1024 * 1024);
        verificarUsable(e);

        // The server back: the same type again, one more page, and the save goes through.
        e.p.mensajes.limpiar();
        QVERIFY(e.servidor.reiniciar());
        e.p.clic("OpcNota");
        QVERIFY(e.sesion().DocumentoExiste);
        QVERIFY(e.activo("B_Acquire"));
        EscanerGuionado::Tanda otra;
        otra.paginas << hojaRuidosa(99);
        escaner->tandas.enqueue(otra);
        e.p.clic("B_Acquire");
        e.p.mensajes.responder(true);
        e.p.clic("BUpload");
        QCOMPARE(e.cajas(), (QStringList{QStringLiteral(
                                "pregunta|Ya existen Documentos Digitalizados para este "
                                "Apartado, Desea Agregarlos?|Cambio Expediente Digitalizado")}));
        QCOMPARE(e.texto("LblEstatus"), QStringLiteral("Expediente Guardado Correctamente!!: "));
        QCOMPARE(leerArchivo(e.remoto(nombre)), leerArchivo(QStringLiteral("expedienteN.tif")));
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 11);
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 1);
        QCOMPARE(e.filas(), 1);
        QVERIFY(e.visible("nOK"));
    }

    void servidorMuereDuranteLaDescarga()
    {
        PuestoPrueba e(*sane_, false, ServidorFtpPrueba::Tipo::Lento);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        const double folio = e.p.bd().expediente(kCliente);
        e.p.bd().conexion().ejecutar(
            QStringLiteral("UPDATE Expedientes_ZR SET imagen_NOTA = 1 WHERE expediente = %1")
                .arg(NumeroPlano(folio)));
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

    // The present mark discards the working file; when that file holds pages whose upload
    // failed, they exist nowhere else and go only if the user says so.
    void descartarHojasSinEnviar_pregunta_data()
    {
        QTest::addColumn<bool>("borrar");
        QTest::newRow("conservar") << false;
        QTest::newRow("borrar") << true;
    }
    void descartarHojasSinEnviar_pregunta()
    {
        QFETCH(bool, borrar);
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        const double folio = e.p.bd().expediente(kCliente);
        e.p.bd().conexion().ejecutar(
            QStringLiteral("UPDATE Expedientes_ZR SET imagen_NOTA = 1 WHERE expediente = %1")
                .arg(NumeroPlano(folio)));
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QVERIFY(EscritorTiff::agregarImagen(e.remoto(nombre), hojaRuidosa(1).scaled(200, 300), 200,
                                            nullptr));
        EscanerGuionado* escaner = nullptr;
        e.p.entorno.crearEscaner = [&escaner] {
            auto nuevo = std::make_unique<EscanerGuionado>();
            escaner = nuevo.get();
            return nuevo;
        };
        QVERIFY(e.arrancar());
        QCOMPARE(e.buscarCliente(kNombre), 1);
        e.elegirExpediente(folio);
        QVERIFY(e.visible("nOK"));
        e.p.clic("OpcNota"); // the stored document comes down
        EscanerGuionado::Tanda tanda;
        tanda.paginas << hojaRuidosa(2).scaled(200, 300);
        escaner->tandas.enqueue(tanda);
        e.p.clic("B_Acquire");
        e.servidor.matar();
        e.p.mensajes.responder(true);
        e.p.clic("BUpload");
        QCOMPARE(EscritorTiff::contarPaginas(QStringLiteral("expedienteN.tif")), 2);

        e.p.mensajes.limpiar();
        e.p.mensajes.responder(borrar);
        QTest::mouseDClick(e.p.control<QWidget>("nOK"), Qt::LeftButton);
        QCOMPARE(e.p.mensajes.cajas().size(), borrar ? 2 : 1);
        QCOMPARE(e.p.mensajes.cajas().first().tipo, MensajesGrabados::Tipo::Pregunta);
        QVERIFY(e.p.mensajes.cajas().first().mensaje.contains(QStringLiteral("expedienteN.tif")));
        QCOMPARE(e.p.mensajes.cajas().first().titulo, QStringLiteral("Hojas sin Enviar"));
        QCOMPARE(QFile::exists(QStringLiteral("expedienteN.tif")), !borrar);
        QCOMPARE(e.visible("nOK"), !borrar);
        QCOMPARE(e.visible("nFa"), borrar);
        if (borrar)
            QCOMPARE(e.cajas().last(),
                     QStringLiteral("informacion|Imagen Eliminada Correctamente|Borrar Imagen"));
        else
            QCOMPARE(EscritorTiff::contarPaginas(QStringLiteral("expedienteN.tif")), 2);
    }
};

QTEST_MAIN(PruebaFallasServidorImagenes)
#include "tst_FallasServidorImagenes.moc"
