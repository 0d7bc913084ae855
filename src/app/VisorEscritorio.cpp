#include "app/VisorEscritorio.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(lcVisor, "expedientes.visor")

void VisorEscritorio::abrir(const QString& archivo)
{
    const QString ruta = QFileInfo(archivo).absoluteFilePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(ruta)))
        qCWarning(lcVisor) << "no se pudo abrir" << ruta;
}
