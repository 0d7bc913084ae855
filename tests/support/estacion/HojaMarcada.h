#pragma once

#include "components/tiff/EscritorTiff.h"
#include "components/tiff/LectorTiff.h"

#include <QImage>
#include <QList>
#include <QString>

// Pages that say whose they are: the width of each one is its mark plus 64, so that the pages
// of many workstations in one stored document can be told apart and counted.
inline QImage hojaMarcada(int marca)
{
    QImage hoja(64 + marca, 48, QImage::Format_Mono);
    hoja.fill(1);
    for (int x = 0; x < hoja.width(); x += 2)
        hoja.setPixel(x, 24, 0);
    return hoja;
}

// The marks of the pages of a stored document, in order; empty when it cannot be read.
inline QList<int> marcasDe(const QString& archivo)
{
    QList<int> marcas;
    const int paginas = EscritorTiff::contarPaginas(archivo);
    for (int i = 0; i < paginas; ++i)
        marcas << LectorTiff::leer(archivo, i).width() - 64;
    return marcas;
}
