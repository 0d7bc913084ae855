// Scanning benchmarks against SANE's test backend (see bench/README.md):
//   bench_escaneo [paginas=50] [bilevel_memoria=500] [color_memoria=500]
// 1. acquiring and spooling letter pages at 300 dpi bilevel vs scanimage --batch + tiffcp -c g4;
//    1b. the time a page takes to reach the disk for good;
// 2. writing the held pages into one TIFF vs tiffcp -c g4 of the same pages;
// 3. memory added by holding many bilevel and colour pages.
#include "ComunBench.h"
#include "components/EscrituraDurable.h"
#include "components/escaner/ConfigSaneDemo.h"
#include "components/escaner/EscanerSane.h"
#include "components/tiff/EscritorTiff.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <sane/saneopts.h>

namespace {
QTextStream salida(stdout);

bool correr(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(programa, argumentos);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    ConfigSaneDemo::activar(dir.filePath(QStringLiteral("sane")));
    QApplication app(argc, argv);
    const int paginas = argc > 1 ? atoi(argv[1]) : 50;
    const int bilevelMemoria = argc > 2 ? atoi(argv[2]) : 500;
    const int colorMemoria = argc > 3 ? atoi(argv[3]) : 500;
    const QString lotes = dir.filePath(QStringLiteral("lotes"));
    QDir().mkpath(lotes);

    // Anchor: what a user would chain by hand.
    QElapsedTimer reloj;
    reloj.start();
    for (int inicio = 1; inicio <= paginas; inicio += 10) {
        correr(QStringLiteral("scanimage"),
               {QStringLiteral("-d"),
                QStringLiteral("test:0"),
                QStringLiteral("--source"),
                QStringLiteral("Automatic Document Feeder"),
                QStringLiteral("--mode"),
                QStringLiteral("Gray"),
                QStringLiteral("--depth"),
                QStringLiteral("1"),
                QStringLiteral("--resolution"),
                QStringLiteral("300"),
                QStringLiteral("--test-picture"),
                QStringLiteral("Grid"),
                QStringLiteral("-x"),
                QStringLiteral("215.9"),
                QStringLiteral("-y"),
                QStringLiteral("279.4"),
                QStringLiteral("--format=tiff"),
                QStringLiteral("--batch=%1/p%04d.tif").arg(lotes),
                QStringLiteral("--batch-start=%1").arg(inicio),
                QStringLiteral("--batch-count=%1").arg(qMin(10, paginas - inicio + 1))});
    }
    const double tScanimage = reloj.nsecsElapsed() / 1e9;
    QStringList hojas = QDir(lotes).entryList({QStringLiteral("p*.tif")}, QDir::Files, QDir::Name);
    for (QString& h : hojas)
        h = QDir(lotes).filePath(h);
    const QString anclaTiff = dir.filePath(QStringLiteral("tiffcp.tif"));
    reloj.restart();
    correr(QStringLiteral("tiffcp"),
           QStringList{QStringLiteral("-c"), QStringLiteral("g4")} << hojas << anclaTiff);
    const double tTiffcp = reloj.nsecsElapsed() / 1e9;

    EscanerSane escaner(dir.filePath(QStringLiteral("recuperacion")));
    escaner.AbrirSesionTwain();
    escaner.AbrirFuente();
    const double tEscaneo = ComunBench::escanearAlimentador(escaner, paginas, 0, 300);

    const QString nuestro = dir.filePath(QStringLiteral("expediente.tif"));
    reloj.restart();
    for (int i = 0; i < escaner.NumeroPaginas(); ++i)
        escaner.GuardarPagina(i, nuestro);
    const double tGuardar = reloj.nsecsElapsed() / 1e9;
    const double tamNuestro = QFileInfo(nuestro).size();
    const double tamAncla = QFileInfo(anclaTiff).size();

    salida << "hojas escaneadas: " << escaner.NumeroPaginas() << " (scanimage: " << hojas.size()
           << ")\n";
    salida << QStringLiteral("1. escanear+spool %1 s  vs  scanimage --batch + tiffcp -c g4 %2 s "
                             "(%3 + %4)  ratio %5\n")
                  .arg(tEscaneo, 0, 'f', 3)
                  .arg(tScanimage + tTiffcp, 0, 'f', 3)
                  .arg(tScanimage, 0, 'f', 3)
                  .arg(tTiffcp, 0, 'f', 3)
                  .arg(tEscaneo / (tScanimage + tTiffcp), 0, 'f', 2);
    salida << QStringLiteral("2. GuardarPagina x%1 %2 s  vs  tiffcp -c g4 %3 s  ratio %4; "
                             "tamano %5 vs %6 bytes (%7%)\n")
                  .arg(escaner.NumeroPaginas())
                  .arg(tGuardar, 0, 'f', 3)
                  .arg(tTiffcp, 0, 'f', 3)
                  .arg(tGuardar / tTiffcp, 0, 'f', 2)
                  .arg(tamNuestro, 0, 'f', 0)
                  .arg(tamAncla, 0, 'f', 0)
                  .arg((tamNuestro / tamAncla - 1) * 100, 0, 'f', 1);
    // What goal 1 now includes for each page: written aside, synced, renamed, folder synced.
    if (escaner.NumeroPaginas() > 0) {
        const QByteArray hoja = [&] {
            QFile archivo(escaner.ArchivoPagina(0));
            return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
        }();
        const QString asentadas = dir.filePath(QStringLiteral("asentadas"));
        EscrituraDurable::crearCarpeta(asentadas);
        std::vector<double> tiempos;
        for (int i = 0; i < paginas; ++i) {
            const QString destino = QDir(asentadas).filePath(QStringLiteral("%1.tif").arg(i));
            tiempos.push_back(ComunBench::medir(
                [&] { return EscrituraDurable::escribir(destino, hoja, nullptr); }));
        }
        salida << QStringLiteral("1b. hoja asentada en disco (%1 bytes): mediana %2 ms, maximo "
                                 "%3 ms, en %4\n")
                      .arg(hoja.size())
                      .arg(ComunBench::mediana(tiempos) * 1000, 0, 'f', 2)
                      .arg(*std::max_element(tiempos.begin(), tiempos.end()) * 1000, 0, 'f', 2)
                      .arg(QDir::toNativeSeparators(asentadas));
    }
    salida.flush();
    while (escaner.NumeroPaginas() > 0)
        escaner.QuitarPagina(0);

    for (const auto& [tipo, cuantas, nombre] :
         {std::tuple{0, bilevelMemoria, "bilevel"}, std::tuple{2, colorMemoria, "color"}}) {
        if (cuantas <= 0)
            continue;
        const long antes = ComunBench::rssKb();
        const double t = ComunBench::escanearAlimentador(escaner, cuantas, tipo, 300);
        // Show every page once, as a user paging through them would.
        for (int i = 0; i < escaner.NumeroPaginas(); ++i)
            escaner.ImagenPagina(i);
        const long despues = ComunBench::rssKb();
        salida << QStringLiteral("3. %1 hojas %2 a 300 ppp retenidas: +%3 MB de memoria "
                                 "(%4 s)\n")
                      .arg(escaner.NumeroPaginas())
                      .arg(QLatin1String(nombre))
                      .arg((despues - antes) / 1024.0, 0, 'f', 1)
                      .arg(t, 0, 'f', 1);
        salida.flush();
        while (escaner.NumeroPaginas() > 0)
            escaner.QuitarPagina(0);
    }
    return 0;
}
