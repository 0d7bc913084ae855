#pragma once

#include "components/ftp/ClienteFtp.h"
#include "components/ftp/ClienteFtpEjecutor.h"
#include "components/ftp/ClienteFtpRuta.h"

#include <QIODevice>
#include <QSet>
#include <curl/curl.h>

#include <chrono>

// The image-server client on libcurl. One easy handle lives from Conectar() to Desconectar() and
// libcurl keeps the logged-in control connection for the calls in between; a request that finds
// it dropped by the server runs once more on a new one. Requests run through ClienteFtpEjecutor,
// off the calling thread, which keeps its event loop turning and receives the progress.
//
// TLS follows politicaTls(). A certificate the system store vouches for is accepted; any other
// is taken on trust at the server's first TLS connection, whose key is recorded in
// archivoLlaves(), and from then on that key is required.
class ClienteFtpCurl : public ClienteFtp
{
    Q_OBJECT
public:
    explicit ClienteFtpCurl(QObject* parent = nullptr);
    ~ClienteFtpCurl() override;

    // 15 s to connect and 30 s without progress by default; tests shorten them.
    void FijarLimitesTiempo(std::chrono::seconds conexion, std::chrono::seconds estancado);

    int Conectar() override;
    int CambiarDirectorioRemoto(const QString& directorio) override;
    int EnviarArchivo(const QString& local, const QString& remoto) override;
    int RecibirArchivo(const QString& remoto, const QString& local) override;
    int BorrarArchivoRemoto(const QString& remoto) override;
    int Desconectar() override;

    QString UltimoError() const override { return m_ultimoError; }
    Falla UltimaFalla() const override { return m_falla; }
    int ErrorLocal() const override { return m_errorLocal; }
    bool ocupado() const override { return m_ejecutor.ocupado(); }

private:
    using Avance = ClienteFtpEjecutor::Avance;
    using Directorio = ClienteFtpRuta::Directorio;

    bool listo(const QString& accion);
    bool resolver(const QString& remoto, Directorio& directorio, QString& archivo,
                  const QString& accion);
    void preparar(const Directorio& directorio, const QString& archivo = {});
    // A request on a connection the server had dropped while idle (vsftpd's "421 Timeout.")
    // runs again on a new one, unless it had moved data or read from `origen`.
    CURLcode ejecutar(Avance avance = Avance::Ninguno, const QIODevice* origen = nullptr);
    bool sesionCaida(CURLcode codigo) const;
    // Logs in, with TLS as the policy and the recorded keys ask (ClienteFtpCurlTls.cpp).
    bool iniciarSesion(const QString& accion);
    CURLcode saludar();
    CURLcode comandos(const Directorio& directorio, const QList<QByteArray>& lista);
    CURLcode renombrar(const Directorio& directorio, const QString& de, const QString& a);
    CURLcode borrar(const Directorio& directorio, const QString& archivo);
    CURLcode tamano(const Directorio& directorio, const QString& archivo, qint64& bytes);
    // Removes what broken uploads of this workstation left in the directory; once per place
    // and client, and again after an upload whose temporary file could not be removed.
    void barrer(const Directorio& directorio);
    void quitarTemporal(const Directorio& directorio, const QString& temporal);
    QString lugar(const Directorio& directorio) const;
    bool colocar(const Directorio& directorio, const QString& temporal, const QString& archivo,
                 const QString& accion);
    void cerrar();

    int fallar(const QString& texto, Falla falla = Falla::Servidor);
    int fallarLocal(const QString& texto, int codigo, const QString& alternativa);
    // After a failed transfer step: cut mid-way when data had already moved.
    void siSeInterrumpio(qint64 bytesMovidos);
    int fallarCurl(const QString& accion, CURLcode codigo);
    int exito(bool transferencia = false);

    ClienteFtpEjecutor m_ejecutor;
    CURL* m_curl = nullptr;
    QByteArray m_servidorUrl;
    int m_puertoUrl = 21;
    QByteArray m_usuarioUtf8;
    QByteArray m_contrasenaUtf8;
    // The session's TLS, stated by every request alike so libcurl reuses its connection.
    long m_nivelTls = CURLUSESSL_TRY;
    QByteArray m_llaveFijada;
    // Only for the handshake that records a server's key on first use.
    bool m_sinVerificar = false;
    bool m_conectado = false;
    Directorio m_directorio;
    // A failed directory change must not send later files to the directory before it.
    QString m_directorioFallido;
    QString m_ultimoError;
    Falla m_falla = Falla::Ninguna;
    int m_errorLocal = 0;
    QSet<QString> m_barridos;
    long m_segundosConexion = 15;
    long m_segundosEstancado = 30;
    char m_bufferError[CURL_ERROR_SIZE] = {};
};
