#pragma once

#include "components/escaner/SesionRecuperable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The session folders of the recovery spool ("sesion-<yyyyMMdd-HHmmss>-<pid>" under one base
// folder) and which of them belong to a run that is gone. Each page is a file "NNNNNN.tif";
// other files beside them (the window's record of whose pages they are) are not pages.
class CarpetaRecuperacion
{
public:
    // Sessions of runs that are gone and still hold pages, oldest first. Folders of gone runs
    // holding no page are removed on the way; `propia` (this run's folder) and the
    // folders of runs still alive are left alone.
    static QList<SesionRecuperable> listar(const QString& base, const QString& propia);
    // True when `carpeta` is a session folder right under `base` whose run is gone.
    static bool esRecuperable(const QString& base, const QString& carpeta, const QString& propia);
    // Page files of a session folder, in the order they were scanned (full paths).
    static QStringList paginas(const QString& carpeta);
    // Whether the process `pid` is this same program and was started no later than `desde`
    // (the moment its session folder was named). A pid taken over by another program, or by a
    // later run of this one, is not the run that wrote the folder.
    static bool procesoVivo(qint64 pid, const QDateTime& desde);

private:
    struct Nombre
    {
        QDateTime fecha;
        qint64 pid = 0;
    };
    static bool leerNombre(const QString& nombre, Nombre& salida);
};
