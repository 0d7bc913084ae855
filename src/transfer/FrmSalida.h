#pragma once

#include <QDialog>
#include <memory>

class DocumentosEnEspera;
namespace Ui {
class FrmSalida;
}

// The outbox, listed: each waiting document with its customer, case file, type, pages, since
// when it waits, its last try and why that failed. "Enviar ahora" tries at once; "Descartar"
// throws the selected one away after a question that names its pages and their owner. The list
// follows the sender while the window is open.
class FrmSalida : public QDialog
{
    Q_OBJECT
public:
    FrmSalida(DocumentosEnEspera& espera, QWidget* parent = nullptr);
    ~FrmSalida() override;

    void Llenar();

private:
    void BDescartar_Click();

    std::unique_ptr<Ui::FrmSalida> ui_;
    DocumentosEnEspera& espera_;
    QStringList carpetas_; // of the rows, in order
};
