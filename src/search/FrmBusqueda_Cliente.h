#pragma once

#include "search/ComposicionBusqueda.h"
#include "search/ListaHistorial.h"

#include <QDialog>
#include <QVariant>
#include <memory>

class FiltroTeclas;
class QTimer;
struct Entorno;
struct Global;
namespace Ui {
class FrmBusqueda_Cliente;
}

// The customer search dialog. The caller opens it modally and reads
// global.ClienteSeleccionado afterwards (unchanged when the user closed it without a pick).
// The search text is completed from the history of earlier search texts, which is loaded at
// every opening and grows when the text box loses the focus.
class FrmBusqueda_Cliente : public QDialog
{
    Q_OBJECT
public:
    FrmBusqueda_Cliente(Global& global, Entorno& entorno, QWidget* parent = nullptr);
    ~FrmBusqueda_Cliente() override;

    // Where the history lives unless the environment names another file.
    static QString archivoHistorialPredeterminado();
    const QString& ArchivoHistorial() const { return ArchivoHistorial_; }
    const ListaHistorial& historial() const { return MSFlexGrid1; }
    // The last composed statement (empty until a search is accepted).
    const SentenciaBusqueda& consultaClientes() const { return ConsultaClientes_; }

    // The row event of the grid: rows count from 1; row 0 (the header) and below do nothing.
    void Grid1_DblClick(int Row, int Col);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    void TmrInicio_Timer();
    void cmdBuscar_Click();
    void TxtNombre_Change();
    void TxtNombre_LostFocus();
    void LlenarResultados();
    void llenarGrid(const QStringList& columnas, const QList<QVariantList>& filas);
    void ajustarColumnas();
    int anchoFilas() const;
    int columna(const QString& clave) const;
    ModoBusqueda modo() const;
    AlcanceCentros alcance() const;
    QVariant celda(int fila, const QString& clave) const;

    Global& global_;
    Entorno& entorno_;
    std::unique_ptr<Ui::FrmBusqueda_Cliente> ui_;
    QTimer* TmrInicio;
    FiltroTeclas* filtro_;
    ListaHistorial MSFlexGrid1;
    QString ArchivoHistorial_;
    SentenciaBusqueda ConsultaClientes_;
    bool cambiandoTexto_ = false; // the dialog itself is setting the text: no completion
    bool colocado_ = false;
};
