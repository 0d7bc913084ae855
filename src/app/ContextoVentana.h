#pragma once

#include <QString>
#include <functional>
#include <memory>

class EscanerTwain;
class QMainWindow;
struct Entorno;
struct Global;
struct SesionCaptura;
namespace Ui {
class FrmEscaneo;
}

// What every feature of the main window works with: the form's controls, the window's working
// state, the shared state and the environment.
struct ContextoVentana
{
    Ui::FrmEscaneo& ui;
    QMainWindow& ventana;
    SesionCaptura& sesion;
    Global& global;
    Entorno& entorno;
    // VSTwain1: the scanning component, created when the window loads.
    std::unique_ptr<EscanerTwain>& VSTwain1;
};

// Steps of the load sequence that belong to features of other folders; the program's assembly
// fills them in.
struct EtapasCarga
{
    std::function<void(const QString& lineaComandos)> arranquePedido; // order mode
    std::function<void()> IniciarEscaner;
    // After the load, once the scanning component runs: pages a crashed run left unsaved.
    std::function<void()> RecuperarPaginas;
    // The window closes (nothing was cancelled): work in the background ends.
    std::function<void()> Cerrar;
};
