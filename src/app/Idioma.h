#pragma once

#include <QLocale>

class QCoreApplication;

// The program speaks Spanish whatever the workstation's locale: Qt's own texts (the buttons of
// every question box, the standard dialogs) through Qt's Spanish catalogue, and what libraries
// translate through gettext (SANE's option texts, the C library's error texts) through theirs.
// A Spanish system locale is followed (es_MX, es_ES, …); any other falls back to Spanish.
namespace Idioma {
// Returns the locale whose catalogue was chosen.
QLocale instalar(QCoreApplication& aplicacion);
} // namespace Idioma
