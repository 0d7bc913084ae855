#include "components/ftp/ClienteFtpNoDisponible.h"

namespace {
// Anything but 1 is a failure; 0 keeps it distinct from a refused connection (-1).
constexpr int kFallo = 0;
} // namespace

ClienteFtpNoDisponible::ClienteFtpNoDisponible(QObject* parent) : ClienteFtp(parent) {}

int ClienteFtpNoDisponible::Conectar()
{
    return kFallo;
}

int ClienteFtpNoDisponible::CambiarDirectorioRemoto(const QString&)
{
    return kFallo;
}

int ClienteFtpNoDisponible::EnviarArchivo(const QString&, const QString&)
{
    return kFallo;
}

int ClienteFtpNoDisponible::RecibirArchivo(const QString&, const QString&)
{
    return kFallo;
}

int ClienteFtpNoDisponible::BorrarArchivoRemoto(const QString&)
{
    return kFallo;
}

int ClienteFtpNoDisponible::Desconectar()
{
    return kFallo;
}

QString ClienteFtpNoDisponible::UltimoError() const
{
    return QStringLiteral("El cliente FTP no está disponible en esta instalación");
}
