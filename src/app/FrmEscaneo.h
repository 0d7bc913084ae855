#pragma once

#include "app/ContextoVentana.h"
#include "app/SesionCaptura.h"

#include <QMainWindow>
#include <memory>

class CicloVentana;

// The main window. It owns the form, the working state and the scanning component; its
// handlers live in the features that the program's assembly attaches to it.
class FrmEscaneo : public QMainWindow
{
    Q_OBJECT
public:
    FrmEscaneo(Global& global, Entorno& entorno, QWidget* parent = nullptr);
    ~FrmEscaneo() override;

    Ui::FrmEscaneo& ui() { return *ui_; }
    SesionCaptura& sesion() { return sesion_; }
    ContextoVentana& contexto() { return contexto_; }
    EtapasCarga& etapasCarga() { return etapas_; }
    EscanerTwain* VSTwain1() { return VSTwain1_.get(); }

    // Runs the load sequence; false when the program cannot start (the reason was shown).
    bool Form_Load(const QString& lineaComandos);

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    std::unique_ptr<Ui::FrmEscaneo> ui_;
    SesionCaptura sesion_;
    std::unique_ptr<EscanerTwain> VSTwain1_;
    ContextoVentana contexto_;
    EtapasCarga etapas_;
    CicloVentana* ciclo_;
};
