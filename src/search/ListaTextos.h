#pragma once

#include <QString>

// A list of rows of text, as the completion reads it: a row count, the text of a cell and the
// first row shown.
class ListaTextos
{
public:
    virtual ~ListaTextos() = default;
    virtual int filas() const = 0;
    virtual QString texto(int fila, int columna) const = 0;
    virtual void fijarPrimeraFilaVisible(int fila) = 0;
};
