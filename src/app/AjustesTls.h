#pragma once

#include "components/ftp/ClienteFtp.h"

#include <QString>
#include <QStringList>
#include <optional>

// This workstation's TLS settings for the image server. The policy sits in the settings file of
// the window's geometry (archivoAjustes, or the user's expedientes.conf, which falls back to
// the system's); the keys recorded on first use sit in a file beside it.
namespace AjustesTls {

// The key in the settings file.
QString clave();
// nunca, si-se-ofrece, obligatorio: how the settings and expedientes-arranque write them.
QStringList nombres();
QString nombre(ClienteFtp::PoliticaTls politica);
std::optional<ClienteFtp::PoliticaTls> desdeNombre(const QString& nombre);

// si-se-ofrece when nothing is set; nullopt when the value is none of nombres(), which it
// leaves in `valor` for the report.
std::optional<ClienteFtp::PoliticaTls> leer(const QString& archivoAjustes, QString& valor);
// False when the file cannot be written.
bool escribir(const QString& archivoAjustes, ClienteFtp::PoliticaTls politica);

// The file of the recorded keys of the image servers.
QString archivoLlaves(const QString& archivoAjustes);
// The file name of the settings inside a folder, as expedientes-arranque takes it.
QString archivoEnCarpeta(const QString& carpeta);
QString archivoLlavesEnCarpeta(const QString& carpeta);

} // namespace AjustesTls
