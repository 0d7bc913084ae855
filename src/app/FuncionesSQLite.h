#pragma once

struct sqlite3;

// The helper functions and the collation that the central database offers to the program's
// statements, rebuilt for the embedded SQLite database. The same code is registered on the
// QSQLITE handle and, built as a loadable extension, through the SQLite ODBC driver (LoadExt=).
namespace FuncionesSQLite {

// Registers getdate, fecha_corta, nombre_sucursal, telefono_cliente, Domicilio_lineal_Brax,
// tiene_huellas, clasificacion_credito_cliente, a LIKE that matches letters as the collation
// does, and the collation kColacion.
// Returns an SQLite result code.
int registrar(sqlite3* db);

// The collation of every text column, as the server's Spanish case-insensitive one: letter
// case (accented capitals included) and trailing blanks do not count ('GDL' = 'gdl    ',
// 'NUÑEZ' = 'nuñez'), accents do; Á sorts with the A's, Ñ after N.
constexpr const char* kColacion = "ESPANOL_CI";

} // namespace FuncionesSQLite
