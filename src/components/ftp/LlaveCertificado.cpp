#include "components/ftp/LlaveCertificado.h"

#include <QCryptographicHash>

#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstring>
#include <memory>

namespace {

// The first certificate is the server's own; the rest is its chain.
const curl_slist* certificadoDelServidor(CURL* solicitud)
{
    curl_certinfo* info = nullptr;
    if (curl_easy_getinfo(solicitud, CURLINFO_CERTINFO, &info) != CURLE_OK || !info ||
        info->num_of_certs < 1)
        return nullptr;
    return info->certinfo[0];
}

} // namespace

namespace LlaveCertificado {

bool huboTls(CURL* solicitud)
{
    return certificadoDelServidor(solicitud) != nullptr;
}

QByteArray huella(CURL* solicitud)
{
    // libcurl lists the certificate's fields as "Name:value"; "Cert:" holds it whole, in PEM.
    const char* pem = nullptr;
    for (const curl_slist* campo = certificadoDelServidor(solicitud); campo; campo = campo->next) {
        if (std::strncmp(campo->data, "Cert:", 5) == 0)
            pem = campo->data + 5;
    }
    if (!pem)
        return {};
    const std::unique_ptr<BIO, decltype(&BIO_free)> entrada(BIO_new_mem_buf(pem, -1), BIO_free);
    if (!entrada)
        return {};
    const std::unique_ptr<X509, decltype(&X509_free)> certificado(
        PEM_read_bio_X509(entrada.get(), nullptr, nullptr, nullptr), X509_free);
    if (!certificado)
        return {};
    unsigned char* der = nullptr;
    const int bytes = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificado.get()), &der);
    if (bytes <= 0)
        return {};
    const QByteArray resumen =
        QCryptographicHash::hash(QByteArrayView(der, bytes), QCryptographicHash::Sha256);
    OPENSSL_free(der);
    return "sha256//" + resumen.toBase64();
}

} // namespace LlaveCertificado
