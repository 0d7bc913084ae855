// Completion of the search text, keystroke by keystroke, in the real dialog (offscreen) with a
// history of 32,766 entries: the whole key press (filter, line edit, completion) is timed.
//   bench_busqueda_autocompletar [entries=32766]
#include "app/Entorno.h"
#include "app/Global.h"
#include "search/Autocompletar.h"
#include "search/FrmBusqueda_Cliente.h"
#include "search/ListaHistorial.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const char* const kApellidos[] = {"HERNANDEZ", "GARCIA",    "MARTINEZ", "LOPEZ",   "GONZALEZ",
                                  "PEREZ",     "RODRIGUEZ", "SANCHEZ",  "RAMIREZ", "CRUZ",
                                  "FLORES",    "GOMEZ",     "MORALES",  "VAZQUEZ", "REYES"};

struct Resultado
{
    double mediana = 0;
    double p95 = 0;
    double peor = 0;
};

Resultado medir(QList<double> tiempos)
{
    std::sort(tiempos.begin(), tiempos.end());
    return {tiempos.at(tiempos.size() / 2), tiempos.at(tiempos.size() * 95 / 100), tiempos.last()};
}

// Types the text key by key into a fresh opening of the dialog; the time of each key press.
QList<double> teclear(Global& global, Entorno& entorno, const QString& texto)
{
    FrmBusqueda_Cliente dialogo(global, entorno);
    dialogo.show();
    auto* caja = dialogo.findChild<QLineEdit*>(QStringLiteral("TxtNombre"));
    caja->setFocus();
    // The first key press of a line edit sets up its text layout; that is not the completion.
    caja->insert(QStringLiteral("0"));
    global.Borrando = true;
    caja->clear();
    QList<double> tiempos;
    for (const QChar letra : texto) {
        QElapsedTimer reloj;
        reloj.start();
        const auto tecla = Qt::Key(letra.toUpper().unicode());
        QKeyEvent pulsar(QEvent::KeyPress, tecla, Qt::NoModifier, QString(letra));
        QKeyEvent soltar(QEvent::KeyRelease, tecla, Qt::NoModifier, QString(letra));
        QApplication::sendEvent(caja, &pulsar);
        QApplication::sendEvent(caja, &soltar);
        tiempos << reloj.nsecsElapsed() / 1e6;
    }
    return tiempos;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int entradas = argc > 1 ? std::atoi(argv[1]) : 32766;

    QTemporaryDir carpeta;
    Global global;
    Entorno entorno;
    entorno.archivoHistorial = carpeta.filePath(QStringLiteral("DirLogFact.ini"));

    struct Caso
    {
        const char* nombre;
        QByteArray historial;
        QString texto;
    };
    QList<Caso> casos;
    {
        // Distinct names in random order; the typed name is in none of them.
        QRandomGenerator azar(7);
        QByteArray historial;
        for (int i = 0; i < entradas; ++i)
            historial += QByteArray(kApellidos[azar.bounded(15)]) + ' ' +
                         kApellidos[azar.bounded(15)] + ' ' + QByteArray::number(i) + "\r\n";
        casos.append({"nombres, sin coincidencia", historial, QStringLiteral("ZAPATA RUIZ")});
        casos.append({"nombres, coincide al inicio", historial, QStringLiteral("PEREZ GOMEZ Q")});
    }
    {
        // Every entry shares the typed prefix and differs only at its end: each comparison
        // runs the whole text.
        QByteArray historial;
        for (int i = 0; i < entradas; ++i)
            historial += "PEREZ GOMEZ JUAN CARLOS " + QByteArray::number(i) + "\r\n";
        casos.append({"prefijo comun, coincide al final", historial,
                      QStringLiteral("PEREZ GOMEZ JUAN CARLOS %1").arg(entradas - 1)});
        casos.append({"prefijo comun, sin coincidencia", historial,
                      QStringLiteral("PEREZ GOMEZ JUAN CARLOS X")});
    }

    std::printf("%d entradas\n%-34s %10s %8s %8s %12s\n", entradas, "caso", "mediana ms", "p95 ms",
                "peor ms", "solo rutina");
    for (const Caso& caso : casos) {
        QFile archivo(entorno.archivoHistorial);
        if (!archivo.open(QIODevice::WriteOnly))
            return 1;
        archivo.write(caso.historial);
        archivo.close();
        QList<double> teclas;
        for (int vez = 0; vez < 10; ++vez)
            teclas << teclear(global, entorno, caso.texto);
        const Resultado r = medir(teclas);

        // The routine alone on the full text, many times.
        ListaHistorial lista;
        lista.cargar(entorno.archivoHistorial);
        QLineEdit caja;
        QList<double> rutina;
        for (int i = 0; i < 50; ++i) {
            caja.setText(caso.texto.left(caso.texto.size() - 1));
            caja.end(false);
            caja.insert(caso.texto.right(1));
            bool borrando = false;
            QElapsedTimer reloj;
            reloj.start();
            AutocompletarTexto(lista, caja, 0, borrando);
            rutina << reloj.nsecsElapsed() / 1e6;
        }
        std::printf("%-34s %10.3f %8.3f %8.3f %12.3f\n", caso.nombre, r.mediana, r.p95, r.peor,
                    medir(rutina).mediana);
    }
    return 0;
}
