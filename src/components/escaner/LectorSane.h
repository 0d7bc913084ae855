#pragma once

#include "components/escaner/PaginaEscaneada.h"
#include "components/escaner/TratamientoHojas.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <sane/sane.h>

// Runs one acquisition on a scanning thread: sane_start, sane_read until the page ends, turns the
// data into a picture at its native depth, writes it compressed to the spool and hands the page
// to the UI thread; with a feeder it goes on until the feeder is empty. Each page is measured,
// straightened and, when blank, written to the folder of dropped pages on the thread that
// compresses it, so the UI thread never waits for the analysis. The object lives on the UI
// thread; only ejecutar() runs on the scanning thread and touches the device meanwhile.
class LectorSane : public QObject
{
    Q_OBJECT
public:
    // nuevaRuta gives the spool file of each page (called from the scanning thread).
    LectorSane(SANE_Handle dispositivo, bool alimentador, int ppp,
               std::function<QString()> nuevaRuta, TratamientoHojas tratamiento = {},
               QObject* parent = nullptr);

    void ejecutar();
    void cancelar() { cancelado_ = true; }

    // Turns one frame of SANE data into a picture: bilevel as Format_Mono (1 = black), grey
    // as Format_Grayscale8 and colour as Format_RGB888 (16-bit samples keep their high byte).
    static QImage convertir(const SANE_Parameters& parametros, const QByteArray& datos);

signals:
    void paginaLeida(const PaginaEscaneada& pagina);
    // SANE_STATUS_GOOD when every page arrived (a feeder that ran out after one page or more
    // included); otherwise the status that stopped the scan, after the pages already delivered.
    void terminado(int estado, const QString& detalle);

private:
    SANE_Status leerPagina(PaginaEscaneada& pagina, QString& detalle);

    SANE_Handle dispositivo_;
    bool alimentador_;
    int ppp_;
    std::function<QString()> nuevaRuta_;
    TratamientoHojas tratamiento_;
    std::atomic<bool> cancelado_{false};
};
