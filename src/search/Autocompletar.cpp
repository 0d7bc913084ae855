#include "search/Autocompletar.h"

#include "search/ListaTextos.h"

#include <QLineEdit>

void AutocompletarTexto(ListaTextos& lista, QLineEdit& textBox, int columna, bool& Borrando)
{
    const QString escrito = textBox.text();
    if (escrito.isEmpty() || Borrando) {
        Borrando = false;
        return;
    }
    const int filas = lista.filas();
    for (int i = 0; i < filas; ++i) {
        const QString entrada = lista.texto(i, columna);
        if (!entrada.startsWith(escrito, Qt::CaseInsensitive))
            continue;
        const int p = textBox.cursorPosition();
        textBox.setText(entrada);
        textBox.setSelection(p, int(entrada.size()) - p);
        lista.fijarPrimeraFilaVisible(i);
        return;
    }
}
