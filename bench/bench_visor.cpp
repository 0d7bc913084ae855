// The page viewer while pages arrive and are saved (see bench/README.md):
//   QT_QPA_PLATFORM=offscreen bench_visor [bitonales=50] [color=20] [memoria=500]
// 1. the longest gap of a 5 ms probe timer on the UI thread while bilevel and colour letter
//    pages at 300 dpi arrive from SANE's test backend, measured for blank pages and straightened
//    on arrival, each shown with its thumbnail strip and size gauge kept current, and while they
//    are written into one TIFF;
// 2. memory added by holding `memoria` bilevel pages with every thumbnail made;
// 3. the time a quarter turn of a bilevel and of a colour page takes.
#include "ComunBench.h"
#include "capture/LienzoPagina.h"
#include "capture/MedidorTamano.h"
#include "capture/ModeloMiniaturas.h"
#include "components/escaner/ConfigSaneDemo.h"
#include "components/escaner/EscanerSane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <malloc.h>
#include <sane/saneopts.h>

namespace {
QTextStream salida(stdout);

// Gaps between the ticks of a 5 ms timer: how long the event loop was away.
struct Sonda
{
    QTimer reloj;
    QElapsedTimer desde;
    QList<double> huecos;
    std::function<int()> informar;
    Sonda()
    {
        reloj.setInterval(5);
        QObject::connect(&reloj, &QTimer::timeout, [this] {
            huecos << desde.nsecsElapsed() / 1e6;
            if (informar && huecos.last() > 40)
                salida << QStringLiteral("   hueco %1 ms con %2 hojas\n")
                              .arg(huecos.last(), 0, 'f', 1)
                              .arg(informar());
            desde.restart();
        });
    }
    void iniciar()
    {
        huecos.clear();
        desde.start();
        reloj.start();
    }
    QString informe()
    {
        reloj.stop();
        std::sort(huecos.begin(), huecos.end());
        if (huecos.isEmpty())
            return QStringLiteral("sin muestras");
        return QStringLiteral("mediana %1 ms, mayor %2 ms (%3 muestras)")
            .arg(huecos[huecos.size() / 2], 0, 'f', 1)
            .arg(huecos.last(), 0, 'f', 1)
            .arg(huecos.size());
    }
};

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    ConfigSaneDemo::activar(dir.filePath(QStringLiteral("sane")));
    QApplication app(argc, argv);
    const int bitonales = argc > 1 ? atoi(argv[1]) : 50;
    const int color = argc > 2 ? atoi(argv[2]) : 20;
    const int memoria = argc > 3 ? atoi(argv[3]) : 500;

    EscanerSane escaner(dir.filePath(QStringLiteral("recuperacion")));
    escaner.AbrirSesionTwain();
    escaner.AbrirFuente();
    escaner.FijarTratamiento({.quitarBlancas = true, .enderezar = true});

    // The viewer's parts as the window puts them together: strip, page and gauge.
    QWidget ventana;
    ventana.resize(1000, 700);
    auto* disposicion = new QHBoxLayout(&ventana);
    auto* tira = new QListView;
    tira->setFixedWidth(130);
    tira->setIconSize(QSize(ModeloMiniaturas::kLado, ModeloMiniaturas::kLado));
    tira->setUniformItemSizes(true);
    auto* area = new QScrollArea;
    area->setWidgetResizable(true);
    auto* imagen = new QLabel;
    imagen->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    area->setWidget(imagen);
    auto* tamano = new QLabel;
    disposicion->addWidget(tira);
    disposicion->addWidget(area, 1);
    disposicion->addWidget(tamano);
    ventana.show();
    ModeloMiniaturas modelo([&escaner] { return &escaner; });
    tira->setModel(&modelo);
    LienzoPagina lienzo(*imagen);
    MedidorTamano medidor(*tamano);
    QObject::connect(&escaner, &EscanerTwain::PostScan, [&](int flag) {
        // Without the viewer: what the scanning component's own arrival costs.
        if (flag != 0 || escaner.NumeroPaginas() == 0 ||
            qEnvironmentVariableIsSet("BENCH_VISOR_SOLO_ESCANER"))
            return;
        QElapsedTimer paso;
        paso.start();
        const int ultima = escaner.NumeroPaginas() - 1;
        const QImage pagina = escaner.ImagenPagina(ultima);
        const double leer = paso.nsecsElapsed() / 1e6;
        if (!qEnvironmentVariableIsSet("BENCH_VISOR_SIN_PAGINA"))
            lienzo.mostrar(pagina);
        const double mostrar = paso.nsecsElapsed() / 1e6;
        modelo.sincronizar();
        tira->setCurrentIndex(modelo.index(ultima));
        tira->scrollTo(modelo.index(ultima));
        medidor.actualizar(&escaner, 2048);
        const double total = paso.nsecsElapsed() / 1e6;
        if (qEnvironmentVariableIsSet("BENCH_VISOR_DETALLE"))
            salida << QStringLiteral(
                          "   hoja %1 (%2 bpp): leer %3 ms, mostrar %4 ms, total %5 ms\n")
                          .arg(ultima)
                          .arg(pagina.depth())
                          .arg(leer, 0, 'f', 1)
                          .arg(mostrar - leer, 0, 'f', 1)
                          .arg(total, 0, 'f', 1);
    });

    Sonda sonda;
    if (qEnvironmentVariableIsSet("BENCH_VISOR_DETALLE"))
        sonda.informar = [&escaner] { return escaner.NumeroPaginas(); };
    QElapsedTimer reloj;
    reloj.start();
    sonda.iniciar();
    ComunBench::escanearAlimentador(escaner, bitonales, 0);
    ComunBench::escanearAlimentador(escaner, color, 2);
    modelo.esperar();
    salida << QStringLiteral("1. llegada de %1 bitonales + %2 color (%3 s): %4\n")
                  .arg(bitonales)
                  .arg(color)
                  .arg(reloj.nsecsElapsed() / 1e9, 0, 'f', 1)
                  .arg(sonda.informe());
    // The save appends the spooled pages one by one on the UI thread, yielding between them as
    // the window's save does through its progress.
    const QString archivo = dir.filePath(QStringLiteral("expediente.tif"));
    sonda.iniciar();
    for (int i = 0; i < escaner.NumeroPaginas(); ++i) {
        escaner.GuardarPagina(i, archivo);
        QCoreApplication::processEvents();
    }
    salida << QStringLiteral("1. guardado de %1 hojas: %2\n")
                  .arg(escaner.NumeroPaginas())
                  .arg(sonda.informe());
    // Late pictures from the scaling thread shown, and what the colour pages left in malloc's
    // free lists given back, so that the memory figure counts only what is held.
    const auto asentar = [&app] {
        QTimer::singleShot(300, &app, &QCoreApplication::quit);
        app.exec();
        malloc_trim(0);
    };
    // A turn is the clerk's own step and runs on the UI thread: how long it holds it.
    for (const int posicion : {0, escaner.NumeroPaginas() - 1}) {
        if (posicion < 0)
            continue;
        const int bits = escaner.BitsPorPixel(posicion);
        std::vector<double> giros;
        for (int i = 0; i < 4; ++i)
            giros.push_back(
                1000 * ComunBench::medir([&] { return escaner.GirarPagina(posicion, 1) == 1; }));
        salida << QStringLiteral("3. giro de una hoja de %1 bpp: mediana %2 ms, mayor %3 ms\n")
                      .arg(bits)
                      .arg(ComunBench::mediana(giros), 0, 'f', 1)
                      .arg(*std::max_element(giros.begin(), giros.end()), 0, 'f', 1);
    }
    salida.flush();
    while (escaner.NumeroPaginas() > 0)
        escaner.QuitarPagina(0);
    modelo.sincronizar();
    lienzo.vaciar();

    if (memoria > 0) {
        // What is held, not what the analysis passes through: without it the scan is quicker.
        escaner.FijarTratamiento({});
        asentar();
        const long antes = ComunBench::rssKb();
        ComunBench::escanearAlimentador(escaner, memoria, 0);
        modelo.sincronizar();
        // Every thumbnail made, as a clerk scrolling the whole strip would.
        for (int i = 0; i < modelo.rowCount(); ++i)
            modelo.data(modelo.index(i), Qt::DecorationRole);
        modelo.esperar();
        asentar();
        const long despues = ComunBench::rssKb();
        salida << QStringLiteral("2. %1 hojas bitonales retenidas con %2 miniaturas: +%3 MB\n")
                      .arg(escaner.NumeroPaginas())
                      .arg(modelo.hechas())
                      .arg((despues - antes) / 1024.0, 0, 'f', 1);
        while (escaner.NumeroPaginas() > 0)
            escaner.QuitarPagina(0);
    }
    return 0;
}
