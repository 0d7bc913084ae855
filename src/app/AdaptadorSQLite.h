#pragma once

#include <QString>

// Turns the T-SQL the program writes into statements SQLite runs, for the embedded database and
// the SQLite ODBC test driver only. The rest of each statement already reads as SQLite: string
// literal aliases ("C.Cliente'Cliente'"), GETDATE() and the helper functions (registered by
// FuncionesSQLite) need no rewriting.
class AdaptadorSQLite
{
public:
    // Drops the three-part qualifiers "BRAX.dbo.", "erp_qor.dbo.", ... (any letter case): the
    // embedded file holds the tables of both databases side by side.
    static QString adaptar(const QString& sentencia);

    // The statement (already adapted) creates a case file, so REGRESA_FOLIO has to answer
    // with the row it inserted.
    static bool creaExpediente(const QString& sentenciaAdaptada);
};
