#pragma once

#include <chrono>
#include <functional>
#include <memory>

class BloqueoDocumento;
class ConexionImagenes;
struct ContextoVentana;
struct TipoDocumento;

// The image server's document is the truth about a stored document; the working file is only a
// view of it, taken when the type was picked. Before a save writes its pages, the working file
// is made the server's document as it is at that moment, so that pages another workstation
// added since, or a document it stored since, are kept and built on rather than replaced.
class DocumentoActual
{
public:
    // For the case file and type of the window (the case file must exist). Sets DocumentoExiste
    // to what the server holds. False, with the clerk told, when the server could not say.
    static bool traer(ContextoVentana& c, ConexionImagenes& conexion, const TipoDocumento& tipo);
    // Takes the document for this save (no other workstation replaces it until the lock goes)
    // and brings it as it is into the working file. When the server has one, `preguntar` is
    // asked first without the lock, as the clerk's answer may take a while, and the document is
    // taken and fetched again after a Yes. Null, with the clerk told (or No answered), when the
    // save must not go on.
    static std::unique_ptr<BloqueoDocumento> tomar(ContextoVentana& c, ConexionImagenes& conexion,
                                                   const TipoDocumento& tipo,
                                                   std::chrono::milliseconds espera,
                                                   const std::function<bool()>& preguntar);
};
