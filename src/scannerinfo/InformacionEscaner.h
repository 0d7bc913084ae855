#pragma once

#include <QObject>

struct ContextoVentana;

// The main window's scanner report button.
class InformacionEscaner : public QObject
{
    Q_OBJECT
public:
    InformacionEscaner(ContextoVentana& contexto, QObject* parent = nullptr);

    // Shows the characteristics of the current source in a modal window owned by the main one.
    void B_GetSourceInfo_Click();

private:
    ContextoVentana& c;
};
