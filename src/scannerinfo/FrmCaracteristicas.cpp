#include "scannerinfo/FrmCaracteristicas.h"

#include "scannerinfo/InformeCaracteristicas.h"
#include "ui_FrmCaracteristicas.h"

#include <QFontDatabase>
#include <QFontMetricsF>

FrmCaracteristicas::FrmCaracteristicas(EscanerTwain& VSTwain1, Mensajes& mensajes, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FrmCaracteristicas>()), VSTwain1_(VSTwain1),
      mensajes_(mensajes)
{
    ui_->setupUi(this);
    // The capability lines are tab-separated columns: a fixed-width font keeps them aligned.
    const QFont fija = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ui_->Text1->setFont(fija);
    ui_->Text1->setTabStopDistance(QFontMetricsF(fija).horizontalAdvance(QLatin1Char(' ')) * 8);
    connect(ui_->BExit, &QPushButton::clicked, this, &FrmCaracteristicas::BExit_Click);
}

FrmCaracteristicas::~FrmCaracteristicas() = default;

void FrmCaracteristicas::Form_Load()
{
    informe_ = InformeCaracteristicas(VSTwain1_, mensajes_);
    // The report keeps its CR LF line ends; the text box holds lines ended by LF alone.
    QString mostrado = informe_;
    mostrado.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ui_->Text1->setPlainText(mostrado);
}

void FrmCaracteristicas::BExit_Click()
{
    close();
}
