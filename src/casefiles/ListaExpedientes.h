#pragma once

#include "casefiles/RejillaExpedientes.h"

#include <QObject>
#include <functional>

class QTableWidget;
struct ContextoVentana;

// The customer's case files on the first tab: choosing a customer, listing the customer's case
// files in iExpedientes and picking one of them as the current case file.
class ListaExpedientes : public QObject
{
    Q_OBJECT
public:
    ListaExpedientes(ContextoVentana& contexto, QObject* parent);

    void CmdCLientes_Click();
    // Lists the case files of ClienteSeleccionado, newest first.
    void CargarExpedientes();
    // Row event of iExpedientes (a double click or Enter on a row); rows count from 1, so the
    // header (0) and anything below it do nothing.
    void iExpedientes_DblClick(int fila);

    // Opens the customer search dialog modally; tests put the customer in place instead.
    std::function<void()> mostrarBusqueda;
    // The working files' clean-up of the scanning tab; filled in by the program's assembly.
    std::function<void()> LimpiarArchivosTrabajo;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void tomarCliente();
    void abrirExpediente(int fila);
    void limpiarArchivos();
    template <class T> T& control(const char* nombre) const;

    ContextoVentana& c_;
    QTableWidget& iExpedientes_;
    RejillaExpedientes rejilla_;
};
