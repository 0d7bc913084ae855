#pragma once

#include <QObject>
#include <QString>
#include <optional>

class ClienteFtp;
struct ContextoVentana;
struct DatosServidorImagenes;

// The connection to the branch's image server that every transfer opens first, and the progress
// bar that follows the FTP component during transfers.
class ConexionImagenes : public QObject
{
    Q_OBJECT
public:
    ConexionImagenes(ContextoVentana& c, QObject* parent);

    // Sets up the FTP component from the image-server settings, connects and moves to the remote
    // directory; the outcome is left in ResultadoFtp and on LblEstatus. A refused connection is
    // reported here and returns true: the caller's transfer then fails and reports its own
    // failure. False means a grave error (a port that is not a number, a component failure):
    // it has been reported and the caller must not go on. The program keeps running either
    // way, so unsaved pages are never lost.
    bool ConectarServidorImagenes();

    // The port text of the settings as a TCP port: a whole number in 1..65535.
    static std::optional<int> PuertoComoEntero(const QString& texto);

    // What a connection attempt came to.
    struct Apertura
    {
        int resultado = 0; // 1 once connected and logged in
        QString motivo;    // why not
        bool porSeguridad = false;
    };
    // Connects the client to the image server of `config` and moves to its directory, with the
    // TLS policy and server keys of the workstation's settings; no window is needed. Settings
    // that cannot be used (a port that is not a number, an unknown TLS policy) throw
    // std::runtime_error.
    static Apertura abrir(ClienteFtp& ftp, const DatosServidorImagenes& config,
                          const QString& archivoAjustes);

private:
    void FTP_AvanceTransferencia(int porcentaje);
    void conectar();

    ContextoVentana& c_;
};
