#pragma once

#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>

class ConfigSanePrueba;

// Recovery folders as a run that died while holding pages leaves them: real pages spooled by
// EscanerSane from the SANE test backend, under a session name of a process that is gone.
class HojasAbandonadas
{
public:
    struct Hoja
    {
        QSize tamano;
        int bits = 0;
    };
    // The three pages every session written here holds, in scanning order: black and white,
    // colour and grey, each at its own resolution so that their order shows in their sizes.
    // Filled by preparar.
    static QList<Hoja> hojas();

    // Scans the three pages once into a spool of its own and keeps a copy of them; empty when the
    // scanner could not produce them. The SANE test configuration must be active.
    static bool preparar(ConfigSanePrueba& sane);
    // A session folder under `base` named for `pid` and `fecha` holding copies of the three pages
    // (numbered from `primera`); its path, or empty on failure.
    static QString dejar(const QString& base, qint64 pid,
                         const QDateTime& fecha = QDateTime::currentDateTime().addSecs(-60),
                         int primera = 1);
    // The pid of a process that has just ended.
    static qint64 pidTerminado();
    static QString nombreSesion(qint64 pid, const QDateTime& fecha);
};
