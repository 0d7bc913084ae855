#pragma once

class ListaTextos;
class QLineEdit;

// Completes the text of the box with the first entry of the list (in list order) that begins
// with it, ignoring letter case; the completed remainder is left selected so the next
// keystroke replaces it. Does nothing, and clears Borrando, when the box is empty or when
// Borrando says the change came from a deleting key. Runs on every change of the text; the
// caller keeps it from running again for the change it makes itself.
void AutocompletarTexto(ListaTextos& lista, QLineEdit& textBox, int columna, bool& Borrando);
