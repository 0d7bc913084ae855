#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>

class CierreRetenido;
struct ContextoVentana;

// Held for as long as a connection or a transfer runs. The transfer keeps the event loop
// turning (repaints, progress), so without this the user could pick another customer, case file
// or document type, or start a second transfer, under the one in progress. Every such control is
// disabled and, when the guard goes, given back exactly the enabled state it had; closing the
// window is refused meanwhile. Guards nest: an inner one restores what the outer one set.
class BloqueoTransferencia
{
public:
    explicit BloqueoTransferencia(ContextoVentana& c);
    ~BloqueoTransferencia();
    BloqueoTransferencia(const BloqueoTransferencia&) = delete;
    BloqueoTransferencia& operator=(const BloqueoTransferencia&) = delete;

    // The controls the guard disables, in the form of the given window.
    static QList<QWidget*> controles(ContextoVentana& c);

private:
    struct Estado
    {
        QPointer<QWidget> control;
        bool habilitado; // the control's own setting, not the one inherited from its parents
    };
    QList<Estado> estados_;
    std::unique_ptr<CierreRetenido> cierre_;
};
