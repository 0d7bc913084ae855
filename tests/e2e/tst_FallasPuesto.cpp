#include "PuestoPrueba.h"
#include "components/escaner/TextoEstadoSane.h"
#include "support/LimiteArchivos.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <dlfcn.h>
#include <unistd.h>

namespace {
// A device fault in the middle of a feeder batch. The test backend answers a chosen status from
// the first read on, and refuses every option change once a batch runs, so this executable puts
// its own sane_read in front of libsane's (the component links it from here): after the pages
// set, every read fails with the status set, as a jammed feeder or an opened cover does.
std::atomic<int> hojasAntesDeFallar{-1};
std::atomic<int> estadoFalla{SANE_STATUS_GOOD};
std::atomic<int> hojasLeidas{0};
} // namespace

extern "C" SANE_Status sane_read(SANE_Handle dispositivo, SANE_Byte* datos, SANE_Int maximo,
                                 SANE_Int* leidos)
{
    using Lectura = SANE_Status (*)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*);
    static const auto real = reinterpret_cast<Lectura>(dlsym(RTLD_NEXT, "sane_read"));
    const int antes = hojasAntesDeFallar.load();
    if (antes >= 0 && hojasLeidas.load() >= antes) {
        if (leidos)
            *leidos = 0;
        return SANE_Status(estadoFalla.load());
    }
    const SANE_Status estado = real(dispositivo, datos, maximo, leidos);
    if (estado == SANE_STATUS_EOF)
        ++hojasLeidas;
    return estado;
}

namespace {
// A known cause comes first, in words the clerk can act on; the driver's number and text follow.
const QRegularExpression
    kErrorNumerado(QStringLiteral("^error\\|([^|]+\n\nPara soporte: )?Error -?[1-9][0-9]*: \\S"));
const QString kOcupada = QStringLiteral("error|La base de datos está ocupada o bloqueada por otra "
                                        "estación de trabajo. Intente de nuevo en un momento.");
} // namespace

// The workstation's own parts fail while pages are held: the database goes away, the scanner
// jams, the working folder takes no more. The user is told, and no scanned page is lost.
class PruebaFallasPuesto : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConfigSanePrueba> sane_;

    // What a save refused before anything left the workstation leaves.
    static void verificarHojasRetenidas(PuestoPrueba& e, int hojas)
    {
        QCOMPARE(e.paginas(), hojas);
        QCOMPARE(e.texto("TextImgCounter"), QString::number(hojas));
        QVERIFY(e.p.global.CambiosPendientes);
        QVERIFY(e.activo("BUpload"));
        QCOMPARE(e.texto("BUpload"), QStringLiteral("&Guardar"));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(e.p.ventana().isVisible());
    }

    // The save that works once the fault is gone, in the same run or after the program died
    // meanwhile: every held page reaches the server.
    static void guardarAlFin(PuestoPrueba& e, int hojas, bool trasCaida = false)
    {
        e.p.mensajes.limpiar();
        if (trasCaida) {
            e.p.mensajes.responder(true);
            QVERIFY(e.caerYArrancar());
            QCOMPARE(e.p.mensajes.cajas().size(), 1);
            QCOMPARE(e.p.mensajes.cajas().first().titulo,
                     QStringLiteral("Recuperar Hojas Escaneadas"));
            QCOMPARE(e.paginas(), hojas);
            e.p.mensajes.limpiar();
        }
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        e.p.clic("BUpload");
        QVERIFY2(e.cajas().isEmpty(), qPrintable(e.cajas().join(QLatin1Char(10))));
        const double folio = e.sesion().FolioActual;
        QVERIFY(folio > 0);
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), hojas);
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 1);
        QCOMPARE(e.paginas(), 0);
        QVERIFY(!e.p.global.CambiosPendientes);
    }

private slots:
    void initTestCase()
    {
        sane_ = std::make_unique<ConfigSanePrueba>();
        QVERIFY(sane_->valida());
        QLocale::setDefault(QLocale::c());
    }

    void baseDeDatosPerdida_data()
    {
        QTest::addColumn<QString>("falla");
        QTest::newRow("bloqueada por otra conexion") << "bloqueo";
        QTest::newRow("archivo sobrescrito") << "basura";
        QTest::newRow("archivo borrado") << "borrado";
    }
    void baseDeDatosPerdida()
    {
        QFETCH(QString, falla);
        const bool bloqueo = falla == QLatin1String("bloqueo");
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        // Listed, but not one the next save would add to: that save creates a case file.
        const double asignado = e.p.bd().expediente(kCliente, QStringLiteral("S01"),
                                                    QStringLiteral("Asignado"), kPedido);
        e.escanearNota(2);

        const QString ruta = e.p.bd().rutaBase();
        QByteArray original;
        std::optional<QSqlDatabase> otra;
        if (bloqueo) {
            otra = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otra"));
            otra->setDatabaseName(ruta);
            QVERIFY(otra->open());
            QSqlQuery candado(*otra);
            QVERIFY2(candado.exec(QStringLiteral("BEGIN EXCLUSIVE")),
                     qPrintable(candado.lastError().text()));
        } else if (falla == QLatin1String("borrado")) {
            // The program's open handle would go on serving the removed file.
            QVERIFY(QFile::remove(ruta));
        } else {
            // Overwritten in place: the program's open handle sees the new content.
            original = leerArchivo(ruta);
            QFile archivo(ruta);
            QVERIFY(archivo.open(QIODevice::ReadWrite));
            archivo.write(QByteArray(original.size(), 'x'));
        }

        // Saving: the case file cannot be created, so nothing is written or sent.
        e.p.clic("BUpload");
        QCOMPARE(e.cajas().size(), 1);
        QVERIFY2(kErrorNumerado.match(e.cajas().first()).hasMatch(), qPrintable(e.cajas().first()));
        QVERIFY2(e.cajas().first().startsWith(kOcupada) == bloqueo, qPrintable(e.cajas().first()));
        verificarHojasRetenidas(e, 2);
        QVERIFY(e.remotos().isEmpty());
        QCOMPARE(e.archivosTrabajo(), QStringList{});

        // Picking the listed case file asks first about the held pages; No keeps them.
        e.p.mensajes.limpiar();
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(0);
        e.elegirExpediente(asignado);
        QCOMPARE(e.cajas().size(), 1);
        QVERIFY2(e.cajas().first().startsWith(QStringLiteral("pregunta|Hay 2 hojas escaneadas "
                                                             "del cliente 4711 ")),
                 qPrintable(e.cajas().first()));
        verificarHojasRetenidas(e, 2);
        QCOMPARE(e.sesion().FolioActual, 0.0);

        // Searching the customer: the dialog reports, and closing it takes the customer again,
        // which asks about the held pages in its turn.
        e.p.mensajes.limpiar();
        QCOMPARE(e.buscarCliente(kNombre), 0);
        QCOMPARE(e.cajas().size(), 2);
        QVERIFY2(kErrorNumerado.match(e.cajas().first()).hasMatch(), qPrintable(e.cajas().first()));
        QVERIFY(e.cajas().last().endsWith(QStringLiteral("|Hojas sin Guardar")));
        verificarHojasRetenidas(e, 2);

        // Closing still asks about the held pages; No keeps everything.
        e.p.mensajes.limpiar();
        QVERIFY(!e.p.cerrar());
        QCOMPARE(e.cajas(), QStringList{QStringLiteral(
                                "pregunta|Se Dispone a Salir sin Guardar los Cambios, esta "
                                "seguro?|Descartar Cambios")});
        verificarHojasRetenidas(e, 2);

        // A removed database does not come back while the program runs; the others do, and
        // the same pages are saved.
        if (falla == QLatin1String("borrado"))
            return;
        if (bloqueo) {
            QSqlQuery(*otra).exec(QStringLiteral("ROLLBACK"));
            otra->close();
            otra.reset();
            QSqlDatabase::removeDatabase(QStringLiteral("otra"));
        } else {
            QFile archivo(ruta);
            QVERIFY(archivo.open(QIODevice::ReadWrite));
            archivo.write(original);
        }
        guardarAlFin(e, 2, !bloqueo);
        QCOMPARE(e.filas(), 2);
    }

    // The database goes while the document travels: the server has it, the case file does not
    // say so. The user must not read that it was saved, and the next save must set the flag, or
    // the next start when the program died meanwhile.
    void baseDeDatosSeBloqueaDuranteElEnvio_data()
    {
        QTest::addColumn<bool>("caida");
        QTest::addColumn<bool>("borrado"); // another workstation deletes the case file meanwhile
        QTest::newRow("otro intento") << false << false;
        QTest::newRow("el programa muere") << true << false;
        QTest::newRow("expediente borrado, otro intento") << false << true;
        QTest::newRow("expediente borrado, el programa muere") << true << true;
    }
    void baseDeDatosSeBloqueaDuranteElEnvio()
    {
        QFETCH(bool, caida);
        QFETCH(bool, borrado);
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        e.escanearNota(2);
        QSqlDatabase otra =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("otra"));
        otra.setDatabaseName(e.p.bd().rutaBase());
        QVERIFY(otra.open());
        bool bloqueada = false;
        const auto conexion =
            QObject::connect(&e.ftp, &ClienteFtp::AvanceTransferencia, &e.ftp, [&](int) {
                if (!bloqueada)
                    bloqueada = QSqlQuery(otra).exec(QStringLiteral("BEGIN EXCLUSIVE"));
            });
        e.p.clic("BUpload");
        QObject::disconnect(conexion);
        QVERIFY(bloqueada);
        const double folio = e.sesion().FolioActual;
        QVERIFY(folio > 0);
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");

        // Told as before; the document is on the server, and the outbox sets its flag.
        QCOMPARE(e.cajas().size(), 1);
        QVERIFY2(kErrorNumerado.match(e.cajas().first()).hasMatch(), qPrintable(e.cajas().first()));
        QVERIFY(!e.visible("nOK"));
        e.verificarEnEspera(1);

        QSqlQuery(otra).exec(QStringLiteral("ROLLBACK"));
        otra.close();
        otra = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("otra"));
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 0);
        if (borrado) {
            // The flag finds no row: the document keeps waiting, at every try and every start,
            // and the status area says why, with the folio. No box interrupts the clerk.
            e.p.bd().conexion().ejecutar(
                QStringLiteral("DELETE FROM Expedientes_ZR WHERE expediente = %1")
                    .arg(NumeroPlano(folio)));
            const QString motivo =
                QStringLiteral("el expediente %1 ya no existe en la base de datos, así que nada "
                               "apunta al documento %2")
                    .arg(NumeroPlano(folio), nombre);
            for (int intento = 0; intento < 2; ++intento) {
                e.p.mensajes.limpiar();
                if (caida)
                    QVERIFY(e.caerYArrancar());
                else
                    e.espera().enviarAhora();
                QTRY_VERIFY2(e.p.control<QLabel>("LblSalida")->toolTip().contains(motivo),
                             qPrintable(e.p.control<QLabel>("LblSalida")->toolTip()));
                QCOMPARE(e.cajas(), QStringList{});
                QCOMPARE(e.espera().pendientes(), 1);
            }
            QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 2);
            return;
        }
        e.p.mensajes.limpiar();
        if (caida)
            QVERIFY(e.caerYArrancar());
        QVERIFY(e.enviarEspera());
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 1);
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 2);
        QCOMPARE(e.filas(), 1);
        QTRY_VERIFY(!e.visible("LblSalida"));
        QVERIFY(e.caerYArrancar());
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.paginas(), 0);
    }

    // The server stored the document but its answer never came back: the document waits in
    // the outbox, whose next try (in this run or after a restart) finds on the server what was
    // sent and only sets the flag, storing nothing twice.
    void respuestaDelEnvioPerdida_data()
    {
        QTest::addColumn<bool>("caida");
        QTest::newRow("otro intento") << false;
        QTest::newRow("el programa muere") << true;
    }
    void respuestaDelEnvioPerdida()
    {
        QFETCH(bool, caida);
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        e.escanearNota(2);
        e.ftp.trasEnvio = [](int) { return 0; };
        e.p.clic("BUpload");
        e.ftp.trasEnvio = nullptr;
        const double folio = e.sesion().FolioActual;
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QCOMPARE(e.cajas().size(), 1);
        QVERIFY2(e.cajas().first().contains(QStringLiteral("favor de reintentarlo")),
                 qPrintable(e.cajas().first()));
        e.verificarEnEspera(1);
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 2);
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 0);

        e.p.mensajes.limpiar();
        if (caida)
            QVERIFY(e.caerYArrancar());
        QVERIFY(e.enviarEspera());
        // Neither a second upload nor the pages offered again.
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 2);
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 1);
        QVERIFY(e.caerYArrancar());
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.escaner().SesionesRecuperables().size(), 0);
    }

    void escanerFallaEnMedioDelAlimentador_data()
    {
        QTest::addColumn<int>("codigo");
        QTest::newRow("atasco") << int(SANE_STATUS_JAMMED);
        QTest::newRow("tapa abierta") << int(SANE_STATUS_COVER_OPEN);
    }
    void escanerFallaEnMedioDelAlimentador()
    {
        QFETCH(int, codigo);
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        e.escanearNota(0);
        e.fuente(kFeeder);
        int llegadas = 0;
        int fallas = 0;
        QObject::connect(&e.escaner(), &EscanerTwain::PostScan, &e.escaner(),
                         [&](int flag) { ++(flag == 0 ? llegadas : fallas); });
        hojasLeidas = 0;
        estadoFalla = codigo;
        hojasAntesDeFallar = 3;
        e.p.clic("B_Acquire");
        hojasAntesDeFallar = -1;

        QCOMPARE(fallas, 1);
        QCOMPARE(llegadas, 3);
        QCOMPARE(
            e.cajas(),
            QStringList{QStringLiteral("simple|%1|").arg(TextoEstadoSane(SANE_Status(codigo)))});
        QCOMPARE(e.paginas(), 3);
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("3"));
        QCOMPARE(e.texto("B_Acquire"), QStringLiteral("&Escanear"));
        QCOMPARE(e.sesion().PaginaActual, qint16(2));
        verificarHojasRetenidas(e, 3);
        QVERIFY(e.activo("BDelete"));
        // The three pages are whole: they reach the server as three pages.
        guardarAlFin(e, 3);
    }

    void carpetaDeTrabajoNoAdmiteEscritura_data()
    {
        QTest::addColumn<QString>("falla");
        QTest::addColumn<bool>("descargado");
        // What the message gives as the cause; %1 is the working folder.
        QTest::addColumn<QString>("motivo");
        const QString lleno = QStringLiteral(
            "expedienteN.tif: No hay espacio en el disco de la carpeta %1. Libere espacio");
        QTest::newRow("llena, documento descargado") << "llena" << true << lleno;
        QTest::newRow("llena, archivo nuevo") << "llena" << false << lleno;
        // The window's text and the component's number the page alike.
        QTest::newRow("nombre ocupado por una carpeta")
            << "carpeta" << false
            << QStringLiteral("expedienteN.tif: No se pudo guardar la hoja 1 en expedienteN.tif");
        QTest::newRow("sin permiso de escritura")
            << "permiso" << false << QStringLiteral("no hay permiso de escritura");
    }
    void carpetaDeTrabajoNoAdmiteEscritura()
    {
        QFETCH(QString, falla);
        QFETCH(bool, descargado);
        QFETCH(QString, motivo);
        // Permissions do not bind root; the other rows fail the same writes either way.
        if (falla == QLatin1String("permiso") && geteuid() == 0)
            QSKIP("Como root los permisos de la carpeta no impiden escribir");
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        double folio = 0;
        QString nombre;
        QByteArray guardado;
        if (descargado) {
            folio = e.expedienteConNota();
            nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
            QImage hoja(400, 500, QImage::Format_Mono);
            hoja.fill(0);
            QVERIFY(EscritorTiff::agregarImagen(e.remoto(nombre), hoja, 50, nullptr));
            guardado = leerArchivo(e.remoto(nombre));
        }
        e.escanearNota(2);
        if (descargado)
            QCOMPARE(leerArchivo(QStringLiteral("expedienteN.tif")), guardado);
        const QString carpeta = e.p.carpetaTrabajo();
        const auto permisos = QFile::permissions(carpeta);

        {
            std::unique_ptr<LimiteArchivos> limite;
            if (falla == QLatin1String("llena")) {
                // Room for a few bytes more than what is there: the append breaks off half-way.
                limite = std::make_unique<LimiteArchivos>(descargado ? guardado.size() + 64 : 64);
                QVERIFY(limite->valido());
            } else if (falla == QLatin1String("carpeta")) {
                QVERIFY(QDir(carpeta).mkdir(QStringLiteral("expedienteN.tif")));
            } else {
                QVERIFY(QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::ExeOwner));
            }
            e.p.mensajes.responder(true); // adding to the stored document, asked first
            e.p.clic("BUpload");
        }
        QFile::setPermissions(carpeta, permisos);

        QCOMPARE(e.p.mensajes.cajas().size(), descargado ? 2 : 1);
        const auto& caja = e.p.mensajes.cajas().last();
        QCOMPARE(caja.tipo, MensajesGrabados::Tipo::Error);
        QCOMPARE(caja.titulo, QStringLiteral("No se pudo Guardar"));
        QVERIFY2(caja.mensaje.startsWith(
                     QStringLiteral("No se pudo escribir la hoja 1 en el archivo de trabajo "
                                    "expedienteN.tif")),
                 qPrintable(caja.mensaje));
        if (motivo.contains(QLatin1String("%1")))
            motivo = motivo.arg(QDir::toNativeSeparators(carpeta));
        QVERIFY2(caja.mensaje.contains(motivo), qPrintable(caja.mensaje));
        verificarHojasRetenidas(e, 2);
        QCOMPARE(e.remotos(), descargado ? QStringList{nombre} : QStringList{});
        QCOMPARE(e.filas(), descargado ? 1 : 0);
        // The working file as it was: the stored copy, or nothing; no piece left beside it.
        if (descargado) {
            QCOMPARE(leerArchivo(QStringLiteral("expedienteN.tif")), guardado);
            QCOMPARE(leerArchivo(e.remoto(nombre)), guardado);
        } else if (falla == QLatin1String("carpeta")) {
            QVERIFY(QDir(carpeta).rmdir(QStringLiteral("expedienteN.tif")));
        }
        QCOMPARE(e.archivosTrabajo(),
                 descargado ? QStringList{QStringLiteral("expedienteN.tif")} : QStringList{});

        if (descargado) {
            e.p.mensajes.limpiar();
            e.p.mensajes.responder(true);
            e.p.clic("BUpload");
            QCOMPARE(e.cajas().size(), 1); // the question about adding to the stored pages
            QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 3);
            QCOMPARE(e.paginas(), 0);
        } else {
            guardarAlFin(e, 2, falla == QLatin1String("llena"));
        }
    }
};

QTEST_MAIN(PruebaFallasPuesto)
#include "tst_FallasPuesto.moc"
