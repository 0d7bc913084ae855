#include "components/escaner/ConfigSaneDemo.h"

#include <QDir>
#include <QSaveFile>

QString ConfigSaneDemo::textoDll()
{
    return QStringLiteral("test\n");
}

QString ConfigSaneDemo::textoTest()
{
    return QStringLiteral("number_of_devices 2\n"
                          "mode Gray\n"
                          "depth 8\n"
                          "hand-scanner false\n"
                          "three-pass false\n"
                          "three-pass-order RGB\n"
                          "resolution_min 1.0\n"
                          "resolution_max 1200.0\n"
                          "resolution_quant 1.0\n"
                          "resolution 50.0\n"
                          "test-picture \"Grid\"\n"
                          "invert-endianess false\n"
                          "read-limit false\n"
                          "read-limit-size 1\n"
                          "read-delay false\n"
                          "read-delay-duration 1000\n"
                          "read-status-code \"Default\"\n"
                          "fuzzy-parameters false\n"
                          "ppl-loss 0\n"
                          "non-blocking false\n"
                          "select-fd false\n"
                          "enable-test-options false\n"
                          "geometry_min 0.0\n"
                          "geometry_max 356.0\n"
                          "geometry_quant 0.0\n"
                          "tl_x 0.0\n"
                          "tl_y 0.0\n"
                          "br_x 215.9\n"
                          "br_y 279.4\n");
}

namespace {
bool escribirArchivo(const QString& ruta, const QString& texto, QString* error)
{
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly) || archivo.write(texto.toUtf8()) < 0 ||
        !archivo.commit()) {
        if (error)
            *error = QStringLiteral("No se pudo escribir %1: %2").arg(ruta, archivo.errorString());
        return false;
    }
    return true;
}
} // namespace

bool ConfigSaneDemo::escribir(const QString& carpeta, QString* error)
{
    if (!QDir().mkpath(carpeta)) {
        if (error)
            *error = QStringLiteral("No se pudo crear la carpeta %1").arg(carpeta);
        return false;
    }
    const QDir dir(carpeta);
    return escribirArchivo(dir.filePath(QStringLiteral("dll.conf")), textoDll(), error) &&
           escribirArchivo(dir.filePath(QStringLiteral("test.conf")), textoTest(), error);
}

bool ConfigSaneDemo::activar(const QString& carpeta, QString* error)
{
    if (!escribir(carpeta, error))
        return false;
    // No trailing separator: the system folder must not be searched after ours.
    return qputenv("SANE_CONFIG_DIR", QDir(carpeta).absolutePath().toLocal8Bit());
}
