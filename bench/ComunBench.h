#pragma once

// What several benchmarks measure alike: medians, the process's resident memory, timed steps
// that must succeed, and pages from the SANE test backend's feeder.
#include "components/escaner/EscanerSane.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sane/saneopts.h>
#include <vector>

namespace ComunBench {

inline double mediana(std::vector<double> valores)
{
    std::sort(valores.begin(), valores.end());
    return valores[valores.size() / 2];
}

// VmRSS of this process in KiB, −1 when unknown.
inline long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& linea : f.readAll().split('\n')) {
        if (linea.startsWith("VmRSS:"))
            return linea.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Seconds the step took; a failed step ends the benchmark, its figures would mean nothing.
inline double medir(const std::function<bool()>& paso)
{
    QElapsedTimer reloj;
    reloj.start();
    if (!paso()) {
        std::fprintf(stderr, "falló un paso de la medición\n");
        std::exit(1);
    }
    return static_cast<double>(reloj.nsecsElapsed()) / 1e9;
}

// Exactly `paginas` more letter pages (picture "Grid") from the test backend's feeder, in its
// batches; seconds taken.
inline double escanearAlimentador(EscanerSane& escaner, int paginas, int tipo, int ppp = 300)
{
    escaner.FijarResolucion(ppp);
    escaner.FijarTipoPixel(tipo);
    escaner.FijarUnidad(0);
    escaner.FijarTamanoPapel(3);
    escaner.Opciones().fijarTexto(SANE_NAME_SCAN_SOURCE,
                                  QStringLiteral("Automatic Document Feeder"));
    escaner.Opciones().fijarTexto("test-picture", QStringLiteral("Grid"));
    QElapsedTimer reloj;
    reloj.start();
    const int meta = escaner.NumeroPaginas() + paginas;
    while (escaner.NumeroPaginas() < meta) {
        escaner.Escanear();
        if (escaner.CodigoError() != 0) {
            QTextStream(stdout) << "fallo: " << escaner.TextoError() << Qt::endl;
            break;
        }
        // The last batch may bring more than needed: keep the count exact.
        while (escaner.NumeroPaginas() > meta)
            escaner.QuitarPagina(escaner.NumeroPaginas() - 1);
    }
    return static_cast<double>(reloj.nsecsElapsed()) / 1e9;
}

} // namespace ComunBench
