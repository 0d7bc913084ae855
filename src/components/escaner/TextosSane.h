#pragma once

#include <QString>

// SANE's own texts (option titles, descriptions, list values such as "Flatbed" or "Gray") in the
// language of the messages locale, through the catalogue the SANE libraries ship. The values
// the device accepts stay the untranslated ones.
namespace TextosSane {
QString traducido(const char* texto);
} // namespace TextosSane
