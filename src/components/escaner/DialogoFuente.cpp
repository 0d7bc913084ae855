#include "components/escaner/DialogoFuente.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

DialogoFuente::DialogoFuente(const QStringList& nombres, int actual, QWidget* padre)
    : QDialog(padre), lista_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Seleccionar Escaner"));
    lista_->addItems(nombres);
    if (actual >= 0 && actual < nombres.size())
        lista_->setCurrentRow(actual);
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Seleccionar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lista_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* capas = new QVBoxLayout(this);
    capas->addWidget(new QLabel(QStringLiteral("Fuentes:"), this));
    capas->addWidget(lista_);
    capas->addWidget(botones);
}

int DialogoFuente::eleccion() const
{
    return lista_->currentRow();
}

int DialogoFuente::elegir(QWidget* padre, const QStringList& nombres, int actual)
{
    DialogoFuente dialogo(nombres, actual, padre);
    return dialogo.exec() == QDialog::Accepted ? dialogo.eleccion() : -1;
}
