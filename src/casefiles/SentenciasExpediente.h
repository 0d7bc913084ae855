#pragma once

#include <QString>
#include <QVariantList>

struct TipoDocumento;

// A statement as sent to the connection: its text and the values bound to its "?" marks.
struct Sentencia
{
    QString texto;
    QVariantList valores;
};

// The statements on the case-file table, composed in one place. Numbers are written plainly;
// texts are bound.
namespace SentenciasExpediente {
Sentencia crear(double cliente, const QString& sucursal, bool prestamo);
Sentencia marcarDocumento(const TipoDocumento& tipo, double folio);
Sentencia asignar(double pedido, double folio);
Sentencia leerUno(double folio);
Sentencia capturadosDeCliente(double cliente);
Sentencia folioCapturado(double cliente);
Sentencia lista(double cliente);
} // namespace SentenciasExpediente
