#pragma once

#include <QString>

// Opens a file in the workstation's default viewer. The outcome is not examined by callers.
class Visor
{
public:
    virtual ~Visor() = default;
    virtual void abrir(const QString& archivo) = 0;
};
