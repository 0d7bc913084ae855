#pragma once

#include "components/ClienteFtp.h"
#include "components/ClienteFtpRuta.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <functional>

// The image-server client on libcurl. One easy handle lives from Conectar() to Desconectar(), so
// libcurl keeps the logged-in control connection for the calls in between (and logs in again
// by itself when the server dropped it). Each transfer runs on a worker thread while the
// calling thread runs a local event loop: the window repaints and progress arrives there.
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
    bool ocupado() const override { return m_ocupado; }

private:
    enum class Avance
    {
        Ninguno,
        Subida,
        Bajada
    };
    using Directorio = ClienteFtpRuta::Directorio;

    bool listo(const QString& accion);
    bool resolver(const QString& remoto, Directorio& directorio, QString& archivo,
                  const QString& accion);
    void preparar(const Directorio& directorio, const QString& archivo = {});
    CURLcode ejecutar(Avance avance = Avance::Ninguno);
    void enHilo(const std::function<void()>& trabajo);
    CURLcode comandos(const Directorio& directorio, const QList<QByteArray>& lista);
    CURLcode renombrar(const Directorio& directorio, const QString& de, const QString& a);
    CURLcode borrar(const Directorio& directorio, const QString& archivo);
    CURLcode tamano(const Directorio& directorio, const QString& archivo, qint64& bytes);
    bool colocar(const Directorio& directorio, const QString& temporal, const QString& archivo,
                 const QString& accion);
    void cerrar();

    int fallar(const QString& texto);
    int fallarCurl(const QString& accion, CURLcode codigo);
    int exito(bool transferencia = false);

    void publicarAvance();
    static int alProgresar(void* datos, curl_off_t totalBajada, curl_off_t bajado,
                           curl_off_t totalSubida, curl_off_t subido);

    CURL* m_curl = nullptr;
    QByteArray m_servidorUrl;
    int m_puertoUrl = 21;
    bool m_conectado = false;
    Directorio m_directorio;
    // A failed directory change must not send later files to the directory before it.
    QString m_directorioFallido;
    QString m_ultimoError;
    bool m_ocupado = false;
    long m_segundosConexion = 15;
    long m_segundosEstancado = 30;
    char m_bufferError[CURL_ERROR_SIZE] = {};

    Avance m_avance = Avance::Ninguno;
    int m_porcentajeHilo = -1;         // worker side
    std::atomic<int> m_porcentaje{-1}; // handed from the worker to the calling thread
    int m_porcentajePublicado = -1;    // calling side
};
