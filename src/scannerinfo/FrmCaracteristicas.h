#pragma once

#include <QDialog>
#include <memory>

class EscanerTwain;
class Mensajes;
namespace Ui {
class FrmCaracteristicas;
}

// The scanner characteristics window: the report of the current source, read-only, built
// each time the window loads and gone when it closes.
class FrmCaracteristicas : public QDialog
{
    Q_OBJECT
public:
    FrmCaracteristicas(EscanerTwain& VSTwain1, Mensajes& mensajes, QWidget* parent = nullptr);
    ~FrmCaracteristicas() override;

    // Builds the report into Text1; called once, before the window is shown.
    void Form_Load();
    void BExit_Click();

    // The report as built (CR LF line ends), empty when the source could not be opened.
    const QString& informe() const { return informe_; }

private:
    std::unique_ptr<Ui::FrmCaracteristicas> ui_;
    EscanerTwain& VSTwain1_;
    Mensajes& mensajes_;
    QString informe_;
};
