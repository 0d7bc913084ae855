// ClienteFtpCurl's login with TLS: the workstation's policy, the authorities of the system store
// and the keys recorded on first use.

#include "components/ftp/ClienteFtpCurl.h"
#include "components/ftp/LlaveCertificado.h"
#include "components/ftp/LlavesServidores.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(registroFtp)

namespace {

long nivelDe(ClienteFtp::PoliticaTls politica)
{
    switch (politica) {
    case ClienteFtp::PoliticaTls::Nunca:
        return CURLUSESSL_NONE;
    case ClienteFtp::PoliticaTls::Obligatorio:
        return CURLUSESSL_ALL;
    case ClienteFtp::PoliticaTls::SiSeOfrece:
        break;
    }
    return CURLUSESSL_TRY;
}

} // namespace

CURLcode ClienteFtpCurl::saludar()
{
    preparar(m_directorio);
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_curl, CURLOPT_CERTINFO, 1L);
    return ejecutar();
}

bool ClienteFtpCurl::iniciarSesion(const QString& accion)
{
    const PoliticaTls politica = politicaTls();
    LlavesServidores llaves(archivoLlaves());
    const QString clave = LlavesServidores::clave(m_servidorUrl, m_puertoUrl);
    const bool conLlaves = politica != PoliticaTls::Nunca && !archivoLlaves().isEmpty();
    const QString donde =
        QStringLiteral("el servidor %1, puerto %2,").arg(servidor()).arg(m_puertoUrl);
    const QString olvidar =
        QStringLiteral("«expedientes-arranque olvidar-llave --dir %1 --servidor %2 --puerto %3»")
            .arg(QDir::toNativeSeparators(QFileInfo(archivoLlaves()).absolutePath()), servidor())
            .arg(m_puertoUrl);
    m_nivelTls = nivelDe(politica);
    m_llaveFijada = conLlaves ? llaves.llave(clave) : QByteArray();
    m_sinVerificar = false;

    CURLcode codigo = CURLE_OK;
    if (!m_llaveFijada.isEmpty()) {
        // A server that showed a key once must show it again, and over TLS.
        m_nivelTls = CURLUSESSL_ALL;
        codigo = saludar();
        if (codigo == CURLE_SSL_PINNEDPUBKEYNOTMATCH) {
            const QByteArray registrada = m_llaveFijada;
            const QByteArray presentada = LlaveCertificado::huella(m_curl);
            // It may have been given a certificate the system store vouches for.
            m_llaveFijada.clear();
            if (saludar() != CURLE_OK) {
                fallar(accion + QStringLiteral(": %1 presentó una llave pública distinta de la que "
                                               "se registró en su primera conexión (%2, ahora "
                                               "%3): puede ser otro equipo que se hace pasar por "
                                               "él. Si el servidor cambió de llave a propósito, "
                                               "acepte la nueva con %4 y vuelva a conectar")
                                    .arg(donde, QString::fromLatin1(registrada),
                                         QString::fromLatin1(presentada), olvidar),
                       Falla::Seguridad);
                return false;
            }
            codigo = CURLE_OK;
        } else if (codigo == CURLE_USE_SSL_FAILED) {
            fallar(accion + QStringLiteral(": %1 ya no ofrece TLS, y en su primera conexión lo "
                                           "ofreció con la llave %2: puede ser otro equipo que se "
                                           "hace pasar por él. Si el servidor dejó TLS a "
                                           "propósito, olvide su llave con %3")
                                .arg(donde, QString::fromLatin1(m_llaveFijada), olvidar),
                   Falla::Seguridad);
            return false;
        }
    } else {
        codigo = saludar();
        if (codigo == CURLE_PEER_FAILED_VERIFICATION && conLlaves) {
            // No authority vouches for it: trusted on this first use, its key required after.
            m_sinVerificar = true;
            codigo = saludar();
            m_sinVerificar = false;
            if (codigo == CURLE_OK) {
                const QByteArray llave = LlaveCertificado::huella(m_curl);
                QString error;
                if (llave.isEmpty()) {
                    fallar(accion + QStringLiteral(": no se pudo leer la llave pública del "
                                                   "certificado del servidor"));
                    return false;
                }
                if (!llaves.registrar(clave, llave, error)) {
                    fallar(accion +
                           QStringLiteral(": no se pudo registrar la llave del servidor: ") +
                           error);
                    return false;
                }
                qCInfo(registroFtp).noquote()
                    << "Primera conexión con TLS a" << clave << "- se registró su llave" << llave
                    << "en" << llaves.archivo();
                m_llaveFijada = llave;
                m_nivelTls = CURLUSESSL_ALL;
            }
        }
    }
    if (codigo == CURLE_USE_SSL_FAILED) {
        fallar(accion + QStringLiteral(": %1 no ofrece TLS, y esta estación lo exige (política "
                                       "obligatorio)")
                            .arg(donde),
               Falla::Seguridad);
        return false;
    }
    if (codigo != CURLE_OK) {
        fallarCurl(accion, codigo);
        return false;
    }
    if (politica == PoliticaTls::SiSeOfrece && !LlaveCertificado::huboTls(m_curl))
        qCWarning(registroFtp).noquote()
            << QStringLiteral("El servidor de imágenes %1, puerto %2, no ofrece TLS: la "
                              "contraseña y los documentos viajan en claro")
                   .arg(servidor())
                   .arg(m_puertoUrl);
    return true;
}
