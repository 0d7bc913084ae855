#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The field list of a DBF table's header, for what shapelib does not tell: which columns a Visual
// FoxPro table lets hold Null, and the hidden _NullFlags column that says which values are Null.
class CabeceraDbf
{
public:
    // False when the header cannot be read; the reader then reports the table as damaged.
    bool leer(const QString& ruta);

    // Whether the value of the column (name without regard to case) in a raw record (deleted
    // flag first, as shapelib's DBFReadTuple gives it) is Null. Tables without Null flags never
    // hold Null.
    bool esNulo(const char* registro, int largoRegistro, const QString& columna) const;

private:
    struct Campo
    {
        QByteArray nombre;
        char tipo = 0;
        int desplazamiento = 0; // from the record's start, after the deleted flag
        int largo = 0;
        int bitNulo = -1; // its bit in _NullFlags, -1 when the column cannot hold Null
    };
    QList<Campo> campos_;
    int banderasNulo_ = -1; // the _NullFlags column, -1 when the table has none
};
