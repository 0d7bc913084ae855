#pragma once

#include "app/Mensajes.h"

#include <QList>
#include <QQueue>
#include <QString>

// Keeps every box the program shows and answers its questions from a queue (No when the queue
// is empty, the safe answer of every question the program asks).
class MensajesGrabados : public Mensajes
{
public:
    enum class Tipo
    {
        Error,
        Informacion,
        Pregunta,
        Simple
    };
    struct Caja
    {
        Tipo tipo;
        QString mensaje;
        QString titulo;
    };

    void MensajeError(const QString& mensaje, const QString& titulo) override;
    void MensajeInformacion(const QString& mensaje, const QString& titulo) override;
    bool Pregunta(const QString& mensaje, const QString& titulo) override;
    void MensajeSimple(const QString& mensaje) override;

    void responder(bool si) { respuestas_.enqueue(si); }
    const QList<Caja>& cajas() const { return cajas_; }
    void limpiar() { cajas_.clear(); }
    // "tipo|mensaje|titulo" of every box, for readable failures.
    QStringList resumen() const;

private:
    QList<Caja> cajas_;
    QQueue<bool> respuestas_;
};
