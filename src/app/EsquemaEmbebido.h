#pragma once

#include <QStringList>

// The tables of erp_qor and BRAX that the program's statements name, in one SQLite file.
// The file's PRAGMA user_version holds the version of the schema it carries; the steps past
// that version are applied when the connection opens.
class EsquemaEmbebido
{
public:
    static int versionActual();
    // Statements that bring a file of version `desde` to versionActual() (empty when current).
    static QStringList pasos(int desde);
};
