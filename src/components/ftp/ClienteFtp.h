#pragma once

#include <QObject>
#include <QString>

// The image-server client the transfer routines talk to. Every result is an int where exactly 1
// means success; any other value is a failure whose text UltimoError() keeps for the log.
// Failures never throw. Calls are made from the UI thread; a transfer keeps the event loop
// running so the window repaints, and a call made meanwhile is refused (see ocupado()).
class ClienteFtp : public QObject
{
    Q_OBJECT
public:
    explicit ClienteFtp(QObject* parent = nullptr);
    ~ClienteFtp() override;

    // Whether the session goes over TLS (explicit FTPS, AUTH TLS).
    enum class PoliticaTls
    {
        // Plain FTP; AUTH is never sent.
        Nunca,
        // TLS when the server offers it, plain otherwise.
        SiSeOfrece,
        // A server without TLS is refused.
        Obligatorio,
    };
    Q_ENUM(PoliticaTls)

    // Read by the next Conectar().
    virtual void FijarServidor(const QString& servidor);
    virtual void FijarUsuario(const QString& usuario);
    virtual void FijarContrasena(const QString& contrasena);
    virtual void FijarPuerto(int puerto);
    virtual void FijarPoliticaTls(PoliticaTls politica);
    // The keys of servers whose certificate no authority of the system vouches for, recorded
    // on their first connection. Empty: such a server is refused.
    virtual void FijarArchivoLlaves(const QString& archivo);

    QString servidor() const { return m_servidor; }
    QString usuario() const { return m_usuario; }
    QString contrasena() const { return m_contrasena; }
    int puerto() const { return m_puerto; }
    PoliticaTls politicaTls() const { return m_politicaTls; }
    QString archivoLlaves() const { return m_archivoLlaves; }

    // 1 once connected and logged in; the control connection is kept for the calls that follow.
    virtual int Conectar() = 0;
    // Later remote names are relative to this directory.
    virtual int CambiarDirectorioRemoto(const QString& directorio) = 0;
    // 1 only when the remote file holds a complete copy; a stored file of that name is replaced,
    // and left untouched when the upload fails.
    virtual int EnviarArchivo(const QString& local, const QString& remoto) = 0;
    // 1 only when the local file holds a complete copy; on failure no local file is left behind.
    virtual int RecibirArchivo(const QString& remoto, const QString& local) = 0;
    // 1 when the remote file is gone.
    virtual int BorrarArchivoRemoto(const QString& remoto) = 0;
    virtual int Desconectar() = 0;

    // Where the last failure lay, so the window blames the right party.
    enum class Falla
    {
        Ninguna,
        // The server or the way to it: refused, not logged in.
        Servidor,
        // The server answered that the remote file is not there.
        NoExiste,
        // This workstation's file or folder: cannot be read, created or written, disk full.
        Local,
        // The connection broke after the transfer had started moving data.
        Interrumpida,
        // Refused by this workstation's TLS policy: the server showed another key than the one
        // recorded, or has no TLS where it is required. The text says what to do.
        Seguridad,
    };
    Q_ENUM(Falla)

    // Text of the last failure (empty after a success), for the log and the status label.
    virtual QString UltimoError() const = 0;
    // A client that cannot tell places every failure on the server.
    virtual Falla UltimaFalla() const
    {
        return UltimoError().isEmpty() ? Falla::Ninguna : Falla::Servidor;
    }
    // For a local failure, the system's errno (0 when unknown).
    virtual int ErrorLocal() const { return 0; }
    // True while a transfer runs; other calls made meanwhile fail.
    virtual bool ocupado() const = 0;

signals:
    // Percentage (0..100) of the running transfer, on the caller's thread.
    void AvanceTransferencia(int porcentaje);

private:
    QString m_servidor;
    QString m_usuario;
    QString m_contrasena;
    int m_puerto = 21;
    PoliticaTls m_politicaTls = PoliticaTls::SiSeOfrece;
    QString m_archivoLlaves;
};
