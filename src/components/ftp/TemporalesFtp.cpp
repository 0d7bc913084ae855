#include "components/ftp/TemporalesFtp.h"

#include <QCoreApplication>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace {

QMutex& cerrojo()
{
    static QMutex mutex;
    return mutex;
}

QSet<QString>& enCurso()
{
    static QSet<QString> nombres;
    return nombres;
}

// The host name, reduced to what travels safely in a file name and cannot be taken for one of
// the name's dots.
QString puesto()
{
    static const QString marca = [] {
        QString nombre = QSysInfo::machineHostName().toLower();
        static const QRegularExpression ajeno(QStringLiteral("[^a-z0-9-]"));
        nombre.replace(ajeno, QStringLiteral("_"));
        return nombre.isEmpty() ? QStringLiteral("puesto") : nombre;
    }();
    return marca;
}

bool procesoTerminado(qint64 proceso)
{
#ifdef Q_OS_UNIX
    return proceso > 0 && ::kill(static_cast<pid_t>(proceso), 0) == -1 && errno == ESRCH;
#else
    Q_UNUSED(proceso);
    return false; // unknown here: the name is left alone
#endif
}

} // namespace

QString TemporalesFtp::nombre(const QString& archivo, const char* sufijo)
{
    return QStringLiteral(".%1.%2.%3.%4.%5")
        .arg(archivo, puesto())
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'))
        .arg(QLatin1String(sufijo));
}

bool TemporalesFtp::abandonado(const QString& nombre)
{
    // Counted from the end: the target's own name may hold dots.
    static const QRegularExpression forma(
        QStringLiteral(R"(^\..+\.([a-z0-9_-]+)\.([0-9]+)\.[0-9a-f]{8}\.subiendo$)"));
    const QRegularExpressionMatch partes = forma.match(nombre);
    if (!partes.hasMatch() || partes.captured(1) != puesto())
        return false;
    const qint64 proceso = partes.captured(2).toLongLong();
    if (proceso == QCoreApplication::applicationPid()) {
        const QMutexLocker bloqueo(&cerrojo());
        return !enCurso().contains(nombre);
    }
    return procesoTerminado(proceso);
}

TemporalesFtp::EnCurso::EnCurso(const QString& nombre) : nombre_(nombre)
{
    const QMutexLocker bloqueo(&cerrojo());
    enCurso().insert(nombre_);
}

TemporalesFtp::EnCurso::~EnCurso()
{
    const QMutexLocker bloqueo(&cerrojo());
    enCurso().remove(nombre_);
}
