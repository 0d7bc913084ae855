#pragma once

#include "app/Mensajes.h"

// Modal QMessageBox over the active window. A long title does not fit a title bar, so it is also
// shown above the text, and the text wraps rather than being cut off on a small screen.
class MensajesQt : public Mensajes
{
public:
    void MensajeError(const QString& mensaje, const QString& titulo) override;
    void MensajeInformacion(const QString& mensaje, const QString& titulo) override;
    bool Pregunta(const QString& mensaje, const QString& titulo) override;
    void MensajeSimple(const QString& mensaje) override;

private:
    static int mostrar(int icono, const QString& mensaje, const QString& titulo, bool pregunta);
};
