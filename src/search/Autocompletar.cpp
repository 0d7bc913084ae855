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
    const int i = lista.primeraQueEmpiezaCon(escrito, columna);
    if (i < 0)
        return;
    const QString entrada = lista.texto(i, columna);
    const int p = textBox.cursorPosition();
    textBox.setText(entrada);
    textBox.setSelection(p, int(entrada.size()) - p);
    lista.fijarPrimeraFilaVisible(i);
}
