#include "components/escaner/CarpetaRecuperacion.h"
#include "components/escaner/DialogoAjustesSane.h"
#include "components/escaner/EscanerSane.h"
#include "components/tiff/EscritorTiff.h"
#include "support/ConfigSanePrueba.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <sane/saneopts.h>

namespace {
constexpr int kSoportadas = 0x1005;
constexpr int kResolucionX = 0x1118;
constexpr int kTipoPixel = 0x0101;
constexpr int kAlimentador = 0x1002;
constexpr int kTamanos = 0x1122;
constexpr int kDuplex = 0x1012;
} // namespace

class TstEscanerSane : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fuentes();
    void paginaPlana();
    void tiposYProfundidades_data();
    void tiposYProfundidades();
    void areaEnPulgadas();
    void alimentadorHastaVaciarse();
    void fuentesQueAlimentan_data();
    void fuentesQueAlimentan();
    void dobleCara_reversosQuitadosVuelvenASuLugar();
    void atascoConservaHojas();
    void guardarYQuitar();
    void dialogoDeAjustes();
    void capacidades();

private:
    std::unique_ptr<EscanerSane> nuevo();

    std::unique_ptr<ConfigSanePrueba> config_;
};

void TstEscanerSane::initTestCase()
{
    config_ = std::make_unique<ConfigSanePrueba>();
    QVERIFY(config_->valida());
}

std::unique_ptr<EscanerSane> TstEscanerSane::nuevo()
{
    auto escaner = std::make_unique<EscanerSane>(config_->nuevaCarpetaRecuperacion());
    if (escaner->AbrirSesionTwain() && escaner->AbrirFuente())
        escaner->Opciones().fijarTexto("test-picture", QStringLiteral("Grid"));
    return escaner;
}

void TstEscanerSane::fuentes()
{
    EscanerSane escaner(config_->nuevaCarpetaRecuperacion());
    QCOMPARE(escaner.FuenteActual(), -1);
    QVERIFY(escaner.AbrirSesionTwain() != 0);
    QCOMPARE(escaner.NumeroFuentes(), 2);
    // Two of one model: the device name tells them apart ("test:0" through SANE's loader; "0"
    // where the sanitizer build preloads the test backend in its place).
    for (int i = 0; i < 2; ++i) {
        const QString dado = escaner.NombreFuente(i);
        QVERIFY2(dado == QStringLiteral("Noname frontend-tester (test:%1)").arg(i) ||
                     dado == QStringLiteral("Noname frontend-tester (%1)").arg(i),
                 qPrintable(dado));
    }
    QCOMPARE(escaner.NombreFuente(5), QString());
    QCOMPARE(escaner.FuenteActual(), 0);

    QStringList vistos;
    escaner.FijarSelectorFuente([&](QWidget*, const QStringList& nombres, int actual) {
        vistos = nombres;
        return actual + 1;
    });
    QCOMPARE(escaner.ElegirFuente(), 1);
    QCOMPARE(vistos.size(), 2);
    QCOMPARE(escaner.FuenteActual(), 1);
    escaner.FijarSelectorFuente([](QWidget*, const QStringList&, int) { return -1; });
    QCOMPARE(escaner.ElegirFuente(), 0);
    QCOMPARE(escaner.FuenteActual(), 1);
}

void TstEscanerSane::paginaPlana()
{
    auto escaner = nuevo();
    escaner->FijarResolucion(100);
    escaner->FijarUnidad(0);
    escaner->FijarTipoPixel(0);
    escaner->FijarTamanoPapel(3);
    QSignalSpy avisos(escaner.get(), &EscanerTwain::PostScan);
    int durante = -1, quitarDurante = -1;
    connect(escaner.get(), &EscanerTwain::PostScan, this, [&](int flag) {
        if (flag == 0) {
            durante = escaner->escaneando();
            quitarDurante = escaner->QuitarPagina(0);
        }
    });
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(avisos.size(), 1);
    QCOMPARE(avisos.at(0).at(0).toInt(), 0);
    // While pages are still being delivered nothing may be removed.
    QCOMPARE(durante, 1);
    QVERIFY(quitarDurante != 1);
    QVERIFY(!escaner->escaneando());
    QCOMPARE(escaner->NumeroPaginas(), 1);
    QCOMPARE(escaner->AnchoPagina(0), 850);
    QCOMPARE(escaner->AltoPagina(0), 1100);
    QCOMPARE(escaner->BitsPorPixel(0), 1);
    const QImage imagen = escaner->ImagenPagina(0);
    QCOMPARE(imagen.format(), QImage::Format_Mono);
    QCOMPARE(imagen.size(), QSize(850, 1100));
    // The grid is black lines on white: most of the page must read as white.
    int negros = 0;
    for (int x = 0; x < imagen.width(); ++x)
        negros += qGray(imagen.pixel(x, 500)) < 128;
    QVERIFY2(negros > 0 && negros < imagen.width() / 2, qPrintable(QString::number(negros)));
    // A second scan adds to the pages already held.
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(escaner->NumeroPaginas(), 2);
}

void TstEscanerSane::tiposYProfundidades_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<int>("profundidad"); // 0: what the type sets
    QTest::addColumn<int>("bits");
    QTest::addColumn<QImage::Format>("formato");
    QTest::newRow("blanco y negro") << 0 << 0 << 1 << QImage::Format_Mono;
    QTest::newRow("gris") << 1 << 0 << 8 << QImage::Format_Grayscale8;
    QTest::newRow("color") << 2 << 0 << 24 << QImage::Format_RGB888;
    QTest::newRow("gris 16 bits") << 1 << 16 << 8 << QImage::Format_Grayscale8;
    QTest::newRow("color 16 bits") << 2 << 16 << 24 << QImage::Format_RGB888;
    QTest::newRow("color 1 bit") << 2 << 1 << 24 << QImage::Format_RGB888;
}

void TstEscanerSane::tiposYProfundidades()
{
    QFETCH(int, tipo);
    QFETCH(int, profundidad);
    QFETCH(int, bits);
    QFETCH(QImage::Format, formato);
    auto escaner = nuevo();
    escaner->FijarResolucion(50);
    escaner->FijarTipoPixel(tipo);
    if (profundidad)
        QCOMPARE(escaner->Opciones().fijarNumero(SANE_NAME_BIT_DEPTH, profundidad),
                 SANE_STATUS_GOOD);
    else
        QCOMPARE(escaner->TipoPixel(), tipo);
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(escaner->CodigoError(), 0);
    QCOMPARE(escaner->NumeroPaginas(), 1);
    QCOMPARE(escaner->BitsPorPixel(0), bits);
    QCOMPARE(escaner->ImagenPagina(0).format(), formato);
    // Each page went to the recovery folder as it arrived.
    QCOMPARE(QDir(escaner->CarpetaSesion()).entryList({QStringLiteral("*.tif")}).size(), 1);
}

void TstEscanerSane::areaEnPulgadas()
{
    auto escaner = nuevo();
    escaner->FijarResolucion(200);
    escaner->FijarTipoPixel(2);
    escaner->FijarUnidad(0);
    QCOMPARE(escaner->FijarArea(0, 0, 3.5f, 2.3f), 1);
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(escaner->AnchoPagina(0), 700);
    QCOMPARE(escaner->AltoPagina(0), 460);
    // An area larger than the device is clamped to it, not refused.
    QCOMPARE(escaner->FijarArea(1, 1, 30, 30), 1);
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(escaner->AltoPagina(1), qRound((356 - 25.4) / 25.4 * 200));
    QVERIFY(escaner->FijarArea(3, 0, 1, 2) != 1);
    QVERIFY(escaner->CodigoError() != 0);
}

void TstEscanerSane::alimentadorHastaVaciarse()
{
    auto escaner = nuevo();
    escaner->FijarResolucion(50);
    escaner->FijarTipoPixel(0);
    QCOMPARE(escaner->Opciones().fijarTexto(SANE_NAME_SCAN_SOURCE,
                                            QStringLiteral("Automatic Document Feeder")),
             SANE_STATUS_GOOD);
    QSignalSpy avisos(escaner.get(), &EscanerTwain::PostScan);
    QCOMPARE(escaner->Escanear(), 1);
    // Ten pages, then the feeder runs out: that is the batch's normal end.
    QCOMPARE(avisos.size(), 10);
    for (const auto& aviso : avisos)
        QCOMPARE(aviso.at(0).toInt(), 0);
    QCOMPARE(escaner->CodigoError(), 0);
    QCOMPARE(escaner->NumeroPaginas(), 10);
    // An empty feeder from the start is a failure the window reports; the pages stay.
    QCOMPARE(
        escaner->Opciones().fijarTexto("read-return-value", QStringLiteral("SANE_STATUS_NO_DOCS")),
        SANE_STATUS_GOOD);
    avisos.clear();
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(avisos.size(), 1);
    QCOMPARE(avisos.at(0).at(0).toInt(), int(SANE_STATUS_NO_DOCS));
    QCOMPARE(escaner->CodigoError(), int(SANE_STATUS_NO_DOCS));
    QVERIFY(escaner->TextoError().contains(QStringLiteral("alimentador")));
    QCOMPARE(escaner->NumeroPaginas(), 10);
}

// Every source that feeds sheets, one side or both, scans until it runs out.
void TstEscanerSane::fuentesQueAlimentan_data()
{
    QTest::addColumn<QString>("fuente");
    QTest::addColumn<bool>("alimenta");
    QTest::newRow("plana") << "Flatbed" << false;
    QTest::newRow("transparencias") << "Transparency Adapter" << false;
    QTest::newRow("alimentador") << "Automatic Document Feeder" << true;
    QTest::newRow("ADF Duplex") << "ADF Duplex" << true;
    QTest::newRow("solo Duplex") << "Duplex" << true;
}

void TstEscanerSane::fuentesQueAlimentan()
{
    QFETCH(QString, fuente);
    QFETCH(bool, alimenta);
    QCOMPARE(CapacidadesSane::esAlimentador(fuente), alimenta);
}

// Both sides from a two-sided feeder, the backs blank: the fronts are held in order, and each
// back brought back lands after its own front, on disk as in the list.
void TstEscanerSane::dobleCara_reversosQuitadosVuelvenASuLugar()
{
    SpoolPaginas spool(config_->nuevaCarpetaRecuperacion());
    QVERIFY(spool.preparar(nullptr));
    const QDir sesion(spool.carpetaSesion());
    QVERIFY(sesion.mkdir(QLatin1String(SpoolPaginas::kCarpetaQuitadas)));
    QStringList caras;
    for (int i = 0; i < 6; ++i) {
        PaginaEscaneada pagina;
        pagina.ruta = spool.nuevaRuta();
        caras << QFileInfo(pagina.ruta).fileName();
        pagina.enBlanco = i % 2 == 1;
        if (pagina.enBlanco)
            pagina.ruta = sesion.filePath(QStringLiteral("quitadas/") + caras.last());
        QFile archivo(pagina.ruta);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        spool.agregar(pagina);
    }
    auto retenidas = [&] {
        QStringList nombres;
        for (int i = 0; i < spool.cantidad(); ++i)
            nombres << QFileInfo(spool.pagina(i).ruta).fileName();
        QStringList enDisco;
        for (const QString& ruta : CarpetaRecuperacion::paginas(sesion.path()))
            enDisco << QFileInfo(ruta).fileName();
        return nombres == enDisco ? nombres : QStringList{QStringLiteral("disco distinto")};
    };
    QCOMPARE(retenidas(), (QStringList{caras[0], caras[2], caras[4]}));
    QCOMPARE(spool.quitadas(), 3);
    QString error;
    QCOMPARE(spool.restaurarQuitada(&error), 3);
    QCOMPARE(spool.restaurarQuitada(&error), 2);
    QCOMPARE(retenidas(), (QStringList{caras[0], caras[2], caras[3], caras[4], caras[5]}));
    spool.olvidarQuitadas();
    QCOMPARE(spool.restaurarQuitada(&error), -1);
    QVERIFY(!error.isEmpty());
    QVERIFY(!sesion.exists(QLatin1String(SpoolPaginas::kCarpetaQuitadas)));
}

void TstEscanerSane::atascoConservaHojas()
{
    auto escaner = nuevo();
    escaner->FijarResolucion(50);
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(escaner->NumeroPaginas(), 1);
    QCOMPARE(
        escaner->Opciones().fijarTexto("read-return-value", QStringLiteral("SANE_STATUS_JAMMED")),
        SANE_STATUS_GOOD);
    QSignalSpy avisos(escaner.get(), &EscanerTwain::PostScan);
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(avisos.size(), 1);
    QCOMPARE(avisos.at(0).at(0).toInt(), int(SANE_STATUS_JAMMED));
    QCOMPARE(escaner->CodigoError(), int(SANE_STATUS_JAMMED));
    QVERIFY(escaner->TextoError().contains(QStringLiteral("atoró")));
    QCOMPARE(escaner->NumeroPaginas(), 1);
    QVERIFY(!escaner->ImagenPagina(0).isNull());
}

void TstEscanerSane::guardarYQuitar()
{
    auto escaner = nuevo();
    escaner->FijarResolucion(75);
    for (int tipo : {0, 2, 0}) {
        escaner->FijarTipoPixel(tipo);
        QCOMPARE(escaner->Escanear(), 1);
    }
    const QDir spool(escaner->CarpetaSesion());
    QCOMPARE(spool.entryList({QStringLiteral("??????.tif")}).size(), 3);

    // Positions not held: a result other than 1 and a text, never a crash.
    for (int posicion : {-1, 3, 40000}) {
        QVERIFY(escaner->QuitarPagina(posicion) != 1);
        QVERIFY(escaner->CodigoError() != 0);
        QVERIFY(!escaner->TextoError().isEmpty());
        QVERIFY(escaner->GuardarPagina(posicion, QStringLiteral("x.tif")) != 1);
        QVERIFY(escaner->ImagenPagina(posicion).isNull());
        QCOMPARE(escaner->AnchoPagina(posicion), 0);
    }
    QCOMPARE(escaner->QuitarPagina(1), 1); // the colour page; later pages move down
    QCOMPARE(escaner->NumeroPaginas(), 2);
    QCOMPARE(escaner->BitsPorPixel(1), 1);
    QCOMPARE(spool.entryList({QStringLiteral("??????.tif")}).size(), 2);

    QTemporaryDir dir;
    const QString archivo = dir.filePath(QStringLiteral("expedienteN.tif"));
    for (int i = 0; i < escaner->NumeroPaginas(); ++i)
        QCOMPARE(escaner->GuardarPagina(i, archivo), 1);
    QCOMPARE(EscritorTiff::contarPaginas(archivo), 2);
    // Written pages stay in the spool until they are removed.
    QCOMPARE(spool.entryList({QStringLiteral("??????.tif")}).size(), 2);
    QCOMPARE(escaner->ImagenPagina(1).size(),
             QSize(escaner->AnchoPagina(1), escaner->AltoPagina(1)));
    while (escaner->NumeroPaginas() > 0)
        QCOMPARE(escaner->QuitarPagina(0), 1);
    QCOMPARE(spool.entryList(QDir::Files).size(), 0);
    // A clean shutdown leaves nothing in the recovery folder.
    escaner.reset();
    QVERIFY(!spool.exists());
}

void TstEscanerSane::dialogoDeAjustes()
{
    auto escaner = nuevo();
    escaner->FijarMostrarDialogo(true);
    QCOMPARE(escaner->MostrarDialogo(), 1);
    escaner->FijarDialogoAjustes([](QWidget*, OpcionesSane&, TratamientoHojas&) { return false; });
    QSignalSpy avisos(escaner.get(), &EscanerTwain::PostScan);
    escaner->Escanear();
    // Cancelling the dialog is not an error to show.
    QCOMPARE(avisos.size(), 1);
    QVERIFY(avisos.at(0).at(0).toInt() != 0);
    QCOMPARE(escaner->CodigoError(), 0);
    QCOMPARE(escaner->NumeroPaginas(), 0);

    TratamientoHojas tratamiento{.quitarBlancas = true};
    DialogoAjustesSane dialogo(escaner->Opciones(), &tratamiento);
    auto* quitar = dialogo.findChild<QCheckBox*>(QStringLiteral("QuitarBlancas"));
    auto* enderezar = dialogo.findChild<QCheckBox*>(QStringLiteral("EnderezarHojas"));
    QVERIFY(quitar && enderezar);
    QVERIFY(quitar->isChecked() && !enderezar->isChecked());
    quitar->setChecked(false);
    enderezar->setChecked(true);
    QCOMPARE(tratamiento.quitarBlancas, true); // nothing changes before Escanear
    auto* modo = qobject_cast<QComboBox*>(dialogo.control(SANE_NAME_SCAN_MODE));
    auto* resolucion = qobject_cast<QDoubleSpinBox*>(dialogo.control(SANE_NAME_SCAN_RESOLUTION));
    QVERIFY(modo && resolucion);
    QVERIFY(dialogo.control(SANE_NAME_SCAN_SOURCE));
    QVERIFY(dialogo.control(SANE_NAME_SCAN_BR_Y));
    modo->setCurrentText(QStringLiteral("Color"));
    resolucion->setValue(60);
    dialogo.aplicar();
    QCOMPARE(tratamiento, (TratamientoHojas{.quitarBlancas = false, .enderezar = true}));
    QCOMPARE(escaner->TipoPixel(), 2);
    QCOMPARE(escaner->Resolucion(), 60);
    escaner->FijarDialogoAjustes([](QWidget*, OpcionesSane&, TratamientoHojas&) { return true; });
    QCOMPARE(escaner->Escanear(), 1);
    QCOMPARE(escaner->NumeroPaginas(), 1);
    QCOMPARE(escaner->BitsPorPixel(0), 24);
}

void TstEscanerSane::capacidades()
{
    auto escaner = nuevo();
    QCOMPARE(escaner->AbrirFuente(), 1);
    escaner->FijarCapacidad(kSoportadas);
    escaner->FijarContenedorPedido(4);
    QCOMPARE(escaner->ConsultarCapacidad(), 1);
    QList<int> codigos;
    for (int i = 0; i < escaner->NumeroElementos(); ++i)
        codigos << int(escaner->Elementos(i));
    for (int c : {kResolucionX, kTipoPixel, kAlimentador, kTamanos, 0x1111, 0x1112, 0x100E})
        QVERIFY2(codigos.contains(c), qPrintable(QString::number(c, 16)));
    QVERIFY(!codigos.contains(kDuplex));

    escaner->FijarCapacidad(kResolucionX);
    QCOMPARE(escaner->CapacidadSoportada(), 1);
    escaner->FijarContenedorPedido(3);
    QCOMPARE(escaner->ConsultarCapacidad(), 1);
    QCOMPARE(escaner->TipoContenedor(), 3);
    QCOMPARE(escaner->ValorMinimo(), 1.0f);
    QCOMPARE(escaner->ValorMaximo(), 1200.0f);
    QCOMPARE(escaner->Incremento(), 1);
    escaner->FijarContenedorPedido(1);
    QCOMPARE(escaner->ConsultarCapacidad(), 1);
    QCOMPARE(escaner->TipoContenedor(), 1);
    QCOMPARE(escaner->ValorActual(), float(escaner->Resolucion()));

    escaner->FijarCapacidad(kDuplex);
    QCOMPARE(escaner->CapacidadSoportada(), 0);
    QCOMPARE(escaner->ConsultarCapacidad(), 0);
    QCOMPARE(escaner->TipoContenedor(), 0);

    QCOMPARE(escaner->TiposPixelSoportados(), (QList<qint32>{0, 1, 2}));
    QCOMPARE(escaner->CodigoError(), 0);
    escaner->ResolucionesSoportadas();
    QCOMPARE(escaner->TipoContenedor(), 3);
    const QList<qint32> tamanos = escaner->TamanosPapelSoportados();
    QVERIFY(tamanos.contains(3) && tamanos.contains(4) && !tamanos.contains(11));
    escaner->FijarTamanoPapel(3);
    QCOMPARE(escaner->TamanoPapel(), 3);
    QCOMPARE(escaner->Unidad(), 0);
    QCOMPARE(escaner->CerrarFuente(), 1);
    // With the source closed the reads say so instead of answering.
    QCOMPARE(escaner->Resolucion(), 0);
    QVERIFY(escaner->CodigoError() != 0);
    QCOMPARE(escaner->TipoPixel(), -1);
}

QTEST_MAIN(TstEscanerSane)
#include "tst_EscanerSane.moc"
