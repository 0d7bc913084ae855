#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Checks the chain of directories of an existing TIFF before a page is appended to it, and says
// where the last directory's link to the next one lies, so a failed append can be undone: the
// file cut back to its old length and that link restored.
class EstructuraTiff
{
public:
    struct Respaldo
    {
        qint64 tamano = 0;          // old length of the file
        qint64 posicionEnlace = -1; // −1: no directory yet (empty file)
        QByteArray enlace;          // the link's old bytes
        int paginas = 0;
    };

    // nullopt with error set when the file is not a sound TIFF: bad header, a directory outside
    // the file, a loop of directories, a cut file.
    static std::optional<Respaldo> examinar(const QString& archivo, QString* error);
    // Puts the file back as it was before the append. False when it could not.
    static bool restaurar(const QString& archivo, const Respaldo& respaldo);
};
