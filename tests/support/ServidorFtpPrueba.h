#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class ClienteFtp;
struct DatosServidorImagenes;

// A real FTP server (pyftpdlib under Debian's python3) on 127.0.0.1, serving a fresh temporary
// folder. It can be killed and started again on the same port and folder, and stops when the
// object goes. The port stays below 32768 because the client takes it as a 16-bit signed number.
class ServidorFtpPrueba
{
public:
    enum class Tipo
    {
        Normal,
        // Refuses RNTO onto an existing file, as some servers do.
        SinReemplazoAlRenombrar,
        // Moves data at about 24 MB/s, so a test can act in the middle of a transfer even when
        // the machine is busy.
        Lento,
    };

    explicit ServidorFtpPrueba(Tipo tipo = Tipo::Normal);
    ~ServidorFtpPrueba();
    ServidorFtpPrueba(const ServidorFtpPrueba&) = delete;
    ServidorFtpPrueba& operator=(const ServidorFtpPrueba&) = delete;

    // Starts on a free port; true once it greets connections. See error() otherwise.
    bool iniciar();
    // Starts again on the same port and folder (after matar()).
    bool reiniciar();
    // SIGKILL: no goodbye to the clients, as when the machine or the service dies.
    void matar();
    // SIGSTOP / SIGCONT: the server keeps its sockets open but stops answering.
    void pausar();
    void reanudar();

    bool activo() const;
    qint16 puerto() const { return m_puerto; }
    QString usuario() const { return QStringLiteral("imagenes"); }
    QString contrasena() const { return QStringLiteral("clave secreta"); }
    // The folder the server shows as its root; tests read and write it directly.
    QString raiz() const;
    QString error() const { return m_error; }

    // Host, user, password and port of this server on the client.
    void configurar(ClienteFtp& cliente) const;
    // The branch's image-server settings, as loaded at start-up, pointed at this server and the
    // given directory.
    void configurar(DatosServidorImagenes& config, const QString& ruta) const;

private:
    bool arrancar();
    bool esperarSaludo();

    Tipo m_tipo;
    QTemporaryDir m_carpeta;
    QProcess m_proceso;
    qint16 m_puerto = 0;
    QString m_error;
};
