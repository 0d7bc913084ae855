#include "search/FrmBusqueda_Cliente.h"

FrmBusqueda_Cliente::FrmBusqueda_Cliente(Global& global, Entorno& entorno, QWidget* parent)
    : QDialog(parent), global_(global), entorno_(entorno)
{
}

FrmBusqueda_Cliente::~FrmBusqueda_Cliente() = default;
