#include "transfer/RespaldoArchivo.h"

#include "components/EscrituraDurable.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRespaldo, "expedientes.transfer.respaldo")

namespace {
bool copiar(QFile& origen, QFile& destino, QString& error)
{
    if (!origen.seek(0)) {
        error = origen.errorString();
        return false;
    }
    char bloque[64 * 1024];
    for (;;) {
        const qint64 leidos = origen.read(bloque, sizeof bloque);
        if (leidos < 0) {
            error = origen.errorString();
            return false;
        }
        if (leidos == 0)
            break;
        if (destino.write(bloque, leidos) != leidos) {
            error = destino.errorString();
            return false;
        }
    }
    // A full disk can cut a buffered write short without either call failing: what reached the
    // disk, for good, is what counts.
    if (!destino.flush() || destino.size() != origen.size() ||
        !EscrituraDurable::sincronizarArchivo(destino.handle())) {
        error = destino.error() != QFileDevice::NoError
                    ? destino.errorString()
                    : QStringLiteral("no se escribió completo (¿disco lleno?)");
        return false;
    }
    return true;
}
} // namespace

RespaldoArchivo::RespaldoArchivo(const QString& archivo)
    : archivo_(archivo), copia_(archivo + QStringLiteral(".respaldo.XXXXXX"))
{
    existia_ = QFileInfo(archivo_).isFile();
    if (!existia_) {
        valido_ = true;
        return;
    }
    QFile original(archivo_);
    if (!original.open(QIODevice::ReadOnly)) {
        error_ = original.errorString();
        return;
    }
    if (!copia_.open()) {
        error_ = copia_.errorString();
        return;
    }
    valido_ = copiar(original, copia_, error_);
}

RespaldoArchivo::~RespaldoArchivo()
{
    if (!confirmado_)
        restaurar();
}

bool RespaldoArchivo::restaurar()
{
    confirmado_ = true; // once only
    if (!valido_)
        return false;
    if (!existia_) {
        if (!QFile::exists(archivo_) || QFile::remove(archivo_))
            return true;
        qCWarning(lcRespaldo) << "no se pudo quitar" << archivo_;
        return false;
    }
    // Written over in place: a viewer holding the file keeps a valid handle.
    QFile destino(archivo_);
    QString error;
    if (destino.open(QIODevice::WriteOnly | QIODevice::Truncate) && copiar(copia_, destino, error))
        return true;
    qCWarning(lcRespaldo) << "no se pudo restaurar" << archivo_ << destino.errorString() << error;
    return false;
}
