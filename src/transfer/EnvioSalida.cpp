#include "transfer/EnvioSalida.h"

#include <QMetaObject>

EnvioSalida::EnvioSalida(const RemitenteSalida::Ajustes& ajustes, QObject* parent)
    : QObject(parent), remitente_(new RemitenteSalida(ajustes))
{
    hilo_.setObjectName(QStringLiteral("bandeja de salida"));
    remitente_->moveToThread(&hilo_);
    connect(&hilo_, &QThread::finished, remitente_, &QObject::deleteLater);
    connect(remitente_, &RemitenteSalida::estado, this,
            [this](int pendientes, const QString& error) {
                pendientes_ = pendientes;
                ultimoError_ = error;
                emit cambio();
            });
    connect(remitente_, &RemitenteSalida::registrado, this, &EnvioSalida::registrado);
    hilo_.start();
}

EnvioSalida::~EnvioSalida()
{
    detener();
}

void EnvioSalida::enviarAhora()
{
    if (hilo_.isRunning())
        QMetaObject::invokeMethod(remitente_, &RemitenteSalida::revisar, Qt::QueuedConnection);
}

void EnvioSalida::programar()
{
    if (hilo_.isRunning())
        QMetaObject::invokeMethod(remitente_, &RemitenteSalida::programar, Qt::QueuedConnection);
}

void EnvioSalida::detener()
{
    if (!hilo_.isRunning())
        return;
    remitente_->pedirDetencion();
    QMetaObject::invokeMethod(remitente_, &RemitenteSalida::detener, Qt::QueuedConnection);
    hilo_.wait();
}
