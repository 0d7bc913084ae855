#pragma once

#include "capture/Lote.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The outbox: documents whose save could not reach the image server, or whose flag the database
// refused after the upload, kept for good until they are stored and flagged. Each is a folder of
// its own with its lote and its pages, one file each in their order; the folder's name begins
// with the moment it was put in, so the outbox is sent oldest first and two lotes of one document
// go in the order they were saved.
class BandejaSalida
{
public:
    // One waiting lote.
    struct Espera
    {
        QString carpeta;
        Lote lote;
        QStringList hojas; // its page files, in order
    };

    explicit BandejaSalida(const QString& carpeta) : carpeta_(carpeta) {}
    QString carpeta() const { return carpeta_; }

    // Puts the lote in with `hojas` pages; `escribirHoja(posicion, archivo)` writes page
    // `posicion` into a new file and says why not. Nothing is in the outbox until every page and
    // the lote are on disk for good: a lote put in halfway leaves nothing behind. The lote's
    // folder; empty, with the reason, when it could not be put in.
    QString poner(Lote lote, int hojas,
                  const std::function<bool(int posicion, const QString& archivo, QString* error)>&
                      escribirHoja,
                  QString* error);
    // What waits, oldest first.
    QList<Espera> esperas() const;
    // How many wait, without reading them.
    int cuantas() const;
    // At start, before the sender runs: what a run that stopped half-way through putting a lote
    // in or taking one out left behind goes.
    void limpiar() const;
    // The lote and its pages leave the outbox: stored and flagged, or, `paraSiempre`, discarded
    // (a power cut does not bring it back).
    static bool quitar(const QString& carpetaLote, bool paraSiempre);
    // Records the lote of an outbox folder for good.
    static bool registrar(const QString& carpetaLote, const Lote& lote);
    // Where the document of an outbox lote is built when it is sent.
    static QString documento(const QString& carpetaLote);

private:
    QString carpeta_;
};
