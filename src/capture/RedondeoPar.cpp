#include "capture/RedondeoPar.h"

#include <cmath>

double RedondeoPar(double valor, int decimales)
{
    const double escala = std::pow(10.0, decimales);
    const double escalado = valor * escala;
    double entero = std::round(escalado); // halves away from zero
    if (std::fabs(escalado - std::trunc(escalado)) == 0.5)
        entero = 2.0 * std::round(escalado / 2.0);
    return entero / escala;
}
