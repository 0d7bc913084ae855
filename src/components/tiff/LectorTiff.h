#pragma once

#include <QImage>
#include <QString>

// Reads back the pages EscritorTiff writes, keeping their depth: bilevel as Format_Mono, grey as
// Format_Grayscale8, colour as Format_RGB888. Other TIFFs are read through libtiff's RGBA path.
class LectorTiff
{
public:
    // Page `pagina` (from 0) of the file; a null image when it cannot be read.
    static QImage leer(const QString& archivo, int pagina = 0);
};
