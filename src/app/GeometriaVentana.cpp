#include "app/GeometriaVentana.h"

#include <QSettings>
#include <QWidget>
#include <memory>

namespace {

const QString kClave = QStringLiteral("ventana/geometria");

std::unique_ptr<QSettings> ajustes(const QString& archivo)
{
    if (archivo.isEmpty())
        return std::make_unique<QSettings>();
    return std::make_unique<QSettings>(archivo, QSettings::IniFormat);
}

} // namespace

bool GeometriaVentana::restaurar(QWidget& ventana, const QString& archivoAjustes)
{
    const QByteArray guardada = ajustes(archivoAjustes)->value(kClave).toByteArray();
    return !guardada.isEmpty() && ventana.restoreGeometry(guardada);
}

void GeometriaVentana::guardar(const QWidget& ventana, const QString& archivoAjustes)
{
    ajustes(archivoAjustes)->setValue(kClave, ventana.saveGeometry());
}
