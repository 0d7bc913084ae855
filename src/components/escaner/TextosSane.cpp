#include "components/escaner/TextosSane.h"

#include <libintl.h>

namespace {
constexpr char kDominio[] = "sane-backends";
}

QString TextosSane::traducido(const char* texto)
{
    if (!texto || !*texto)
        return QString(); // gettext answers an empty text with the catalogue's header
    // The catalogue is in UTF-8 whatever the locale's character set.
    static const bool preparado = bind_textdomain_codeset(kDominio, "UTF-8") != nullptr;
    Q_UNUSED(preparado);
    return QString::fromUtf8(dgettext(kDominio, texto));
}
