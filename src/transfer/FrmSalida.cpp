#include "transfer/FrmSalida.h"

#include "app/ConexionBaseDatos.h"
#include "transfer/BandejaSalida.h"
#include "transfer/DocumentosEnEspera.h"
#include "ui_FrmSalida.h"

#include <QDateTime>
#include <QHeaderView>

namespace {
// "11/12/2026 10:35" from the ISO text kept in the lote; empty stays empty.
QString fecha(const QString& iso)
{
    const QDateTime momento = QDateTime::fromString(iso, Qt::ISODate);
    return momento.isValid() ? momento.toString(QStringLiteral("dd/MM/yyyy HH:mm")) : QString();
}
} // namespace

FrmSalida::FrmSalida(DocumentosEnEspera& espera, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FrmSalida>()), espera_(espera)
{
    ui_->setupUi(this);
    ui_->Lista->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui_->Lista->horizontalHeader()->setStretchLastSection(true);
    connect(ui_->BEnviar, &QPushButton::clicked, &espera_, &DocumentosEnEspera::enviarAhora);
    connect(ui_->BDescartar, &QPushButton::clicked, this, &FrmSalida::BDescartar_Click);
    connect(ui_->BCerrar, &QPushButton::clicked, this, &QDialog::accept);
    connect(&espera_, &DocumentosEnEspera::cambio, this, &FrmSalida::Llenar);
    Llenar();
}

FrmSalida::~FrmSalida() = default;

void FrmSalida::Llenar()
{
    const QString elegida = carpetas_.value(ui_->Lista->currentRow());
    const QList<BandejaSalida::Espera> esperas = espera_.esperas();
    carpetas_.clear();
    ui_->Lista->setRowCount(int(esperas.size()));
    for (int fila = 0; fila < esperas.size(); ++fila) {
        const BandejaSalida::Espera& una = esperas[fila];
        carpetas_ << una.carpeta;
        const QStringList celdas{
            NumeroPlano(una.lote.cliente.NumeroCliente) + QLatin1Char(' ') +
                una.lote.cliente.NombreCliente.trimmed().toUpper(),
            NumeroPlano(una.lote.folio),
            espera_.nombreDocumento(una.lote),
            QString::number(una.hojas.size()),
            fecha(una.lote.espera),
            fecha(una.lote.intento),
            una.lote.error,
        };
        for (int columna = 0; columna < celdas.size(); ++columna) {
            auto* celda = new QTableWidgetItem(celdas[columna]);
            celda->setToolTip(celdas[columna]);
            ui_->Lista->setItem(fila, columna, celda);
        }
    }
    const int fila = int(carpetas_.indexOf(elegida));
    ui_->Lista->selectRow(fila >= 0 ? fila : 0);
    ui_->BDescartar->setEnabled(!esperas.isEmpty());
    ui_->BEnviar->setEnabled(!esperas.isEmpty());
}

void FrmSalida::BDescartar_Click()
{
    const int fila = ui_->Lista->currentRow();
    if (fila < 0 || fila >= carpetas_.size())
        return;
    espera_.descartar(carpetas_[fila]);
}
