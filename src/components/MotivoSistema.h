#pragma once

#include <QString>

// The system's reason for a failed file operation (an errno value), told in the user's
// language: the C library's own texts follow the process locale, which is not always Spanish.
class MotivoSistema
{
public:
    // Empty for 0, the Qt text given as alternativa when that is all there is.
    static QString texto(int codigo, const QString& alternativa = {});
    // The disk (or the space this process may take on it) is full.
    static bool discoLleno(int codigo);
};
