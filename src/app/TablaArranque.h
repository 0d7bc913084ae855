#pragma once

#include <QString>

// The workstation's start-up table ARRANQUE (a dBASE/FoxPro .dbf file in the start-up folder).
struct DatosArranque
{
    QString server_SQL;     // trimmed
    QString usuario;        // trimmed
    QString contrasena;     // deciphered
    QString sucursal;       // deciphered token
    QString CadenaConexion; // "Driver={SQL Server};Server=...;Database=erp_qor;Uid=...;Pwd=...;"
};

namespace TablaArranque {

// C:\qor\ on Windows; elsewhere $QOR_DIR, by default /etc/qor/.
QString carpetaPredeterminada();

// LeerArranque: reads the first row of ARRANQUE (file name found without regard to case).
// A missing folder or table, an unreadable file or an empty table throws ErrorSistema with a
// Spanish text that names the folder.
DatosArranque LeerArranque(const QString& carpeta);

// Writes ARRANQUE.dbf with one row (replacing an existing table), enciphering the password
// and the branch code. Throws ErrorSistema on failure.
void EscribirArranque(const QString& carpeta, const QString& servidor, const QString& usuario,
                      const QString& contrasena, const QString& sucursal);

} // namespace TablaArranque
