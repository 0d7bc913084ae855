#include "search/ListaTextos.h"

int ListaTextos::primeraQueEmpiezaCon(const QString& inicio, int columna) const
{
    const int total = filas();
    for (int i = 0; i < total; ++i)
        if (texto(i, columna).startsWith(inicio, Qt::CaseInsensitive))
            return i;
    return -1;
}
