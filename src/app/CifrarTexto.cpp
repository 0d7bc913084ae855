#include "app/CifrarTexto.h"

#include "app/Windows1252.h"

namespace {

constexpr char clave[] = "T5KQ9WZM2Rb7XH4nC8VJ3LD6PF1gS0YA";
constexpr int largoClave = sizeof(clave) - 1;
constexpr int pasadas = 17;

} // namespace

QByteArray CifrarCodigos(QByteArray codigos, bool cifrar)
{
    // Every position goes through the passes on its own with key character (i mod 32): that is
    // what repeating the text and the key to a common length amounts to, and an empty text
    // needs no special case.
    for (qsizetype i = 0; i < codigos.size(); ++i) {
        int c = static_cast<unsigned char>(codigos[i]);
        const int b = static_cast<unsigned char>(clave[i % largoClave]);
        for (int pasada = 0; pasada < pasadas; ++pasada) {
            if (cifrar) {
                c += b;
                if (c > 255)
                    c -= 255;
            } else {
                c -= b;
                if (c < 0)
                    c += 255;
            }
        }
        codigos[i] = char(c);
    }
    return codigos;
}

QString CifrarTexto(QString texto, bool cifrar)
{
    return Windows1252::decodificar(CifrarCodigos(Windows1252::codificar(texto), cifrar));
}
