#include "components/ftp/ClienteFtpEjecutor.h"

#include <QEventLoop>

#include <algorithm>
#include <thread>

namespace {
// libcurl's own wait can sleep a full second before opening a passive data connection; a short
// bound on each wait keeps small requests quick.
constexpr int kEsperaMaximaMs = 20;
} // namespace

ClienteFtpEjecutor::ClienteFtpEjecutor(QObject* parent) : QObject(parent) {}

ClienteFtpEjecutor::~ClienteFtpEjecutor()
{
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

CURLcode ClienteFtpEjecutor::ejecutar(CURL* solicitud, Avance avance)
{
    if (!m_multi)
        m_multi = curl_multi_init();
    if (!m_multi)
        return CURLE_OUT_OF_MEMORY;
    m_avance = avance;
    m_detenida = false;
    if (avance != Avance::Ninguno) {
        m_porcentajeHilo = -1;
        m_porcentaje = -1;
        m_porcentajePublicado = -1;
        curl_easy_setopt(solicitud, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(solicitud, CURLOPT_XFERINFOFUNCTION, &ClienteFtpEjecutor::alProgresar);
        curl_easy_setopt(solicitud, CURLOPT_XFERINFODATA, this);
    }
    CURLcode codigo = CURLE_OK;
    enHilo([this, &codigo, solicitud] { codigo = recorrer(solicitud); });
    publicar();
    return codigo;
}

CURLcode ClienteFtpEjecutor::recorrer(CURL* solicitud)
{
    using Reloj = std::chrono::steady_clock;
    if (curl_multi_add_handle(m_multi, solicitud) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode codigo = CURLE_OK;
    curl_off_t bytesAntes = -1;
    Reloj::time_point ultimoMovimiento = Reloj::now();
    int activas = 1;
    while (activas > 0) {
        if (curl_multi_perform(m_multi, &activas) != CURLM_OK) {
            codigo = CURLE_FAILED_INIT;
            break;
        }
        if (activas == 0)
            break;
        if (m_avance != Avance::Ninguno) {
            // Measured here rather than with libcurl's low-speed check, which averages over
            // several seconds and so fires well after the limit.
            curl_off_t subidos = 0;
            curl_off_t bajados = 0;
            curl_easy_getinfo(solicitud, CURLINFO_SIZE_UPLOAD_T, &subidos);
            curl_easy_getinfo(solicitud, CURLINFO_SIZE_DOWNLOAD_T, &bajados);
            const Reloj::time_point ahora = Reloj::now();
            if (subidos + bajados != bytesAntes) {
                bytesAntes = subidos + bajados;
                ultimoMovimiento = ahora;
            } else if (ahora - ultimoMovimiento >= m_estancamiento) {
                m_detenida = true;
                codigo = CURLE_OPERATION_TIMEDOUT;
                break;
            }
        }
        curl_multi_poll(m_multi, nullptr, 0, kEsperaMaximaMs, nullptr);
    }
    int pendientes = 0;
    while (CURLMsg* mensaje = curl_multi_info_read(m_multi, &pendientes)) {
        if (mensaje->msg == CURLMSG_DONE && mensaje->easy_handle == solicitud)
            codigo = mensaje->data.result;
    }
    // Removing an unfinished transfer closes its connection; the next request opens another.
    curl_multi_remove_handle(m_multi, solicitud);
    return codigo;
}

void ClienteFtpEjecutor::cerrarConexiones()
{
    if (!m_multi)
        return;
    CURLM* multi = m_multi;
    m_multi = nullptr;
    // QUIT may wait on a slow server: keep the window painting meanwhile.
    enHilo([multi] { curl_multi_cleanup(multi); });
}

void ClienteFtpEjecutor::enHilo(const std::function<void()>& trabajo)
{
    m_ocupado = true;
    QEventLoop bucle;
    std::thread hilo([&bucle, &trabajo] {
        trabajo();
        QMetaObject::invokeMethod(&bucle, "quit", Qt::QueuedConnection);
    });
    // Repaints and queued progress run; clicks wait, as they would on a blocking call.
    bucle.exec(QEventLoop::ExcludeUserInputEvents);
    hilo.join();
    m_ocupado = false;
}

int ClienteFtpEjecutor::alProgresar(void* datos, curl_off_t totalBajada, curl_off_t bajado,
                                    curl_off_t totalSubida, curl_off_t subido)
{
    auto* self = static_cast<ClienteFtpEjecutor*>(datos);
    const bool subida = self->m_avance == Avance::Subida;
    const curl_off_t total = subida ? totalSubida : totalBajada;
    const curl_off_t hecho = subida ? subido : bajado;
    if (total <= 0)
        return 0;
    const int porcentaje = static_cast<int>(std::min<curl_off_t>(99, hecho * 100 / total));
    if (porcentaje != self->m_porcentajeHilo) {
        self->m_porcentajeHilo = porcentaje;
        self->m_porcentaje = porcentaje;
        QMetaObject::invokeMethod(self, &ClienteFtpEjecutor::publicar, Qt::QueuedConnection);
    }
    return 0;
}

void ClienteFtpEjecutor::publicar()
{
    // Reads the latest value instead of carrying one, so late wake-ups never move it backwards.
    const int porcentaje = m_porcentaje;
    if (porcentaje < 0 || porcentaje == m_porcentajePublicado)
        return;
    m_porcentajePublicado = porcentaje;
    emit avance(porcentaje);
}

void ClienteFtpEjecutor::anunciarFin()
{
    m_porcentaje = 100;
    publicar();
}
