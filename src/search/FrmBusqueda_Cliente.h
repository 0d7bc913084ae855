#pragma once

#include <QDialog>
#include <memory>

struct Entorno;
struct Global;

// The customer search dialog. The caller opens it modally and reads
// global.ClienteSeleccionado afterwards (unchanged when the user closed it without a pick).
class FrmBusqueda_Cliente : public QDialog
{
    Q_OBJECT
public:
    FrmBusqueda_Cliente(Global& global, Entorno& entorno, QWidget* parent = nullptr);
    ~FrmBusqueda_Cliente() override;

private:
    Global& global_;
    Entorno& entorno_;
};
