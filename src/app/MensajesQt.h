#pragma once

#include "app/Mensajes.h"

class QWidget;

// Modal QMessageBox over the main window. A long title does not fit a title bar, so the box is
// made wide enough to show it, and the title is repeated above the text when it is long.
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
