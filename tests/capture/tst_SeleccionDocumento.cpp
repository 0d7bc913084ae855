#include "app/FrmEscaneo.h"
#include "capture/DescarteDocumento.h"
#include "capture/SeleccionDocumento.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "support/ServidorFtpPrueba.h"
#include "support/VentanaPrueba.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace std::chrono_literals;

namespace {
using Tipo = MensajesGrabados::Tipo;

bool crear(const QString& nombre)
{
    QFile archivo(nombre);
    return archivo.open(QIODevice::WriteOnly) && archivo.write("II*\0pagina", 10) == 10;
}

// The window loaded for customer 500, the scanning tab open and every present mark shown. The
// image server was started and then killed: anything that reaches it shows as a failure box.
// The client is declared before the window so it outlives it.
struct Escenario
{
    ClienteFtpCurl ftp;
    ServidorFtpPrueba servidor;
    VentanaPrueba p;

    bool preparar()
    {
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        if (!servidor.iniciar())
            return false;
        servidor.configurar(ftp);
        servidor.matar();
        ftp.FijarLimitesTiempo(2s, 2s);
        p.entorno.FTP = &ftp;
        if (!p.cargar())
            return false;
        DatosServidorImagenes& config = p.global.ConfigServidorImagenes;
        config.servidor = QStringLiteral("127.0.0.1");
        config.puerto = QString::number(servidor.puerto());
        p.global.ClienteSeleccionado.NumeroCliente = 500;
        p.global.EstadoExpediente = QStringLiteral("Capturado");
        p.control<QTabWidget>("TabScan")->setEnabled(true);
        p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        for (const char* marca : {"sOK", "iOK", "rOK", "cOK", "nOK", "eOK", "dOK"})
            p.control<QLabel>(marca)->show();
        for (const char* marca : {"sFa", "iFa", "rFa", "cFa", "nFa", "eFa", "dFa"})
            p.control<QLabel>(marca)->hide();
        return true;
    }
    SesionCaptura& sesion() { return p.ventana().sesion(); }
    QLabel* marca(const QString& nombre) { return p.ventana().findChild<QLabel*>(nombre); }
};
} // namespace

// Picking a document type and discarding its working file, on the real window offscreen.
class PruebaSeleccionDocumento : public QObject
{
    Q_OBJECT

private slots:
    void archivoPresente_seAbreSinServidorYEscaneoSegunEstado_data()
    {
        QTest::addColumn<QString>("estado");
        QTest::addColumn<bool>("habilitado");
        QTest::newRow("capturado") << "Capturado" << true;
        QTest::newRow("asignado entre blancos") << "  Asignado  " << true;
        QTest::newRow("asignado en minusculas") << "asignado" << false;
        QTest::newRow("vacio") << "" << false;
        QTest::newRow("otro estado") << "Cancelado" << false;
    }

    void archivoPresente_seAbreSinServidorYEscaneoSegunEstado()
    {
        QFETCH(QString, estado);
        QFETCH(bool, habilitado);
        Escenario e;
        QVERIFY(e.preparar());
        QVERIFY(crear(QStringLiteral("expedienteR.tif")));
        e.p.global.EstadoExpediente = estado;
        auto* escanear = e.p.control<QPushButton>("B_Acquire");
        escanear->setEnabled(!habilitado);
        const int sentenciasAntes = e.p.sentencias().size();

        e.p.clic("OpcRecibo");

        // The working file is shown as it is; neither the database nor the (stopped) server
        // is asked.
        QCOMPARE(e.sesion().LetraActual, QStringLiteral("R"));
        QVERIFY(e.sesion().DocumentoExiste);
        QCOMPARE(e.p.visor.abiertos, QStringList{QStringLiteral("expedienteR.tif")});
        QCOMPARE(e.p.mensajes.resumen(), QStringList());
        QCOMPARE(e.p.sentencias().size(), sentenciasAntes);
        QCOMPARE(escanear->isEnabled(), habilitado);
        QCOMPARE(SeleccionDocumento::EscaneoPermitido(estado), habilitado);
    }

    void descartes_segunElGesto_data()
    {
        QTest::addColumn<QString>("marca");
        QTest::addColumn<bool>("dobleClic");
        QTest::addColumn<bool>("conArchivo");
        QTest::addColumn<bool>("descarta");
        QTest::newRow("clic en dOK") << QStringLiteral("d") << false << true << true;
        QTest::newRow("clic en eOK") << QStringLiteral("e") << false << true << true;
        QTest::newRow("clic en sOK") << QStringLiteral("s") << false << true << false;
        QTest::newRow("doble clic en sOK") << QStringLiteral("s") << true << true << true;
        QTest::newRow("doble clic en nOK") << QStringLiteral("n") << true << true << true;
        QTest::newRow("doble clic en cOK sin archivo")
            << QStringLiteral("c") << true << false << false;
        QTest::newRow("clic en dOK sin archivo") << QStringLiteral("d") << false << false << false;
    }

    void descartes_segunElGesto()
    {
        QFETCH(QString, marca);
        QFETCH(bool, dobleClic);
        QFETCH(bool, conArchivo);
        QFETCH(bool, descarta);
        Escenario e;
        QVERIFY(e.preparar());
        const QString archivo =
            QStringLiteral("expediente") + marca.toUpper() + QStringLiteral(".tif");
        if (conArchivo)
            QVERIFY(crear(archivo));
        e.sesion().DocumentoExiste = true;
        e.sesion().LetraActual = QStringLiteral("C");
        QLabel* presente = e.marca(marca + QStringLiteral("OK"));
        QCOMPARE(presente->toolTip(), QStringLiteral("Doble Click para Eliminar Documento"));

        if (dobleClic)
            QTest::mouseDClick(presente, Qt::LeftButton);
        else
            QTest::mouseClick(presente, Qt::LeftButton);

        QCOMPARE(QFile::exists(archivo), conArchivo && !descarta);
        QCOMPARE(presente->isVisible(), !descarta);
        QCOMPARE(e.marca(marca + QStringLiteral("Fa"))->isVisible(), descarta);
        QCOMPARE(e.sesion().DocumentoExiste, !descarta);
        QCOMPARE(e.p.mensajes.resumen(),
                 descarta ? QStringList{QStringLiteral(
                                "informacion|Imagen Eliminada Correctamente|Borrar Imagen")}
                          : QStringList());
        // Only the local file goes; the current type stays.
        QCOMPARE(e.sesion().LetraActual, QStringLiteral("C"));
    }

    void archivoQueNoSePuedeBorrar_seAvisaYNadaCambia()
    {
        Escenario e;
        QVERIFY(e.preparar());
        QVERIFY(crear(QStringLiteral("expedienteC.tif")));
        e.sesion().DocumentoExiste = true;
        auto* descarte = e.p.ventana().findChild<DescarteDocumento*>();
        QVERIFY(descarte);
        descarte->borrarArchivo = [](const QString&, QString& motivo) {
            motivo = QStringLiteral("el archivo está abierto en otro programa");
            return false;
        };

        QTest::mouseDClick(e.marca(QStringLiteral("cOK")), Qt::LeftButton);

        QCOMPARE(e.p.mensajes.cajas().size(), 1);
        const auto caja = e.p.mensajes.cajas().first();
        QCOMPARE(caja.tipo, Tipo::Error);
        QVERIFY2(caja.mensaje.contains(QStringLiteral("expedienteC.tif")),
                 qPrintable(caja.mensaje));
        QVERIFY(caja.mensaje.contains(QStringLiteral("abierto en otro programa")));
        QVERIFY(QFile::exists(QStringLiteral("expedienteC.tif")));
        QVERIFY(e.marca(QStringLiteral("cOK"))->isVisible());
        QVERIFY(!e.marca(QStringLiteral("cFa"))->isVisible());
        QVERIFY(e.sesion().DocumentoExiste);
        QVERIFY(e.p.ventana().isVisible());
    }
};

QTEST_MAIN(PruebaSeleccionDocumento)
#include "tst_SeleccionDocumento.moc"
