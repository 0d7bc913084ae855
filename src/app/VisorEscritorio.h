#pragma once

#include "app/Visor.h"

// The desktop's default application for the file (QDesktopServices), relative names taken from
// the working directory.
class VisorEscritorio : public Visor
{
public:
    void abrir(const QString& archivo) override;
};
