#pragma once

#include <QString>

class QSqlError;

// The usual causes of a database failure told in words a clerk can act on: the database busy or
// locked by another workstation, the connection lost, a permission refused. Empty for any other
// failure, whose driver text is all there is to say. Knows SQLite's result codes (the embedded
// database) and SQL Server's error numbers and ODBC states (the central one through FreeTDS).
namespace CausaBaseDatos {
QString de(const QSqlError& error);
} // namespace CausaBaseDatos
