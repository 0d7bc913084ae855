// Twenty workstations saving at once (see bench/README.md): half of them add pages to one stored
// document, the other half each to a document of its own, every workstation a process of its own
// (estacion_envio, the program's own send) on one embedded database and one FTP server on
// loopback. Counts the pages lost, stored twice, overwritten and filed under another document
// (goal 0 each), and the time until all are stored against the same saves one after another.
// With "fallas", the first upload of every fourth workstation loses its answer after the server
// stored it, and that of the workstation after it is cut before the server has it.
//   bench_estaciones [estaciones=20] [hojas=3] [rondas=3] [fallas]
#include "ComunBench.h"
#include "support/EstacionesPrueba.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>

namespace {
struct Ronda
{
    double segundos = 0;
    int perdidas = 0;
    int duplicadas = 0;
    int sobrescritas = 0;
    int fueraDeLugar = 0;
};

// Station i marks its pages i*100 + 1..hojas; the document it adds to starts with one page,
// marked 0 for the shared one and i*100 for its own.
Ronda correr(int estaciones, int hojas, bool juntas, bool fallas)
{
    EstacionesPrueba e;
    if (!e.preparar()) {
        std::fprintf(stderr, "no se pudo preparar: %s\n", qPrintable(e.servidor.error()));
        std::exit(1);
    }
    const double compartido = e.expedienteConDocumento(0);
    QMap<QString, QList<int>> esperados; // document -> marks it must hold, once each
    esperados[NumeroPlano(compartido) + "N.tif"] << 0;
    QList<double> folios;
    for (int i = 1; i <= estaciones; ++i) {
        const double folio = i % 2 ? compartido : e.expedienteConDocumento(i * 100);
        folios << folio;
        QList<int>& marcas = esperados[NumeroPlano(folio) + "N.tif"];
        if (folio != compartido)
            marcas << i * 100;
    }
    QElapsedTimer reloj;
    reloj.start();
    for (int i = 1; i <= estaciones; ++i) {
        QList<int> marcas;
        for (int j = 1; j <= hojas; ++j)
            marcas << i * 100 + j;
        esperados[NumeroPlano(folios[i - 1]) + "N.tif"] << marcas;
        const char* falla = !fallas ? "" : i % 4 == 1 ? "perdida" : i % 4 == 2 ? "corte" : "";
        e.lanzar(folios[i - 1], marcas, QString::fromLatin1(falla));
        QString error;
        if (!juntas && !e.esperar(&error))
            std::fprintf(stderr, "%s", qPrintable(error));
    }
    QString error;
    if (!e.esperar(&error))
        std::fprintf(stderr, "%s", qPrintable(error));
    Ronda r;
    r.segundos = reloj.elapsed() / 1000.0;

    const QMap<QString, QList<int>> guardados = e.documentos();
    for (auto it = esperados.cbegin(); it != esperados.cend(); ++it) {
        const QList<int> tiene = guardados.value(it.key());
        for (int marca : it.value()) {
            const int veces = int(tiene.count(marca));
            const bool base = marca % 100 == 0;
            if (veces == 0)
                ++(base ? r.sobrescritas : r.perdidas);
            r.duplicadas += std::max(0, veces - 1);
        }
        for (int marca : tiene)
            r.fueraDeLugar += it.value().contains(marca) ? 0 : 1;
        if (!e.marcado(it.key().chopped(5)))
            std::fprintf(stderr, "%s sin marcar\n", qPrintable(it.key()));
    }
    return r;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication aplicacion(argc, argv);
    const int estaciones = argc > 1 ? std::atoi(argv[1]) : 20;
    const int hojas = argc > 2 ? std::atoi(argv[2]) : 3;
    const int rondas = argc > 3 ? std::atoi(argv[3]) : 3;
    const bool fallas = argc > 4 && qstrcmp(argv[4], "fallas") == 0;
    std::printf("%d estaciones (%d a un mismo documento, %d a uno propio), %d hojas cada una%s\n",
                estaciones, (estaciones + 1) / 2, estaciones / 2, hojas,
                fallas ? ", con envíos cortados" : "");
    std::printf("ronda  a la vez  una tras otra  razón  perdidas/duplicadas/sobrescritas/fuera de "
                "lugar (a la vez; una tras otra)\n");
    std::vector<double> razones;
    int faltas = 0;
    for (int ronda = 1; ronda <= rondas; ++ronda) {
        const Ronda a = correr(estaciones, hojas, true, fallas);
        const Ronda b = correr(estaciones, hojas, false, fallas);
        razones.push_back(a.segundos / b.segundos);
        std::printf("%5d  %6.2f s  %11.2f s  %4.2f×  %d/%d/%d/%d; %d/%d/%d/%d\n", ronda, a.segundos,
                    b.segundos, razones.back(), a.perdidas, a.duplicadas, a.sobrescritas,
                    a.fueraDeLugar, b.perdidas, b.duplicadas, b.sobrescritas, b.fueraDeLugar);
        for (const Ronda* r : {&a, &b})
            faltas += r->perdidas + r->duplicadas + r->sobrescritas + r->fueraDeLugar;
    }
    std::printf("mediana de la razón: %.2f×; páginas perdidas, duplicadas, sobrescritas o fuera de "
                "lugar en total: %d\n",
                ComunBench::mediana(razones), faltas);
    return faltas == 0 ? 0 : 1;
}
