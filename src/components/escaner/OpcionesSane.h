#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <sane/sane.h>

// The options of an open SANE device, found by name, with numbers in the option's own unit
// (SANE_Fixed converted to double). Every write reports the SANE status.
class OpcionesSane
{
public:
    struct Rango
    {
        double minimo = 0;
        double maximo = 0;
        double paso = 0; // 0: any value
    };

    explicit OpcionesSane(SANE_Handle dispositivo = nullptr) : dispositivo_(dispositivo) {}
    SANE_Handle dispositivo() const { return dispositivo_; }

    // Index of the option, −1 when the device has none of that name.
    int indice(const char* nombre) const;
    const SANE_Option_Descriptor* descriptor(const char* nombre) const;
    // Present, active and settable by software.
    bool usable(const char* nombre) const;
    bool existe(const char* nombre) const { return indice(nombre) >= 0; }

    std::optional<double> numero(const char* nombre) const;
    std::optional<QString> texto(const char* nombre) const;
    SANE_Status fijarNumero(const char* nombre, double valor);
    SANE_Status fijarTexto(const char* nombre, const QString& valor);

    // Constraints: string list, word list, range; empty or nullopt when the option has another.
    QStringList textosPermitidos(const char* nombre) const;
    QList<double> numerosPermitidos(const char* nombre) const;
    std::optional<Rango> rango(const char* nombre) const;
    // The value the device would accept nearest to `valor` (range clamp or nearest list entry).
    double ajustar(const char* nombre, double valor) const;

private:
    SANE_Handle dispositivo_;
};
