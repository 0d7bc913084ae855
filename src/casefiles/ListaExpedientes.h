#pragma once

#include "casefiles/RejillaExpedientes.h"
#include "casefiles/TrabaDobleClic.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <functional>

class QTableWidget;
class Registros;
struct ContextoVentana;
struct TipoDocumento;

// The customer's case files on the first tab: choosing a customer, listing the customer's case
// files in iExpedientes and picking one of them as the current case file. The scanning tab's
// LblDestino says at all times where a save would put the pages.
class ListaExpedientes : public QObject
{
    Q_OBJECT
public:
    ListaExpedientes(ContextoVentana& contexto, QObject* parent);

    void CmdCLientes_Click();
    // Lists the case files of ClienteSeleccionado, newest first; the current case file's row
    // stays selected.
    void CargarExpedientes();
    // Row event of iExpedientes (a click or Enter on a row); rows count from 1, so the header
    // (0) and anything below it do nothing.
    void iExpedientes_Click(int fila);

    // The window turns to ClienteSeleccionado, as after a choice in the search dialog.
    void TomarCliente();
    // Picks the listed case file of that folio as the user would; false when it is not listed.
    bool ElegirExpediente(double folio);
    // A save created the case file of FolioActual: the caption names it and the list shows it.
    void ExpedienteCreado();
    // A document was stored and flagged: the list reads the flags again. Database failures are
    // shown here; the document is stored whatever the list says.
    void DocumentoRegistrado();
    // LblDestino follows FolioActual; called wherever the folio changes.
    void MostrarDestino();
    // The customer's captured case file became current without a pick (the document-type lookup
    // took it): its marks and loan box show what it holds, as after a pick, and LblDestino
    // names it.
    void ExpedienteTomado();

    // Opens the customer search dialog modally; tests put the customer in place instead.
    std::function<void()> mostrarBusqueda;
    // The working files' clean-up of the scanning tab; filled in by the program's assembly.
    std::function<void()> LimpiarArchivosTrabajo;
    // Asked before the window turns to another customer or case file (held pages of the
    // current one); false keeps everything as it is. Filled in by the program's assembly.
    std::function<bool()> PermitirCambio;
    // The documents waiting in the outbox, by their name on the image server ("10662N.tif"):
    // their marks and cells show them neither stored nor missing.
    std::function<QSet<QString>()> EnEspera;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void tomarCliente();
    void abrirExpediente(int fila);
    void mostrarMarcas(const Registros& registro);
    void limpiarArchivos();
    bool permitirCambio();
    void titulo(const QString& folio, const QString& venta);
    void seleccionarActual();
    int filaDe(double folio) const;
    template <class T> T& control(const char* nombre) const;

    ContextoVentana& c_;
    QTableWidget& iExpedientes_;
    RejillaExpedientes rejilla_;
    TrabaDobleClic traba_;
    double folioFaltante_ = 0; // a picked folio that the database no longer has
};
