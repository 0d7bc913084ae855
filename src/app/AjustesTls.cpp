#include "app/AjustesTls.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace {

using Politica = ClienteFtp::PoliticaTls;

const QString kArchivoLlaves = QStringLiteral("llaves-servidores-imagenes");

std::unique_ptr<QSettings> ajustes(const QString& archivo)
{
    if (archivo.isEmpty())
        return std::make_unique<QSettings>();
    return std::make_unique<QSettings>(archivo, QSettings::IniFormat);
}

} // namespace

namespace AjustesTls {

QString clave()
{
    return QStringLiteral("servidor-imagenes/tls");
}

QStringList nombres()
{
    return {nombre(Politica::Nunca), nombre(Politica::SiSeOfrece), nombre(Politica::Obligatorio)};
}

QString nombre(Politica politica)
{
    switch (politica) {
    case Politica::Nunca:
        return QStringLiteral("nunca");
    case Politica::Obligatorio:
        return QStringLiteral("obligatorio");
    case Politica::SiSeOfrece:
        break;
    }
    return QStringLiteral("si-se-ofrece");
}

std::optional<Politica> desdeNombre(const QString& texto)
{
    for (const Politica politica : {Politica::Nunca, Politica::SiSeOfrece, Politica::Obligatorio}) {
        if (texto.trimmed().compare(nombre(politica), Qt::CaseInsensitive) == 0)
            return politica;
    }
    return std::nullopt;
}

std::optional<Politica> leer(const QString& archivoAjustes, QString& valor)
{
    valor = ajustes(archivoAjustes)->value(clave()).toString();
    if (valor.trimmed().isEmpty())
        return Politica::SiSeOfrece;
    return desdeNombre(valor);
}

bool escribir(const QString& archivoAjustes, Politica politica)
{
    QDir().mkpath(QFileInfo(archivoAjustes).absolutePath());
    const auto archivo = ajustes(archivoAjustes);
    archivo->setValue(clave(), nombre(politica));
    archivo->sync();
    return archivo->status() == QSettings::NoError;
}

QString archivoLlaves(const QString& archivoAjustes)
{
    const QString propio = archivoAjustes.isEmpty() ? QSettings().fileName() : archivoAjustes;
    return QFileInfo(propio).absoluteDir().filePath(kArchivoLlaves);
}

QString archivoEnCarpeta(const QString& carpeta)
{
    // The name QSettings gives the program's own file (organization and application
    // "expedientes"), so the program reads what the tool writes there.
    return QDir(carpeta).filePath(QStringLiteral("expedientes.conf"));
}

QString archivoLlavesEnCarpeta(const QString& carpeta)
{
    return QDir(carpeta).filePath(kArchivoLlaves);
}

} // namespace AjustesTls
