// A name search on a large embedded database (made by bench_busqueda_generar), through the
// program's connection and record set, against the sqlite3 command-line tool running the same
// SQLite statement with the same helper functions (loaded as an extension).
//   bench_busqueda_nombre <file.db> [runs=5] [text="PEREZ GOMEZ"] [centre="C00"]
#include "app/AdaptadorSQLite.h"
#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "search/ComposicionBusqueda.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

double mediana(QList<double> valores)
{
    std::sort(valores.begin(), valores.end());
    return valores.isEmpty() ? 0 : valores.at(valores.size() / 2);
}

// What the dialog does with a result: every field of every row read.
int leerTodo(ConexionBaseDatos& conexion, const SentenciaBusqueda& s)
{
    Registros rs = conexion.consultar(s.texto, s.valores);
    int filas = 0;
    QVariantList fila;
    for (; !rs.eof(); rs.siguiente()) {
        fila.clear();
        for (int i = 0; i < rs.columnas(); ++i)
            fila << rs.campo(i);
        ++filas;
    }
    rs.cerrar();
    return filas;
}

QString literal(const QVariant& valor)
{
    QString texto = valor.toString();
    texto.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("\"'%1'\"").arg(texto);
}

// Runs the statement runs+1 times in one sqlite3 process; the first run warms the cache like
// the program's first run does. Returns the "Run Time: real" of each later run, in ms.
QList<double> tiemposCli(const QString& base, const SentenciaBusqueda& s, int corridas, int& filas)
{
    QTemporaryDir carpeta;
    const QString salida = carpeta.filePath(QStringLiteral("filas.txt"));
    QString guion =
        QStringLiteral(".load %1\n").arg(QStringLiteral(EXPEDIENTES_MODULO_FUNCIONES_SQLITE));
    for (int i = 0; i < s.valores.size(); ++i)
        guion += QStringLiteral(".parameter set ?%1 %2\n").arg(i + 1).arg(literal(s.valores.at(i)));
    guion += QStringLiteral(".timer on\n.output %1\n").arg(salida);
    const QString sentencia = AdaptadorSQLite::adaptar(s.texto) + QStringLiteral(";\n");
    guion += sentencia;
    guion += QStringLiteral(".output /dev/null\n");
    for (int i = 0; i < corridas; ++i)
        guion += sentencia;

    QProcess cli;
    cli.start(QStringLiteral("sqlite3"), {base});
    cli.write(guion.toUtf8());
    cli.closeWriteChannel();
    cli.waitForFinished(-1);
    const QString texto = QString::fromUtf8(cli.readAllStandardOutput());
    const QString errores = QString::fromUtf8(cli.readAllStandardError());
    if (!errores.isEmpty())
        std::fprintf(stderr, "sqlite3: %s\n", qPrintable(errores));
    QList<double> tiempos;
    static const QRegularExpression real(QStringLiteral(R"(Run Time: real ([0-9.]+))"));
    for (auto it = real.globalMatch(texto); it.hasNext();)
        tiempos << it.next().captured(1).toDouble() * 1000;
    if (!tiempos.isEmpty())
        tiempos.removeFirst();
    QFile archivo(salida);
    filas = archivo.open(QIODevice::ReadOnly) ? int(archivo.readAll().count('\n')) : -1;
    return tiempos;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "uso: %s <archivo.db> [corridas] [texto] [centro]\n", argv[0]);
        return 2;
    }
    const QString base = QFileInfo(args.at(1)).absoluteFilePath();
    const int corridas = args.size() > 2 ? args.at(2).toInt() : 5;
    const QString buscado = args.size() > 3 ? args.at(3) : QStringLiteral("PEREZ GOMEZ");
    const QString centro = args.size() > 4 ? args.at(4) : QStringLiteral("C00");

    ConexionBaseDatos conexion(QStringLiteral("bench"));
    try {
        conexion.abrir(QStringLiteral("Server=sqlite:") + base, QDir::currentPath());
    } catch (const ErrorSistema& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.descripcion()));
        return 1;
    }

    std::printf("%-14s %8s %12s %12s %8s\n", "alcance", "filas", "programa ms", "sqlite3 ms",
                "razon");
    for (const AlcanceCentros alcance :
         {AlcanceCentros::CentroPropio, AlcanceCentros::TodosLosCentros}) {
        const SentenciaBusqueda s =
            ComposicionBusqueda::componer(ModoBusqueda::Nombre, alcance, buscado, centro);
        int filas = leerTodo(conexion, s); // warm-up
        QList<double> propios;
        QList<double> cli;
        int filasCli = 0;
        // Interleaved, so that a busy machine weighs on both sides alike.
        for (int i = 0; i < corridas; ++i) {
            QElapsedTimer reloj;
            reloj.start();
            filas = leerTodo(conexion, s);
            propios << reloj.nsecsElapsed() / 1e6;
            cli << tiemposCli(base, s, 1, filasCli);
        }
        const double a = mediana(propios);
        const double b = mediana(cli);
        std::printf("%-14s %8d %12.1f %12.1f %8.2f%s\n",
                    alcance == AlcanceCentros::CentroPropio ? "centro propio" : "todos", filas, a,
                    b, b > 0 ? a / b : 0.0, filas == filasCli ? "" : "  (filas distintas!)");
    }
    return 0;
}
