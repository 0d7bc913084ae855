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

    // The first row (in list order) whose text in the column begins with the given text,
    // ignoring letter case; -1 when none does. A list may answer faster than this row by row
    // scan.
    virtual int primeraQueEmpiezaCon(const QString& inicio, int columna) const;
};
