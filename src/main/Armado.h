#pragma once

class FrmEscaneo;

namespace Armado {
// Attaches every feature to the main window: its handlers and its steps of the load sequence.
void armar(FrmEscaneo& ventana);
} // namespace Armado
