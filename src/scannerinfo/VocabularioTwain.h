#pragma once

#include <QString>
#include <QtGlobal>
#include <span>

// Names of TWAIN codes, as the scanner report prints them. Arguments are whole numbers compared
// by value, so a 16-bit current setting and a 32-bit list element find the same row.
namespace VocabularioTwain {

struct FilaCapacidad
{
    quint16 codigo;
    const char* nombre;
};

// The capability identifiers the report knows, in the order they are looked up.
std::span<const FilaCapacidad> filasCapacidad();

// "CAP_SUPPORTEDCAPS" for 0x1005; "Custom capability ( 32769)" for a code without a name.
QString NombreCapacidad(qint64 codigo);
// "inches" … "pixels"; empty for an unknown code.
QString NombreUnidad(qint64 codigo);
// "BW" … "LAB"; empty for an unknown code.
QString NombreTipoPixel(qint64 codigo);
// "None", "A4LETTER" … "C6"; "Other" for an unknown code.
QString NombreTamanoPapel(qint64 codigo);

} // namespace VocabularioTwain
