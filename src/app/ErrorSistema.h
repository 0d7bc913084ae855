#pragma once

#include <QString>
#include <stdexcept>

// A failure of the database, a component or the platform, carried with the number and the
// description that the user is shown. Handlers meet it through ProteccionManejador; before
// the window is usable it ends the program.
class ErrorSistema : public std::runtime_error
{
public:
    ErrorSistema(int numero, const QString& descripcion, const QString& origen = {},
                 const QString& causa = {});

    int numero() const { return numero_; }
    const QString& descripcion() const { return descripcion_; }
    // What was being done ("Base de datos", "Escáner", ...); may be empty.
    const QString& origen() const { return origen_; }
    // What the clerk can do about it, in Spanish, when the cause is a known one; else empty.
    const QString& causa() const { return causa_; }

    // The text of its message box: "Error <number>: <description>" (the description alone for
    // number 0), after the cause when there is one.
    QString mensaje() const;

private:
    int numero_;
    QString descripcion_;
    QString origen_;
    QString causa_;
};
