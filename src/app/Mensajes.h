#pragma once

#include <QString>

// Every message box the program shows goes through here, so tests can record and answer them.
// The message comes first and the title second; some callers pass a long text as the title.
class Mensajes
{
public:
    virtual ~Mensajes() = default;

    // Critical icon, OK button.
    virtual void MensajeError(const QString& mensaje, const QString& titulo) = 0;
    // Information icon, OK button.
    virtual void MensajeInformacion(const QString& mensaje, const QString& titulo) = 0;
    // Question icon, Yes and No with No as the default; true only for Yes.
    virtual bool Pregunta(const QString& mensaje, const QString& titulo) = 0;
    // No icon, OK button, the application's name as the title.
    virtual void MensajeSimple(const QString& mensaje) = 0;
};
