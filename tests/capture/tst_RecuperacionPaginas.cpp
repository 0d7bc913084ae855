#include "app/FrmEscaneo.h"
#include "app/SesionCaptura.h"
#include "capture/Lote.h"
#include "components/escaner/EscanerSane.h"
#include "support/ConfigSanePrueba.h"
#include "support/HojasAbandonadas.h"
#include "support/VentanaPrueba.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString kRecuperar = QStringLiteral("Recuperar Hojas Escaneadas");
const QString kDescartar = QStringLiteral("Descartar Hojas Escaneadas");

// The window over the real SANE component, whose recovery folder holds what runs that died
// left there.
struct Escenario
{
    explicit Escenario(const QString& otra = {}) : base(otra.isEmpty() ? propia.path() : otra) {}

    QTemporaryDir propia;
    QString base;
    VentanaPrueba p;

    bool cargar()
    {
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        p.entorno.crearEscaner = [this] { return std::make_unique<EscanerSane>(base); };
        return p.cargar();
    }
    QString dejar(int segundosAtras = 60, int primera = 1)
    {
        return HojasAbandonadas::dejar(base, HojasAbandonadas::pidTerminado(),
                                       QDateTime::currentDateTime().addSecs(-segundosAtras),
                                       primera);
    }
    EscanerTwain& escaner() { return *p.ventana().VSTwain1(); }
    QStringList titulos() const
    {
        QStringList lista;
        for (const auto& caja : p.mensajes.cajas())
            lista << caja.titulo;
        return lista;
    }
    QString texto(const char* nombre) { return p.control<QLineEdit>(nombre)->text(); }
    // Its own state: the tab set stays off until a customer is chosen.
    bool habilitado(const char* nombre)
    {
        return !p.control<QWidget>(nombre)->testAttribute(Qt::WA_ForceDisabled);
    }
};
} // namespace

class TstRecuperacionPaginas : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(HojasAbandonadas::preparar(sane_)); }

    // Yes: the pages of the oldest dead run come back in order, held as after a scan, with the
    // record of whose they are beside them; the other run's wait for the next start. Pages that
    // were never recorded for a customer can still be given one.
    void siRecuperaEnOrden()
    {
        Escenario e;
        const QString vieja = e.dejar(3600);
        const QString nueva = e.dejar(60, 4);
        QVERIFY(QFile::remove(QDir(vieja).filePath(QStringLiteral("000002.tif"))));
        e.p.mensajes.responder(true);
        QVERIFY(e.cargar());

        QCOMPARE(e.titulos(), QStringList{kRecuperar});
        QVERIFY(e.p.mensajes.cajas().first().mensaje.contains(
            QLatin1String("2 hojas escaneadas sin cliente")));
        const auto h = HojasAbandonadas::hojas();
        const QList<HojasAbandonadas::Hoja> orden{h[0], h[2]};
        QCOMPARE(e.escaner().NumeroPaginas(), 2);
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("2"));
        QCOMPARE(e.p.control<QLabel>("LabelImageNum")->text(),
                 QStringLiteral("Imagen 1 (%1 x %2 x %3 bpp )")
                     .arg(h[2].tamano.width())
                     .arg(h[2].tamano.height())
                     .arg(h[2].bits));
        for (const char* activo : {"BUpload", "BDelete", "BPrev", "CmdCLientes", "FrmDocumentos"})
            QVERIFY2(e.habilitado(activo), activo);
        QVERIFY(!e.habilitado("BNext"));
        QVERIFY(e.p.global.CambiosPendientes);
        QVERIFY(!QFileInfo::exists(vieja));
        QCOMPARE(QDir(nueva).entryList({QStringLiteral("*.tif")}).size(), 3);
        QVERIFY(e.p.control<QLabel>("LblEstatus")
                    ->text()
                    .endsWith(QStringLiteral("Otro lote de hojas sin guardar se ofrecerá al "
                                             "volver a iniciar el programa.")));
        // Now this run's pages, recorded as such: another crash offers them once, from here.
        const auto* propia = static_cast<EscanerSane*>(&e.escaner());
        QCOMPARE(QDir(propia->CarpetaSesion()).entryList({QStringLiteral("??????.tif")}).size(), 2);
        QVERIFY(Lote::leer(propia->CarpetaSesion()).has_value());
        QVERIFY(!e.p.cerrar()); // closing warns about them as about any unsaved scan
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(QSize(e.escaner().AnchoPagina(i), e.escaner().AltoPagina(i)), orden[i].tamano);
            QCOMPARE(e.escaner().ImagenPagina(i).depth(), orden[i].bits);
        }
    }

    // No, the default, loses nothing: the pages go only after a second Yes, else the next start
    // offers them again.
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
            e.p.mensajes.responder(false);
            e.p.mensajes.responder(eliminar);
            QVERIFY(e.cargar());
            QCOMPARE(e.titulos(), (QStringList{kRecuperar, kDescartar}));
            QVERIFY(!e.p.global.CambiosPendientes);
            QCOMPARE(e.escaner().NumeroPaginas(), 0);
        }
        QCOMPARE(QDir(carpeta).entryList({QStringLiteral("*.tif")}).size(), eliminar ? 0 : 3);
        Escenario otra(recuperacion.path());
        QVERIFY(otra.cargar());
        QCOMPARE(otra.titulos(), eliminar ? QStringList{} : (QStringList{kRecuperar, kDescartar}));
    }

    // A page a disk fault left unreadable is kept aside, named with where it is; the rest come
    // back.
    void hojaDanada()
    {
        Escenario e;
        const QString sesion = e.dejar();
        QFile tercera(QDir(sesion).filePath(QStringLiteral("000003.tif")));
        QVERIFY(tercera.open(QIODevice::WriteOnly | QIODevice::Truncate));
        tercera.write("II*\0", 4);
        tercera.close();
        e.p.mensajes.responder(true);
        QVERIFY(e.cargar());
        QCOMPARE(e.titulos(), (QStringList{kRecuperar, kRecuperar}));
        const auto& error = e.p.mensajes.cajas().at(1);
        QCOMPARE(error.tipo, MensajesGrabados::Tipo::Error);
        const QString apartada = QDir(e.base).filePath(
            QStringLiteral("hojas-danadas/%1-000003.tif").arg(QFileInfo(sesion).fileName()));
        QCOMPARE(QFile(apartada).size(), 4);
        QVERIFY2(error.mensaje.contains(
                     QStringLiteral("1 hoja dañada no se pudo leer; se conserva "
                                    "aparte en la carpeta %1 (%2).")
                         .arg(QFileInfo(apartada).absolutePath(), QFileInfo(apartada).fileName())),
                 qPrintable(error.mensaje));
        QVERIFY(!QFileInfo::exists(sesion));
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("2"));
        QCOMPARE(e.escaner().BitsPorPixel(1), HojasAbandonadas::hojas()[1].bits);
        QVERIFY(e.p.global.CambiosPendientes);
    }

    // Pages of a type come back with that type's scanner settings, as a pick of it gives them:
    // the payment receipt scans in colour, through the source's own dialog too. The scanning tab
    // says where they will go.
    void recuperaConLosAjustesDelTipo()
    {
        Escenario e;
        Lote lote;
        lote.cliente = {4711, QStringLiteral("Ruiz Soto Ana"), {}, {}, {}};
        lote.tipo = QStringLiteral("R");
        QVERIFY(lote.escribir(e.dejar(), nullptr));
        e.p.mensajes.responder(true);
        QVERIFY(e.cargar());
        QCOMPARE(e.titulos(), QStringList{kRecuperar});
        QCOMPARE(e.p.ventana().sesion().LetraActual, QStringLiteral("R"));
        QCOMPARE(e.p.control<QLabel>("LblDestino")->text(),
                 QStringLiteral("Expediente nuevo de RUIZ SOTO ANA"));
        QVERIFY(e.escaner().AbrirFuente() != 0);
        QCOMPARE(e.escaner().TipoPixel(), 2);
    }

private:
    ConfigSanePrueba sane_;
};

QTEST_MAIN(TstRecuperacionPaginas)
#include "tst_RecuperacionPaginas.moc"
