#include "app/FrmEscaneo.h"

#include "app/CicloVentana.h"
#include "app/NombreAplicacion.h"
#include "components/escaner/EscanerTwain.h"
#include "ui_FrmEscaneo.h"

#include <QCloseEvent>

FrmEscaneo::FrmEscaneo(Global& global, Entorno& entorno, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::FrmEscaneo>()), contexto_{*ui_,   *this,   sesion_,
                                                         global, entorno, VSTwain1_}
{
    Q_INIT_RESOURCE(recursos);
    ui_->setupUi(this);
    setWindowTitle(NombreAplicacion::titulo());
    ui_->TabScan->setTabText(0, NombreAplicacion::titulo());
    ui_->Label1->setText(QStringLiteral("Versión ") + NombreAplicacion::version());
    ciclo_ = new CicloVentana(contexto_, etapas_, this);
}

FrmEscaneo::~FrmEscaneo() = default;

bool FrmEscaneo::Form_Load(const QString& lineaComandos)
{
    return ciclo_->Form_Load(lineaComandos);
}

void FrmEscaneo::closeEvent(QCloseEvent* evento)
{
    bool cancelar = false;
    ciclo_->Form_Unload(cancelar);
    if (cancelar)
        evento->ignore();
    else
        evento->accept();
}
