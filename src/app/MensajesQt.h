#pragma once

#include "app/Mensajes.h"

class QWidget;

// Modal QMessageBox over the main window. A long title does not fit a title bar, so it is also
// shown above the text, and the text wraps rather than being cut off on a small screen.
class MensajesQt : public Mensajes
{
public:
    void fijarVentana(QWidget* ventana) { ventana_ = ventana; }

    void MensajeError(const QString& mensaje, const QString& titulo) override;
    void MensajeInformacion(const QString& mensaje, const QString& titulo) override;
    bool Pregunta(const QString& mensaje, const QString& titulo) override;
    void MensajeSimple(const QString& mensaje) override;

private:
    int mostrar(int icono, const QString& mensaje, const QString& titulo, bool pregunta);
    QWidget* ventana_ = nullptr;
};
