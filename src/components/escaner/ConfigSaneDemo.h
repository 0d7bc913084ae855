#pragma once

#include <QString>

// Configuration of SANE's "test" backend as a letter-size scanner with a feeder, for the demo
// and the tests. The system configuration probes the network for scanners, which takes seconds,
// so both point SANE_CONFIG_DIR at a private folder holding only this.
class ConfigSaneDemo
{
public:
    // dll.conf: only the test backend.
    static QString textoDll();
    // test.conf: the backend's defaults with the area raised to US letter; without geometry_max
    // the backend clamps every area to 200 mm.
    static QString textoTest();
    // Writes both files into carpeta (created when missing). False with error set on failure.
    static bool escribir(const QString& carpeta, QString* error = nullptr);
    // Writes the files and sets SANE_CONFIG_DIR; call before the first sane_init.
    static bool activar(const QString& carpeta, QString* error = nullptr);
};
