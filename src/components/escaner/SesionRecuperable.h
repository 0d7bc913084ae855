#pragma once

#include <QString>

// A session folder left by a run of the program that ended without closing (a crash, a power
// cut), with the pages it scanned and never saved.
struct SesionRecuperable
{
    QString carpeta;
    int paginas = 0;
};
