#pragma once

#include "components/escaner/TratamientoHojas.h"

#include <QString>

// What is done to the pages of each document type as they arrive, kept in the workstation's
// settings (archivoAjustes; empty for the platform's usual place). Blank pages are dropped by
// default except for types S and D, whose backs may carry what matters; straightening is off
// until chosen. The blank threshold is one value for the workstation.
class AjustesHojas
{
public:
    static TratamientoHojas leer(const QString& archivoAjustes, const QString& letra);
    static void guardar(const QString& archivoAjustes, const QString& letra,
                        const TratamientoHojas& tratamiento);
};
