#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Reads back the pages EscritorTiff writes, keeping their depth: bilevel as Format_Mono, grey as
// Format_Grayscale8, colour as Format_RGB888. Other TIFFs are read through libtiff's RGBA path.
class LectorTiff
{
public:
    // Page `pagina` (from 0) of the file; a null image when it cannot be read.
    static QImage leer(const QString& archivo, int pagina = 0);
    // A fingerprint of each page's size and compressed data, in order. Appending pages to the
    // file, or copying it, leaves those of the pages already there as they were. Empty when the
    // file cannot be read.
    static QStringList huellasPaginas(const QString& archivo);
};
