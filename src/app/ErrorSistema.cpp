#include "app/ErrorSistema.h"

ErrorSistema::ErrorSistema(int numero, const QString& descripcion, const QString& origen)
    : std::runtime_error(descripcion.toStdString()), numero_(numero), descripcion_(descripcion),
      origen_(origen)
{
}
