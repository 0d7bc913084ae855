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

void ClienteFtp::FijarPuerto(int puerto)
{
    m_puerto = puerto;
}

void ClienteFtp::FijarPoliticaTls(PoliticaTls politica)
{
    m_politicaTls = politica;
}

void ClienteFtp::FijarArchivoLlaves(const QString& archivo)
{
    m_archivoLlaves = archivo;
}
