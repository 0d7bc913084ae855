#pragma once

#include <QString>

class CopiaUnica;
struct Entorno;
struct Global;

namespace Programa {
// Makes the per-user working folder the process's working directory (the document types'
// working files live there) and returns it. Throws ErrorSistema when it cannot be made.
QString prepararCarpetaTrabajo();

// The command line as one text: everything after the program's name.
QString lineaComandos(const QStringList& argumentos);

// Builds the main window with its features, runs its load sequence and the event loop; a later
// copy's call to `copia` brings the window forward. Returns the process's exit code: non-zero
// when the program could not start.
int ejecutar(Global& global, Entorno& entorno, const QString& lineaComandos,
             CopiaUnica* copia = nullptr);
} // namespace Programa
