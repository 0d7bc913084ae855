#pragma once

#include "app/DatosCliente.h"

#include <QString>
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

    DatosCliente cliente; // NumeroCliente 0: pages whose customer was never recorded
    double folio = 0;     // 0 until the database gives one
    QString tipo;         // letter of the document type
    Estado estado = Estado::Retenida;

    bool tieneCliente() const { return cliente.NumeroCliente > 0; }

    static constexpr const char* kArchivo = "lote.ini";
    // The record kept in `carpeta`; nullopt when there is none or it cannot be read.
    static std::optional<Lote> leer(const QString& carpeta);
    // Replaces the record in `carpeta` for good: a power cut leaves the old record or this one.
    bool escribir(const QString& carpeta, QString* error) const;
    static bool borrar(const QString& carpeta);
};
