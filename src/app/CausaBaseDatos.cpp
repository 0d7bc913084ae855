#include "app/CausaBaseDatos.h"

#include <QSqlError>
#include <QStringList>
#include <initializer_list>
#include <sqlite3.h>

namespace {
enum class Causa
{
    Ninguna,
    Ocupada,
    Desconectada,
    SinPermiso,
};

bool entre(int numero, std::initializer_list<int> numeros)
{
    for (const int n : numeros)
        if (n == numero)
            return true;
    return false;
}

Causa deSQLite(int codigo)
{
    // Extended result codes keep the primary one in the low byte.
    const int primario = codigo & 0xff;
    if (entre(primario, {SQLITE_BUSY, SQLITE_LOCKED}))
        return Causa::Ocupada;
    if (entre(primario, {SQLITE_PERM, SQLITE_READONLY, SQLITE_AUTH}))
        return Causa::SinPermiso;
    if (entre(primario, {SQLITE_IOERR, SQLITE_CANTOPEN}))
        return Causa::Desconectada;
    return Causa::Ninguna;
}

Causa deServidor(const QString& codigos, const QString& texto)
{
    // Some versions of the ODBC driver give the native number, later ones the ODBC states.
    for (const QString& codigo : codigos.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        bool esNumero = false;
        const int numero = codigo.trimmed().toInt(&esNumero);
        if (esNumero) {
            // Deadlock victim, lock wait timed out; FreeTDS's query timeout.
            if (entre(numero, {1205, 1222, 20003}))
                return Causa::Ocupada;
            // Permission denied on an object, database or server; login refused.
            if (entre(numero, {229, 230, 262, 297, 300, 916, 4060, 18456}))
                return Causa::SinPermiso;
            // The network dropped the session (Windows sockets, named pipes, FreeTDS's own).
            if (entre(numero, {64, 121, 233, 10053, 10054, 10060, 10061, 20004, 20006, 20009, 20017,
                               20047}))
                return Causa::Desconectada;
            continue;
        }
        const QString estado = codigo.trimmed().toUpper();
        if (estado == QLatin1String("40001") || estado.startsWith(QLatin1String("HYT")))
            return Causa::Ocupada;
        if (estado == QLatin1String("28000"))
            return Causa::SinPermiso;
        if (estado.startsWith(QLatin1String("08")))
            return Causa::Desconectada;
    }
    // Drivers that give neither still say it in their text.
    const auto dice = [&texto](const char* frase) {
        return texto.contains(QLatin1String(frase), Qt::CaseInsensitive);
    };
    if (dice("database is locked") || dice("deadlock") || dice("lock request time out"))
        return Causa::Ocupada;
    if (dice("permission") || dice("login failed"))
        return Causa::SinPermiso;
    if (dice("communication link failure") || dice("connection is broken"))
        return Causa::Desconectada;
    return Causa::Ninguna;
}
} // namespace

QString CausaBaseDatos::de(const QSqlError& error)
{
    const bool odbc = error.driverText().startsWith(QLatin1String("QODBC"));
    bool esNumero = false;
    const int numero = error.nativeErrorCode().toInt(&esNumero);
    const Causa causa = !odbc ? (esNumero ? deSQLite(numero) : Causa::Ninguna)
                              : deServidor(error.nativeErrorCode(), error.databaseText());
    switch (causa) {
    case Causa::Ocupada:
        return QStringLiteral("La base de datos está ocupada o bloqueada por otra estación de "
                              "trabajo. Intente de nuevo en un momento.");
    case Causa::Desconectada:
        return QStringLiteral("No hay conexión con la base de datos. Revise la red o el "
                              "servidor de la base de datos y vuelva a intentarlo.");
    case Causa::SinPermiso:
        return QStringLiteral("La base de datos no dio permiso para esta operación. Llame al "
                              "soporte de la sucursal.");
    case Causa::Ninguna:
        break;
    }
    return {};
}
