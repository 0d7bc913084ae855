#include "support/HojasAbandonadas.h"

#include "components/escaner/EscanerSane.h"
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
} // namespace

QList<HojasAbandonadas::Hoja> HojasAbandonadas::hojas()
{
    return plantilla().hojas;
}

bool HojasAbandonadas::preparar(ConfigSanePrueba& sane)
{
    Plantilla& p = plantilla();
    if (p.archivos.size() == 3)
        return true;
    EscanerSane escaner(sane.nuevaCarpetaRecuperacion());
    if (!sane.valida() || !escaner.AbrirSesionTwain() || !escaner.AbrirFuente())
        return false;
    for (const auto& [tipo, ppp] : {std::pair{0, 50}, {2, 40}, {1, 60}}) {
        // The writer keeps a colour page holding only greys as grey: this one gets colours.
        escaner.Opciones().fijarTexto("test-picture", tipo == 2 ? QStringLiteral("Color pattern")
                                                                : QStringLiteral("Grid"));
        escaner.FijarResolucion(ppp);
        escaner.FijarTipoPixel(tipo);
        if (escaner.Escanear() != 1 || escaner.CodigoError() != 0)
            return false;
        const int ultima = escaner.NumeroPaginas() - 1;
        p.hojas.append({QSize(escaner.AnchoPagina(ultima), escaner.AltoPagina(ultima)),
                        escaner.BitsPorPixel(ultima)});
    }
    // Copied aside: the folder is the component's own while it lives.
    const QDir spool(escaner.CarpetaSesion());
    const QStringList nombres = spool.entryList({QStringLiteral("??????.tif")}, QDir::Files);
    for (int i = 0; i < nombres.size(); ++i) {
        p.archivos << p.carpeta.filePath(QString::number(i));
        if (!QFile::copy(spool.filePath(nombres[i]), p.archivos.last()))
            return false;
    }
    return p.archivos.size() == 3;
}

QString HojasAbandonadas::dejar(const QString& base, qint64 pid, const QDateTime& fecha,
                                int primera)
{
    const QString carpeta =
        QDir(base).filePath(QStringLiteral("sesion-%1-%2")
                                .arg(fecha.toString(QStringLiteral("yyyyMMdd-HHmmss")))
                                .arg(pid));
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
