// Blank-page measure and deskew at page arrival (see bench/README.md):
//   bench_analisis [vueltas=20]
// 1. AnalisisPagina::analizar (blank measure + deskew) on a bilevel 300-dpi letter page, skewed
//    text and an empty back, in thread CPU time on one core, beside
// 2. the scan of that page from SANE's test backend through EscanerSane, without and with both
//    options, and
// 3. the longest the UI thread's event loop waits while ten such pages arrive with both on.
#include "components/escaner/AnalisisPagina.h"
#include "components/escaner/ConfigSaneDemo.h"
#include "components/escaner/EscanerSane.h"
#include "support/HojaPrueba.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <sane/saneopts.h>

namespace {
QTextStream salida(stdout);

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Cifras
{
    double mediana = 0;
    double maximo = 0;
};

Cifras resumir(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.isEmpty() ? 0 : v[v.size() / 2], v.isEmpty() ? 0 : v.last()};
}

void analisis(const QString& nombre, const QImage& hoja, int vueltas)
{
    QList<double> cpu;
    QList<double> pared;
    const TratamientoHojas ambos{.quitarBlancas = true, .enderezar = true};
    for (int i = 0; i < vueltas; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        const double antes = cpuMs();
        const auto resultado = AnalisisPagina::analizar(hoja, ambos);
        cpu << cpuMs() - antes;
        pared << reloj.nsecsElapsed() / 1e6;
        if (i == 0)
            salida << "  " << nombre << ": tinta " << resultado.tinta << ", girada "
                   << resultado.inclinacion << " grados, en blanco " << resultado.enBlanco
                   << Qt::endl;
    }
    const Cifras c = resumir(cpu);
    const Cifras p = resumir(pared);
    salida << "  " << nombre << ": CPU mediana " << c.mediana << " ms, maximo " << c.maximo
           << " ms; reloj mediana " << p.mediana << " ms" << Qt::endl;
}

void preparar(EscanerSane& escaner, const QString& fuente)
{
    escaner.FijarResolucion(300);
    escaner.FijarTipoPixel(0);
    escaner.FijarUnidad(0);
    escaner.FijarTamanoPapel(3);
    escaner.AbrirFuente();
    escaner.Opciones().fijarTexto(SANE_NAME_SCAN_SOURCE, fuente);
    escaner.Opciones().fijarTexto("test-picture", QStringLiteral("Grid"));
}

Cifras escanear(EscanerSane& escaner, const TratamientoHojas& tratamiento, int vueltas)
{
    escaner.FijarTratamiento(tratamiento);
    QList<double> ms;
    for (int i = 0; i < vueltas; ++i) {
        QElapsedTimer reloj;
        reloj.start();
        escaner.Escanear();
        ms << reloj.nsecsElapsed() / 1e6;
        escaner.QuitarPagina(0);
    }
    return resumir(ms);
}
} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    ConfigSaneDemo::activar(dir.filePath(QStringLiteral("sane")));
    QApplication app(argc, argv);
    const int vueltas = argc > 1 ? qMax(1, atoi(argv[1])) : 20;

    salida << "1. analizar, hoja carta bilevel 300 ppp, " << vueltas << " vueltas" << Qt::endl;
    analisis(QStringLiteral("texto torcido 2 grados"),
             HojaPrueba(QImage::Format_Mono, 300, QStringLiteral("texto"), 2.0), vueltas);
    analisis(QStringLiteral("reverso vacio"),
             HojaPrueba(QImage::Format_Mono, 300, QStringLiteral("reverso")), vueltas);

    EscanerSane escaner(dir.filePath(QStringLiteral("recuperacion")));
    if (!escaner.AbrirSesionTwain()) {
        salida << "sin escaner de prueba: " << escaner.TextoError() << Qt::endl;
        return 1;
    }
    preparar(escaner, QStringLiteral("Flatbed"));
    const Cifras crudo = escanear(escaner, {}, vueltas);
    const Cifras tratado = escanear(escaner, {.quitarBlancas = true, .enderezar = true}, vueltas);
    salida << "2. escaneo de la misma hoja (backend test, Grid): sin tratar mediana "
           << crudo.mediana << " ms; con hojas en blanco y enderezar mediana " << tratado.mediana
           << " ms" << Qt::endl;

    // The timer stands for the window: each tick late is the UI thread kept from its events.
    // The test feeder runs out after ten scans of an open device: open it afresh.
    escaner.CerrarFuente();
    preparar(escaner, QStringLiteral("Automatic Document Feeder"));
    escaner.FijarTratamiento({.quitarBlancas = true, .enderezar = true});
    QElapsedTimer entreTicks;
    double espera = 0;
    QTimer tic;
    tic.setInterval(5);
    QObject::connect(&tic, &QTimer::timeout, [&] {
        espera = qMax(espera, entreTicks.nsecsElapsed() / 1e6);
        entreTicks.restart();
    });
    entreTicks.start();
    tic.start();
    QElapsedTimer lote;
    lote.start();
    escaner.Escanear();
    tic.stop();
    salida << "3. " << escaner.NumeroPaginas() << " hojas del alimentador en "
           << lote.nsecsElapsed() / 1e6 << " ms; mayor espera del hilo de la ventana " << espera
           << " ms" << Qt::endl;
    return 0;
}
