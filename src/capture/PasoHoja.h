#pragma once

#include "capture/PasoDeshacer.h"
#include "components/escaner/EscanerTwain.h"

#include <QPointer>
#include <QString>

// A change made to one held page: removed by the viewer (kept aside by the component), turned,
// moved, or dropped as blank as it arrived. Undone through the component, whose spool and order
// stay the one record.
class PasoHoja : public PasoDeshacer
{
public:
    static PasoHoja quitada(EscanerTwain& escaner, int posicion, const QString& apartada)
    {
        return {escaner, Clase::Quitada, posicion, 0, apartada};
    }
    static PasoHoja girada(EscanerTwain& escaner, int posicion, int cuartos)
    {
        return {escaner, Clase::Girada, posicion, cuartos, {}};
    }
    static PasoHoja movida(EscanerTwain& escaner, int desde, int hasta)
    {
        return {escaner, Clase::Movida, hasta, desde, {}};
    }
    // The component keeps dropped pages last first: undone, the last one comes back where it
    // arrived.
    static PasoHoja enBlanco(EscanerTwain& escaner) { return {escaner, Clase::EnBlanco, 0, 0, {}}; }

    bool deshacer() override;
    Efecto efecto() const override;
    void soltar() override;

private:
    enum class Clase
    {
        Quitada,
        Girada,
        Movida,
        EnBlanco
    };
    PasoHoja(EscanerTwain& escaner, Clase clase, int posicion, int dato, QString apartada)
        : escaner_(&escaner), clase_(clase), posicion_(posicion), dato_(dato),
          apartada_(std::move(apartada))
    {
    }

    // The window may let the component go before its viewer; it deletes what it kept aside.
    QPointer<EscanerTwain> escaner_;
    Clase clase_;
    int posicion_; // where the page is after the change
    int dato_;     // quarter turns given, or the position it was moved from
    QString apartada_;
};
