#include "transfer/BloqueoDocumento.h"

#include "app/ConexionBaseDatos.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QThread>
#include <cerrno>
#include <csignal>

Q_LOGGING_CATEGORY(lcBloqueo, "expedientes.db.bloqueo")

namespace {
constexpr const char* kAhora = "CAST(strftime('%s','now') AS INTEGER)";

bool correr(QSqlQuery& consulta, const QString& texto, const QVariantList& valores = {})
{
    if (!consulta.prepare(texto))
        return false;
    for (const QVariant& valor : valores)
        consulta.addBindValue(valor);
    return consulta.exec();
}
} // namespace

BloqueoDocumento::BloqueoDocumento(ConexionBaseDatos& conexion, const QString& documento,
                                   std::chrono::milliseconds espera, std::chrono::seconds vigencia)
    : conexion_(conexion), recurso_(QStringLiteral("expedientes ") + documento),
      dueno_(QStringLiteral("%1 %2")
                 .arg(QSysInfo::machineHostName())
                 .arg(QCoreApplication::applicationPid())),
      vigencia_(vigencia), proximaRenovacion_(vigencia / 6)
{
    const QDeadlineTimer plazo(espera);
    for (;;) {
        const Intento intento = intentar();
        if (intento != Intento::Ocupado) {
            tomado_ = true;
            mio_ = intento == Intento::Tomado;
            return;
        }
        if (plazo.hasExpired()) {
            qCInfo(lcBloqueo) << recurso_ << "lo sigue guardando otra estación";
            return;
        }
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
}

BloqueoDocumento::~BloqueoDocumento()
{
    if (!mio_)
        return;
    QSqlQuery consulta(conexion_.baseDatos());
    const bool bien =
        conexion_.dialectoSQLite()
            ? correr(
                  consulta,
                  QStringLiteral("DELETE FROM bloqueos_documento WHERE recurso = ? AND dueno = ?"),
                  {recurso_, dueno_})
            : correr(
                  consulta,
                  QStringLiteral("EXEC sp_releaseapplock @Resource = ? , @LockOwner = 'Session'"),
                  {recurso_});
    if (!bien)
        qCWarning(lcBloqueo) << "no se soltó" << recurso_ << consulta.lastError().text();
}

void BloqueoDocumento::renovar()
{
    if (!mio_ || !conexion_.dialectoSQLite() || !proximaRenovacion_.hasExpired())
        return;
    proximaRenovacion_.setRemainingTime(vigencia_ / 6);
    QSqlQuery consulta(conexion_.baseDatos());
    if (!correr(consulta,
                QStringLiteral("UPDATE bloqueos_documento SET vence = %1 + ? WHERE recurso = ? "
                               "AND dueno = ?")
                    .arg(QLatin1String(kAhora)),
                {qint64(vigencia_.count()), recurso_, dueno_}))
        qCWarning(lcBloqueo) << "no se renovó" << recurso_ << consulta.lastError().text();
}

BloqueoDocumento::Intento BloqueoDocumento::intentar()
{
    if (!conexion_.abierta())
        return Intento::Falla;
    return conexion_.dialectoSQLite() ? intentarSQLite() : intentarServidor();
}

BloqueoDocumento::Intento BloqueoDocumento::intentarServidor()
{
    // Owned by the session: the server lets go of it when this connection drops.
    QSqlQuery consulta(conexion_.baseDatos());
    if (!correr(consulta,
                QStringLiteral("DECLARE @r int; EXEC @r = sp_getapplock @Resource = ? , @LockMode "
                               "= 'Exclusive', @LockOwner = 'Session', @LockTimeout = 0; "
                               "SELECT @r AS resultado"),
                {recurso_}) ||
        !consulta.next()) {
        qCWarning(lcBloqueo) << "sin bloqueo para" << recurso_ << consulta.lastError().text();
        return Intento::Falla;
    }
    return consulta.value(0).toInt() >= 0 ? Intento::Tomado : Intento::Ocupado;
}

BloqueoDocumento::Intento BloqueoDocumento::intentarSQLite()
{
    QSqlQuery consulta(conexion_.baseDatos());
    // Once a lock, not at every try while another workstation holds it.
    if (!tablaLista_ && !(tablaLista_ = consulta.exec(QLatin1String(kTablaEmbebida)))) {
        qCWarning(lcBloqueo) << "sin bloqueo para" << recurso_ << consulta.lastError().text();
        return Intento::Falla;
    }
    // Another workstation writing the database right now: try again in a moment.
    if (!consulta.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const QSqlError error = consulta.lastError();
        if (error.nativeErrorCode() == QLatin1String("5") ||
            error.text().contains(QLatin1String("locked")))
            return Intento::Ocupado;
        qCWarning(lcBloqueo) << "sin bloqueo para" << recurso_ << error.text();
        return Intento::Falla;
    }
    QString dueno;
    if (correr(consulta, QStringLiteral("SELECT dueno FROM bloqueos_documento WHERE recurso = ?"),
               {recurso_}) &&
        consulta.next())
        dueno = consulta.value(0).toString();
    consulta.finish();
    const bool tomado =
        (dueno.isEmpty() || !duenoMuerto(dueno) ||
         correr(consulta, QStringLiteral("DELETE FROM bloqueos_documento WHERE recurso = ?"),
                {recurso_})) &&
        correr(consulta,
               QStringLiteral("DELETE FROM bloqueos_documento WHERE recurso = ? AND vence < %1")
                   .arg(QLatin1String(kAhora)),
               {recurso_}) &&
        correr(consulta,
               QStringLiteral("INSERT OR IGNORE INTO bloqueos_documento (recurso, dueno, vence) "
                              "VALUES (?, ?, %1 + ?)")
                   .arg(QLatin1String(kAhora)),
               {recurso_, dueno_, qint64(vigencia_.count())}) &&
        consulta.numRowsAffected() == 1;
    if (!consulta.exec(QStringLiteral("COMMIT"))) {
        consulta.exec(QStringLiteral("ROLLBACK"));
        return Intento::Ocupado;
    }
    return tomado ? Intento::Tomado : Intento::Ocupado;
}

bool BloqueoDocumento::duenoMuerto(const QString& dueno) const
{
    // Only a process of this same workstation can be asked whether it still runs.
    const QStringList partes = dueno.split(QLatin1Char(' '));
    if (partes.size() != 2 || partes[0] != QSysInfo::machineHostName())
        return false;
    bool numero = false;
    const qint64 pid = partes[1].toLongLong(&numero);
    return numero && pid > 0 && pid != QCoreApplication::applicationPid() &&
           ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}
