// expedientes-capturas: drives the program offscreen over the demo data and saves pictures of
// its windows, for the README. Run through scripts/screenshots, which prepares the demo folder,
// the SANE test scanner and the FTP server.

#include "app/EntornoReal.h"
#include "app/FrmEscaneo.h"
#include "app/Global.h"
#include "app/Idioma.h"
#include "app/Mensajes.h"
#include "app/Visor.h"
#include "capture/ModeloMiniaturas.h"
#include "capture/VisorPaginas.h"
#include "casefiles/ListaExpedientes.h"
#include "main/Armado.h"
#include "scannerinfo/InformacionEscaner.h"
#include "search/FrmBusqueda_Cliente.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

namespace {

// No box may wait for a click here: each one is written to the standard error instead.
class MensajesRegistro : public Mensajes
{
public:
    void MensajeError(const QString& m, const QString& t) override { escribir("error", m, t); }
    void MensajeInformacion(const QString& m, const QString& t) override
    {
        escribir("informacion", m, t);
    }
    bool Pregunta(const QString& m, const QString& t) override
    {
        escribir("pregunta", m, t);
        return false;
    }
    void MensajeSimple(const QString& m) override { escribir("aviso", m, {}); }

private:
    static void escribir(const char* tipo, const QString& mensaje, const QString& titulo)
    {
        QTextStream(stderr) << tipo << ": " << mensaje << " | " << titulo << '\n';
    }
};

class VisorNulo : public Visor
{
public:
    void abrir(const QString&) override {}
};

bool guardar(QWidget& ventana, const QString& carpeta, const QString& nombre)
{
    QCoreApplication::processEvents();
    const QString ruta = carpeta + QLatin1Char('/') + nombre;
    const bool bien = ventana.grab().save(ruta);
    QTextStream(stdout) << (bien ? "guardada " : "NO se pudo guardar ") << ruta << '\n';
    return bien;
}

template <class T> T* control(QWidget& padre, const char* nombre)
{
    T* encontrado = padre.findChild<T*>(QLatin1String(nombre));
    if (!encontrado)
        qFatal("No existe el control %s", nombre);
    return encontrado;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("expedientes"));
    Idioma::instalar(aplicacion);
    const QStringList argumentos = QApplication::arguments();
    if (argumentos.size() != 3) {
        QTextStream(stderr) << "Uso: expedientes-capturas CARPETA_SALIDA \"APELLIDOS A BUSCAR\"\n";
        return 2;
    }
    const QString salida = argumentos.at(1);
    const QString busqueda = argumentos.at(2);
    QDir().mkpath(salida);

    QTemporaryDir trabajo;
    QDir::setCurrent(trabajo.path());
    EntornoReal real;
    MensajesRegistro mensajes;
    VisorNulo visor;
    Entorno& entorno = real.entorno();
    entorno.mensajes = &mensajes;
    entorno.visor = &visor;
    entorno.archivoHistorial = trabajo.filePath(QStringLiteral("DirLogFact.ini"));
    entorno.archivoAjustes = trabajo.filePath(QStringLiteral("ajustes.ini"));

    Global global;
    FrmEscaneo ventana(global, entorno);
    Armado::armar(ventana);
    if (!ventana.Form_Load({}))
        return 1;
    // The pictures show the window at the size of a branch's usual screen, not maximized.
    ventana.setWindowState(Qt::WindowNoState);
    ventana.resize(1366, 768);
    ventana.show();
    bool bien = true;

    // The search dialog with the results of a name search; its first row is chosen.
    auto* lista = ventana.findChild<ListaExpedientes*>();
    lista->mostrarBusqueda = [&] {
        FrmBusqueda_Cliente dialogo(global, entorno, &ventana);
        dialogo.show();
        bien &= QTest::qWaitForWindowExposed(&dialogo);
        control<QLineEdit>(dialogo, "TxtNombre")->setText(busqueda);
        control<QAbstractButton>(dialogo, "cmdBuscar")->click();
        auto* rejilla = control<QTableWidget>(dialogo, "Grid1");
        bien &= guardar(dialogo, salida, QStringLiteral("busqueda-cliente.png"));
        if (rejilla->rowCount() > 0)
            dialogo.Grid1_DblClick(1, 1);
    };
    lista->CmdCLientes_Click();
    bien &= guardar(ventana, salida, QStringLiteral("expedientes-del-cliente.png"));
    if (global.ClienteSeleccionado.NumeroCliente <= 0) {
        QTextStream(stderr) << "La búsqueda no encontró al cliente «" << busqueda << "»\n";
        return 1;
    }

    // The scanning tab after a scan of an application form from the SANE test scanner, into the
    // customer's newest case file, picked as a clerk does: a click on its row.
    auto* expedientes = control<QTableWidget>(ventana, "iExpedientes");
    if (expedientes->rowCount() > 0)
        QTest::mouseClick(expedientes->viewport(), Qt::LeftButton, {},
                          expedientes->visualItemRect(expedientes->item(0, 0)).center());
    control<QTabWidget>(ventana, "TabScan")->setCurrentIndex(1);
    control<QRadioButton>(ventana, "OpcSolicitud")->click();
    auto* automatico = control<QAbstractButton>(ventana, "ChkShowUI");
    automatico->setChecked(true);
    // Three pages, so that the strip of thumbnails shows beside the page.
    for (int hoja = 0; hoja < 3; ++hoja)
        control<QAbstractButton>(ventana, "B_Acquire")->click();
    // The strip makes its thumbnails once the scan is over.
    QTest::qWait(500);
    ventana.findChild<VisorPaginas*>()->miniaturas().esperar();
    QTest::qWait(50);
    bien &= guardar(ventana, salida, QStringLiteral("escaneo.png"));

    // The scanner report, a modal window: taken and closed from the event loop.
    QTimer::singleShot(500, [&] {
        if (QWidget* informe = QApplication::activeModalWidget()) {
            bien &= guardar(*informe, salida, QStringLiteral("informe-escaner.png"));
            informe->close();
        }
    });
    ventana.findChild<InformacionEscaner*>()->B_GetSourceInfo_Click();

    global.CambiosPendientes = false;
    return bien ? 0 : 1;
}
