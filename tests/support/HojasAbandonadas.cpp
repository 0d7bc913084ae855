#include "support/HojasAbandonadas.h"

#include "components/EscanerSane.h"
#include "support/ConfigSanePrueba.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {
struct Plantilla
{
    QTemporaryDir carpeta;
    QStringList archivos;
    QList<HojasAbandonadas::Hoja> hojas;
};
Plantilla& plantilla()
{
    static Plantilla unica;
    return unica;
}

struct Ajuste
{
    int tipo;
    int ppp;
};
const Ajuste kAjustes[] = {{0, 50}, {2, 40}, {1, 60}};
} // namespace

QList<HojasAbandonadas::Hoja> HojasAbandonadas::hojas()
{
    return plantilla().hojas;
}

bool HojasAbandonadas::preparar(ConfigSanePrueba& sane)
{
    Plantilla& p = plantilla();
    if (!p.archivos.isEmpty())
        return true;
    EscanerSane escaner(sane.nuevaCarpetaRecuperacion());
    if (!escaner.AbrirSesionTwain() || !escaner.AbrirFuente())
        return false;
    for (const Ajuste& ajuste : kAjustes) {
        // The writer keeps a colour page that holds only greys as grey: the colour one gets
        // colours.
        escaner.Opciones().fijarTexto("test-picture", ajuste.tipo == 2
                                                          ? QStringLiteral("Color pattern")
                                                          : QStringLiteral("Grid"));
        escaner.FijarResolucion(ajuste.ppp);
        escaner.FijarTipoPixel(ajuste.tipo);
        if (escaner.Escanear() != 1 || escaner.CodigoError() != 0)
            return false;
        const int ultima = escaner.NumeroPaginas() - 1;
        p.hojas.append({QSize(escaner.AnchoPagina(ultima), escaner.AltoPagina(ultima)),
                        escaner.BitsPorPixel(ultima)});
    }
    // Copied before the component goes: its clean end removes its own folder.
    const QDir spool(escaner.CarpetaSesion());
    const QStringList nombres =
        spool.entryList({QStringLiteral("??????.tif")}, QDir::Files, QDir::Name);
    if (nombres.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        const QString copia = p.carpeta.filePath(QString::number(i));
        if (!QFile::copy(spool.filePath(nombres[i]), copia))
            return false;
        p.archivos << copia;
    }
    return true;
}

QString HojasAbandonadas::nombreSesion(qint64 pid, const QDateTime& fecha)
{
    return QStringLiteral("sesion-%1-%2")
        .arg(fecha.toString(QStringLiteral("yyyyMMdd-HHmmss")))
        .arg(pid);
}

QString HojasAbandonadas::dejar(const QString& base, qint64 pid, const QDateTime& fecha,
                                int primera)
{
    const QString carpeta = QDir(base).filePath(nombreSesion(pid, fecha));
    if (plantilla().archivos.size() != 3 || !QDir().mkpath(carpeta))
        return {};
    for (int i = 0; i < 3; ++i) {
        const QString nombre = QStringLiteral("%1.tif").arg(primera + i, 6, 10, QLatin1Char('0'));
        if (!QFile::copy(plantilla().archivos[i], QDir(carpeta).filePath(nombre)))
            return {};
    }
    return carpeta;
}

qint64 HojasAbandonadas::pidTerminado()
{
    QProcess proceso;
    proceso.start(QStringLiteral("/bin/true"), {});
    if (!proceso.waitForStarted())
        return 0;
    const qint64 pid = proceso.processId();
    proceso.waitForFinished();
    return pid;
}
