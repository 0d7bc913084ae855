#pragma once

#include <QByteArray>
#include <curl/curl.h>

// What the last TLS handshake of a libcurl request showed of the server, read from
// CURLINFO_CERTINFO (the request must have set CURLOPT_CERTINFO).
namespace LlaveCertificado {

// Whether the request's connection was made with TLS: a handshake always reports the
// server's certificate.
bool huboTls(CURL* solicitud);

// SHA-256 of the server certificate's SubjectPublicKeyInfo in CURLOPT_PINNEDPUBLICKEY's form
// ("sha256//<base64>"); empty when there was no handshake or the certificate cannot be read.
QByteArray huella(CURL* solicitud);

} // namespace LlaveCertificado
