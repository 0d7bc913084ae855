#pragma once

#include "app/Entorno.h"

#include <memory>

class ClienteFtp;
class ConexionBaseDatos;
class MensajesQt;
class VisorEscritorio;

// The environment of a real run: the configured database, QMessageBox, the desktop viewer, the
// scanner driver and the FTP client.
class EntornoReal
{
public:
    EntornoReal();
    ~EntornoReal();

    Entorno& entorno() { return entorno_; }
    MensajesQt& mensajesQt() { return *mensajes_; }

private:
    std::unique_ptr<ConexionBaseDatos> conexion_;
    std::unique_ptr<MensajesQt> mensajes_;
    std::unique_ptr<VisorEscritorio> visor_;
    std::unique_ptr<ClienteFtp> ftp_;
    Entorno entorno_;
};
