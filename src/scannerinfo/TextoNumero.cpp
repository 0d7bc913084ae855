#include "scannerinfo/TextoNumero.h"

#include <charconv>
#include <cmath>

namespace {

QString conSigno(bool negativo, const QString& digitos)
{
    return (negativo ? QLatin1Char('-') : QLatin1Char(' ')) + digitos;
}

// Shortest fixed-point text that reads back as the same value of type T.
template <class T> QString decimal(T valor)
{
    if (std::isnan(valor))
        return QStringLiteral(" NaN");
    if (valor == 0)
        return QStringLiteral(" 0"); // -0 too: zero is not negative
    char texto[400];
    const auto [fin, error] =
        std::to_chars(texto, texto + sizeof texto, std::fabs(valor), std::chars_format::fixed);
    if (error != std::errc())
        return conSigno(valor < 0, QString::number(double(std::fabs(valor)), 'g', 17));
    return conSigno(valor < 0, QString::fromLatin1(texto, int(fin - texto)));
}

} // namespace

QString TextoNumero(qint64 valor)
{
    if (valor < 0)
        return QString::number(valor); // already carries its minus sign
    return QLatin1Char(' ') + QString::number(valor);
}

QString TextoNumero(int valor)
{
    return TextoNumero(qint64(valor));
}

QString TextoNumero(float valor)
{
    return decimal(valor);
}

QString TextoNumero(double valor)
{
    return decimal(valor);
}
