#pragma once

#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>

class ConfigSanePrueba;

// Recovery folders as a run that died holding pages leaves them: real pages spooled by
// EscanerSane from the SANE test backend, under the session name of a process that is gone.
class HojasAbandonadas
{
public:
    struct Hoja
    {
        QSize tamano;
        int bits = 0;
    };
    // Scans three pages once (black and white, colour, grey, each at its own resolution so that
    // their order shows in their sizes) and keeps copies. The SANE test setup must be active.
    static bool preparar(ConfigSanePrueba& sane);
    static QList<Hoja> hojas();
    // A session folder under `base` for `pid` and `fecha` holding the three pages numbered from
    // `primera`; its path, or empty on failure.
    static QString dejar(const QString& base, qint64 pid,
                         const QDateTime& fecha = QDateTime::currentDateTime().addSecs(-60),
                         int primera = 1);
    // The pid of a process that has just ended.
    static qint64 pidTerminado();
};
