#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

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

    // The bytes of a Visual FoxPro varchar (V) column in a raw record: the whole column, or,
    // when its length bit in _NullFlags is set, as many as the column's last byte says (a
    // shorter value keeps its length there). Cut at a NUL byte, as shapelib cuts a C column.
    // Empty when the record or the length is damaged.
    std::optional<QByteArray> valorVariable(const char* registro, int largoRegistro,
                                            const QString& columna) const;

private:
    struct Campo
    {
        QByteArray nombre;
        char tipo = 0;
        int desplazamiento = 0; // from the record's start, after the deleted flag
        int largo = 0;
        int bitLargo = -1; // V and Q: its bit in _NullFlags, set when the value is shorter
        int bitNulo = -1;  // its bit in _NullFlags, -1 when the column cannot hold Null
    };
    const Campo* campo(const QString& columna) const;
    // The bit of _NullFlags in a raw record; empty when the record has no such bit.
    std::optional<bool> bandera(const char* registro, int largoRegistro, int bit) const;

    QList<Campo> campos_;
    int banderasNulo_ = -1; // the _NullFlags column, -1 when the table has none
};
