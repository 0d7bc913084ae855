#pragma once

#include "app/Visor.h"

class Mensajes;

// The desktop's default application for the file (QDesktopServices), relative names taken from
// the working directory. The callers go on whatever happens, so a viewer that cannot be started
// is reported here, where the reason is known.
class VisorEscritorio : public Visor
{
public:
    explicit VisorEscritorio(Mensajes& mensajes);
    void abrir(const QString& archivo) override;

private:
    Mensajes& mensajes_;
};
