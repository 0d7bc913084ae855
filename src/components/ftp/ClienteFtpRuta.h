#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Remote locations of the FTP client: a directory (absolute, or relative to the login directory)
// and a file name, turned into libcurl URLs whose segments are percent-encoded UTF-8.
namespace ClienteFtpRuta {

struct Directorio
{
    bool absoluto = false;
    QStringList segmentos;
};

// Empty when the name can travel in an FTP command; else why not, in Spanish. Line breaks and
// NUL would end the command early and let the rest through as another command.
QString errorDeNombre(const QString& nombre);

// The directory reached by changing from `actual` to `cambio` ('/' first: absolute).
Directorio aplicar(const Directorio& actual, const QString& cambio);

// Splits a remote name that may carry folders of its own into its directory (relative to
// `actual`) and its last segment. False when there is no file name.
bool separar(const Directorio& actual, const QString& remoto, Directorio& directorio,
             QString& archivo);

// Empty when the host cannot be put in a URL.
QByteArray parteServidor(const QString& servidor);

// ftp://host:port/dir/segments/archivo, or the directory itself (ending in '/') when archivo is
// empty.
QByteArray url(const QByteArray& servidor, int puerto, const Directorio& directorio,
               const QString& archivo = {});

QString texto(const Directorio& directorio);

} // namespace ClienteFtpRuta
