#include "app/Windows1252.h"

#include <QList>
#include <array>

namespace {

// Characters of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> bloque80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a code point, or -1 when the code page has none.
int codigo(uint caracter)
{
    if (caracter < 0x80 || (caracter >= 0xA0 && caracter <= 0xFF))
        return int(caracter);
    for (std::size_t i = 0; i < bloque80.size(); ++i) {
        if (bloque80[i] == caracter)
            return int(0x80 + i);
    }
    return -1;
}

} // namespace

namespace Windows1252 {

QByteArray codificar(const QString& texto)
{
    QByteArray codigos;
    codigos.reserve(texto.size());
    // By code point, so a character outside the BMP gives one '?', not two.
    for (const uint caracter : texto.toUcs4()) {
        const int c = codigo(caracter);
        codigos.append(c < 0 ? '?' : char(c));
    }
    return codigos;
}

QString decodificar(const QByteArray& codigos)
{
    QString texto;
    texto.reserve(codigos.size());
    for (char byte : codigos) {
        const auto c = static_cast<unsigned char>(byte);
        texto.append(c >= 0x80 && c < 0xA0 ? QChar(bloque80[c - 0x80]) : QChar(c));
    }
    return texto;
}

bool representable(const QString& texto)
{
    for (const uint caracter : texto.toUcs4()) {
        if (codigo(caracter) < 0)
            return false;
    }
    return true;
}

} // namespace Windows1252
