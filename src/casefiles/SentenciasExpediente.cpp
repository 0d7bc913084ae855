#include "casefiles/SentenciasExpediente.h"

#include "app/ConexionBaseDatos.h"
#include "casefiles/TipoDocumento.h"

Sentencia SentenciasExpediente::crear(double cliente, const QString& sucursal, bool prestamo)
{
    return {QStringLiteral("INSERT INTO  BRAX.dbo.Expedientes_ZR( Cliente,sucursal, "
                           "fecha,es_prestamo) VALUES (") +
                NumeroPlano(cliente) + QStringLiteral(",?,GETDATE(),?)"),
            {sucursal, prestamo ? QStringLiteral("1") : QStringLiteral("0")}};
}

Sentencia SentenciasExpediente::marcarDocumento(const TipoDocumento& tipo, double folio)
{
    return {QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET ") +
                QLatin1String(tipo.columnaBandera) + QStringLiteral(" = 1 WHERE expediente= ") +
                NumeroPlano(folio),
            {}};
}

Sentencia SentenciasExpediente::asignar(double pedido, double folio)
{
    return {QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET Pedido=") + NumeroPlano(pedido) +
                QStringLiteral(",estado_actual='Asignado' WHERE expediente = ") +
                NumeroPlano(folio) + QStringLiteral("  and estado_actual='Capturado'"),
            {}};
}

Sentencia SentenciasExpediente::leerUno(double folio)
{
    return {QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE expediente = ") +
                NumeroPlano(folio) + QStringLiteral(" "),
            {}};
}

Sentencia SentenciasExpediente::capturadosDeCliente(double cliente)
{
    return {QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE Cliente = ") +
                NumeroPlano(cliente) + QStringLiteral("  and estado_actual='Capturado'"),
            {}};
}

Sentencia SentenciasExpediente::folioCapturado(double cliente)
{
    return {QStringLiteral("SELECT expediente FROM BRAX.dbo.Expedientes_ZR WHERE Cliente = ") +
                NumeroPlano(cliente) + QStringLiteral("  and estado_actual='Capturado'"),
            {}};
}

Sentencia SentenciasExpediente::lista(double cliente)
{
    return {QStringLiteral(
                "SELECT e.expediente 'Expediente', erp_qor.dbo.fecha_corta(e.fecha) 'Fecha', "
                "ERP_QOR.dbo.nombre_sucursal(e.sucursal) 'Sucursal', p.clave_pedido 'Venta', "
                "e.es_prestamo'Prestamo', p.estado_actual 'Estado Venta', e.imagen_solicitud "
                "'Solicitud', e.imagen_talon 'Recibo Pago', e.imagen_IFE 'Identificación', "
                "e.imagen_carta 'C.Sindicato', e.imagen_nota 'Nota Venta', e.imagen_extra "
                "'Extras', e.imagen_entrega 'Entrega', e.estado_actual 'Estado Expediente' FROM "
                "BRAX.dbo.expedientes_ZR E LEFT JOIN Pedidos_clientes P ON e.pedido = p.pedido "
                "WHERE e.cliente = ") +
                NumeroPlano(cliente) + QStringLiteral(" ") +
                QStringLiteral("order by e.fecha DESC "),
            {}};
}
