#pragma once

#include "app/ErrorSistema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// A forward-only, read-only record set positioned on its first row when opened.
// Fields are found by name without regard to case, or by 0-based position. A database
// Null reads as a null QVariant, distinct from 0 and from the empty text.
class Registros
{
public:
    Registros() = default;
    explicit Registros(QSqlQuery consulta);

    bool eof() const; // no current row (true at once for an empty result)
    bool siguiente(); // moves to the next row; false when past the last
    int columnas() const;
    QString nombreColumna(int posicion) const;
    QVariant campo(int posicion) const;          // throws ErrorSistema when out of range
    QVariant campo(const QString& nombre) const; // throws ErrorSistema when there is no such field
    void cerrar();

    // The driver's native error number (a non-zero stand-in when it has none) and its text.
    static ErrorSistema error(const QSqlError& error);

private:
    QSqlQuery consulta_;
    bool enFila_ = false;
};
