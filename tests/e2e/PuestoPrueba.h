#pragma once

#include "app/ConexionBaseDatos.h"
#include "app/FrmEscaneo.h"
#include "app/SesionCaptura.h"
#include "components/escaner/EscanerSane.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "components/tiff/EscritorTiff.h"
#include "search/FrmBusqueda_Cliente.h"
#include "support/ConfigSanePrueba.h"
#include "support/HojasAbandonadas.h"
#include "support/ServidorFtpPrueba.h"
#include "support/VentanaPrueba.h"
#include "transfer/DocumentosEnEspera.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <memory>
#include <sane/saneopts.h>

using namespace std::chrono_literals;

// The customer the roads work on, another one whose name matches the same search, and the sale
// of order mode.
inline constexpr double kCliente = 4711;
inline constexpr double kVecino = 4712;
inline constexpr double kPedido = 880001;
inline const QString kNombre = QStringLiteral("MORALES IBARRA ROSA");
inline const QString kClavePedido = QStringLiteral("GDL-880001");
inline const QString kFeeder = QStringLiteral("Automatic Document Feeder");
inline const QString kPlana = QStringLiteral("Flatbed");

inline QByteArray leerArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<no existe>");
}

// The real client; a test may change what an upload answers once it is done, as when the
// server stored the file and its answer was lost on the way back.
class ClienteFtpPuesto : public ClienteFtpCurl
{
public:
    int EnviarArchivo(const QString& local, const QString& remoto) override
    {
        const int resultado = ClienteFtpCurl::EnviarArchivo(local, remoto);
        return trasEnvio ? trasEnvio(resultado) : resultado;
    }
    std::function<int(int)> trasEnvio;
};

// A branch workstation with real parts only: the real window over the embedded database (or
// the same file through QODBC and the SQLite ODBC driver), the SANE test backend, the libcurl
// client and an FTP server on loopback. The settings come from the database rows, as at a
// branch; nothing is patched after the load.
class PuestoPrueba
{
public:
    explicit PuestoPrueba(ConfigSanePrueba& sane, bool odbc = false,
                          ServidorFtpPrueba::Tipo tipo = ServidorFtpPrueba::Tipo::Normal)
        : servidor(tipo), sane_(sane), odbc_(odbc)
    {
        ftp.FijarLimitesTiempo(5s, 5s);
    }

    // Seeds the branch, the image server, two customers and a sale; starts the server.
    bool preparar(double tamano = 10240)
    {
        if (!servidor.iniciar() || !QDir(servidor.raiz()).mkpath(QStringLiteral("gdl")))
            return false;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        BaseDatosPrueba::ServidorImagenes fila;
        fila.direccion_local = fila.direccion_remota = QStringLiteral("127.0.0.1");
        fila.usuario = servidor.usuario();
        fila.contrasena = servidor.contrasena();
        fila.puerto = QString::number(servidor.puerto());
        fila.tamano = tamano;
        fila.resolucion_BN = 50;
        fila.resolucion_RGB = 50;
        fila.Ruta = QStringLiteral("/gdl");
        p.bd().servidorImagenes(fila);
        BaseDatosPrueba::Cliente cliente;
        cliente.numero = kCliente;
        cliente.nombre = kNombre;
        cliente.rfc = QStringLiteral("MOIR800101AB1");
        p.bd().cliente(cliente);
        cliente.numero = kVecino;
        cliente.nombre = QStringLiteral("MORALES IBARRA LUIS");
        p.bd().cliente(cliente);
        p.bd().venta(kPedido, kCliente, QStringLiteral("S01"), kClavePedido);
        if (odbc_) {
            const QString ruta = p.bd().rutaBase();
            p.conexion.fijarSustitucionCadena([ruta](const QString&) {
                return QStringLiteral("Driver={SQLite3};Database=%1;").arg(ruta);
            });
        }
        p.entorno.FTP = &ftp;
        // One recovery folder for the workstation, as at a branch: a start finds what the run
        // before it left there.
        recuperacion_ = sane_.nuevaCarpetaRecuperacion();
        p.entorno.crearEscaner = [this] { return std::make_unique<EscanerSane>(recuperacion_); };
        return true;
    }

    // Starts the program (again): a fresh shared state over the same database and folders.
    bool arrancar(const QString& lineaComandos = {})
    {
        p.global = Global{};
        return p.cargar(lineaComandos);
    }

    // The program keeps its data (the recovery folder and the working files) under `carpeta`.
    void mudarDatos(const QString& carpeta)
    {
        recuperacion_ = QDir(carpeta).filePath(QStringLiteral("recuperacion"));
        const QString trabajo = QDir(carpeta).filePath(QStringLiteral("trabajo"));
        QVERIFY(QDir().mkpath(trabajo) && QDir::setCurrent(trabajo));
    }

    // Ends the run as a crash would: nothing of the program's clean-up runs, and what it kept
    // on disk is left to a process that is gone. Then the program starts again. With `apagar`,
    // a power cut: it runs once the window is gone (taking the disk away and giving it back).
    bool caerYArrancar(const std::function<bool()>& apagar = {})
    {
        const QString carpeta = escaner().CarpetaSesion();
        if (apagar) {
            p.descartarVentana();
            if (!apagar())
                return false;
        }
        if (!carpeta.isEmpty() && QDir(carpeta).exists()) {
            const QString muerta = QStringLiteral("sesion-%1-%2")
                                       .arg(QDateTime::currentDateTime().addSecs(-60).toString(
                                                QStringLiteral("yyyyMMdd-HHmmss")),
                                            QString::number(HojasAbandonadas::pidTerminado()));
            if (!QDir().rename(carpeta, QDir(recuperacion_).filePath(muerta))) {
                qWarning() << "no se pudo dejar" << carpeta << "como" << muerta;
                return false;
            }
        }
        return arrancar();
    }

    // The customer chosen (and the case file of `folio`, when given), type N picked and `hojas`
    // flatbed pages held.
    void escanearNota(int hojas, double folio = 0)
    {
        QVERIFY(arrancar());
        escanearPara(kNombre, kCliente, hojas, folio);
    }
    // The same in the program running: the customer of that name and number.
    void escanearPara(const QString& nombre, double cliente, int hojas, double folio = 0)
    {
        QCOMPARE(buscarCliente(nombre, cliente), 1);
        if (folio > 0)
            elegirExpediente(folio);
        p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        p.clic("OpcNota");
        fuente(kPlana);
        p.control<QCheckBox>("ChkShowUI")->setChecked(true);
        for (int i = 0; i < hojas; ++i)
            p.clic("B_Acquire");
        QCOMPARE(paginas(), hojas);
    }

    // A case file of the customer whose N document is flagged as stored; its folio.
    double expedienteConNota()
    {
        const double folio = p.bd().expediente(kCliente);
        p.bd().conexion().ejecutar(
            QStringLiteral("UPDATE Expedientes_ZR SET imagen_NOTA = 1 WHERE expediente = %1")
                .arg(NumeroPlano(folio)));
        return folio;
    }

    // The customer button with the real search dialog: types the text, searches, and double
    // clicks the row of the customer. Returns the rows the search found.
    int buscarCliente(const QString& texto, double cliente = kCliente)
    {
        int filas = -1;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<FrmBusqueda_Cliente*>(QApplication::activeModalWidget()));
            auto* dialogo = qobject_cast<FrmBusqueda_Cliente*>(QApplication::activeModalWidget());
            const auto cerrar = qScopeGuard([dialogo] {
                if (dialogo->isVisible())
                    dialogo->reject(); // a failed step must not leave the test waiting
            });
            auto* nombre = dialogo->findChild<QLineEdit*>(QStringLiteral("TxtNombre"));
            QTRY_VERIFY(nombre->hasFocus());
            QTest::keyClicks(nombre, texto);
            QTest::mouseClick(dialogo->findChild<QAbstractButton*>(QStringLiteral("cmdBuscar")),
                              Qt::LeftButton);
            auto* rejilla = dialogo->findChild<QTableWidget*>(QStringLiteral("Grid1"));
            filas = rejilla->rowCount();
            dobleClic(*rejilla, fila(*rejilla, NumeroPlano(cliente)));
        });
        p.clic("CmdCLientes");
        return filas;
    }

    // The row whose first column reads `primera`, or -1.
    static int fila(const QTableWidget& rejilla, const QString& primera)
    {
        for (int i = 0; i < rejilla.rowCount(); ++i)
            if (rejilla.item(i, 0) && rejilla.item(i, 0)->text() == primera)
                return i;
        return -1;
    }
    static void dobleClic(QTableWidget& rejilla, int fila)
    {
        if (fila < 0)
            return;
        rejilla.scrollToItem(rejilla.item(fila, 0));
        const QPoint punto = rejilla.visualItemRect(rejilla.item(fila, 0)).center();
        // A real double click arrives as press, release, double click: QTest's double click on a
        // widget sends the last event only, and a view takes it only after a press on the row.
        QTest::mouseClick(rejilla.viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(rejilla.viewport(), Qt::LeftButton, {}, punto);
    }
    // Picks a case file of the list as the user does.
    void elegirExpediente(double folio)
    {
        auto* lista = p.control<QTableWidget>("iExpedientes");
        dobleClic(*lista, fila(*lista, NumeroPlano(folio)));
    }
    // The text of a column of the case-file list, by its header.
    QString celda(double folio, const QString& encabezado)
    {
        auto* lista = p.control<QTableWidget>("iExpedientes");
        const int f = fila(*lista, NumeroPlano(folio));
        for (int c = 0; c < lista->columnCount(); ++c)
            if (lista->horizontalHeaderItem(c) &&
                lista->horizontalHeaderItem(c)->text() == encabezado)
                return f >= 0 && lista->item(f, c) ? lista->item(f, c)->text() : QString();
        return QStringLiteral("<sin columna %1>").arg(encabezado);
    }

    EscanerSane& escaner() { return *static_cast<EscanerSane*>(p.ventana().VSTwain1()); }
    // The document source as the user sets it on the device, and a picture with content.
    void fuente(const QString& nombre)
    {
        QCOMPARE(escaner().AbrirFuente(), 1);
        QCOMPARE(escaner().Opciones().fijarTexto(SANE_NAME_SCAN_SOURCE, nombre), SANE_STATUS_GOOD);
        QCOMPARE(escaner().Opciones().fijarTexto("test-picture", QStringLiteral("Grid")),
                 SANE_STATUS_GOOD);
    }

    SesionCaptura& sesion() { return p.ventana().sesion(); }
    QString texto(const char* control)
    {
        return p.control<QWidget>(control)->property("text").toString();
    }
    bool activo(const char* control) { return p.control<QWidget>(control)->isEnabled(); }

    // The outbox of the window.
    DocumentosEnEspera& espera() { return *p.ventana().findChild<DocumentosEnEspera*>(); }
    // The outbox sends now; true once nothing waits in it.
    bool enviarEspera()
    {
        espera().enviarAhora();
        return QTest::qWaitFor([this] { return espera().pendientes() == 0; }, 10000);
    }
    // What a save that put its pages in the outbox leaves: the window free for the next
    // document, and the status area saying how many wait.
    void verificarEnEspera(int documentos)
    {
        QCOMPARE(paginas(), 0);
        QCOMPARE(texto("TextImgCounter"), QStringLiteral("0"));
        QVERIFY(!p.global.CambiosPendientes);
        QVERIFY(!activo("BUpload"));
        QVERIFY(activo("CmdCLientes"));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(espera().pendientes(), documentos);
        QVERIFY(visible("LblSalida"));
        QVERIFY2(texto("LblSalida")
                     .startsWith(documentos == 1
                                     ? QStringLiteral("1 documento en espera de envío")
                                     : QStringLiteral("%1 documentos en espera").arg(documentos)),
                 qPrintable(texto("LblSalida")));
    }
    bool visible(const char* control) { return !p.control<QWidget>(control)->isHidden(); }
    int paginas() { return p.ventana().VSTwain1()->NumeroPaginas(); }
    QStringList cajas() const { return p.mensajes.resumen(); }

    QString remoto(const QString& nombre) const
    {
        return servidor.raiz() + QStringLiteral("/gdl/") + nombre;
    }
    QStringList remotos() const
    {
        return QDir(servidor.raiz() + QStringLiteral("/gdl")).entryList(QDir::Files);
    }
    // The working directory's files but the database's.
    QStringList archivosTrabajo() const
    {
        return QDir(p.carpetaTrabajo()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    QVariant valor(const QString& consulta) { return p.bd().valor(consulta); }
    QVariant columna(const QString& columna, double folio)
    {
        return valor(QStringLiteral("SELECT %1 FROM Expedientes_ZR WHERE expediente = %2")
                         .arg(columna, NumeroPlano(folio)));
    }
    int filas() { return valor(QStringLiteral("SELECT COUNT(*) FROM Expedientes_ZR")).toInt(); }

    // Declared first: the window (in p) goes before the client and the server it uses.
    ClienteFtpPuesto ftp;
    ServidorFtpPrueba servidor;
    VentanaPrueba p;

private:
    ConfigSanePrueba& sane_;
    bool odbc_;
    QString recuperacion_;
};
