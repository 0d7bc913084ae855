#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>

// One acquired page as it crosses from the scanning thread: its compressed one-page TIFF in the
// spool folder, its size and depth, and, while fresh, the decoded picture. A page found blank
// arrives already set aside (its file in the spool's folder of dropped pages).
struct PaginaEscaneada
{
    QString ruta;
    int ancho = 0;
    int alto = 0;
    int bitsPorPixel = 0;
    int ppp = 0;
    QImage imagen; // may be null; then it is read back from `ruta`
    bool enBlanco = false;
    double inclinacion = 0; // degrees it was turned to straighten it
};

Q_DECLARE_METATYPE(PaginaEscaneada)
