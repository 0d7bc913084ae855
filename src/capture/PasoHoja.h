#pragma once

#include "capture/PasoDeshacer.h"
#include "components/escaner/EscanerTwain.h"

#include <QPointer>
#include <QString>

// A change the viewer made to one held page: removed (kept aside by the component), turned,
// or moved. Undone through the component, whose spool and order stay the one record.
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

    bool deshacer() override;
    Efecto efecto() const override;
    void soltar() override;

private:
    enum class Clase
    {
        Quitada,
        Girada,
        Movida
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
