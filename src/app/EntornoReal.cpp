#include "app/EntornoReal.h"

#include "app/ConexionBaseDatos.h"
#include "app/MensajesQt.h"
#include "app/TablaArranque.h"
#include "app/VisorEscritorio.h"
#include "components/escaner/EscanerSane.h"
#include "components/ftp/ClienteFtpCurl.h"

EntornoReal::EntornoReal()
    : conexion_(std::make_unique<ConexionBaseDatos>()), mensajes_(std::make_unique<MensajesQt>()),
      visor_(std::make_unique<VisorEscritorio>(*mensajes_)),
      ftp_(std::make_unique<ClienteFtpCurl>())
{
    entorno_.ConexionBD = conexion_.get();
    entorno_.mensajes = mensajes_.get();
    entorno_.visor = visor_.get();
    entorno_.FTP = ftp_.get();
    entorno_.crearEscaner = [] { return std::make_unique<EscanerSane>(); };
    entorno_.carpetaArranque = TablaArranque::carpetaPredeterminada();
}

EntornoReal::~EntornoReal() = default;
