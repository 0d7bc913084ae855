#pragma once

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
};
