#pragma once

#include <QObject>

struct ContextoVentana;
struct EtapasCarga;

// Load and close of the main window.
class CicloVentana : public QObject
{
    Q_OBJECT
public:
    CicloVentana(ContextoVentana& contexto, EtapasCarga& etapas, QObject* parent);

    // False when the program cannot start: the reason has been shown and the caller ends with a
    // non-zero code.
    bool Form_Load(const QString& lineaComandos);
    void Form_Unload(bool& Cancel);

private:
    // The geometry of the last run; maximized on a small screen, centred otherwise.
    void colocar();
    void arrancarPedido(const QString& lineaComandos);

    ContextoVentana& c_;
    EtapasCarga& etapas_;
};
