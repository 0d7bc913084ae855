#pragma once

#include <QChar>
#include <QList>
#include <optional>

struct DatosServidorImagenes;
class EscanerTwain;

// What an automatic scan sets on the component for a document type, and in which order: the
// identification card and the payment receipt are scanned in colour over a fixed area, the other
// documents in black and white on letter paper.
struct AjusteAutomatico
{
    enum class Paso
    {
        Resolucion,
        Unidad,
        TipoPixel,
        Area,
        Copiado, // the setting given a value read from the component
        Cero,    // the setting written 0
        Papel,
    };
    struct Area
    {
        float izquierda, arriba, derecha, abajo; // inches
    };

    bool color; // resolution from resolucion_RGB, else resolucion_BN
    int tipoPixel;
    std::optional<Area> area;
    std::optional<int> tamanoPapel;
    QList<Paso> pasos;

    // The settings of a type letter; any letter without its own row (also none) scans as the
    // black and white documents do.
    static const AjusteAutomatico& porLetra(const QString& letra);

    // Makes the calls of the steps, in order, on the component.
    void aplicar(EscanerTwain& escaner, const DatosServidorImagenes& config) const;
};
