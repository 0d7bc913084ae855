#include "main/CopiaUnica.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcCopia, "expedientes.copia")

CopiaUnica::CopiaUnica(const QString& carpeta, QObject* parent)
    : QObject(parent), archivo_(QDir(carpeta).filePath(QStringLiteral("expedientes.bloqueo")))
{
    const int descriptor =
        ::open(QFile::encodeName(archivo_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        // Nothing to lock with: better one copy too many than none at all.
        qCWarning(lcCopia) << "no se pudo abrir" << archivo_ << "; se sigue sin bloqueo";
        return;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return;
    }
    descriptor_ = descriptor;
    // The lock says this is the first copy: a name left by one that crashed is stale.
    servidor_ = new QLocalServer(this);
    servidor_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(nombreServidor());
    if (!servidor_->listen(nombreServidor()))
        qCWarning(lcCopia) << "no se atenderán otras copias:" << servidor_->errorString();
    connect(servidor_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* otra = servidor_->nextPendingConnection()) {
            connect(otra, &QLocalSocket::disconnected, otra, &QObject::deleteLater);
            otra->disconnectFromServer();
            emit llamada();
        }
    });
}

CopiaUnica::~CopiaUnica()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

QString CopiaUnica::nombreServidor() const
{
    // One name per lock file: per user, and per data folder where tests use their own.
    return QStringLiteral("expedientes-") +
           QString::fromLatin1(
               QCryptographicHash::hash(QFile::encodeName(archivo_), QCryptographicHash::Sha256)
                   .toHex()
                   .left(16));
}

bool CopiaUnica::llamarPrimera()
{
    QLocalSocket socket;
    socket.connectToServer(nombreServidor());
    if (!socket.waitForConnected(1000))
        return false;
    socket.disconnectFromServer();
    return true;
}
