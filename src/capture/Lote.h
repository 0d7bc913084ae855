#pragma once

#include "app/DatosCliente.h"

#include <QString>
#include <QStringList>
#include <optional>

// Whose the held pages are and how far their save got. It lives in a small file beside the page
// files, so a run that ends without closing leaves both together for the next start.
struct Lote
{
    // retenida: held, not written; escrita: in the working file, not sent; enviada: on the image
    // server, its flag not set yet; registrada: flagged, the pages may go.
    enum class Estado
    {
        Retenida,
        Escrita,
        Enviada,
        Registrada
    };

    // How a lote an earlier send left on its way stands once the server has been asked.
    enum class Cierre
    {
        Registrado,   // on the server and flagged now: its pages may go
        PorEnviar,    // the server does not hold it, or could not say: its pages are sent again
        SinRegistrar, // on the server, but the flag could not be set
    };

    DatosCliente cliente; // NumeroCliente 0: pages whose customer was never recorded
    double folio = 0;     // 0 until the database gives one
    QString tipo;         // letter of the document type
    Estado estado = Estado::Retenida;
    // Recorded right before an upload: the fingerprint of the document about to be sent, and of
    // the server's document it was built on (empty when the server had none). Kept until the
    // pages go, so that a later try, or the next start, can ask the server whether that upload
    // arrived, whatever its answer said or whenever the program stopped.
    QString enviado;
    QString base;
    // The pages that upload added, as the fingerprints of their compressed data, and how many
    // pages came before them: another workstation may add pages after them meanwhile, and they
    // are still those pages in that place.
    QStringList hojas;
    int desde = 0;
    // Which lote this is, whatever folder holds it: the outbox's copy of a lote and the pages it
    // came from are known for the same.
    QString id;
    // In the outbox: since when it waits, and its last try and why that failed.
    QString espera;
    QString intento;
    QString error;

    bool tieneCliente() const { return cliente.NumeroCliente > 0; }

    static constexpr const char* kArchivo = "lote.ini";
    // The record kept in `carpeta`; nullopt when there is none or it cannot be read.
    static std::optional<Lote> leer(const QString& carpeta);
    // Replaces the record in `carpeta` for good: a power cut leaves the old record or this one.
    bool escribir(const QString& carpeta, QString* error) const;
    static bool borrar(const QString& carpeta);
    // "<bytes> <SHA-256 in hex>" of the file; empty when it cannot be read.
    static QString huella(const QString& archivo);
};
