#pragma once

#include <QObject>

class Escaneo;
struct ContextoVentana;
struct SesionRecuperable;

// At load, after the scanning component has started: the pages a run of the program left
// unsaved when it ended without closing are offered back. Restored, they are held as if just
// scanned; declined, they are deleted only after a second confirmation, otherwise kept for the
// next start.
class RecuperacionPaginas : public QObject
{
    Q_OBJECT
public:
    RecuperacionPaginas(ContextoVentana& c, Escaneo& escaneo, QObject* parent);

    // Load step.
    void RecuperarPaginas();

private:
    void ofrecer();
    void restaurar(const QList<SesionRecuperable>& sesiones);
    void descartar(const QList<SesionRecuperable>& sesiones);

    ContextoVentana& c_;
    Escaneo& escaneo_;
};
