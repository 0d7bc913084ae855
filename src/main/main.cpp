#include "app/EntornoReal.h"
#include "app/ErrorSistema.h"
#include "app/Global.h"
#include "app/Idioma.h"
#include "app/MensajesQt.h"
#include "main/CopiaUnica.h"
#include "main/Programa.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[])
{
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("expedientes"));
    QApplication::setOrganizationName(QStringLiteral("expedientes"));
    // The menu entry's id, so the desktop ties the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("mx.qor.Expedientes"));
    Idioma::instalar(aplicacion);

    EntornoReal real;
    QString trabajo;
    try {
        trabajo = Programa::prepararCarpetaTrabajo();
    } catch (const ErrorSistema& error) {
        real.mensajesQt().MensajeError(error.descripcion(),
                                       QStringLiteral("No se pudo iniciar el programa"));
        return 1;
    }
    CopiaUnica copia(QFileInfo(trabajo).absolutePath());
    if (!copia.primera()) {
        const bool llamada = copia.llamarPrimera();
        real.mensajesQt().MensajeInformacion(
            llamada ? QStringLiteral("El programa ya está abierto en esta estación con su usuario; "
                                     "siga trabajando en esa ventana, que se muestra ahora.")
                    : QStringLiteral("El programa ya está abierto en esta estación con su usuario; "
                                     "siga trabajando en esa ventana."),
            QStringLiteral("Expedientes ya está abierto"));
        return 1;
    }
    Global global;
    return Programa::ejecutar(global, real.entorno(),
                              Programa::lineaComandos(QApplication::arguments()), &copia);
}
