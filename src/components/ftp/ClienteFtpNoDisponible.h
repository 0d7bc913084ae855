#pragma once

#include "components/ftp/ClienteFtp.h"

// Stands in while no real client is wired: every operation fails and says why, so nothing is
// ever reported as stored or fetched when it was not.
class ClienteFtpNoDisponible : public ClienteFtp
{
    Q_OBJECT
public:
    explicit ClienteFtpNoDisponible(QObject* parent = nullptr);

    int Conectar() override;
    int CambiarDirectorioRemoto(const QString& directorio) override;
    int EnviarArchivo(const QString& local, const QString& remoto) override;
    int RecibirArchivo(const QString& remoto, const QString& local) override;
    int BorrarArchivoRemoto(const QString& remoto) override;
    int Desconectar() override;

    QString UltimoError() const override;
    bool ocupado() const override { return false; }
};
