#include "app/armado/Armado.h"

#include "app/FrmEscaneo.h"

void Armado::armar(FrmEscaneo& ventana)
{
    // The features of the case files, capture, transfer, search and scanner report folders are
    // attached here as they are built.
    Q_UNUSED(ventana);
}
