#include "components/escaner/CarpetaRecuperacion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <optional>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcRecuperacion)
Q_LOGGING_CATEGORY(lcRecuperacion, "expedientes.scan.recuperacion")

namespace {
QString ejecutable(const QString& proceso)
{
    QString destino = QFileInfo(proceso + QStringLiteral("/exe")).symLinkTarget();
    // A binary replaced by an update while it runs still is this program.
    destino.remove(QRegularExpression(QStringLiteral(" \\(deleted\\)$")));
    return destino;
}

QString nombreCorto(const QString& proceso)
{
    QFile nombre(proceso + QStringLiteral("/comm"));
    return nombre.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(nombre.readAll()).trimmed()
                                            : QString();
}

// Whether the process runs this program. Another user's process hides its binary, not its short
// name; when neither can be read it is taken as this program, so its pages are left alone.
bool estePrograma(const QString& proceso)
{
    const QString suyo = ejecutable(proceso);
    const QString propio = ejecutable(QStringLiteral("/proc/self"));
    if (!suyo.isEmpty() && !propio.isEmpty())
        return suyo == propio;
    const QString corto = nombreCorto(proceso);
    return corto.isEmpty() || corto == nombreCorto(QStringLiteral("/proc/self"));
}

struct EstadoProceso
{
    char estado = '?';
    std::optional<QDateTime> inicio; // from the kernel's clock ticks since boot
};

std::optional<EstadoProceso> estadoDe(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The command name in brackets may hold blanks: the fields are counted after its end.
    const QByteArray linea = stat.readAll();
    const qsizetype fin = linea.lastIndexOf(')');
    if (fin < 0)
        return std::nullopt;
    const QList<QByteArray> campos = linea.mid(fin + 2).split(' ');
    EstadoProceso salida;
    if (!campos.isEmpty() && !campos[0].isEmpty())
        salida.estado = campos[0][0];
    // Field 22 of the line is the start time; field 3, the state, is the first after the name.
    bool bien = false;
    const qulonglong ticks = campos.size() > 19 ? campos[19].toULongLong(&bien) : 0;
    const long porSegundo = sysconf(_SC_CLK_TCK);
    QFile sistema(QStringLiteral("/proc/stat"));
    if (!bien || porSegundo <= 0 || !sistema.open(QIODevice::ReadOnly))
        return salida;
    for (const QByteArray& renglon : sistema.readAll().split('\n')) {
        if (renglon.startsWith("btime ")) {
            const qint64 arranque = renglon.mid(6).trimmed().toLongLong(&bien);
            if (bien)
                salida.inicio = QDateTime::fromSecsSinceEpoch(
                    arranque + qint64(ticks / qulonglong(porSegundo)));
            break;
        }
    }
    return salida;
}

bool mismaCarpeta(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() &&
           QDir::cleanPath(QFileInfo(a).absoluteFilePath()) ==
               QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}
} // namespace

bool CarpetaRecuperacion::leerNombre(const QString& nombre, Nombre& salida)
{
    static const QRegularExpression patron(QStringLiteral("^sesion-(\\d{8}-\\d{6})-(\\d{1,10})$"));
    const QRegularExpressionMatch partes = patron.match(nombre);
    if (!partes.hasMatch())
        return false;
    salida.fecha = QDateTime::fromString(partes.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
    salida.pid = partes.captured(2).toLongLong();
    return salida.fecha.isValid() && salida.pid > 0;
}

bool CarpetaRecuperacion::procesoVivo(qint64 pid, const QDateTime& desde)
{
    if (pid <= 0)
        return false;
    if (!QFileInfo::exists(QStringLiteral("/proc/self/stat"))) {
        // Without /proc all that can be told is whether the pid is taken.
        return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
    }
    const QString proceso = QStringLiteral("/proc/%1").arg(pid);
    const std::optional<EstadoProceso> estado = estadoDe(pid);
    // A zombie has died already; only its parent has not noticed.
    if (!estado || estado->estado == 'Z' || estado->estado == 'X' || !estePrograma(proceso))
        return false;
    // Folder names have whole seconds and the boot time too: allow for both roundings.
    return !estado->inicio || *estado->inicio <= desde.addSecs(2);
}

QStringList CarpetaRecuperacion::paginas(const QString& carpeta)
{
    static const QRegularExpression patron(QStringLiteral("^\\d{6,}\\.tif$"));
    QStringList nombres;
    for (const QString& nombre : QDir(carpeta).entryList(QDir::Files)) {
        if (patron.match(nombre).hasMatch())
            nombres << nombre;
    }
    // Numbers past 999999 grow a digit: order by value, not by text.
    std::sort(nombres.begin(), nombres.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    QStringList rutas;
    for (const QString& nombre : nombres)
        rutas << QDir(carpeta).filePath(nombre);
    return rutas;
}

bool CarpetaRecuperacion::esRecuperable(const QString& base, const QString& carpeta,
                                        const QString& propia)
{
    const QFileInfo info(carpeta);
    Nombre nombre;
    return info.isDir() && !info.isSymLink() && mismaCarpeta(info.absolutePath(), base) &&
           !mismaCarpeta(carpeta, propia) && leerNombre(info.fileName(), nombre) &&
           !procesoVivo(nombre.pid, nombre.fecha);
}

QList<SesionRecuperable> CarpetaRecuperacion::listar(const QString& base, const QString& propia)
{
    QList<SesionRecuperable> sesiones;
    const QFileInfoList carpetas = QDir(base).entryInfoList(
        {QStringLiteral("sesion-*")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : carpetas) {
        if (!esRecuperable(base, info.absoluteFilePath(), propia))
            continue;
        const int hojas = int(paginas(info.absoluteFilePath()).size());
        if (hojas == 0) {
            // Everything it scanned was stored or discarded: nothing to offer, nothing to keep.
            qCInfo(lcRecuperacion) << "sin hojas pendientes, se elimina" << info.absoluteFilePath();
            QDir(info.absoluteFilePath()).removeRecursively();
            continue;
        }
        sesiones.append({info.absoluteFilePath(), hojas});
    }
    return sesiones;
}
