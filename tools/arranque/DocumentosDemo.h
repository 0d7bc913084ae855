#pragma once

#include <QString>

class ConexionBaseDatos;

namespace DocumentosDemo {
// Puts on the demo image server (the folder it serves) one small TIFF for every document the
// demo database flags as stored, named folio + letter + ".tif" in the centre's directory, so
// picking a stored type in the demo fetches a real document. Earlier demo documents are removed
// first. Throws ErrorSistema when a file cannot be written.
void escribir(ConexionBaseDatos& ConexionBD, const QString& carpetaImagenes);
} // namespace DocumentosDemo
