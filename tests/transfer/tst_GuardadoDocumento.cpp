#include "EscenarioGuardado.h"

// Saving scanned pages: working file, size limit, case-file creation, upload to a real FTP
// server on loopback, flag and reset; on the real window and the embedded database.
class PruebaGuardadoDocumento : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void caminoCompleto_expedienteNuevoConEscanerSane()
    {
        Escenario e;
        QVERIFY2(e.preparar(2048, true), qPrintable(e.servidor.error()));
        QVERIFY(e.sane->valida());
        QCOMPARE(e.sesion().FolioActual, 0.0);
        QCOMPARE(e.destino(), QStringLiteral("Expediente nuevo de RUIZ SOTO ANA"));
        e.p.control<QCheckBox>("chkPrestamo")->setChecked(true);
        e.p.clic("OpcNota");
        QVERIFY(e.p.control<QPushButton>("B_Acquire")->isEnabled());
        e.p.control<QCheckBox>("ChkShowUI")->setChecked(true);
        e.escanear();
        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.p.mensajes.resumen().join('\n')));
        QVERIFY(e.paginas() >= 1);
        // Type N scans in black and white at the branch's resolution.
        QCOMPARE(e.p.ventana().VSTwain1()->BitsPorPixel(0), 1);
        QCOMPARE(e.p.ventana().VSTwain1()->Resolucion(), 50);
        QVERIFY(e.p.control<QPushButton>("BUpload")->isEnabled());

        e.p.clic("BUpload");

        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.p.mensajes.resumen().join('\n')));
        QCOMPARE(e.filas(), 1);
        const double folio =
            e.valor(QStringLiteral("SELECT expediente FROM Expedientes_ZR")).toDouble();
        QVERIFY(folio > 0);
        QCOMPARE(e.sesion().FolioActual, folio);
        QVERIFY(e.sesion().ExpedienteExiste);
        QCOMPARE(e.valor(QStringLiteral("SELECT es_prestamo FROM Expedientes_ZR")).toString(),
                 QStringLiteral("1"));
        QCOMPARE(e.valor(QStringLiteral("SELECT sucursal FROM Expedientes_ZR")).toString(),
                 QStringLiteral("S01"));
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QCOMPARE(e.remotos(), QStringList{nombre});
        const QByteArray trabajo = leer(QStringLiteral("expedienteN.tif"));
        QCOMPARE(EscritorTiff::contarPaginas(QStringLiteral("expedienteN.tif")), 1);
        QCOMPARE(leer(e.remoto(nombre)), trabajo);
        QCOMPARE(e.bandera("imagen_NOTA").toInt(), 1);
        QVERIFY(e.visible("nOK"));
        QVERIFY(!e.visible("nFa"));
        QCOMPARE(e.p.visor.abiertos, QStringList{QStringLiteral("expedienteN.tif")});
        QCOMPARE(e.estatus(), QStringLiteral("Expediente Guardado Correctamente!!: "));
        e.verificarReinicio();
        // The list shows the new case file picked, with what the database holds.
        QCOMPARE(e.destino(), QStringLiteral("Expediente ") + NumeroPlano(folio));
        QCOMPARE(e.elegida(QStringLiteral("Expediente")), NumeroPlano(folio));
        QCOMPARE(e.elegida(QStringLiteral("Nota Venta")), QStringLiteral("Sí"));
        QCOMPARE(e.elegida(QStringLiteral("C.Sindicato")), QStringLiteral("No"));
        const QStringList sentencias = e.p.sentencias();
        const int alta = int(sentencias.indexOf(kInsert));
        QVERIFY(alta >= 0);
        QCOMPARE(sentencias.value(alta + 1), QStringLiteral("REGRESA_FOLIO"));
        QCOMPARE(sentencias.value(alta + 2),
                 kUpdate + QStringLiteral("imagen_NOTA = 1 WHERE expediente= ") +
                     NumeroPlano(folio));

        // A second type of the same case file: no second row, that type's flag.
        e.p.clic("OpcCarta");
        QVERIFY(e.p.control<QPushButton>("B_Acquire")->isEnabled());
        e.escanear();
        e.p.clic("BUpload");
        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.p.mensajes.resumen().join('\n')));
        QCOMPARE(e.veces(QStringLiteral("INSERT")), 1);
        QCOMPARE(e.filas(), 1);
        QCOMPARE(e.bandera("imagen_CARTA").toInt(), 1);
        QCOMPARE(leer(e.remoto(NumeroPlano(folio) + QStringLiteral("C.tif"))),
                 leer(QStringLiteral("expedienteC.tif")));
        QVERIFY(e.visible("cOK") && e.visible("nOK"));
        QCOMPARE(e.elegida(QStringLiteral("C.Sindicato")), QStringLiteral("Sí"));
        QCOMPARE(e.destino(), QStringLiteral("Expediente ") + NumeroPlano(folio));
    }

    void tipoYaGuardado_preguntaAntesDeAgregar_data()
    {
        QTest::addColumn<bool>("agregar");
        // What another workstation did between the pick and the save: nothing; a page added to
        // the stored document; the document stored, where there was none at the pick.
        QTest::addColumn<int>("otra");
        QTest::newRow("si") << true << 0;
        QTest::newRow("no") << false << 0;
        QTest::newRow("si, otra estacion agrego una hoja") << true << 1;
        QTest::newRow("no, otra estacion agrego una hoja") << false << 1;
        QTest::newRow("si, otra estacion lo guardo") << true << 2;
    }
    void tipoYaGuardado_preguntaAntesDeAgregar()
    {
        QFETCH(bool, agregar);
        QFETCH(int, otra);
        Escenario e;
        const double folio = e.p.bd().expediente(kCliente);
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        const auto guardarOtra = [&](int semilla) {
            QVERIFY(EscritorTiff::agregarImagen(e.remoto(nombre), hoja(semilla), 200, nullptr));
            e.p.bd().conexion().ejecutar(
                QStringLiteral("UPDATE Expedientes_ZR SET imagen_NOTA = 1 WHERE expediente = %1")
                    .arg(NumeroPlano(folio)));
        };
        QVERIFY(e.preparar());
        if (otra != 2)
            guardarOtra(5);
        e.p.clic("OpcNota"); // fetches the stored copy into the working file
        QCOMPARE(e.sesion().DocumentoExiste, otra != 2);
        if (otra > 0)
            guardarOtra(6);
        const QByteArray guardado = leer(e.remoto(nombre));
        const int antes = EscritorTiff::contarPaginas(e.remoto(nombre));
        e.p.control<QLabel>("nOK")->setVisible(false);
        e.p.control<QLabel>("nFa")->setVisible(true);
        e.escanear(2);
        e.p.mensajes.limpiar();
        e.p.mensajes.responder(agregar);

        e.p.clic("BUpload");

        QCOMPARE(e.p.mensajes.resumen().value(0),
                 QStringLiteral("pregunta|Ya existen Documentos Digitalizados para este "
                                "Apartado, Desea Agregarlos?|Cambio Expediente Digitalizado"));
        QCOMPARE(e.p.mensajes.cajas().size(), 1);
        // Flagged again after the upload, whichever workstation stored the document.
        QCOMPARE(e.veces(kUpdate), agregar ? 1 : 0);
        QCOMPARE(e.veces(QStringLiteral("INSERT")), 0);
        // Built on the server's document as it was at the save, never on the copy of the pick.
        QCOMPARE(EscritorTiff::contarPaginas(QStringLiteral("expedienteN.tif")),
                 antes + (agregar ? 2 : 0));
        QCOMPARE(leer(e.remoto(nombre)),
                 agregar ? leer(QStringLiteral("expedienteN.tif")) : guardado);
        QCOMPARE(e.visible("nOK"), agregar);
        if (agregar)
            return e.verificarReinicio();
        // No keeps the pages: nothing is sent, and the working file is the stored copy again.
        QCOMPARE(leer(QStringLiteral("expedienteN.tif")), guardado);
        QCOMPARE(e.estatus(), QStringLiteral("Las hojas escaneadas no se agregaron al documento; "
                                             "se conservan sin guardar."));
        e.verificarRetenidas(2);
    }

    void tamano_limiteExacto_data()
    {
        QTest::addColumn<double>("tamano");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("mensaje"); // empty: goes ahead
        const QString texto =
            QStringLiteral("El tamaño del documento a Guardar es de: %1 MB el cual es demasiado "
                           "Grande, el tamaño maximo posible es de %2 MB");
        QTest::newRow("justo el maximo") << 3.0 << qint64(3072) << QString();
        QTest::newRow("un byte mas") << 3.0 << qint64(3073) << texto.arg("0", "0");
        QTest::newRow("maximo cero") << 0.0 << qint64(10) << texto.arg("0", "0");
        QTest::newRow("1.5 contra 1") << 1024.0 << qint64(1572864) << texto.arg("1.5", "1");
    }
    void tamano_limiteExacto()
    {
        QFETCH(double, tamano);
        QFETCH(qint64, bytes);
        QFETCH(QString, mensaje);
        Escenario e;
        QVERIFY(e.preparar(tamano));
        e.p.clic("OpcNota");
        e.escanear();
        // The page "written" leaves the file at exactly that many bytes.
        {
            QFile archivo(QStringLiteral("expedienteN.tif"));
            QVERIFY(archivo.open(QIODevice::WriteOnly));
            QVERIFY(archivo.resize(bytes));
        }
        e.escaner->resultadosGuardar.enqueue(1);
        e.p.clic("BUpload");
        QCOMPARE(e.sesion().TamanoKB, double(bytes) / 1024);
        if (mensaje.isEmpty()) {
            QCOMPARE(e.filas(), 1);
            QCOMPARE(e.ftp.envios, 1);
            return;
        }
        QCOMPARE(e.p.mensajes.resumen(),
                 QStringList{QStringLiteral("error|") + mensaje +
                             QStringLiteral("|Archivo a enviar demasiado Grande, Remueva Hojas "
                                            "del Documento")});
        QCOMPARE(e.filas(), 0);
        QCOMPARE(e.ftp.envios, 0);
        QCOMPARE(e.paginas(), 1);
        QVERIFY(e.p.global.CambiosPendientes);
        QVERIFY(e.p.control<QPushButton>("BUpload")->isEnabled());
        QCOMPARE(e.p.control<QPushButton>("BUpload")->text(), QStringLiteral("&Guardar"));
    }

    void megas_dosDecimalesAlParYFormaRegional_data()
    {
        QTest::addColumn<QLocale>("regional");
        QTest::addColumn<double>("kilobytes");
        QTest::addColumn<QString>("texto");
        const QLocale c = QLocale::c();
        QTest::newRow("1.5") << c << 1536.0 << "1.5";
        QTest::newRow("entero") << c << 1024.0 << "1";
        QTest::newRow("mitad al par abajo") << c << 2.125 * 1024 << "2.12";
        QTest::newRow("mitad al par arriba") << c << 2.375 * 1024 << "2.38";
        QTest::newRow("sin separador de miles") << c << 1234.5 * 1024 << "1234.5";
        QTest::newRow("coma decimal")
            << QLocale(QLocale::Spanish, QLocale::Spain) << 1536.0 << "1,5";
    }
    void megas_dosDecimalesAlParYFormaRegional()
    {
        QFETCH(QLocale, regional);
        QFETCH(double, kilobytes);
        QFETCH(QString, texto);
        QLocale::setDefault(regional);
        QCOMPARE(EnvioDocumento::Megas(kilobytes), texto);
    }

    void rechazoPorTamano_dejaElArchivoComoEstaba()
    {
        Escenario e;
        QVERIFY(e.preparar(1));
        QVERIFY(
            EscritorTiff::agregarImagen(QStringLiteral("expedienteN.tif"), hoja(9), 200, nullptr));
        const QByteArray antes = leer(QStringLiteral("expedienteN.tif"));
        e.p.clic("OpcNota");
        QImage grande(2000, 2000, QImage::Format_RGB32);
        grande.fill(Qt::darkCyan);
        for (int i = 0; i < 2000; i += 3)
            grande.setPixel(i, (i * 7) % 2000, qRgb(i % 255, 9, 200));
        e.escaner->tandas.enqueue({{grande}, {}});
        e.p.clic("B_Acquire");
        e.p.clic("BUpload");
        QCOMPARE(e.p.mensajes.cajas().size(), 1);
        // Removing pages and saving again must not find the refused ones in the file.
        QCOMPARE(leer(QStringLiteral("expedienteN.tif")), antes);
        QCOMPARE(e.paginas(), 1);
    }
};

QTEST_MAIN(PruebaGuardadoDocumento)
#include "tst_GuardadoDocumento.moc"
