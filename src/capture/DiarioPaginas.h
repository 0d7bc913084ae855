#pragma once

#include "capture/Lote.h"

#include <QObject>
#include <functional>
#include <optional>

struct ContextoVentana;
struct TipoDocumento;

// The one record of the pages held in this run: whose they are (customer, case file, type) and
// how far their save got, kept beside the page files so that a crash leaves it for the next
// start. Scanning opens it, the save moves it on, and the pages leave only when their document
// is stored and flagged, or when the user discards them after a question naming them.
class DiarioPaginas : public QObject
{
    Q_OBJECT
public:
    DiarioPaginas(ContextoVentana& c, QObject* parent);

    // How far the save of the held pages got; retenida with no lote.
    Lote::Estado estado() const { return lote_ ? lote_->estado : Lote::Estado::Retenida; }
    int hojas() const;
    // Whether a lote is open: pages held, or a save under way.
    bool abierto() const { return lote_.has_value(); }

    // A scan starts: unless a lote is open, what it brings belongs to the customer, case file
    // and type chosen now.
    void abrir();
    // Pages taken over from a run that ended without closing; recorded before they move here.
    void adoptar(const Lote& lote);
    void fijarFolio(double folio);
    void fijarEstado(Lote::Estado estado);
    // After a scan or a removal: with no page held, a lote whose save never began goes, and
    // CambiosPendientes follows whether pages are held.
    void revisar();
    // The document is stored and flagged: the pages leave the component and the record goes.
    void liberar();
    // The pages were put in the outbox, which holds them now: they leave the component and the
    // record goes.
    void ceder();
    // Whether the held pages belong to the customer, case file and type chosen now (pages
    // whose customer was never recorded take the current ones).
    bool pertenece();
    // "5 hojas escaneadas del cliente 4711 ROSA MORALES (expediente 120, Nota Venta)".
    QString descripcion(const Lote& lote, int hojas) const;
    QString descripcion() const { return lote_ ? descripcion(*lote_, hojas()) : QString(); }
    // The singular form for one page, the plural for any other count.
    static QString segun(int hojas, const char* una, const char* varias)
    {
        return QString::fromUtf8(hojas == 1 ? una : varias);
    }
    // Before the window turns to another customer or case file: true when it may. Held pages
    // of a customer are discarded only on a Yes to a question that names them (No by default).
    bool PermitirCambio();
    // The open lote (abrir() first), and recording it for good after a change.
    Lote& lote() { return *lote_; }
    void registrar();
    // Settles a lote an earlier send left on its way (the send's own check, filled in by the
    // program's assembly): flagged when the server has its document, `registrar` recording
    // each change of its state.
    std::function<Lote::Cierre(Lote& lote, const std::function<void()>& registrar, QString* motivo)>
        completar;
    // Why a flag counts for nothing: the UPDATE found no case file of that folio.
    static QString sinExpediente(const TipoDocumento& tipo, double folio);

signals:
    // The held pages left the component, stored or discarded: nothing of them can come back.
    void hojasSoltadas();

private:
    void vaciarEscaner();
    // The pages leave the component; once none is left, the record goes too.
    void soltar();
    void descartar();

    ContextoVentana& c_;
    std::optional<Lote> lote_;
};
