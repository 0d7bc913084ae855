#include "app/ContextoVentana.h"
#include "app/ErrorSistema.h"
#include "app/FrmEscaneo.h"
#include "app/Idioma.h"
#include "app/MensajesQt.h"
#include "app/Proteccion.h"
#include "app/VisorEscritorio.h"
#include "components/escaner/TextosSane.h"
#include "main/CopiaUnica.h"
#include "main/Programa.h"
#include "support/RutasPrueba.h"
#include "support/VentanaPrueba.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>

namespace {
using Caja = MensajesGrabados::Caja;
using Tipo = MensajesGrabados::Tipo;

void sembrarSucursal(BaseDatosPrueba& bd)
{
    bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
    bd.servidorImagenes({});
}
} // namespace

// The main window's load and close sequences, driven on the real window offscreen.
class PruebaFrmEscaneo : public QObject
{
    Q_OBJECT

private slots:
    void cargaSimple_dejaLaVentanaEsperandoCliente()
    {
        VentanaPrueba p;
        sembrarSucursal(p.bd());
        QVERIFY(p.cargar());

        auto* tabs = p.control<QTabWidget>("TabScan");
        QVERIFY(!tabs->isEnabled());
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!p.control<QPushButton>("CmdAsignar")->isEnabled());
        QVERIFY(p.control<QPushButton>("CmdCLientes")->isEnabled());
        QCOMPARE(p.control<QLabel>("LblPedido")->text(), QStringLiteral("Pedido a Asignar:"));
        QCOMPARE(p.ventana().sesion().FolioActual, 0.0);
        QVERIFY(p.global.EstadoExpediente.isEmpty());
        QVERIFY(!p.global.CambiosPendientes);
        QVERIFY(p.mensajes.cajas().isEmpty());
        QVERIFY(p.ventana().VSTwain1() != nullptr);
        QVERIFY(p.ventana().windowTitle().contains(QStringLiteral("Expedientes")));
        QCOMPARE(tabs->tabText(0), p.ventana().windowTitle());
        QVERIFY(!QApplication::overrideCursor());
        // The settings came from the branch's rows.
        QCOMPARE(p.global.ConfigServidorImagenes.CentroDistribucion, QStringLiteral("GDL    "));
        QCOMPARE(p.global.ConfigServidorImagenes.Ruta, QStringLiteral("/gdl"));
        QVERIFY(p.conexion.abierta());
    }

    // Each ends the program with one error box that names what to fix. A lost or read-only
    // embedded database is refused at start rather than left to fail every search or save.
    void arranqueRoto_terminaConCodigoYMensaje_data()
    {
        QTest::addColumn<QString>("problema");
        QTest::newRow("sin carpeta") << "carpeta";
        QTest::newRow("sin tabla") << "tabla";
        QTest::newRow("base inexistente") << "inexistente";
        QTest::newRow("base de solo lectura") << "solo lectura";
        QTest::newRow("carpeta de la base de solo lectura") << "carpeta de solo lectura";
    }

    void arranqueRoto_terminaConCodigoYMensaje()
    {
        QFETCH(QString, problema);
        VentanaPrueba p;
        const QString base = p.bd().rutaBase();
        QString nombrado = p.entorno.carpetaArranque;
        const QFile::Permissions permisosCarpeta = QFile::permissions(p.bd().carpeta());
        const auto restaurar =
            qScopeGuard([&] { QFile::setPermissions(p.bd().carpeta(), permisosCarpeta); });
        if (problema == QLatin1String("carpeta")) {
            p.entorno.carpetaArranque = p.bd().carpeta() + QStringLiteral("/no-existe");
            nombrado = p.entorno.carpetaArranque;
        } else if (problema == QLatin1String("tabla")) {
            QDir carpeta(p.bd().carpeta());
            for (const QString& archivo :
                 carpeta.entryList({QStringLiteral("*.dbf")}, QDir::Files, QDir::NoSort))
                QVERIFY(carpeta.remove(archivo));
        } else if (problema == QLatin1String("inexistente")) {
            p.bd().conexion().cerrar();
            QVERIFY(QFile::remove(base));
            nombrado = base;
        } else if (problema == QLatin1String("solo lectura")) {
            QVERIFY(QFile::setPermissions(base, QFile::ReadOwner | QFile::ReadGroup));
            nombrado = base;
        } else {
            if (geteuid() == 0)
                QSKIP("Como root los permisos de la carpeta no impiden escribir");
            QVERIFY(QFile::setPermissions(p.bd().carpeta(), QFile::ReadOwner | QFile::ExeOwner));
            nombrado = base;
        }
        QCOMPARE(Programa::ejecutar(p.global, p.entorno, {}), 1);
        QCOMPARE(p.mensajes.cajas().size(), 1);
        const Caja caja = p.mensajes.cajas().first();
        QCOMPARE(caja.tipo, Tipo::Error);
        QVERIFY2(caja.mensaje.contains(QDir::toNativeSeparators(nombrado)),
                 qPrintable(caja.mensaje));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!p.conexion.abierta());
        // A lost database is not replaced by an empty one.
        if (problema == QLatin1String("inexistente"))
            QVERIFY(!QFile::exists(base));
    }

    void lineaComandos_numeroSeGuardaYLoDemasArrancaNormal_data()
    {
        QTest::addColumn<QString>("linea");
        QTest::addColumn<double>("pedido");
        QTest::addColumn<bool>("aviso");
        QTest::newRow("venta") << "12345" << 12345.0 << false;
        QTest::newRow("venta con blancos") << " 777 " << 777.0 << false;
        QTest::newRow("letras") << "abc" << 0.0 << true;
        QTest::newRow("dos palabras") << "12 34" << 0.0 << true;
        QTest::newRow("cero") << "0" << 0.0 << false;
        QTest::newRow("negativo") << "-5" << -5.0 << false;
        QTest::newRow("decimal") << "12.5" << 0.0 << true;
    }

    void lineaComandos_numeroSeGuardaYLoDemasArrancaNormal()
    {
        QFETCH(QString, linea);
        QFETCH(double, pedido);
        QFETCH(bool, aviso);
        VentanaPrueba p;
        sembrarSucursal(p.bd());
        QString recibido;
        p.antesDeCargar = [&](FrmEscaneo& ventana) {
            ventana.etapasCarga().arranquePedido = [&](const QString& texto) { recibido = texto; };
        };
        QVERIFY(p.cargar(linea));
        QCOMPARE(recibido.isEmpty(), aviso);
        QCOMPARE(p.global.PedidoAAsignar, pedido);
        QCOMPARE(p.mensajes.cajas().size(), aviso ? 1 : 0);
        if (aviso) {
            QCOMPARE(p.mensajes.cajas().first().tipo, Tipo::Error);
            QVERIFY(p.mensajes.cajas().first().mensaje.contains(linea.trimmed()));
        }
        QVERIFY(p.ventana().isVisible());
    }

    // A second copy for the same user gives way and calls the first forward; a copy killed
    // without its clean-up keeps nobody out.
    void copiaUnica_unaPorUsuarioYLaCaidaNoEstorba()
    {
        QTemporaryDir datos;
        {
            CopiaUnica primera(datos.path());
            QVERIFY(primera.primera());
            QSignalSpy llamadas(&primera, &CopiaUnica::llamada);
            CopiaUnica segunda(datos.path());
            QVERIFY(!segunda.primera());
            QVERIFY(segunda.llamarPrimera());
            QTRY_COMPARE(llamadas.size(), 1);
        }
        // Another process holding the lock file, as a running copy does, then killed.
        QProcess otra;
        otra.start(QStringLiteral("flock"),
                   {QStringLiteral("-xo"), datos.filePath(QStringLiteral("expedientes.bloqueo")),
                    QStringLiteral("sleep"), QStringLiteral("60")});
        QVERIFY(otra.waitForStarted());
        QTRY_VERIFY(!CopiaUnica(datos.path()).primera());
        otra.kill();
        QVERIFY(otra.waitForFinished());
        // Its child lets go of the inherited lock a moment later.
        QTRY_VERIFY(CopiaUnica(datos.path()).primera());
    }

    void lineaComandos_esUnSoloTexto()
    {
        QCOMPARE(Programa::lineaComandos(
                     {QStringLiteral("expedientes"), QStringLiteral("12"), QStringLiteral("34")}),
                 QStringLiteral("12 34"));
        QCOMPARE(Programa::lineaComandos({QStringLiteral("expedientes")}), QString());
    }

    void cierre_conCambiosPendientes_data()
    {
        QTest::addColumn<bool>("respuesta");
        QTest::newRow("no") << false;
        QTest::newRow("si") << true;
    }

    void cierre_conCambiosPendientes()
    {
        QFETCH(bool, respuesta);
        VentanaPrueba p;
        sembrarSucursal(p.bd());
        QVERIFY(p.cargar());
        p.global.CambiosPendientes = true;
        p.mensajes.responder(respuesta);

        QCOMPARE(p.cerrar(), respuesta);
        QCOMPARE(p.mensajes.cajas().size(), 1);
        const Caja caja = p.mensajes.cajas().first();
        QCOMPARE(caja.tipo, Tipo::Pregunta);
        QCOMPARE(caja.mensaje,
                 QStringLiteral("Se Dispone a Salir sin Guardar los Cambios, esta seguro?"));
        QCOMPARE(caja.titulo, QStringLiteral("Descartar Cambios"));
        QCOMPARE(p.ventana().isVisible(), !respuesta);
        QCOMPARE(p.conexion.abierta(), !respuesta);
        QCOMPARE(p.global.CambiosPendientes, !respuesta);
    }

    void cierre_sinCambiosNoPregunta()
    {
        VentanaPrueba p;
        sembrarSucursal(p.bd());
        QVERIFY(p.cargar());
        QVERIFY(p.cerrar());
        QVERIFY(p.mensajes.cajas().isEmpty());
        QVERIFY(!p.conexion.abierta());
    }

    // The offscreen screen (800x600) is a small one: the first run fills it. What the user left
    // at a close that went ahead is what the next run shows; a refused close keeps nothing.
    void geometria_maximizadaEnPantallaChicaYRecordada()
    {
        QTemporaryDir ajustes;
        const QString archivo = ajustes.filePath(QStringLiteral("ajustes.ini"));
        const QRect dejada(40, 50, 900, 620); // above the form's minimum size
        {
            VentanaPrueba p;
            sembrarSucursal(p.bd());
            p.entorno.archivoAjustes = archivo;
            QVERIFY(p.cargar());
            QVERIFY(p.ventana().isMaximized());
            p.ventana().showNormal();
            p.ventana().setGeometry(dejada);
            QTRY_COMPARE(p.ventana().geometry(), dejada);
            p.global.CambiosPendientes = true;
            p.mensajes.responder(false);
            QVERIFY(!p.cerrar());
            QVERIFY(!QFile::exists(archivo));
            p.mensajes.responder(true);
            QVERIFY(p.cerrar());
        }
        VentanaPrueba p;
        sembrarSucursal(p.bd());
        p.entorno.archivoAjustes = archivo;
        QVERIFY(p.cargar());
        QVERIFY(!p.ventana().isMaximized());
        QCOMPARE(p.ventana().geometry(), dejada);
    }

    void fallaDespuesDeArrancar_seMuestraYLaVentanaSigue()
    {
        VentanaPrueba p;
        sembrarSucursal(p.bd());
        QVERIFY(p.cargar());
        const bool bien = EjecutarProtegido(p.mensajes, [&] {
            p.conexion.consultar(QStringLiteral("SELECT * FROM tabla_que_no_existe"));
        });
        QVERIFY(!bien);
        QCOMPARE(p.mensajes.cajas().size(), 1);
        const Caja caja = p.mensajes.cajas().first();
        QCOMPARE(caja.tipo, Tipo::Error);
        QVERIFY2(caja.mensaje.startsWith(QStringLiteral("Error ")), qPrintable(caja.mensaje));
        QVERIFY2(caja.mensaje.contains(QStringLiteral("tabla_que_no_existe")),
                 qPrintable(caja.mensaje));
        QVERIFY(p.ventana().isVisible());
        QVERIFY(p.conexion.abierta());
        QVERIFY(EjecutarProtegido(p.mensajes, [] {}));
    }

    // Offscreen the desktop has no program for any file, as a workstation without a TIFF viewer:
    // the user is told which document did not open and where it is.
    void visorSinProgramaNombraElArchivo()
    {
        MensajesGrabados mensajes;
        VisorEscritorio visor(mensajes);
        visor.abrir(QStringLiteral("expedienteN.tif"));
        QCOMPARE(mensajes.cajas().size(), 1);
        QCOMPARE(mensajes.cajas().first().tipo, Tipo::Error);
        const QString ruta = QDir::current().absoluteFilePath(QStringLiteral("expedienteN.tif"));
        QVERIFY2(mensajes.cajas().first().mensaje.contains(QDir::toNativeSeparators(ruta)),
                 qPrintable(mensajes.cajas().first().mensaje));
    }

    // On a workstation left in the C locale (as here) Qt's buttons and SANE's words are Spanish;
    // last of the file, since the catalogues stay installed for the process.
    void hablaEspanolEnCualquierLocale()
    {
        QCOMPARE(Idioma::instalar(*QCoreApplication::instance()).language(), QLocale::Spanish);
        QStringList botones;
        QTimer::singleShot(0, [&botones] {
            auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(caja);
            for (QAbstractButton* b : caja->buttons())
                botones << b->text().remove(QLatin1Char('&'));
            caja->button(QMessageBox::No)->click();
        });
        QVERIFY(!MensajesQt().Pregunta(QStringLiteral("¿Salir?"), QStringLiteral("Expedientes")));
        botones.sort();
        QCOMPARE(botones, QStringList({QStringLiteral("No"), QStringLiteral("Sí")}));
        QCOMPARE(TextosSane::traducido("Gray"), QStringLiteral("Gris"));
        QCOMPARE(TextosSane::traducido("Flatbed"), QStringLiteral("Plana"));
    }

    void capturaDeLaVentana()
    {
        // A picture of the window for people to look at: build/capturas/FrmEscaneo.png.
        VentanaPrueba p;
        sembrarSucursal(p.bd());
        QVERIFY(p.cargar());
        p.ventana().showNormal();
        p.ventana().resize(1366, 768);
        p.control<QTabWidget>("TabScan")->setEnabled(true);
        for (int pestana : {0, 1}) {
            p.control<QTabWidget>("TabScan")->setCurrentIndex(pestana);
            QCoreApplication::processEvents();
            const QString carpeta = RutasPrueba::binarios() + QStringLiteral("/capturas");
            QDir().mkpath(carpeta);
            QVERIFY(p.ventana().grab().save(carpeta +
                                            QStringLiteral("/FrmEscaneo-%1.png").arg(pestana)));
        }
    }
};

QTEST_MAIN(PruebaFrmEscaneo)
#include "tst_FrmEscaneo.moc"
