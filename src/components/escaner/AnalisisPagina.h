#pragma once

#include "components/escaner/TratamientoHojas.h"

#include <QImage>

// The measures taken of a page as it arrives, on Leptonica: how much of it is ink once a border
// is left out, and how far its lines are skewed. Pure functions on a picture, safe on any thread;
// bilevel pages are worked at one bit per pixel, grey and colour ones thresholded for the
// measures and rotated at their own depth.
class AnalisisPagina
{
public:
    // Share of each side left out of the blank measure: scanner edges, punched holes and the
    // shadow of the feeder fall there.
    static constexpr double kBorde = 0.06;
    // Skews smaller than this are left alone (a rotation would only soften the page); larger
    // than kInclinacionMaxima are not searched.
    static constexpr double kInclinacionMinima = 0.1;
    static constexpr double kInclinacionMaxima = 7.0;

    struct Resultado
    {
        double tinta = 0;       // foreground fraction inside the border, 0 to 1
        double inclinacion = 0; // degrees the page was turned to straighten it (0: left as is)
        bool enBlanco = false;
        QImage imagen; // the page as it stays: straightened or the one given
    };

    // Foreground fraction inside the border, specks of a pixel or two left out; −1 for a null
    // or unreadable picture.
    static double tinta(const QImage& pagina);
    // The angle in degrees that straightens the page (as girar takes it); 0 when its lines
    // cannot be told apart (no text, a photo, a page too small), with confianza below 3.
    static double inclinacion(const QImage& pagina, double* confianza = nullptr);
    // The page turned by `grados` about its centre at its own depth and size, white brought in.
    static QImage girar(const QImage& pagina, double grados);
    // The page turned by quarter turns clockwise, pixel for pixel: a bilevel page word by word
    // on Leptonica (a tenth of what Qt takes bit by bit), others as Qt turns them.
    static QImage girarCuartos(const QImage& pagina, int cuartos);
    // Both measures as the tratamiento asks; a blank page is not straightened.
    static Resultado analizar(const QImage& pagina, const TratamientoHojas& tratamiento);
};
