#pragma once

struct sqlite3;

// The helper functions and the collation that the central database offers to the program's
// statements, rebuilt for the embedded SQLite database. The same code is registered on the
// QSQLITE handle and, built as a loadable extension, through the SQLite ODBC driver (LoadExt=).
namespace FuncionesSQLite {

// Registers getdate, fecha_corta, nombre_sucursal, telefono_cliente, Domicilio_lineal_Brax,
// tiene_huellas, clasificacion_credito_cliente and the collation NOCASE_RTRIM.
// Returns an SQLite result code.
int registrar(sqlite3* db);

// Name of the collation that compares like SQL Server's default: without regard to ASCII
// letter case and ignoring trailing blanks ('GDL' = 'gdl    ').
constexpr const char* kColacion = "NOCASE_RTRIM";

} // namespace FuncionesSQLite
