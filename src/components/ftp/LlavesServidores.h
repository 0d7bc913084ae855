#pragma once

#include <QByteArray>
#include <QString>

// The public keys of image servers whose certificate no authority of the system store vouches
// for, recorded on the first TLS connection to each (trust on first use). One line per server,
// "host:puerto sha256//<base64>", the pin form libcurl takes; the file is replaced whole on
// every change, so a crash never leaves half a line.
class LlavesServidores
{
public:
    explicit LlavesServidores(QString archivo);

    // The key's name for a host as the client puts it in its URLs (ClienteFtpRuta::parteServidor).
    static QString clave(const QByteArray& servidorUrl, int puerto);

    QString archivo() const { return m_archivo; }
    // The recorded pin, empty when there is none (or the file cannot be read).
    QByteArray llave(const QString& clave) const;
    // False with the reason in error (Spanish) when the file cannot be written.
    bool registrar(const QString& clave, const QByteArray& llave, QString& error);
    // False with the reason in error; habia says whether there was a key to forget.
    bool olvidar(const QString& clave, bool& habia, QString& error);

private:
    struct Linea
    {
        QString clave;
        QByteArray llave;
    };
    QList<Linea> leer() const;
    bool escribir(const QList<Linea>& lineas, QString& error) const;

    QString m_archivo;
};
