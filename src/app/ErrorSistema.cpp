#include "app/ErrorSistema.h"

ErrorSistema::ErrorSistema(int numero, const QString& descripcion, const QString& origen,
                           const QString& causa)
    : std::runtime_error(descripcion.toStdString()), numero_(numero), descripcion_(descripcion),
      origen_(origen), causa_(causa)
{
}

QString ErrorSistema::mensaje() const
{
    const QString detalle =
        numero_ != 0 ? QStringLiteral("Error %1: %2").arg(numero_).arg(descripcion_) : descripcion_;
    // The driver's own words stay for support: they are what the server's logs say.
    return causa_.isEmpty() ? detalle : causa_ + QStringLiteral("\n\nPara soporte: ") + detalle;
}
