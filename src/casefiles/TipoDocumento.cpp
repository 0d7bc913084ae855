#include "casefiles/TipoDocumento.h"

#include "app/ConexionBaseDatos.h"

QString TipoDocumento::archivoTrabajo() const
{
    return QStringLiteral("expediente") + letra + QStringLiteral(".tif");
}

QString TipoDocumento::nombreRemoto(double folio) const
{
    return NumeroPlano(folio) + letra + QStringLiteral(".tif");
}

const std::array<TipoDocumento, 7>& TipoDocumento::todos()
{
    static const std::array<TipoDocumento, 7> tipos{{
        {u'S', "imagen_solicitud", "OpcSolicitud", "sOK", "sFa", "Solicitud", 7, true},
        {u'I', "imagen_IFE", "OpcIdentificacion", "iOK", "iFa", "Identificación", 9, true},
        {u'R', "imagen_TALON", "OpcRecibo", "rOK", "rFa", "Recibo Pago", 8, true},
        {u'C', "imagen_CARTA", "OpcCarta", "cOK", "cFa", "C.Sindicato", 10, true},
        {u'N', "imagen_NOTA", "OpcNota", "nOK", "nFa", "Nota Venta", 11, true},
        {u'E', "imagen_ENTREGA", "OpcEntrega", "eOK", "eFa", "Entrega", 13, false},
        {u'D', "imagen_EXTRA", "OpcExtras", "dOK", "dFa", "Extras", 12, false},
    }};
    return tipos;
}

const TipoDocumento* TipoDocumento::porLetra(const QString& letra)
{
    if (letra.size() != 1)
        return nullptr;
    for (const TipoDocumento& tipo : todos())
        if (tipo.letra == letra.at(0))
            return &tipo;
    return nullptr;
}

bool TipoDocumento::activa(const QVariant& bandera)
{
    return !bandera.isNull() && bandera.toBool();
}
