#pragma once

#include "transfer/RemitenteSalida.h"

#include <QObject>
#include <QString>
#include <QThread>

// Runs the outbox's sender in a thread of its own, so the window never waits on it: the sender
// starts with the window, tries again by itself, and at once when asked. What it reports reaches
// this object's thread queued.
class EnvioSalida : public QObject
{
    Q_OBJECT
public:
    EnvioSalida(const RemitenteSalida::Ajustes& ajustes, QObject* parent);
    // Waits for a send under way to end: its lote stays on disk in whatever state it reached.
    ~EnvioSalida() override;

    // A try now (at start, after a lote was put in, or when the clerk asks).
    void enviarAhora();
    // A lote was put in: a try comes after the pause, unless one is due already.
    void programar();
    // Stops the sender for good; waits for a send under way.
    void detener();

    int pendientes() const { return pendientes_; }
    QString ultimoError() const { return ultimoError_; }

signals:
    // pendientes() or ultimoError() changed.
    void cambio();
    void registrado(double cliente, double folio, const QString& tipo);

private:
    QThread hilo_;
    RemitenteSalida* remitente_;
    int pendientes_ = 0;
    QString ultimoError_;
};
