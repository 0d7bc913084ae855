#include "app/VisorEscritorio.h"

#include "app/Mensajes.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(lcVisor, "expedientes.visor")

VisorEscritorio::VisorEscritorio(Mensajes& mensajes) : mensajes_(mensajes) {}

void VisorEscritorio::abrir(const QString& archivo)
{
    const QString ruta = QFileInfo(archivo).absoluteFilePath();
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(ruta)))
        return;
    qCWarning(lcVisor) << "no se pudo abrir" << ruta;
    mensajes_.MensajeError(
        QStringLiteral("No se pudo abrir el documento %1: el equipo no tiene un programa "
                       "predeterminado para ver este tipo de archivo, o no se pudo iniciar. El "
                       "documento sigue en esa ruta; ábralo con otro visor.")
            .arg(QDir::toNativeSeparators(ruta)),
        QStringLiteral("Visor de documentos"));
}
