#pragma once

#include <QString>

// Hidden names under which uploads travel before they are renamed over their target, and which
// of them a broken upload of this workstation left on the server. A name carries the
// workstation (its host name) and the process, so that a workstation only ever removes its own
// leftovers: never another workstation's upload in progress, nor one of this process's.
class TemporalesFtp
{
public:
    // ".<archivo>.<puesto>.<proceso>.<azar>.<sufijo>", unique per call.
    static QString nombre(const QString& archivo, const char* sufijo);
    // An upload's temporary name of this workstation whose upload is over: its process has
    // ended, or it is this process and no upload of its own runs under that name.
    static bool abandonado(const QString& nombre);

    // Marks a temporary name as an upload of this process in progress, while it lives.
    class EnCurso
    {
    public:
        explicit EnCurso(const QString& nombre);
        ~EnCurso();
        EnCurso(const EnCurso&) = delete;
        EnCurso& operator=(const EnCurso&) = delete;

    private:
        QString nombre_;
    };
};
