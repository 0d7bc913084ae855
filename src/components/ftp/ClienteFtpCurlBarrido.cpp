// The sweep of this workstation's leftover upload files, a part of ClienteFtpCurl.

#include "components/ftp/ClienteFtpCurl.h"
#include "components/ftp/TemporalesFtp.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(registroFtp)

namespace {

size_t juntar(char* origen, size_t tamano, size_t cuantos, void* destino)
{
    static_cast<QByteArray*>(destino)->append(origen, static_cast<qsizetype>(tamano * cuantos));
    return tamano * cuantos;
}

} // namespace

QString ClienteFtpCurl::lugar(const Directorio& directorio) const
{
    return QString::fromUtf8(m_usuarioUtf8 + '@' +
                             ClienteFtpRuta::url(m_servidorUrl, m_puertoUrl, directorio));
}

void ClienteFtpCurl::barrer(const Directorio& directorio)
{
    const QString donde = lugar(directorio);
    if (m_barridos.contains(donde))
        return;
    // NLST: names only, the same on every server.
    QByteArray listado;
    preparar(directorio);
    curl_easy_setopt(m_curl, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, juntar);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &listado);
    if (const CURLcode codigo = ejecutar(); codigo != CURLE_OK) {
        // Housekeeping only: the connection is good, the next one tries again.
        qCWarning(registroFtp) << "No se pudo listar" << ClienteFtpRuta::texto(directorio)
                               << "para quitar subidas rotas:" << curl_easy_strerror(codigo);
        return;
    }
    bool completo = true;
    for (QByteArray linea : listado.split('\n')) {
        linea = linea.trimmed();
        const QString nombre = QString::fromUtf8(linea.mid(linea.lastIndexOf('/') + 1));
        if (!TemporalesFtp::abandonado(nombre))
            continue;
        if (borrar(directorio, nombre) == CURLE_OK) {
            qCInfo(registroFtp) << "Se quitó la subida rota" << nombre;
        } else {
            qCWarning(registroFtp) << "No se pudo quitar la subida rota" << nombre;
            completo = false;
        }
    }
    if (completo)
        m_barridos.insert(donde);
}

void ClienteFtpCurl::quitarTemporal(const Directorio& directorio, const QString& temporal)
{
    // Left on the server (the connection is usually what failed): the next connection that
    // reaches this directory removes it.
    if (borrar(directorio, temporal) != CURLE_OK)
        m_barridos.remove(lugar(directorio));
}
