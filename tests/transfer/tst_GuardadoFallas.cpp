#include "EscenarioGuardado.h"
#include "support/HojasAbandonadas.h"
#include "transfer/BloqueoDocumento.h"

#include <QSysInfo>

// Saves that cannot finish: no folio, the server down, a second press, errors of the upload
// and of the database, pages that do not reach the working file. Nothing may be lost or
// reported as stored.
class PruebaGuardadoFallas : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void folioNulo_noSubeNiMarcaYElSiguienteGuardadoCreaOtraVez()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.guardado().envio().leerFolio = [](ConexionBaseDatos&) { return QVariant(); };
        e.p.clic("OpcNota");
        e.escanear();
        e.p.clic("BUpload");
        QCOMPARE(
            e.p.mensajes.resumen(),
            QStringList{QStringLiteral("error|Error sin Folio, intente de nuevo|Error Grave")});
        QCOMPARE(e.filas(), 1); // the row stays
        QCOMPARE(e.ftp.envios, 0);
        QCOMPARE(e.veces(kUpdate), 0);
        QVERIFY(!e.visible("nOK"));
        QCOMPARE(e.sesion().FolioActual, 0.0);
        e.verificarRetenidas(1);
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));

        // Never uploaded under folio 0: the next press asks for a folio again.
        e.p.mensajes.limpiar();
        e.guardado().envio().leerFolio = [](ConexionBaseDatos& c) { return c.regresaFolio(); };
        e.p.clic("BUpload");
        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.p.mensajes.resumen().join('\n')));
        QVERIFY(e.sesion().FolioActual > 0);
        QCOMPARE(e.remotos(),
                 QStringList{NumeroPlano(e.sesion().FolioActual) + QStringLiteral("N.tif")});
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(e.remotos().first())), 1);
        e.verificarReinicio();
    }

    // Another workstation saving the same document holds it: this save waits a moment, then
    // sends nothing and keeps the pages. Once it is free, or its holder's time ran out, or its
    // holder on this same workstation is gone, the save goes through and lets go of it.
    void otraEstacionGuardaElMismoDocumento_data()
    {
        QTest::addColumn<QString>("dueno");
        QTest::addColumn<int>("vence"); // seconds from now
        QTest::addColumn<bool>("espera");
        const QString otra = QStringLiteral("otra-estacion 4242");
        QTest::newRow("ocupado") << otra << 60 << true;
        QTest::newRow("vencido") << otra << -1 << false;
        QTest::newRow("su dueno murio en esta estacion")
            << QStringLiteral("%1 %2")
                   .arg(QSysInfo::machineHostName())
                   .arg(HojasAbandonadas::pidTerminado())
            << 60 << false;
    }
    void otraEstacionGuardaElMismoDocumento()
    {
        QFETCH(QString, dueno);
        QFETCH(int, vence);
        QFETCH(bool, espera);
        Escenario e;
        const double folio = e.p.bd().expediente(kCliente);
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QVERIFY(e.preparar());
        e.guardado().envio().esperaBloqueo = std::chrono::milliseconds(300);
        e.p.clic("OpcNota");
        e.escanear(2);
        ConexionBaseDatos& otra = e.p.bd().conexion();
        otra.ejecutar(QLatin1String(BloqueoDocumento::kTablaEmbebida));
        otra.ejecutar(QStringLiteral("INSERT INTO bloqueos_documento VALUES (?, ?, "
                                     "CAST(strftime('%s','now') AS INTEGER) + %1)")
                          .arg(vence),
                      {QStringLiteral("expedientes ") + nombre, dueno});
        e.p.clic("BUpload");
        if (espera) {
            QCOMPARE(e.p.mensajes.resumen(),
                     QStringList{QStringLiteral(
                                     "error|Otra estación está guardando el documento %1 en este "
                                     "momento. No se guardó nada; las hojas escaneadas se "
                                     "conservan. Vuelva a Guardar en un momento.|No se pudo "
                                     "Guardar")
                                     .arg(nombre)});
            QCOMPARE(e.ftp.envios, 0);
            QVERIFY(!QFile::exists(e.remoto(nombre)));
            e.verificarRetenidas(2);
            otra.ejecutar(QStringLiteral("DELETE FROM bloqueos_documento"));
            e.p.mensajes.limpiar();
            e.p.clic("BUpload");
        }
        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.p.mensajes.resumen().join('\n')));
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 2);
        QCOMPARE(e.bandera("imagen_NOTA").toInt(), 1);
        QCOMPARE(e.p.bd().valor(QStringLiteral("SELECT COUNT(*) FROM bloqueos_documento")).toInt(),
                 0);
    }

    // A save whose upload outlasts the row's time keeps the document: the row is renewed while
    // the transfer runs, and another workstation finds it taken.
    void bloqueoRenovadoMientrasDuraElEnvio()
    {
        Escenario e;
        QVERIFY(e.preparar());
        ConexionBaseDatos& conexion = e.p.bd().conexion();
        const QString vence = QStringLiteral(
            "SELECT vence FROM bloqueos_documento WHERE recurso = 'expedientes 9N.tif'");
        BloqueoDocumento propio(conexion, QStringLiteral("9N.tif"), std::chrono::milliseconds(0),
                                std::chrono::seconds(2));
        QVERIFY(propio.tomado());
        const qint64 antes = e.p.bd().valor(vence).toLongLong();
        QTest::qWait(2100);
        propio.renovar();
        QVERIFY(e.p.bd().valor(vence).toLongLong() > antes);
        const BloqueoDocumento otra(conexion, QStringLiteral("9N.tif"),
                                    std::chrono::milliseconds(0));
        QVERIFY(!otra.tomado());
    }

    void expedienteSinFolio_seCreaEnLugarDeSubirComoCero()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear();
        e.sesion().ExpedienteExiste = true; // left over from the customer chosen before
        e.p.clic("BUpload");
        QCOMPARE(e.veces(QStringLiteral("INSERT")), 1);
        QCOMPARE(e.remotos(), QStringList{QStringLiteral("1N.tif")});
    }

    // The server down: nothing is flagged, the pages stay held, and pressing Guardar again
    // sends them once the server is back. Another customer meanwhile asks before they go.
    // The server down: told as before, then the document waits in the outbox and the window is
    // free at once; the outbox sends it once the server is back.
    void servidorCaido_elDocumentoEsperaEnLaBandeja()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear(2);
        e.servidor.matar();
        e.p.clic("BUpload");

        const double folio = e.sesion().FolioActual;
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QCOMPARE(e.p.mensajes.resumen(),
                 (QStringList{QStringLiteral("error|No se pudo conectar al servidor de Imagenes|"
                                             "Trate de Nuevo"),
                              kCajaSubida}));
        QCOMPARE(e.estatus(), QStringLiteral("El documento %1 quedó en espera de envío; se "
                                             "enviará en cuanto responda el servidor de "
                                             "imágenes.")
                                  .arg(nombre));
        QCOMPARE(e.filas(), 1);
        QCOMPARE(e.bandera("imagen_NOTA").toInt(), 0);
        // Neither stored nor missing.
        QVERIFY(!e.visible("nOK") && !e.visible("nFa"));
        QVERIFY(e.p.visor.abiertos.isEmpty());
        QCOMPARE(e.paginas(), 0);
        QVERIFY(!e.p.global.CambiosPendientes);
        QCOMPARE(e.espera().pendientes(), 1);
        QCOMPARE(e.p.control<QLabel>("LblSalida")->text(),
                 QStringLiteral("1 documento en espera de envío"));
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));

        // Nothing held: another customer is chosen without a question.
        e.p.mensajes.limpiar();
        e.elegirCliente();
        QVERIFY(e.p.mensajes.cajas().isEmpty());

        QVERIFY(e.servidor.reiniciar());
        e.espera().enviarAhora();
        QTRY_COMPARE(e.espera().pendientes(), 0);
        QCOMPARE(e.p.mensajes.resumen(), QStringList{});
        QCOMPARE(e.valor(QStringLiteral("SELECT imagen_NOTA FROM Expedientes_ZR WHERE "
                                        "expediente = %1")
                             .arg(NumeroPlano(folio)))
                     .toInt(),
                 1);
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nombre)), 2);
        QCOMPARE(e.veces(QStringLiteral("INSERT")), 1);
        QTRY_VERIFY(!e.visible("LblSalida"));
    }

    void segundaPulsacionDuranteElEnvio_noGuardaOtraVez()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear();
        bool botonDurante = true;
        e.ftp.duranteEnvio = [&] {
            botonDurante = e.p.control<QPushButton>("BUpload")->isEnabled();
            e.guardado().BUpload_Click();
        };
        e.p.clic("BUpload");
        QVERIFY(!botonDurante);
        QCOMPARE(e.ftp.envios, 1);
        QCOMPARE(e.veces(QStringLiteral("INSERT")), 1);
        QCOMPARE(e.veces(kUpdate), 1);
    }

    void errorDentroDelEnvio_mensajePropioYSinBandera()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear();
        e.ftp.lanzar = true;
        e.p.clic("BUpload");
        QCOMPARE(e.p.mensajes.resumen(),
                 QStringList{QStringLiteral("error|No se Guardó el Expediente, Favor de "
                                            "Intentarlo de Nuevo!!|No se pudo Guardar")});
        QCOMPARE(e.veces(kUpdate), 0);
        QVERIFY(!e.visible("nOK"));
        e.verificarRetenidas(1);
    }

    void altaFallida_noSubeYConservaLasHojas()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear(2);
        e.p.bd().conexion().ejecutar(
            QStringLiteral("ALTER TABLE Expedientes_ZR RENAME TO Expedientes_ZR_fuera"));
        e.p.clic("BUpload");
        QCOMPARE(e.p.mensajes.cajas().size(), 1);
        QVERIFY(e.p.mensajes.cajas().first().mensaje.startsWith(QStringLiteral("Error ")));
        QCOMPARE(e.ftp.envios, 0);
        QVERIFY(!e.sesion().ExpedienteExiste);
        QCOMPARE(e.paginas(), 2);
        QVERIFY(e.p.global.CambiosPendientes);
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));
        QCOMPARE(e.p.control<QPushButton>("BUpload")->text(), QStringLiteral("&Guardar"));
        QVERIFY(e.p.control<QPushButton>("BUpload")->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void hojasNoEscritas_noSeEnviaNada_data()
    {
        QTest::addColumn<QList<int>>("resultados");
        QTest::addColumn<QString>("inicio");
        QTest::newRow("segunda hoja rechazada")
            << QList<int>{1, 0} << "No se pudo escribir la hoja 2";
        QTest::newRow("sin archivo de trabajo")
            << QList<int>{1, 1} << "No existe el archivo de trabajo expedienteN.tif";
    }
    void hojasNoEscritas_noSeEnviaNada()
    {
        QFETCH(QList<int>, resultados);
        QFETCH(QString, inicio);
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear(2);
        for (const int r : resultados)
            e.escaner->resultadosGuardar.enqueue(r);
        e.p.clic("BUpload");
        QCOMPARE(e.p.mensajes.cajas().size(), 1);
        QVERIFY2(e.p.mensajes.cajas().first().mensaje.startsWith(inicio),
                 qPrintable(e.p.mensajes.resumen().join('\n')));
        QCOMPARE(e.ftp.envios, 0);
        QCOMPARE(e.filas(), 0);
        QCOMPARE(e.paginas(), 2);
        QVERIFY(e.p.global.CambiosPendientes);
    }
};

QTEST_MAIN(PruebaGuardadoFallas)
#include "tst_GuardadoFallas.moc"
