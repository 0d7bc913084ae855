#include "search/FrmBusqueda_Cliente.h"

#include "app/ConexionBaseDatos.h"
#include "app/Entorno.h"
#include "app/FiltroTeclas.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/Proteccion.h"
#include "app/RelojArena.h"
#include "search/Autocompletar.h"
#include "ui_FrmBusqueda_Cliente.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyleOptionHeader>
#include <QTimer>

namespace {

constexpr int kPeriodoInicio = 2; // ms
constexpr int kFilasVisibles = 10;
const QColor kAmarilloClaro(255, 255, 200);

QString textoCelda(const QVariant& valor)
{
    if (valor.isNull())
        return {};
    if (valor.typeId() == QMetaType::Double)
        return NumeroPlano(valor.toDouble());
    return valor.toString();
}

} // namespace

FrmBusqueda_Cliente::FrmBusqueda_Cliente(Global& global, Entorno& entorno, QWidget* parent)
    : QDialog(parent), global_(global), entorno_(entorno),
      ui_(std::make_unique<Ui::FrmBusqueda_Cliente>()), TmrInicio(new QTimer(this))
{
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QPalette colores = ui_->Grid1->palette();
    colores.setColor(QPalette::Base, kAmarilloClaro);
    colores.setColor(QPalette::AlternateBase, Qt::white);
    ui_->Grid1->setPalette(colores);
    ui_->Grid1->verticalHeader()->setVisible(false);
    // Ten rows under the header without the user resizing. Row and header heights come from
    // the font and the style, so the grid's height is worked out here, not fixed in the form.
    QStyleOptionHeader rotulo;
    rotulo.initFrom(ui_->Grid1->horizontalHeader());
    rotulo.text = QStringLiteral("Clasificación");
    const int altoCabecera = style()
                                 ->sizeFromContents(QStyle::CT_HeaderSection, &rotulo, {},
                                                    ui_->Grid1->horizontalHeader())
                                 .height();
    ui_->Grid1->setMinimumHeight(
        altoCabecera + kFilasVisibles * ui_->Grid1->verticalHeader()->defaultSectionSize() +
        ui_->Grid1->horizontalScrollBar()->sizeHint().height() + 2 * ui_->Grid1->frameWidth());
    ui_->Grid1->installEventFilter(this);
    connect(ui_->Grid1, &QTableWidget::cellDoubleClicked, this,
            [this](int fila, int columna) { Grid1_DblClick(fila + 1, columna + 1); });

    filtro_ = FiltroTeclas::instalar(ui_->TxtNombre, FiltroTeclas::Modo::Mayusculas);
    // Installed after the key filter, so it sees each key before the filter and the box do.
    ui_->TxtNombre->installEventFilter(this);
    connect(ui_->TxtNombre, &QLineEdit::textChanged, this, [this] { TxtNombre_Change(); });
    const auto cambiarFiltro = [this] {
        const bool numerico = ui_->Option3->isChecked() || ui_->Option4->isChecked();
        filtro_->fijarModo(numerico ? FiltroTeclas::Modo::Numerica
                                    : FiltroTeclas::Modo::Mayusculas);
    };
    for (QRadioButton* opcion : {ui_->Option1, ui_->Option2, ui_->Option3, ui_->Option4})
        connect(opcion, &QRadioButton::toggled, this, cambiarFiltro);

    connect(ui_->cmdBuscar, &QPushButton::clicked, this, [this] { cmdBuscar_Click(); });

    TmrInicio->setObjectName(QStringLiteral("TmrInicio"));
    TmrInicio->setSingleShot(true);
    TmrInicio->setInterval(kPeriodoInicio);
    connect(TmrInicio, &QTimer::timeout, this, [this] { TmrInicio_Timer(); });
    TmrInicio->start();

    ArchivoHistorial_ = entorno_.archivoHistorial.isEmpty() ? archivoHistorialPredeterminado()
                                                            : entorno_.archivoHistorial;
    MSFlexGrid1.reiniciar();
    MSFlexGrid1.cargar(ArchivoHistorial_);
}

FrmBusqueda_Cliente::~FrmBusqueda_Cliente() = default;

QString FrmBusqueda_Cliente::archivoHistorialPredeterminado()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\DirLogFact.ini");
#else
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("DirLogFact.ini"));
#endif
}

void FrmBusqueda_Cliente::showEvent(QShowEvent* evento)
{
    QDialog::showEvent(evento);
    if (colocado_)
        return;
    colocado_ = true;
    if (const QScreen* pantalla = screen()) {
        const QRect area = pantalla->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 4);
    }
}

void FrmBusqueda_Cliente::TmrInicio_Timer()
{
    TmrInicio->stop();
    ui_->TxtNombre->setFocus(Qt::OtherFocusReason);
}

bool FrmBusqueda_Cliente::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == ui_->TxtNombre) {
        if (evento->type() == QEvent::KeyPress) {
            auto* tecla = static_cast<QKeyEvent*>(evento);
            if ((tecla->key() == Qt::Key_Backspace || tecla->key() == Qt::Key_Delete) &&
                !ui_->TxtNombre->text().isEmpty())
                global_.Borrando = true;
        } else if (evento->type() == QEvent::FocusOut) {
            // A context menu or another window taking the focus is not leaving the box.
            const Qt::FocusReason razon = static_cast<QFocusEvent*>(evento)->reason();
            if (razon != Qt::PopupFocusReason && razon != Qt::ActiveWindowFocusReason)
                TxtNombre_LostFocus();
        }
    } else if (objeto == ui_->Grid1 && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            const QModelIndex actual = ui_->Grid1->currentIndex();
            if (actual.isValid())
                Grid1_DblClick(actual.row() + 1, actual.column() + 1);
            return true; // never the dialog's default button
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void FrmBusqueda_Cliente::TxtNombre_Change()
{
    if (cambiandoTexto_)
        return;
    cambiandoTexto_ = true;
    const auto fin = qScopeGuard([this] { cambiandoTexto_ = false; });
    AutocompletarTexto(MSFlexGrid1, *ui_->TxtNombre, 0, global_.Borrando);
}

void FrmBusqueda_Cliente::TxtNombre_LostFocus()
{
    // A pasted line end or tab is a blank, and no control character reaches the history
    // file, where a line end would split the entry in two.
    const QString texto = ComposicionBusqueda::textoBuscado(ui_->TxtNombre->text());
    if (texto != ui_->TxtNombre->text()) {
        // Trimming is not typing: completing here would put back a remainder the user had
        // just erased and search for it.
        cambiandoTexto_ = true;
        ui_->TxtNombre->setText(texto);
        cambiandoTexto_ = false;
        global_.Borrando = false;
    }
    if (texto.isEmpty() || MSFlexGrid1.contiene(texto))
        return;
    ListaHistorial::anexar(ArchivoHistorial_, texto);
    MSFlexGrid1.agregar(texto);
}

ModoBusqueda FrmBusqueda_Cliente::modo() const
{
    if (ui_->Option2->isChecked())
        return ModoBusqueda::Direccion;
    if (ui_->Option3->isChecked())
        return ModoBusqueda::NumeroCliente;
    if (ui_->Option4->isChecked())
        return ModoBusqueda::NumeroVenta;
    return ModoBusqueda::Nombre;
}

AlcanceCentros FrmBusqueda_Cliente::alcance() const
{
    return ui_->OpcCentros->isChecked() ? AlcanceCentros::TodosLosCentros
                                        : AlcanceCentros::CentroPropio;
}

void FrmBusqueda_Cliente::cmdBuscar_Click()
{
    ui_->cmdBuscar->setText(QStringLiteral("Espere..."));
    ui_->cmdBuscar->repaint();
    const auto restaurar =
        qScopeGuard([this] { ui_->cmdBuscar->setText(QStringLiteral("&Buscar")); });

    const QString texto = ui_->TxtNombre->text();
    if (!ComposicionBusqueda::textoAceptable(texto, modo())) {
        entorno_.mensajes->MensajeError(
            QStringLiteral("Verifique los datos Capturados,si busca por nombre se requiere "
                           "especificar los 2 apellidos del cliente para la busqueda!!"),
            QStringLiteral("Error de Captura"));
        return;
    }
    ConsultaClientes_ = ComposicionBusqueda::componer(
        modo(), alcance(), texto, global_.ConfigServidorImagenes.CentroDistribucion);
    EjecutarProtegido(*entorno_.mensajes, [this] { LlenarResultados(); });
}

void FrmBusqueda_Cliente::LlenarResultados()
{
    QStringList columnas;
    QList<QVariantList> filas;
    {
        RelojArena reloj;
        // Every row is read before the grid changes: a failure half-way leaves the grid as it
        // was.
        Registros rs =
            entorno_.ConexionBD->consultar(ConsultaClientes_.texto, ConsultaClientes_.valores);
        for (int i = 0; i < rs.columnas(); ++i)
            columnas << rs.nombreColumna(i);
        for (; !rs.eof(); rs.siguiente()) {
            QVariantList fila;
            fila.reserve(columnas.size());
            for (int i = 0; i < columnas.size(); ++i)
                fila << rs.campo(i);
            filas << fila;
        }
        rs.cerrar();
    }
    if (filas.isEmpty()) {
        entorno_.mensajes->MensajeError(
            QStringLiteral("No existen Clientes que coincidan con el criterio de busqueda..."),
            QStringLiteral("No Existe Cliente"));
        // The rows of the search before would pass for matches of this one and could be
        // picked as such.
        ui_->Grid1->setRowCount(0);
        return;
    }
    llenarGrid(columnas, filas);
}

void FrmBusqueda_Cliente::llenarGrid(const QStringList& columnas, const QList<QVariantList>& filas)
{
    QTableWidget* grid = ui_->Grid1;
    grid->setUpdatesEnabled(false);
    const auto repintar = qScopeGuard([grid] { grid->setUpdatesEnabled(true); });
    grid->clear();
    grid->setRowCount(0);
    grid->setColumnCount(int(columnas.size()));
    for (int c = 0; c < columnas.size(); ++c) {
        auto* cabecera = new QTableWidgetItem(columnas.at(c));
        cabecera->setData(Qt::UserRole, columnas.at(c)); // the column's key
        grid->setHorizontalHeaderItem(c, cabecera);
    }
    grid->setRowCount(int(filas.size()));
    for (int r = 0; r < filas.size(); ++r) {
        const QVariantList& fila = filas.at(r);
        for (int c = 0; c < fila.size(); ++c) {
            auto* item = new QTableWidgetItem(textoCelda(fila.at(c)));
            item->setData(Qt::UserRole, fila.at(c));
            grid->setItem(r, c, item);
        }
    }
    ajustarColumnas();
}

void FrmBusqueda_Cliente::ajustarColumnas()
{
    QTableWidget* grid = ui_->Grid1;
    QHeaderView* cabecera = grid->horizontalHeader();
    int total = 0;
    for (int c = 0; c < grid->columnCount(); ++c) {
        // The credit classification keeps the default width, if its header fits in it.
        if (grid->horizontalHeaderItem(c)->data(Qt::UserRole).toString() ==
            QStringLiteral("Clasificación"))
            cabecera->resizeSection(
                c, std::max(cabecera->defaultSectionSize(), cabecera->sectionSizeHint(c)));
        else
            grid->resizeColumnToContents(c);
        total += cabecera->sectionSize(c);
    }
    const int ancho = anchoFilas();
    const int nombre = columna(QStringLiteral("Nombre"));
    if (total <= ancho) {
        // The name takes whatever width the other columns leave.
        if (nombre >= 0)
            cabecera->resizeSection(nombre, cabecera->sectionSize(nombre) + ancho - total);
        return;
    }
    // Every header stays in view: the long texts, the address and then the name, give up
    // width down to what their headers need; a cut cell shows its whole text on hover.
    int exceso = total - ancho;
    for (const int c : {columna(QStringLiteral("Direccion")), nombre}) {
        if (c < 0 || exceso <= 0)
            continue;
        const int cede = std::min(exceso, cabecera->sectionSize(c) - cabecera->sectionSizeHint(c));
        if (cede <= 0)
            continue;
        cabecera->resizeSection(c, cabecera->sectionSize(c) - cede);
        exceso -= cede;
        for (int r = 0; r < grid->rowCount(); ++r)
            if (QTableWidgetItem* item = grid->item(r, c))
                item->setToolTip(item->text());
    }
}

// The width the rows will have: right after a fill the viewport still has the width of the
// previous result, and the vertical scroll bar of a long result comes only later.
int FrmBusqueda_Cliente::anchoFilas() const
{
    const QTableWidget* grid = ui_->Grid1;
    const QSize maximo = grid->maximumViewportSize();
    const int altoFilas = maximo.height() - grid->horizontalHeader()->sizeHint().height();
    const bool barra = grid->rowCount() * grid->verticalHeader()->defaultSectionSize() > altoFilas;
    return maximo.width() - (barra ? grid->verticalScrollBar()->sizeHint().width() : 0);
}

int FrmBusqueda_Cliente::columna(const QString& clave) const
{
    const QTableWidget* grid = ui_->Grid1;
    for (int c = 0; c < grid->columnCount(); ++c) {
        const QTableWidgetItem* cabecera = grid->horizontalHeaderItem(c);
        if (cabecera && cabecera->data(Qt::UserRole).toString() == clave)
            return c;
    }
    return -1;
}

QVariant FrmBusqueda_Cliente::celda(int fila, const QString& clave) const
{
    const int c = columna(clave);
    const QTableWidgetItem* item = c >= 0 ? ui_->Grid1->item(fila, c) : nullptr;
    return item ? item->data(Qt::UserRole) : QVariant();
}

void FrmBusqueda_Cliente::Grid1_DblClick(int Row, int /*Col*/)
{
    if (Row < 1 || Row > ui_->Grid1->rowCount())
        return;
    const int fila = Row - 1;
    DatosCliente& cliente = global_.ClienteSeleccionado;
    bool numero = false;
    const double valor = celda(fila, QStringLiteral("Cliente")).toDouble(&numero);
    cliente.NumeroCliente = numero ? valor : 0;
    cliente.NombreCliente = textoCelda(celda(fila, QStringLiteral("Nombre"))).trimmed();
    cliente.RfcCliente = textoCelda(celda(fila, QStringLiteral("RFC")));
    cliente.DomicilioCliente = textoCelda(celda(fila, QStringLiteral("Direccion")));
    cliente.TelefonoCliente = textoCelda(celda(fila, QStringLiteral("Telefono")));
    accept();
}
