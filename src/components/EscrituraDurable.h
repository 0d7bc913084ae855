#pragma once

#include <QString>
#include <functional>

// Writes that a power cut cannot take back once they have returned: a file is written aside,
// synced, renamed into place and its folder synced; a rename or a removal is followed by a sync
// of the folders it touched. What these files hold (customers' identifications, signed forms)
// is nobody else's: folders are made 0700 and files 0600, whatever the umask.
// Every call may block on the disk for milliseconds: run them where the work already is.
class EscrituraDurable
{
public:
    // Fills the file at the path it is given and returns false, with the reason, when it could
    // not; the file exists already (empty, 0600) when it is called.
    using Escritor = std::function<bool(const QString& ruta, QString* error)>;

    // `destino` holds what `escribir` wrote, for good, or is left as it was (false, error set).
    static bool escribir(const QString& destino, const Escritor& escribir, QString* error);
    static bool escribir(const QString& destino, const QByteArray& datos, QString* error);
    // The missing folders of `carpeta`, each 0700 and recorded in its parent; `carpeta` itself
    // 0700 also when it was there already. True when it is there.
    static bool crearCarpeta(const QString& carpeta, QString* error = nullptr);
    // With sincronizar false the caller syncs the folders once after a run of renames.
    static bool renombrar(const QString& origen, const QString& destino, QString* error = nullptr,
                          bool sincronizar = true);
    // The file is gone for good; true also when it was not there.
    static bool quitar(const QString& ruta);
    // The folder's entries (names created, renamed or removed in it) reach the disk.
    static bool sincronizarCarpeta(const QString& carpeta);
    // An open file's contents reach the disk.
    static bool sincronizarArchivo(int descriptor);

private:
    static QString motivo(int codigo);
};
