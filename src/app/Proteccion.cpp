#include "app/Proteccion.h"

#include "app/ErrorSistema.h"
#include "app/Mensajes.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcErrores, "expedientes.errores")

bool EjecutarProtegido(Mensajes& mensajes, const std::function<void()>& manejador)
{
    try {
        manejador();
        return true;
    } catch (const ErrorSistema& error) {
        // The handler's own guards (RelojArena, BloqueoTransferencia) have already put the
        // pointer and the controls back while the error travelled here.
        qCWarning(lcErrores) << error.numero() << error.descripcion();
        const QString titulo = error.origen().isEmpty() ? QStringLiteral("Error") : error.origen();
        mensajes.MensajeError(error.mensaje(), titulo);
        return false;
    }
}
