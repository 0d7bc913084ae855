#include "app/ErrorSistema.h"
#include "app/FrmEscaneo.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "support/LimiteArchivos.h"
#include "support/ServidorFtpPrueba.h"
#include "support/VentanaPrueba.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>

#include <memory>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
const QString kCajaConexion =
    QStringLiteral("error|No se pudo conectar al servidor de Imagenes|Trate de Nuevo");
// A refusal by the TLS policy says why, so support can act on it; <puerto> is the server's.
const QString kCajaConexionTls = QStringLiteral(
    "error|No se pudo conectar al servidor de Imagenes\n\nNo se pudo conectar con el servidor de "
    "imágenes 127.0.0.1: el servidor 127.0.0.1, puerto <puerto>, no ofrece TLS, y esta estación "
    "lo exige (política obligatorio)|Trate de Nuevo");
const QString kCajaDescarga =
    QStringLiteral("error|Falla con el servidor de Imagenes|Trate de Nuevo");
const QString kCajaGrave = QStringLiteral("error|Error Grave No se pudo conectar|Trate de Nuevo");
// <carpeta> is the working folder, <remoto> the stored document's name.
const QString kCajaDiscoLleno = QStringLiteral(
    "error|No hay espacio en el disco de la carpeta de trabajo <carpeta> para recibir el "
    "documento <remoto>. Libere espacio en el disco y vuelva a elegir el documento.|Falla en la "
    "carpeta de trabajo");
const QString kCajaSinPermiso = QStringLiteral(
    "error|No se pudo escribir el archivo de trabajo expedienteN.tif en la carpeta <carpeta> (no "
    "hay permiso de escritura), el documento <remoto> no se recibió. Revise que la carpeta admita "
    "escritura y vuelva a elegir el documento.|Falla en la carpeta de trabajo");

// The real client, with every call written down so the tests can tell what reached the server.
class ClienteFtpAnotado : public ClienteFtp
{
public:
    ClienteFtpAnotado()
    {
        real.FijarLimitesTiempo(3s, 3s);
        connect(&real, &ClienteFtp::AvanceTransferencia, this, &ClienteFtp::AvanceTransferencia);
    }
    int Conectar() override
    {
        anotar(QStringLiteral("Conectar %1 %2 %3 %4")
                   .arg(servidor(), usuario(), contrasena())
                   .arg(puerto()));
        if (falloConectar)
            throw ErrorSistema(-2147221504, QStringLiteral("Componente FTP no responde"));
        real.FijarServidor(servidor());
        real.FijarUsuario(usuario());
        real.FijarContrasena(contrasena());
        real.FijarPuerto(puerto());
        real.FijarPoliticaTls(politicaTls());
        real.FijarArchivoLlaves(archivoLlaves());
        return real.Conectar();
    }
    int CambiarDirectorioRemoto(const QString& d) override
    {
        anotar("CambiarDirectorioRemoto " + d);
        return real.CambiarDirectorioRemoto(d);
    }
    int EnviarArchivo(const QString& l, const QString& r) override
    {
        return real.EnviarArchivo(l, r);
    }
    int RecibirArchivo(const QString& remoto, const QString& local) override
    {
        anotar("RecibirArchivo " + remoto + " " + local);
        if (duranteRecepcion)
            duranteRecepcion();
        const int resultado = real.RecibirArchivo(remoto, local);
        if (dejarParcial) {
            // A component that breaks its promise and leaves half a file behind.
            QFile parcial(local);
            if (parcial.open(QIODevice::WriteOnly))
                parcial.write("II*\0parcial");
            return 0;
        }
        return resultado;
    }
    int BorrarArchivoRemoto(const QString& r) override { return real.BorrarArchivoRemoto(r); }
    int Desconectar() override
    {
        anotar("Desconectar");
        return real.Desconectar();
    }
    QString UltimoError() const override { return real.UltimoError(); }
    Falla UltimaFalla() const override { return real.UltimaFalla(); }
    int ErrorLocal() const override { return real.ErrorLocal(); }
    bool ocupado() const override { return real.ocupado(); }

    int veces(const QString& prefijo) const
    {
        int n = 0;
        for (const QString& llamada : llamadas)
            n += llamada.startsWith(prefijo) ? 1 : 0;
        return n;
    }

    ClienteFtpCurl real;
    QStringList llamadas;
    bool falloConectar = false;
    bool dejarParcial = false;
    std::function<void()> duranteRecepcion;

private:
    void anotar(const QString& llamada) { llamadas << llamada; }
};

// A branch with its image server on loopback and customer 500 holding one 'Capturado' case file
// whose N document is stored. The window is loaded, the customer chosen, the scanning tab open.
// The client is declared before the window so it outlives it.
struct Escenario
{
    ClienteFtpAnotado ftp;
    ServidorFtpPrueba servidor;
    VentanaPrueba p;
    double folio = 0;
    QByteArray documento;

    bool preparar(bool conBandera = true)
    {
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        BaseDatosPrueba::Cliente cliente;
        cliente.numero = 500;
        cliente.nombre = QStringLiteral("PEREZ LOPEZ JUAN");
        p.bd().cliente(cliente);
        p.bd().expediente(500, QStringLiteral("S01"), QStringLiteral("Cancelado"));
        folio = p.bd().expediente(500);
        if (conBandera)
            marcar(QStringLiteral("imagen_NOTA"));
        if (!servidor.iniciar() || !QDir(servidor.raiz()).mkpath(QStringLiteral("gdl")))
            return false;
        documento = QByteArray("II*\0", 4) + QByteArray(200 * 1024, '\x5a');
        if (!guardarEnServidor(QString::number(folio) + QStringLiteral("N.tif"), documento))
            return false;

        p.entorno.FTP = &ftp;
        if (!p.cargar())
            return false;
        servidor.configurar(p.global.ConfigServidorImagenes, QStringLiteral("/gdl"));
        p.global.ClienteSeleccionado.NumeroCliente = 500;
        p.global.EstadoExpediente = QStringLiteral("Capturado");
        p.control<QTabWidget>("TabScan")->setEnabled(true);
        p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        return true;
    }
    void marcar(const QString& columna)
    {
        p.bd().conexion().ejecutar(QStringLiteral("UPDATE Expedientes_ZR SET %1 = 1 WHERE "
                                                  "expediente = %2")
                                       .arg(columna, NumeroPlano(folio)));
    }
    bool guardarEnServidor(const QString& nombre, const QByteArray& datos)
    {
        QFile archivo(servidor.raiz() + QStringLiteral("/gdl/") + nombre);
        return archivo.open(QIODevice::WriteOnly) && archivo.write(datos) == datos.size();
    }
    QString estatus() { return p.control<QLabel>("LblEstatus")->text(); }
    SesionCaptura& sesion() { return p.ventana().sesion(); }
    QString remotoN() const { return QString::number(folio) + QStringLiteral("N.tif"); }
};

QByteArray leer(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<no existe>");
}
} // namespace

// Fetching the stored document of the picked type from the image server, and the connection
// every transfer opens first; on the real window, the embedded database and a real FTP server.
class PruebaRecepcionDocumento : public QObject
{
    Q_OBJECT

private slots:
    void sinFolio_ligaElExpedienteCapturadoYDescargaSuDocumento()
    {
        Escenario e;
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        QStringList deshabilitadosDurante;
        bool cerroDurante = true;
        e.ftp.duranteRecepcion = [&] {
            for (const char* nombre : {"CmdCLientes", "iExpedientes", "OpcNota", "OpcCarta", "nOK",
                                       "B_Acquire", "BUpload", "CmdAsignar"})
                if (!e.p.control<QWidget>(nombre)->isEnabled())
                    deshabilitadosDurante << QLatin1String(nombre);
            if (!e.p.control<QTabWidget>("TabScan")->findChild<QTabBar*>()->isEnabled())
                deshabilitadosDurante << QStringLiteral("pestanas");
            cerroDurante = e.p.ventana().close();
        };
        e.p.control<QPushButton>("B_Acquire")->setEnabled(false);

        const auto habilitados = [&e] {
            QStringList lista;
            for (const char* nombre : {"CmdCLientes", "iExpedientes", "OpcNota", "OpcCarta", "nOK",
                                       "BUpload", "CmdAsignar", "chkPrestamo"})
                if (e.p.control<QWidget>(nombre)->isEnabled())
                    lista << QLatin1String(nombre);
            return lista;
        };
        e.p.control<QPushButton>("BUpload")->setEnabled(true);
        const QStringList habilitadosAntes = habilitados();
        QVERIFY(!habilitadosAntes.contains(QStringLiteral("CmdAsignar")));
        QSignalSpy avance(&e.ftp, &ClienteFtp::AvanceTransferencia);

        e.p.clic("OpcNota");

        QCOMPARE(e.p.mensajes.resumen(), QStringList());
        QCOMPARE(e.sesion().FolioActual, e.folio);
        QVERIFY(e.sesion().ExpedienteExiste);
        QVERIFY(e.sesion().DocumentoExiste);
        QCOMPARE(e.sesion().ResultadoFtp, 1);
        QCOMPARE(leer(QStringLiteral("expedienteN.tif")), e.documento);
        QCOMPARE(e.p.visor.abiertos, QStringList{QStringLiteral("expedienteN.tif")});
        QCOMPARE(e.estatus(), QStringLiteral("Expediente Recibido con Exito!!: ") + e.remotoN());
        QVERIFY(e.p.sentencias().contains(
            QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE Cliente = 500  and "
                           "estado_actual='Capturado'")));
        const QStringList esperadas{QStringLiteral("Conectar 127.0.0.1 imagenes clave secreta ") +
                                        QString::number(e.servidor.puerto()),
                                    QStringLiteral("CambiarDirectorioRemoto /gdl"),
                                    QStringLiteral("RecibirArchivo ") + e.remotoN() +
                                        QStringLiteral(" expedienteN.tif"),
                                    QStringLiteral("Desconectar")};
        QCOMPARE(e.ftp.llamadas, esperadas);
        QCOMPARE(e.p.control<QProgressBar>("ProgressBar1")->value(), 100);
        QVERIFY(!QApplication::overrideCursor());

        // Everything that could start another transfer or change the case file or the type was
        // disabled and the window refused to close under the transfer; afterwards each control
        // is back as it was (B_Acquire then follows the case file's state).
        QCOMPARE(deshabilitadosDurante,
                 QStringList({"CmdCLientes", "iExpedientes", "OpcNota", "OpcCarta", "nOK",
                              "B_Acquire", "BUpload", "CmdAsignar", "pestanas"}));
        QVERIFY(!cerroDurante);
        QVERIFY(e.p.ventana().isVisible());
        // The case file taken shows as a picked one: what it holds, its loan flag fixed, and
        // the destination line names it.
        QStringList esperados = habilitadosAntes;
        QVERIFY(esperados.removeAll(QStringLiteral("chkPrestamo")) == 1);
        QCOMPARE(habilitados(), esperados);
        QVERIFY(!e.p.control<QLabel>("nOK")->isHidden());
        QVERIFY(e.p.control<QLabel>("sOK")->isHidden() && !e.p.control<QLabel>("sFa")->isHidden());
        QCOMPARE(e.p.control<QLabel>("LblDestino")->text(),
                 QStringLiteral("Expediente ") + NumeroPlano(e.folio));
        QVERIFY(e.p.control<QPushButton>("B_Acquire")->isEnabled());
        QVERIFY(e.p.control<QTabWidget>("TabScan")->findChild<QTabBar*>()->isEnabled());
        QVERIFY(!avance.isEmpty());
    }

    void sinDocumentoGuardado_noDescarga_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<bool>("expedienteExiste");
        QTest::addColumn<QString>("estatus");
        QTest::newRow("bandera sin poner") << "sin bandera" << true << "antes";
        QTest::newRow("folio que ya no existe")
            << "folio borrado" << false << "No Existe Documento Digitalizado";
        QTest::newRow("cliente sin expediente capturado")
            << "sin capturado" << false << "No Existe Documento Digitalizado";
    }

    void sinDocumentoGuardado_noDescarga()
    {
        QFETCH(QString, caso);
        QFETCH(bool, expedienteExiste);
        QFETCH(QString, estatus);
        Escenario e;
        QVERIFY(e.preparar(false));
        e.sesion().FolioActual = e.folio;
        if (caso == QLatin1String("folio borrado")) {
            e.p.bd().conexion().ejecutar(
                QStringLiteral("DELETE FROM Expedientes_ZR WHERE expediente = %1")
                    .arg(NumeroPlano(e.folio)));
        } else if (caso == QLatin1String("sin capturado")) {
            e.sesion().FolioActual = 0;
            e.p.global.ClienteSeleccionado.NumeroCliente = 777;
        }
        e.sesion().DocumentoExiste = true;
        e.sesion().ExpedienteExiste = !expedienteExiste;
        e.p.control<QLabel>("LblEstatus")->setText(QStringLiteral("antes"));

        e.p.clic("OpcNota");

        QCOMPARE(e.p.mensajes.resumen(), QStringList());
        QCOMPARE(e.estatus(), estatus);
        QCOMPARE(e.sesion().ExpedienteExiste, expedienteExiste);
        // Only a row without the document clears it; without a row it is left alone.
        QCOMPARE(e.sesion().DocumentoExiste, !expedienteExiste);
        QCOMPARE(e.sesion().LetraActual, QStringLiteral("N"));
        QCOMPARE(e.ftp.llamadas, QStringList());
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));
        QVERIFY(e.p.visor.abiertos.isEmpty());
        QVERIFY(!QApplication::overrideCursor());
    }

    void descargaFallida_avisaYNoDejaArchivo_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QStringList>("cajas");
        QTest::newRow("archivo ausente en el servidor") << "ausente" << QStringList{kCajaDescarga};
        QTest::newRow("servidor caido") << "caido" << QStringList{kCajaConexion, kCajaDescarga};
        QTest::newRow("contrasena equivocada")
            << "contrasena" << QStringList{kCajaConexion, kCajaDescarga};
        // The test server offers no TLS.
        QTest::newRow("TLS obligatorio en los ajustes")
            << "obligatorio" << QStringList{kCajaConexionTls, kCajaDescarga};
        QTest::newRow("componente deja un archivo parcial")
            << "parcial" << QStringList{kCajaDescarga};
        // The working folder, not the server, is to blame.
        QTest::newRow("carpeta de trabajo llena")
            << "carpeta llena" << QStringList{kCajaDiscoLleno};
        QTest::newRow("carpeta de trabajo sin permiso de escritura")
            << "carpeta sin permiso" << QStringList{kCajaSinPermiso};
    }

    void descargaFallida_avisaYNoDejaArchivo()
    {
        QFETCH(QString, caso);
        QFETCH(QStringList, cajas);
        if (caso == QLatin1String("carpeta sin permiso") && geteuid() == 0)
            QSKIP("Como root los permisos de la carpeta no impiden escribir");
        Escenario e;
        QVERIFY(e.preparar());
        const QString carpeta = e.p.carpetaTrabajo();
        const bool local = caso.startsWith(QLatin1String("carpeta"));
        std::unique_ptr<LimiteArchivos> limite;
        const auto permisos = QFile::permissions(carpeta);
        if (caso == QLatin1String("carpeta llena")) {
            // Room for a part of the document only.
            limite = std::make_unique<LimiteArchivos>(e.documento.size() / 4);
            QVERIFY(limite->valido());
        } else if (caso == QLatin1String("carpeta sin permiso")) {
            QVERIFY(QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::ExeOwner));
        } else if (caso == QLatin1String("ausente"))
            QVERIFY(QFile::remove(e.servidor.raiz() + QStringLiteral("/gdl/") + e.remotoN()));
        else if (caso == QLatin1String("caido"))
            e.servidor.matar();
        else if (caso == QLatin1String("contrasena"))
            e.p.global.ConfigServidorImagenes.contrasena = QStringLiteral("otra");
        else if (caso == QLatin1String("parcial"))
            e.ftp.dejarParcial = true;
        else if (caso == QLatin1String("obligatorio"))
            QSettings(e.p.entorno.archivoAjustes, QSettings::IniFormat)
                .setValue(QStringLiteral("servidor-imagenes/tls"), caso);
        e.sesion().DocumentoExiste = false;

        e.p.clic("OpcNota");
        limite.reset();
        QFile::setPermissions(carpeta, permisos);

        for (QString& caja : cajas)
            caja.replace(QLatin1String("<carpeta>"), QDir::toNativeSeparators(carpeta))
                .replace(QLatin1String("<remoto>"), e.remotoN())
                .replace(QLatin1String("<puerto>"), QString::number(e.servidor.puerto()));
        QCOMPARE(e.p.mensajes.resumen(), cajas);
        QCOMPARE(e.estatus(), local ? QStringLiteral("Falla en la carpeta de trabajo: ") + carpeta
                                    : QStringLiteral("Falla del servidor FTP!!: ") + e.remotoN());
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));
        QVERIFY(e.p.visor.abiertos.isEmpty());
        QVERIFY(!e.sesion().DocumentoExiste);
        QVERIFY(e.sesion().ExpedienteExiste);
        QVERIFY(e.sesion().ResultadoFtp != 1);
        QVERIFY(!QApplication::overrideCursor());
        // The directory is asked for whatever the connect returned; the failure still
        // disconnects.
        QCOMPARE(e.ftp.veces(QStringLiteral("CambiarDirectorioRemoto")), 1);
        QCOMPARE(e.ftp.veces(QStringLiteral("Desconectar")), 1);
        QVERIFY(e.p.control<QWidget>("CmdCLientes")->isEnabled());

        // Nothing partial was taken for the document: picking the type again downloads again.
        if (caso == QLatin1String("parcial") || local) {
            e.ftp.dejarParcial = false;
            e.p.clic("OpcNota");
            QCOMPARE(leer(QStringLiteral("expedienteN.tif")), e.documento);
        }
    }

    void errorGrave_avisaYNoSigue_data()
    {
        QTest::addColumn<QString>("puerto");
        QTest::addColumn<bool>("componenteFalla");
        // The workstation's TLS policy, as its settings file holds it.
        QTest::addColumn<QString>("tls");
        QTest::newRow("letras") << "abc" << false << "";
        QTest::newRow("cero") << "0" << false << "";
        QTest::newRow("negativo") << "-21" << false << "";
        QTest::newRow("mayor que 65535") << "65536" << false << "";
        QTest::newRow("vacio") << "" << false << "";
        QTest::newRow("fraccion") << "21.5" << false << "";
        QTest::newRow("error del componente") << "" << true << "";
        QTest::newRow("politica TLS mal escrita") << "-" << false << "obligatoria";
    }

    void errorGrave_avisaYNoSigue()
    {
        QFETCH(QString, puerto);
        QFETCH(bool, componenteFalla);
        QFETCH(QString, tls);
        Escenario e;
        QVERIFY(e.preparar());
        if (componenteFalla)
            e.ftp.falloConectar = true;
        else if (!tls.isEmpty())
            QSettings(e.p.entorno.archivoAjustes, QSettings::IniFormat)
                .setValue(QStringLiteral("servidor-imagenes/tls"), tls);
        else
            e.p.global.ConfigServidorImagenes.puerto = puerto;
        e.sesion().ResultadoFtp = 1;

        e.p.clic("OpcNota");

        QCOMPARE(e.p.mensajes.resumen(), QStringList{kCajaGrave});
        QCOMPARE(e.estatus(), QStringLiteral("Error Grave No se pudo conectar"));
        QCOMPARE(e.ftp.veces(QStringLiteral("Conectar")), componenteFalla ? 1 : 0);
        QCOMPARE(e.ftp.veces(QStringLiteral("RecibirArchivo")), 0);
        QCOMPARE(e.sesion().ResultadoFtp, 0);
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));
        QVERIFY(!QApplication::overrideCursor());
        // The program goes on and the window is usable: a later pick with good settings works.
        QVERIFY(e.p.ventana().isVisible());
        QVERIFY(e.p.control<QWidget>("CmdCLientes")->isEnabled());
        QVERIFY(e.p.control<QWidget>("OpcNota")->isEnabled());
        e.ftp.falloConectar = false;
        QSettings(e.p.entorno.archivoAjustes, QSettings::IniFormat).clear();
        e.p.global.ConfigServidorImagenes.puerto = QString::number(e.servidor.puerto());
        e.p.mensajes.limpiar();
        e.p.clic("OpcNota");
        QCOMPARE(e.p.mensajes.resumen(), QStringList());
        QCOMPARE(leer(QStringLiteral("expedienteN.tif")), e.documento);
    }

    void dosTransferenciasSeguidas_conectanDosVeces()
    {
        Escenario e;
        QVERIFY(e.preparar());
        e.marcar(QStringLiteral("imagen_IFE"));
        const QByteArray ife("II*\0identificacion", 18);
        QVERIFY(e.guardarEnServidor(QString::number(e.folio) + QStringLiteral("I.tif"), ife));

        e.p.clic("OpcNota");
        e.p.clic("OpcIdentificacion");

        QCOMPARE(e.p.mensajes.resumen(), QStringList());
        QCOMPARE(e.ftp.veces(QStringLiteral("Conectar")), 2);
        QCOMPARE(e.ftp.veces(QStringLiteral("Desconectar")), 2);
        QCOMPARE(leer(QStringLiteral("expedienteI.tif")), ife);
        QCOMPARE(e.p.visor.abiertos, QStringList({QStringLiteral("expedienteN.tif"),
                                                  QStringLiteral("expedienteI.tif")}));
        // The second look-up goes by the folio the first one bound.
        QVERIFY(e.p.sentencias().contains(
            QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE expediente = ") +
            NumeroPlano(e.folio) + QStringLiteral(" ")));
    }
};

QTEST_MAIN(PruebaRecepcionDocumento)
#include "tst_RecepcionDocumento.moc"
