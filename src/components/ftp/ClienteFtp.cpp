#include "components/ftp/ClienteFtp.h"

ClienteFtp::ClienteFtp(QObject* parent) : QObject(parent) {}

ClienteFtp::~ClienteFtp() = default;

void ClienteFtp::FijarServidor(const QString& servidor)
{
    m_servidor = servidor;
}

void ClienteFtp::FijarUsuario(const QString& usuario)
{
    m_usuario = usuario;
}

void ClienteFtp::FijarContrasena(const QString& contrasena)
{
    m_contrasena = contrasena;
}

void ClienteFtp::FijarPuerto(qint16 puerto)
{
    m_puerto = puerto;
}
