#include "support/MensajesGrabados.h"

void MensajesGrabados::MensajeError(const QString& mensaje, const QString& titulo)
{
    cajas_.append({Tipo::Error, mensaje, titulo});
}

void MensajesGrabados::MensajeInformacion(const QString& mensaje, const QString& titulo)
{
    cajas_.append({Tipo::Informacion, mensaje, titulo});
}

bool MensajesGrabados::Pregunta(const QString& mensaje, const QString& titulo)
{
    cajas_.append({Tipo::Pregunta, mensaje, titulo});
    return respuestas_.isEmpty() ? false : respuestas_.dequeue();
}

void MensajesGrabados::MensajeSimple(const QString& mensaje)
{
    cajas_.append({Tipo::Simple, mensaje, QString()});
}

QStringList MensajesGrabados::resumen() const
{
    static const char* nombres[] = {"error", "informacion", "pregunta", "simple"};
    QStringList lineas;
    for (const Caja& caja : cajas_)
        lineas << QStringLiteral("%1|%2|%3")
                      .arg(QLatin1String(nombres[static_cast<int>(caja.tipo)]), caja.mensaje,
                           caja.titulo);
    return lineas;
}
