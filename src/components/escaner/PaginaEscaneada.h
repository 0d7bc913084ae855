#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>

// One acquired page as it crosses from the scanning thread: its compressed one-page TIFF in the
// spool folder, its size and depth, and, while fresh, the decoded picture.
struct PaginaEscaneada
{
    QString ruta;
    int ancho = 0;
    int alto = 0;
    int bitsPorPixel = 0;
    int ppp = 0;
    QImage imagen; // may be null; then it is read back from `ruta`
};

Q_DECLARE_METATYPE(PaginaEscaneada)
