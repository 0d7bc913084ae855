#pragma once

#include <QObject>

class ListaExpedientes;
struct ContextoVentana;

// Order mode: started with a sale number, the window loads the sale's customer and lists the
// customer's case files, and CmdAsignar ties a captured case file to that sale.
class ModoPedido : public QObject
{
    Q_OBJECT
public:
    ModoPedido(ContextoVentana& contexto, ListaExpedientes& lista, QObject* parent);

    // Step of the load sequence, run when the command line is not empty; PedidoAAsignar already
    // holds the sale number. A database failure is not caught here: the program cannot start.
    void arranquePedido(const QString& lineaComandos);
    void CmdAsignar_Click();

private:
    bool cargarCliente();
    void buscarExpedienteCapturado();
    void asignar();
    template <class T> T& control(const char* nombre) const;

    ContextoVentana& c_;
    ListaExpedientes& lista_;
    double clientePedido_ = 0; // the sale's customer, found at start-up
};
