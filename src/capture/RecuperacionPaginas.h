#pragma once

#include "capture/Lote.h"

#include <QObject>
#include <functional>
#include <optional>

class DiarioPaginas;
class Escaneo;
class ListaExpedientes;
class SeleccionDocumento;
struct ContextoVentana;
struct SesionRecuperable;

// At load, after the scanning component has started: the pages a run of the program left held
// when it ended without closing. A document that reached the image server but was never flagged
// is flagged now, before anything else can be sent under its folio. Every other lote is offered
// with its customer, case file, type and page count: restored, the customer, the case file and
// the type are chosen again and the pages held; declined, they are deleted only after a second
// confirmation, otherwise kept for the next start. One lote is held at a time: once one is
// restored, the others wait for the next start.
class RecuperacionPaginas : public QObject
{
    Q_OBJECT
public:
    RecuperacionPaginas(ContextoVentana& c, Escaneo& escaneo, DiarioPaginas& diario,
                        ListaExpedientes& lista, SeleccionDocumento& seleccion, QObject* parent);

    // Load step.
    void RecuperarPaginas();

    // Whether the outbox holds this lote already (filled in by the program's assembly): the run
    // stopped after putting it in and before its pages left the component.
    std::function<bool(const Lote& lote)> enSalida;

private:
    void revisarSesiones();
    bool registrar(const SesionRecuperable& sesion, const Lote& lote);
    bool ofrecer(const SesionRecuperable& sesion, const std::optional<Lote>& lote);
    void restaurar(const SesionRecuperable& sesion, const std::optional<Lote>& lote);
    void descartar(const SesionRecuperable& sesion);

    ContextoVentana& c_;
    Escaneo& escaneo_;
    DiarioPaginas& diario_;
    ListaExpedientes& lista_;
    SeleccionDocumento& seleccion_;
};
