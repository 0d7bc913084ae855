#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class ClienteFtp;
struct DatosServidorImagenes;

// A real FTP server (pyftpdlib under Debian's python3) on 127.0.0.1, serving a fresh temporary
// folder. It can be killed and started again on the same port and folder, and stops when the
// object goes. Its port lies above 32767, so every test also runs on a port a 16-bit signed number
// cannot hold.
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
        // Offers explicit TLS (AUTH TLS) with a self-signed certificate made at its first
        // start and kept by reiniciar(); AUTH commands are written to registro().
        Tls,
    };

    explicit ServidorFtpPrueba(Tipo tipo = Tipo::Normal);
    ~ServidorFtpPrueba();
    ServidorFtpPrueba(const ServidorFtpPrueba&) = delete;
    ServidorFtpPrueba& operator=(const ServidorFtpPrueba&) = delete;

    // Starts on a free port; true once it greets connections. See error() otherwise.
    bool iniciar();
    // Starts again on the same port and folder (after matar()).
    bool reiniciar();
    // The next start makes a new key and certificate (Tls).
    void cambiarLlave();
    // Drops a session idle this long with "421", as vsftpd does; from the next start.
    void fijarInactividad(double segundos) { m_inactividad = segundos; }
    // What the server wrote: its log, and for Tls every AUTH it received.
    QString registro() const;
    // SIGKILL: no goodbye to the clients, as when the machine or the service dies.
    void matar();
    // SIGSTOP / SIGCONT: the server keeps its sockets open but stops answering.
    void pausar();
    void reanudar();

    bool activo() const;
    int puerto() const { return m_puerto; }
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
    int m_puerto = 0;
    double m_inactividad = 0;
    QString m_error;
};
