#pragma once

#include <QObject>

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <functional>

// Runs the FTP client's libcurl requests on a worker thread while the calling thread runs a
// local event loop, so the window keeps painting. Owns the multi handle whose connection cache
// keeps the logged-in control connection between requests. Progress reaches the calling thread
// queued, once per whole percent.
class ClienteFtpEjecutor : public QObject
{
    Q_OBJECT
public:
    enum class Avance
    {
        Ninguno,
        Subida,
        Bajada
    };

    explicit ClienteFtpEjecutor(QObject* parent = nullptr);
    ~ClienteFtpEjecutor() override;

    // A transfer whose byte count stays still this long is abandoned.
    void fijarEstancamiento(std::chrono::seconds limite) { m_estancamiento = limite; }
    std::chrono::seconds estancamiento() const { return m_estancamiento; }

    CURLcode ejecutar(CURL* solicitud, Avance avance = Avance::Ninguno);
    // Whether the last ejecutar() ended because its transfer stalled.
    bool seDetuvo() const { return m_detenida; }
    // Announces 100 once the whole operation held (transfers stop at 99 on their own).
    void anunciarFin();
    // Says goodbye (QUIT) on the kept connections and forgets them.
    void cerrarConexiones();
    bool ocupado() const { return m_ocupado; }

signals:
    void avance(int porcentaje);

private:
    void enHilo(const std::function<void()>& trabajo);
    CURLcode recorrer(CURL* solicitud);
    void publicar();
    static int alProgresar(void* datos, curl_off_t totalBajada, curl_off_t bajado,
                           curl_off_t totalSubida, curl_off_t subido);

    CURLM* m_multi = nullptr;
    bool m_ocupado = false;
    bool m_detenida = false;
    std::chrono::seconds m_estancamiento{30};

    Avance m_avance = Avance::Ninguno;
    int m_porcentajeHilo = -1;         // worker side
    std::atomic<int> m_porcentaje{-1}; // handed from the worker to the calling thread
    int m_porcentajePublicado = -1;    // calling side
};
