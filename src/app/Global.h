#pragma once

#include "app/DatosCliente.h"
#include "app/DatosServidorImagenes.h"

#include <QString>

// State shared by every window for the whole run. Created once in main() (or by a test) and
// passed by reference; there is no process-wide instance.
struct Global
{
    QString CadenaConexion;
    DatosServidorImagenes ConfigServidorImagenes;
    DatosCliente ClienteSeleccionado;
    bool CambiosPendientes = false; // scanned pages exist that were not saved
    QString EstadoExpediente;       // estado_actual of the case file the window works on
    double PedidoAAsignar = 0;      // sale number of order mode
    bool Borrando = false;          // the search text is being erased (autocomplete)
};
