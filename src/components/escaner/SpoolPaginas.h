#pragma once

#include "components/escaner/PaginaEscaneada.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>

// The pages held by the scanner, kept on disk in a per-user recovery folder as compressed one-page
// TIFFs, with only the few most recently shown decoded in memory. A page leaves the folder only
// when it is removed. The session's folder goes when the spool does, unless it still holds
// pages: those wait there, with whatever the window recorded beside them, for the next start.
// Pages dropped as blank on arrival wait in a subfolder, which recovery does not offer, until
// they are restored to their place or forgotten.
class SpoolPaginas
{
public:
    static constexpr const char* kCarpetaQuitadas = "quitadas";
    // Beside the session folders: pages that could not be read when their session was taken
    // over.
    static constexpr const char* kCarpetaDanadas = "hojas-danadas";

    // carpetaBase: where session folders go (…/recuperacion).
    explicit SpoolPaginas(QString carpetaBase, int paginasEnMemoria = 3);
    ~SpoolPaginas();
    SpoolPaginas(const SpoolPaginas&) = delete;
    SpoolPaginas& operator=(const SpoolPaginas&) = delete;

    // Creates the session folder when needed. False with error set when it cannot be created.
    bool preparar(QString* error);
    QString carpetaSesion() const { return carpeta_; }
    QString carpetaBase() const { return base_; }
    // A fresh file name for the next page; safe from the scanning thread.
    QString nuevaRuta();

    // A page marked enBlanco is set aside instead of held.
    void agregar(const PaginaEscaneada& pagina);
    int quitadas() const { return int(quitadas_.size()); }
    // The page set aside last goes back among the held pages where it arrived: after the page
    // that came before it, if still held, else at its position then. Its position now; −1 when
    // there is none or its file cannot be moved back (error set).
    int restaurarQuitada(QString* error);
    // The pages set aside are deleted (their document was stored or discarded).
    void olvidarQuitadas();
    int cantidad() const { return int(paginas_.size()); }
    bool contiene(int posicion) const { return posicion >= 0 && posicion < cantidad(); }
    // Metadata of a held page (no decode); the position must be held.
    const PaginaEscaneada& pagina(int posicion) const { return paginas_[posicion]; }
    // The decoded picture; null when the position is not held or the file cannot be read.
    QImage imagen(int posicion);
    bool quitar(int posicion);
    // The page turned by quarter turns clockwise, written aside and renamed over its file.
    bool girar(int posicion, int cuartos, QString* error);
    // The order of the pages is the order of their file names, which recovery reads: a move
    // renames the files from the first position it touches on.
    bool mover(int desde, int hasta);
    // The page leaves those held, its file renamed to a name that is not a page's; empty when
    // it could not be.
    QString apartar(int posicion);
    bool reponer(const QString& apartada, int posicion);
    void olvidar(const QString& apartada);
    // Takes over the pages of another session folder, in their order, after the pages
    // held: each file moves into this session (so a later crash offers it once, from here) and
    // the emptied folder goes. The session must be prepared. A file that does not read as a
    // page goes to kCarpetaDanadas, its new path added to `danadas`. When a page cannot be
    // moved, it and the ones after it stay where they are and `completa` is false. Returns the
    // pages taken.
    int absorber(const QString& carpeta, QStringList* danadas, bool* completa);

private:
    void recordar(const QString& ruta, const QImage& imagen);
    void olvidarEnMemoria(const QString& ruta);
    // Fresh names, in list order, for the pages from `desde` on.
    bool renumerar(int desde);
    // Where a page coming back at `posicion` goes: its own file name or a fresh one.
    QString entreVecinos(const QString& nombre, int posicion);
    // Moves an unreadable page of `carpeta` out of the way; its new path, empty when it stays.
    QString apartarDanada(const QString& carpeta, const QString& ruta);

    QString base_;
    QString carpeta_;
    int enMemoria_;
    std::atomic<int> siguiente_{1};
    QList<PaginaEscaneada> paginas_;      // `imagen` always null here; decoded pages live in cache_
    QList<QPair<QString, QImage>> cache_; // most recent first
    struct Quitada
    {
        PaginaEscaneada pagina;
        int posicion = 0;
        QString anterior; // file of the held page before it, empty for the first
    };
    QList<Quitada> quitadas_;
    QHash<QString, PaginaEscaneada> apartadas_;
};
