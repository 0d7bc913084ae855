#include "components/EscrituraDurable.h"

#include "components/MotivoSistema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcDurable, "expedientes.disco")

namespace {
constexpr mode_t kModoArchivo = 0600;
constexpr mode_t kModoCarpeta = 0700;

QByteArray nativo(const QString& ruta)
{
    return QFile::encodeName(ruta);
}

QString carpetaDe(const QString& ruta)
{
    return QFileInfo(ruta).absolutePath();
}

void fijar(QString* error, const QString& texto)
{
    qCWarning(lcDurable) << texto;
    if (error && error->isEmpty())
        *error = texto;
}
} // namespace

QString EscrituraDurable::motivo(int codigo)
{
    return MotivoSistema::texto(codigo);
}

bool EscrituraDurable::sincronizarArchivo(int descriptor)
{
    // Interrupted by a signal, fsync has not failed: the data is still to be written.
    int resultado = 0;
    do {
        resultado = ::fsync(descriptor);
    } while (resultado != 0 && errno == EINTR);
    return resultado == 0;
}

bool EscrituraDurable::sincronizarCarpeta(const QString& carpeta)
{
    const int descriptor = ::open(nativo(carpeta).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        qCWarning(lcDurable) << "no se pudo abrir la carpeta" << carpeta << motivo(errno);
        return false;
    }
    const bool bien = sincronizarArchivo(descriptor);
    if (!bien)
        qCWarning(lcDurable) << "no se pudo asentar la carpeta" << carpeta << motivo(errno);
    ::close(descriptor);
    return bien;
}

bool EscrituraDurable::escribir(const QString& destino, const Escritor& escribir, QString* error)
{
    // Beside its place, under a name no reader takes for the file itself: a cut leaves the old
    // file or the new one, whole.
    const QString aparte = destino + QStringLiteral(".nuevo");
    int descriptor =
        ::open(nativo(aparte).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kModoArchivo);
    if (descriptor < 0) {
        fijar(error, QStringLiteral("No se pudo crear %1: %2")
                         .arg(QDir::toNativeSeparators(aparte), motivo(errno)));
        return false;
    }
    // A file left by an earlier try keeps its mode through O_TRUNC.
    ::fchmod(descriptor, kModoArchivo);
    ::close(descriptor);
    QString razon;
    bool bien = escribir(aparte, &razon);
    if (!bien) {
        fijar(error,
              razon.isEmpty()
                  ? QStringLiteral("No se pudo escribir %1").arg(QDir::toNativeSeparators(aparte))
                  : razon);
    } else {
        descriptor = ::open(nativo(aparte).constData(), O_RDONLY | O_CLOEXEC);
        bien = descriptor >= 0 && sincronizarArchivo(descriptor);
        const int codigo = errno;
        if (descriptor >= 0)
            ::close(descriptor);
        if (!bien)
            fijar(error, QStringLiteral("No se pudo asentar en el disco %1: %2")
                             .arg(QDir::toNativeSeparators(aparte), motivo(codigo)));
    }
    if (bien && renombrar(aparte, destino, error))
        return true;
    ::unlink(nativo(aparte).constData());
    return false;
}

bool EscrituraDurable::escribir(const QString& destino, const QByteArray& datos, QString* error)
{
    return escribir(
        destino,
        [&datos](const QString& ruta, QString* motivoEscritura) {
            QFile archivo(ruta);
            if (archivo.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) &&
                archivo.write(datos) == datos.size())
                return true;
            *motivoEscritura = QStringLiteral("No se pudo escribir %1: %2")
                                   .arg(QDir::toNativeSeparators(ruta), archivo.errorString());
            return false;
        },
        error);
}

bool EscrituraDurable::crearCarpeta(const QString& carpeta, QString* error)
{
    // The missing folders, outermost first.
    QStringList faltan;
    for (QString ruta = QDir::cleanPath(QFileInfo(carpeta).absoluteFilePath());
         !QFileInfo(ruta).isDir(); ruta = carpetaDe(ruta)) {
        if (ruta == carpetaDe(ruta))
            break;
        faltan.prepend(ruta);
    }
    for (const QString& ruta : std::as_const(faltan)) {
        if (::mkdir(nativo(ruta).constData(), kModoCarpeta) != 0 && errno != EEXIST) {
            fijar(error, QStringLiteral("No se pudo crear la carpeta %1: %2")
                             .arg(QDir::toNativeSeparators(ruta), motivo(errno)));
            return false;
        }
        // The umask may have taken bits away, never added any; this sets exactly these.
        ::chmod(nativo(ruta).constData(), kModoCarpeta);
        if (!sincronizarCarpeta(carpetaDe(ruta))) {
            fijar(error, QStringLiteral("No se pudo asentar en el disco la carpeta %1")
                             .arg(QDir::toNativeSeparators(ruta)));
            return false;
        }
    }
    if (!QFileInfo(carpeta).isDir())
        return false;
    // One made by an earlier version of the program, under a looser umask, is closed too.
    if (::chmod(nativo(carpeta).constData(), kModoCarpeta) != 0)
        qCWarning(lcDurable) << "no se pudo cerrar a otras cuentas" << carpeta << motivo(errno);
    return true;
}

bool EscrituraDurable::renombrar(const QString& origen, const QString& destino, QString* error,
                                 bool sincronizar)
{
    if (std::rename(nativo(origen).constData(), nativo(destino).constData()) != 0) {
        fijar(error, QStringLiteral("No se pudo mover %1 a %2: %3")
                         .arg(QDir::toNativeSeparators(origen), QDir::toNativeSeparators(destino),
                              motivo(errno)));
        return false;
    }
    if (!sincronizar)
        return true;
    // Where it arrived first: a cut between the two syncs leaves it there, never nowhere.
    const QString llegada = carpetaDe(destino);
    const QString salida = carpetaDe(origen);
    if (sincronizarCarpeta(llegada) && (llegada == salida || sincronizarCarpeta(salida)))
        return true;
    fijar(error, QStringLiteral("No se pudo asentar en el disco el cambio de nombre de %1")
                     .arg(QDir::toNativeSeparators(destino)));
    return false;
}

bool EscrituraDurable::quitar(const QString& ruta)
{
    if (::unlink(nativo(ruta).constData()) != 0 && errno != ENOENT) {
        qCWarning(lcDurable) << "no se pudo quitar" << ruta << motivo(errno);
        return false;
    }
    // Also when it was gone already: removals made beside it without a sync go with this one.
    return sincronizarCarpeta(carpetaDe(ruta));
}
