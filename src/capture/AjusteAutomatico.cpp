#include "capture/AjusteAutomatico.h"

#include "app/DatosServidorImagenes.h"
#include "capture/RedondeoPar.h"
#include "components/escaner/EscanerTwain.h"

#include <QString>
#include <array>
#include <utility>

namespace {
using Paso = AjusteAutomatico::Paso;

constexpr int kPixelBN = 0;
constexpr int kPixelRGB = 2;
constexpr int kCartaUS = 3;

const AjusteAutomatico kBlancoNegro{
    false,
    kPixelBN,
    std::nullopt,
    kCartaUS,
    {Paso::Resolucion, Paso::Unidad, Paso::TipoPixel, Paso::Copiado, Paso::Cero, Paso::Papel}};

const std::array<std::pair<QChar, AjusteAutomatico>, 2> kColor{{
    {u'I',
     {true,
      kPixelRGB,
      AjusteAutomatico::Area{0.0f, 0.0f, 3.5f, 2.3f},
      std::nullopt,
      {Paso::Resolucion, Paso::TipoPixel, Paso::Unidad, Paso::Area, Paso::Copiado}}},
    {u'R',
     {true,
      kPixelRGB,
      AjusteAutomatico::Area{0.0f, 0.0f, 8.5f, 6.0f},
      std::nullopt,
      {Paso::Resolucion, Paso::Unidad, Paso::TipoPixel, Paso::Area, Paso::Copiado, Paso::Cero}}},
}};
} // namespace

const AjusteAutomatico& AjusteAutomatico::porLetra(const QString& letra)
{
    for (const auto& [clave, ajuste] : kColor)
        if (letra.size() == 1 && letra.at(0) == clave)
            return ajuste;
    return kBlancoNegro;
}

void AjusteAutomatico::aplicar(EscanerTwain& escaner, const DatosServidorImagenes& config) const
{
    for (const Paso paso : pasos) {
        switch (paso) {
        case Paso::Resolucion:
            escaner.FijarResolucion(
                int(RedondeoPar(color ? config.resolucion_RGB : config.resolucion_BN)));
            break;
        case Paso::Unidad:
            escaner.FijarUnidad(0);
            break;
        case Paso::TipoPixel:
            escaner.FijarTipoPixel(tipoPixel);
            break;
        case Paso::Area:
            if (area)
                escaner.FijarArea(area->izquierda, area->arriba, area->derecha, area->abajo);
            break;
        case Paso::Copiado:
            escaner.FijarAjusteCopiado(escaner.AjusteParaCopiar());
            break;
        case Paso::Cero:
            escaner.FijarAjusteCero(0);
            break;
        case Paso::Papel:
            if (tamanoPapel)
                escaner.FijarTamanoPapel(*tamanoPapel);
            break;
        }
    }
}
