#include "app/ErrorSistema.h"
#include "app/FrmEscaneo.h"
#include "casefiles/ListaExpedientes.h"
#include "components/ClienteFtpCurl.h"
#include "components/EscanerSane.h"
#include "components/EscritorTiff.h"
#include "support/ConfigSanePrueba.h"
#include "support/EscanerGuionado.h"
#include "support/ServidorFtpPrueba.h"
#include "support/VentanaPrueba.h"
#include "transfer/GuardadoDocumento.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>

using namespace std::chrono_literals;

namespace {
constexpr double kCliente = 700;

// The real client, counting uploads, with a hook inside the upload and an error on demand.
class ClienteFtpPrueba : public ClienteFtpCurl
{
public:
    ClienteFtpPrueba() { FijarLimitesTiempo(3s, 3s); }
    int EnviarArchivo(const QString& local, const QString& remoto) override
    {
        ++envios;
        if (duranteEnvio)
            duranteEnvio();
        if (lanzar)
            throw ErrorSistema(-2147220991, QStringLiteral("Transferencia interrumpida"));
        return ClienteFtpCurl::EnviarArchivo(local, remoto);
    }
    int envios = 0;
    bool lanzar = false;
    std::function<void()> duranteEnvio;
};

QByteArray leer(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<no existe>");
}

QImage hoja(int i = 0)
{
    QImage imagen(170 + i, 220, QImage::Format_Mono);
    imagen.fill(1);
    for (int y = 10; y < 200; y += 7)
        for (int x = 10; x < 150; ++x)
            imagen.setPixel(x, y, 0);
    return imagen;
}

// A branch whose image server runs on loopback and customer 700 without case files; the window
// is loaded with the customer chosen (folio 0). The client outlives the window.
struct Escenario
{
    ClienteFtpPrueba ftp;
    ServidorFtpPrueba servidor;
    std::unique_ptr<ConfigSanePrueba> sane;
    VentanaPrueba p;
    EscanerGuionado* escaner = nullptr;

    bool preparar(double tamano = 2048, bool conSane = false)
    {
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        BaseDatosPrueba::ServidorImagenes fila;
        fila.tamano = tamano;
        fila.resolucion_BN = 50;
        p.bd().servidorImagenes(fila);
        BaseDatosPrueba::Cliente cliente;
        cliente.numero = kCliente;
        cliente.nombre = QStringLiteral("RUIZ SOTO ANA");
        p.bd().cliente(cliente);
        if (!servidor.iniciar() || !QDir(servidor.raiz()).mkpath(QStringLiteral("gdl")))
            return false;
        if (conSane) {
            sane = std::make_unique<ConfigSanePrueba>();
            const QString carpeta = sane->nuevaCarpetaRecuperacion();
            p.entorno.crearEscaner = [carpeta] { return std::make_unique<EscanerSane>(carpeta); };
        } else {
            p.entorno.crearEscaner = [this] {
                auto nuevo = std::make_unique<EscanerGuionado>();
                escaner = nuevo.get();
                return nuevo;
            };
        }
        p.entorno.FTP = &ftp;
        if (!p.cargar())
            return false;
        DatosServidorImagenes& config = p.global.ConfigServidorImagenes;
        config.servidor = QStringLiteral("127.0.0.1");
        config.usuario = servidor.usuario();
        config.contrasena = servidor.contrasena();
        config.puerto = QString::number(servidor.puerto());
        config.Ruta = QStringLiteral("/gdl");
        elegirCliente();
        p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        return true;
    }
    void elegirCliente()
    {
        auto* lista = p.ventana().findChild<ListaExpedientes*>();
        lista->mostrarBusqueda = [this] {
            p.global.ClienteSeleccionado = {kCliente, QStringLiteral("RUIZ SOTO ANA"),
                                            QStringLiteral("RUSA800101AB1"),
                                            QStringLiteral("HIDALGO 10"), QStringLiteral("33")};
        };
        p.clic("CmdCLientes");
    }
    void escanear(int paginas = 1)
    {
        if (escaner) {
            EscanerGuionado::Tanda tanda;
            for (int i = 0; i < paginas; ++i)
                tanda.paginas << hoja(i);
            escaner->tandas.enqueue(tanda);
        }
        p.clic("B_Acquire");
    }
    GuardadoDocumento& guardado() { return *p.ventana().findChild<GuardadoDocumento*>(); }
    SesionCaptura& sesion() { return p.ventana().sesion(); }
    QString remoto(const QString& nombre) const
    {
        return servidor.raiz() + QStringLiteral("/gdl/") + nombre;
    }
    QStringList remotos() const
    {
        return QDir(servidor.raiz() + QStringLiteral("/gdl")).entryList(QDir::Files);
    }
    QVariant valor(const QString& consulta) { return p.bd().valor(consulta); }
    int filas() { return valor(QStringLiteral("SELECT COUNT(*) FROM Expedientes_ZR")).toInt(); }
    QVariant bandera(const char* columna)
    {
        return valor(QStringLiteral("SELECT %1 FROM Expedientes_ZR WHERE expediente = %2")
                         .arg(QLatin1String(columna), NumeroPlano(sesion().FolioActual)));
    }
    bool visible(const char* marca) { return !p.control<QWidget>(marca)->isHidden(); }
    QString estatus() { return p.control<QLabel>("LblEstatus")->text(); }
    int paginas() { return p.ventana().VSTwain1()->NumeroPaginas(); }
    int veces(const QString& inicio)
    {
        int n = 0;
        for (const QString& s : p.sentencias())
            n += s.startsWith(inicio) ? 1 : 0;
        return n;
    }
    // The state a save that went ahead leaves, whatever became of the upload.
    void verificarReinicio()
    {
        QCOMPARE(p.control<QPushButton>("BUpload")->text(), QStringLiteral("&Guardar"));
        QVERIFY(!p.control<QPushButton>("BUpload")->isEnabled());
        QVERIFY(!p.control<QPushButton>("B_Acquire")->isEnabled());
        QVERIFY(p.control<QGroupBox>("FrmDocumentos")->isEnabled());
        QVERIFY(p.control<QPushButton>("CmdCLientes")->isEnabled());
        QCOMPARE(p.control<QLineEdit>("TextImgCounter")->text(), QStringLiteral("0"));
        QCOMPARE(paginas(), 0);
        QVERIFY(!p.global.CambiosPendientes);
        QVERIFY(!QApplication::overrideCursor());
    }
};

const QString kInsert =
    QStringLiteral("INSERT INTO  BRAX.dbo.Expedientes_ZR( Cliente,sucursal, fecha,es_prestamo) "
                   "VALUES (700,?,GETDATE(),?)");
const QString kUpdate = QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET ");
const QString kCajaSubida =
    QStringLiteral("error|No se pudo Guardar el Expediente, favor de reintentarlo!!|No se puede "
                   "Conectar con el servidor de Imagenes");
} // namespace

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
    }

    void tipoYaGuardado_preguntaAntesDeAgregar_data()
    {
        QTest::addColumn<bool>("agregar");
        QTest::newRow("si") << true;
        QTest::newRow("no") << false;
    }
    void tipoYaGuardado_preguntaAntesDeAgregar()
    {
        QFETCH(bool, agregar);
        Escenario e;
        const double folio = e.p.bd().expediente(kCliente);
        e.p.bd().conexion().ejecutar(
            QStringLiteral("UPDATE Expedientes_ZR SET imagen_NOTA = 1 WHERE expediente = %1")
                .arg(NumeroPlano(folio)));
        QVERIFY(e.preparar());
        const QString nombre = NumeroPlano(folio) + QStringLiteral("N.tif");
        QVERIFY(EscritorTiff::agregarImagen(e.remoto(nombre), hoja(5), 200, nullptr));
        const QByteArray guardado = leer(e.remoto(nombre));
        e.p.clic("OpcNota"); // fetches the stored copy into the working file
        QVERIFY(e.sesion().DocumentoExiste);
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
        QCOMPARE(e.veces(kUpdate), 0);
        QCOMPARE(e.veces(QStringLiteral("INSERT")), 0);
        QCOMPARE(EscritorTiff::contarPaginas(QStringLiteral("expedienteN.tif")), 3);
        if (agregar)
            QCOMPARE(leer(e.remoto(nombre)), leer(QStringLiteral("expedienteN.tif")));
        else
            QCOMPARE(leer(e.remoto(nombre)), guardado);
        QCOMPARE(e.visible("nOK"), agregar);
        e.verificarReinicio();
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
        QCOMPARE(GuardadoDocumento::Megas(kilobytes), texto);
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

    void folioNulo_noSubeNiMarcaYElSiguienteGuardadoCreaOtraVez()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.guardado().leerFolio = [](ConexionBaseDatos&) { return QVariant(); };
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
        e.verificarReinicio();
        QVERIFY(QFile::exists(QStringLiteral("expedienteN.tif")));

        // Never uploaded under folio 0: the next save asks for a folio again.
        e.p.mensajes.limpiar();
        e.guardado().leerFolio = [](ConexionBaseDatos& c) { return c.regresaFolio(); };
        e.p.clic("OpcNota");
        e.escanear();
        e.p.clic("BUpload");
        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.p.mensajes.resumen().join('\n')));
        QVERIFY(e.sesion().FolioActual > 0);
        QCOMPARE(e.remotos(),
                 QStringList{NumeroPlano(e.sesion().FolioActual) + QStringLiteral("N.tif")});
        // Both pages: the one of the first save waited in the working file.
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(e.remotos().first())), 2);
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

    void servidorCaido_noMarcaYLasHojasNoSeBorranSinPreguntar_data()
    {
        QTest::addColumn<bool>("borrar");
        QTest::newRow("conservar") << false;
        QTest::newRow("borrar") << true;
    }
    void servidorCaido_noMarcaYLasHojasNoSeBorranSinPreguntar()
    {
        QFETCH(bool, borrar);
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear(2);
        e.servidor.matar();
        e.p.clic("BUpload");

        const QString nombre = NumeroPlano(e.sesion().FolioActual) + QStringLiteral("N.tif");
        QCOMPARE(e.p.mensajes.resumen(),
                 (QStringList{QStringLiteral("error|No se pudo conectar al servidor de Imagenes|"
                                             "Trate de Nuevo"),
                              kCajaSubida}));
        QCOMPARE(e.estatus(), QStringLiteral("No se pudo Guardar el Expediente: ") + nombre);
        QCOMPARE(e.filas(), 1);
        QCOMPARE(e.bandera("imagen_NOTA").toInt(), 0);
        QVERIFY(!e.visible("nOK"));
        QVERIFY(e.p.visor.abiertos.isEmpty());
        e.verificarReinicio();
        QCOMPARE(EscritorTiff::contarPaginas(QStringLiteral("expedienteN.tif")), 2);

        // Another customer: the working file with pages never sent is not deleted silently.
        e.p.mensajes.limpiar();
        e.p.mensajes.responder(borrar);
        e.elegirCliente();
        QCOMPARE(e.p.mensajes.cajas().size(), 1);
        QCOMPARE(e.p.mensajes.cajas().first().tipo, MensajesGrabados::Tipo::Pregunta);
        QVERIFY(e.p.mensajes.cajas().first().mensaje.contains(QStringLiteral("expedienteN.tif")));
        QCOMPARE(QFile::exists(QStringLiteral("expedienteN.tif")), !borrar);

        // Kept, its pages are not uploaded under the next case file's folio.
        e.p.mensajes.limpiar();
        e.servidor.reiniciar();
        e.p.clic("OpcNota");
        e.escanear();
        e.p.mensajes.responder(true);
        e.p.clic("BUpload");
        QCOMPARE(e.ftp.envios, borrar ? 2 : 1);
        QCOMPARE(e.filas(), 1);
        if (!borrar) {
            QVERIFY(e.p.mensajes.resumen().last().contains(QStringLiteral("cliente 700, folio 1")));
            QCOMPARE(e.paginas(), 1);
        }
    }

    void guardarDosVeces_unaSolaAltaDelExpediente()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.p.clic("OpcNota");
        e.escanear();
        e.servidor.matar();
        e.p.clic("BUpload");
        QVERIFY(e.servidor.reiniciar());
        e.p.mensajes.limpiar();
        e.p.clic("OpcNota"); // the working file holds the unsent page: the type counts as held
        e.escanear();
        e.p.mensajes.responder(true);
        e.p.clic("BUpload");
        QCOMPARE(e.p.mensajes.cajas().size(), 1);
        QCOMPARE(e.p.mensajes.cajas().first().tipo, MensajesGrabados::Tipo::Pregunta);
        QCOMPARE(e.veces(QStringLiteral("INSERT")), 1);
        QCOMPARE(e.filas(), 1);
        QCOMPARE(e.bandera("imagen_NOTA").toInt(), 1);
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(e.remotos().first())), 2);
        // Sent at last: choosing another customer deletes the file without asking.
        e.p.mensajes.limpiar();
        e.elegirCliente();
        QVERIFY(e.p.mensajes.cajas().isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));
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
        e.verificarReinicio();
        // The save emptied the scanner and left the remove button on: it finds no page.
        e.p.mensajes.limpiar();
        e.p.clic("BDelete");
        QCOMPARE(e.p.mensajes.resumen(),
                 QStringList{QStringLiteral("simple|No existe la hoja 0.|")});
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

QTEST_MAIN(PruebaGuardadoDocumento)
#include "tst_GuardadoDocumento.moc"
