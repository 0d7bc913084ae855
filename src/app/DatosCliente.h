#pragma once

#include <QString>

// The customer chosen in the search dialog.
struct DatosCliente
{
    double NumeroCliente = 0;
    QString NombreCliente;
    QString RfcCliente;
    QString DomicilioCliente;
    QString TelefonoCliente;
};
