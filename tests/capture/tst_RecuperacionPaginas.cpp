#include "app/FrmEscaneo.h"
#include "app/SesionCaptura.h"
#include "casefiles/ListaExpedientes.h"
#include "components/ClienteFtpCurl.h"
#include "components/EscanerSane.h"
#include "components/LectorTiff.h"
#include "support/ConfigSanePrueba.h"
#include "support/HojasAbandonadas.h"
#include "support/ServidorFtpPrueba.h"
#include "support/VentanaPrueba.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace std::chrono_literals;

namespace {
constexpr double kCliente = 700;
const QString kRecuperar = QStringLiteral("Recuperar Hojas Escaneadas");
const QString kDescartar = QStringLiteral("Descartar Hojas Escaneadas");

// The window over the real SANE component, whose recovery folder already holds what earlier
// runs left there.
struct Escenario
{
    explicit Escenario(const QString& otra = {}) : base(otra.isEmpty() ? propia.path() : otra) {}

    QTemporaryDir propia;
    QString base; // the recovery folder
    VentanaPrueba p;

    bool cargar()
    {
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        BaseDatosPrueba::Cliente cliente;
        cliente.numero = kCliente;
        cliente.nombre = QStringLiteral("RUIZ SOTO ANA");
        p.bd().cliente(cliente);
        p.entorno.crearEscaner = [this] { return std::make_unique<EscanerSane>(base); };
        return p.cargar();
    }
    QString dejar(const QDateTime& fecha = QDateTime::currentDateTime().addSecs(-60))
    {
        return HojasAbandonadas::dejar(base, HojasAbandonadas::pidTerminado(), fecha);
    }
    EscanerTwain& escaner() { return *p.ventana().VSTwain1(); }
    QStringList titulos() const
    {
        QStringList lista;
        for (const auto& caja : p.mensajes.cajas())
            lista << caja.titulo;
        return lista;
    }
    QString texto(const char* control) { return p.control<QLineEdit>(control)->text(); }
    // Its own state: the tab set stays off until a customer is chosen.
    bool habilitado(const char* control)
    {
        return !p.control<QWidget>(control)->testAttribute(Qt::WA_ForceDisabled);
    }
};

QString etiqueta(int posicion, const HojasAbandonadas::Hoja& hoja)
{
    return QStringLiteral("Imagen %1 (%2 x %3 x %4 bpp )")
        .arg(posicion)
        .arg(hoja.tamano.width())
        .arg(hoja.tamano.height())
        .arg(hoja.bits);
}
} // namespace

class TstRecuperacionPaginas : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        sane_ = std::make_unique<ConfigSanePrueba>();
        QVERIFY(sane_->valida());
        QVERIFY(HojasAbandonadas::preparar(*sane_));
    }

    // Yes: the pages come back held as after a scan and go the whole way to the image server.
    void siRecuperaYSeGuardan()
    {
        Escenario e;
        const QString carpeta = e.dejar();
        QVERIFY(!carpeta.isEmpty());
        e.p.mensajes.responder(true);
        QVERIFY(e.cargar());

        QCOMPARE(e.titulos(), QStringList{kRecuperar});
        QVERIFY(e.p.mensajes.cajas().first().mensaje.contains(QLatin1String("3 hojas")));
        const auto hojas = HojasAbandonadas::hojas();
        QCOMPARE(e.escaner().NumeroPaginas(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(QSize(e.escaner().AnchoPagina(i), e.escaner().AltoPagina(i)), hojas[i].tamano);
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("3"));
        QCOMPARE(e.p.control<QLabel>("LabelImageNum")->text(), etiqueta(2, hojas[2]));
        QCOMPARE(e.p.ventana().sesion().PaginaActual, qint16(2));
        for (const char* activo : {"BUpload", "BDelete", "BPrev"})
            QVERIFY2(e.habilitado(activo), activo);
        QVERIFY(!e.habilitado("BNext"));
        QVERIFY(e.p.global.CambiosPendientes);
        QVERIFY(e.p.control<QLabel>("LblEstatus")->text().contains(QLatin1String("3 hojas")));
        QVERIFY(!QFileInfo::exists(carpeta));
        // Closing now warns about them like about any unsaved scan.
        QVERIFY(!e.p.cerrar());

        // The pages have no customer or type yet: both must still be choosable.
        ServidorFtpPrueba servidor;
        QVERIFY2(servidor.iniciar(), qPrintable(servidor.error()));
        QVERIFY(QDir(servidor.raiz()).mkpath(QStringLiteral("gdl")));
        ClienteFtpCurl ftp;
        ftp.FijarLimitesTiempo(3s, 3s);
        e.p.entorno.FTP = &ftp;
        DatosServidorImagenes& config = e.p.global.ConfigServidorImagenes;
        config.servidor = QStringLiteral("127.0.0.1");
        config.usuario = servidor.usuario();
        config.contrasena = servidor.contrasena();
        config.puerto = QString::number(servidor.puerto());
        config.Ruta = QStringLiteral("/gdl");
        config.tamano = 4096;
        e.p.ventana().findChild<ListaExpedientes*>()->mostrarBusqueda = [&e] {
            e.p.global.ClienteSeleccionado.NumeroCliente = kCliente;
            e.p.global.ClienteSeleccionado.NombreCliente = QStringLiteral("RUIZ SOTO ANA");
        };
        QVERIFY(e.habilitado("CmdCLientes"));
        e.p.clic("CmdCLientes");
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        QVERIFY(e.habilitado("FrmDocumentos"));
        e.p.clic("OpcSolicitud");
        QCOMPARE(e.p.ventana().sesion().LetraActual, QStringLiteral("S"));
        e.p.clic("BUpload");

        QVERIFY2(e.p.ventana().sesion().SubidaCorrecta, qPrintable(e.titulos().join('|')));
        const QString remoto = servidor.raiz() + QStringLiteral("/gdl/") +
                               QString::number(qint64(e.p.ventana().sesion().FolioActual)) +
                               QStringLiteral("S.tif");
        for (int i = 0; i < 3; ++i) {
            const QImage leida = LectorTiff::leer(remoto, i);
            QCOMPARE(leida.size(), hojas[i].tamano);
            QCOMPARE(leida.depth(), hojas[i].bits);
        }
        QCOMPARE(e.escaner().NumeroPaginas(), 0);
        QVERIFY(!e.p.global.CambiosPendientes);
    }

    // Several runs lost pages: one question for all of them, restored oldest first.
    void variasSesionesEnOrden()
    {
        Escenario e;
        const QDateTime ahora = QDateTime::currentDateTime();
        QVERIFY(!e.dejar(ahora.addSecs(-30)).isEmpty());
        QVERIFY(!e.dejar(ahora.addDays(-1)).isEmpty());
        const QString ultima = HojasAbandonadas::dejar(e.base, HojasAbandonadas::pidTerminado(),
                                                       ahora.addSecs(-10), 4);
        QVERIFY(!ultima.isEmpty());
        QFile::remove(QDir(ultima).filePath(QStringLiteral("000004.tif")));
        e.p.mensajes.responder(true);
        QVERIFY(e.cargar());
        QVERIFY(e.p.mensajes.cajas().first().mensaje.contains(QLatin1String("8 hojas")));
        QCOMPARE(e.escaner().NumeroPaginas(), 8);
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("8"));
        const auto hojas = HojasAbandonadas::hojas();
        const int esperadas[] = {0, 1, 2, 0, 1, 2, 1, 2};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(e.escaner().BitsPorPixel(i), hojas[esperadas[i]].bits);
        QVERIFY(QDir(e.base).entryList({QStringLiteral("sesion-*")}, QDir::Dirs).size() == 1);
    }

    // No is never a loss by itself: the pages go only after a second Yes.
    void noConservaODescarta_data()
    {
        QTest::addColumn<bool>("eliminar");
        QTest::newRow("se conservan") << false;
        QTest::newRow("se eliminan tras confirmar") << true;
    }
    void noConservaODescarta()
    {
        QFETCH(bool, eliminar);
        QTemporaryDir recuperacion;
        QString carpeta;
        {
            Escenario e(recuperacion.path());
            carpeta = e.dejar();
            QVERIFY(!carpeta.isEmpty());
            e.p.mensajes.responder(false);
            e.p.mensajes.responder(eliminar);
            QVERIFY(e.cargar());
            QCOMPARE(e.titulos(), (QStringList{kRecuperar, kDescartar}));
            QVERIFY(!e.p.global.CambiosPendientes);
            QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("0"));
            QCOMPARE(e.escaner().NumeroPaginas(), 0);
            QCOMPARE(QFileInfo::exists(carpeta), !eliminar);
        }
        // The next start offers what was kept, and nothing once deleted.
        Escenario otra(recuperacion.path());
        QVERIFY(otra.cargar());
        QCOMPARE(otra.titulos(), eliminar ? QStringList{} : (QStringList{kRecuperar, kDescartar}));
        QCOMPARE(QDir(carpeta).entryList({QStringLiteral("*.tif")}).size(), eliminar ? 0 : 3);
    }

    // What is not a lost scan is never asked about.
    void nadaQueOfrecer()
    {
        Escenario e;
        // A run of this program that is still going.
        const QString viva = HojasAbandonadas::dejar(e.base, QCoreApplication::applicationPid(),
                                                     QDateTime::currentDateTime());
        // A gone run whose pages were all saved.
        const QString guardada = e.dejar();
        for (const QString& nombre : QDir(guardada).entryList({QStringLiteral("*.tif")}))
            QVERIFY(QFile::rename(QDir(guardada).filePath(nombre),
                                  QDir(guardada).filePath(nombre.chopped(4) + "-guardada.tif")));
        QVERIFY(e.cargar());
        QVERIFY2(e.p.mensajes.cajas().isEmpty(), qPrintable(e.titulos().join('|')));
        QVERIFY(QFileInfo::exists(viva));
        QCOMPARE(QDir(viva).entryList({QStringLiteral("*.tif")}).size(), 3);
        QVERIFY(!QFileInfo::exists(guardada));
        QVERIFY(!e.p.global.CambiosPendientes);
    }

    // A page the crash cut short is named and skipped; the rest come back.
    void hojaDanada()
    {
        Escenario e;
        const QString carpeta = e.dejar();
        QFile tercera(QDir(carpeta).filePath(QStringLiteral("000003.tif")));
        QVERIFY(tercera.open(QIODevice::WriteOnly | QIODevice::Truncate));
        tercera.write("II*\0", 4);
        tercera.close();
        e.p.mensajes.responder(true);
        QVERIFY(e.cargar());
        QCOMPARE(e.titulos(), (QStringList{kRecuperar, kRecuperar}));
        const auto& error = e.p.mensajes.cajas().at(1);
        QCOMPARE(error.tipo, MensajesGrabados::Tipo::Error);
        QVERIFY2(error.mensaje.contains(QLatin1String("000003.tif")), qPrintable(error.mensaje));
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("2"));
        QCOMPARE(e.p.control<QLabel>("LabelImageNum")->text(),
                 etiqueta(1, HojasAbandonadas::hojas()[1]));
        QVERIFY(e.p.global.CambiosPendientes);
    }

private:
    std::unique_ptr<ConfigSanePrueba> sane_;
};

QTEST_MAIN(TstRecuperacionPaginas)
#include "tst_RecuperacionPaginas.moc"
