#include "casefiles/ListaExpedientes.h"

#include "app/ConexionBaseDatos.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/NombreAplicacion.h"
#include "app/Proteccion.h"
#include "app/SesionCaptura.h"
#include "casefiles/SentenciasExpediente.h"
#include "casefiles/TipoDocumento.h"
#include "search/FrmBusqueda_Cliente.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

namespace {
const QString kClaveFolio = QStringLiteral("Expediente");
const QString kClaveVenta = QStringLiteral("Venta");
const QString kClaveEstado = QStringLiteral("Estado Expediente");
const QString kSinExpediente = QStringLiteral("No Existe Expediente Digitalizado");
} // namespace

template <class T> T& ListaExpedientes::control(const char* nombre) const
{
    return ControlVentana<T>(c_.ventana, nombre);
}

ListaExpedientes::ListaExpedientes(ContextoVentana& contexto, QObject* parent)
    : QObject(parent), c_(contexto),
      iExpedientes_(ControlVentana<QTableWidget>(contexto.ventana, "iExpedientes")),
      rejilla_(iExpedientes_), traba_(*iExpedientes_.viewport(), this)
{
    mostrarBusqueda = [this] {
        FrmBusqueda_Cliente dialogo(c_.global, c_.entorno, &c_.ventana);
        dialogo.exec();
    };
    connect(&control<QPushButton>("CmdCLientes"), &QAbstractButton::clicked, this,
            [this] { CmdCLientes_Click(); });
    // A highlighted row that is not the current case file would send the pages elsewhere than
    // the clerk believes: the click that highlights a row picks it.
    connect(&iExpedientes_, &QTableWidget::cellClicked, this, [this](int fila, int) {
        traba_.armar();
        iExpedientes_Click(fila + 1);
    });
    iExpedientes_.installEventFilter(this);
    MostrarDestino();
}

bool ListaExpedientes::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == &iExpedientes_ && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            const int actual = iExpedientes_.currentRow();
            if (actual >= 0)
                iExpedientes_Click(actual + 1);
            return true;
        }
    }
    return QObject::eventFilter(objeto, evento);
}

void ListaExpedientes::CmdCLientes_Click()
{
    const DatosCliente antes = c_.global.ClienteSeleccionado;
    if (mostrarBusqueda)
        mostrarBusqueda();
    // The dialog only overwrites the record when a row is chosen: closing it without a choice
    // takes the earlier customer again.
    if (!(c_.global.ClienteSeleccionado.NumeroCliente > 0))
        return;
    if (!permitirCambio()) {
        // The held pages stay with the customer they were scanned for.
        c_.global.ClienteSeleccionado = antes;
        return;
    }
    TomarCliente();
}

void ListaExpedientes::TomarCliente()
{
    EjecutarProtegido(*c_.entorno.mensajes, [this] { tomarCliente(); });
}

bool ListaExpedientes::permitirCambio()
{
    return !PermitirCambio || PermitirCambio();
}

void ListaExpedientes::titulo(const QString& folio, const QString& venta)
{
    c_.ventana.setWindowTitle(QStringLiteral("Expediente Numero:") + folio +
                              QStringLiteral(" Venta:  ") + venta);
}

void ListaExpedientes::tomarCliente()
{
    const DatosCliente& cliente = c_.global.ClienteSeleccionado;
    control<QTabWidget>("TabScan").setCurrentIndex(0);
    c_.sesion.FolioActual = 0;
    folioFaltante_ = 0;
    // No case file of this customer is chosen yet: the caption names none.
    c_.ventana.setWindowTitle(NombreAplicacion::titulo());
    control<QLineEdit>("TxtNumero").setText(NumeroPlano(cliente.NumeroCliente));
    control<QLineEdit>("TxtCliente").setText(cliente.NombreCliente.toUpper());
    control<QLineEdit>("TxtRFC").setText(cliente.RfcCliente);
    control<QLineEdit>("TxtTelefono").setText(cliente.TelefonoCliente);
    control<QLineEdit>("TxtDomicilio").setText(cliente.DomicilioCliente);
    control<QTabWidget>("TabScan").setEnabled(true);
    limpiarArchivos();
    c_.global.EstadoExpediente = QStringLiteral("Capturado");
    CargarExpedientes();
}

void ListaExpedientes::CargarExpedientes()
{
    const Sentencia consulta =
        SentenciasExpediente::lista(c_.global.ClienteSeleccionado.NumeroCliente);
    Registros registros = c_.entorno.ConexionBD->consultar(consulta.texto, consulta.valores);
    rejilla_.vaciarFilas();
    // With no case files the headers of the last listing stay.
    if (!registros.eof()) {
        rejilla_.llenar(registros);
        if (EnEspera)
            rejilla_.marcarEnEspera(kClaveFolio, EnEspera());
    }
    registros.cerrar();
    MostrarDestino();
}

void ListaExpedientes::iExpedientes_Click(int fila)
{
    if (fila <= 0 || fila > rejilla_.filas() || !permitirCambio())
        return;
    EjecutarProtegido(*c_.entorno.mensajes, [this, fila] { abrirExpediente(fila); });
}

void ListaExpedientes::abrirExpediente(int fila)
{
    c_.sesion.FolioActual = rejilla_.valor(fila, kClaveFolio).toDouble();
    control<QTabWidget>("TabScan").setCurrentIndex(1);
    limpiarArchivos();

    const Sentencia consulta = SentenciasExpediente::leerUno(c_.sesion.FolioActual);
    Registros registro = c_.entorno.ConexionBD->consultar(consulta.texto, consulta.valores);
    if (registro.eof()) {
        c_.entorno.mensajes->MensajeError(kSinExpediente, QStringLiteral("Falta de Expediente"));
        control<QLabel>("LblEstatus").setText(kSinExpediente);
        // Deleted since the listing: with a state that allows scanning, a save would upload
        // under a folio that no longer exists and flag no row. Scanning stays blocked until a
        // customer or an existing case file is chosen.
        c_.global.EstadoExpediente.clear();
        control<QPushButton>("B_Acquire").setEnabled(false);
        folioFaltante_ = c_.sesion.FolioActual;
        MostrarDestino();
        return;
    }
    folioFaltante_ = 0;
    // The caption and the state come from the grid row as listed; the marks and the loan flag
    // from the row just read.
    titulo(rejilla_.texto(fila, kClaveFolio), rejilla_.texto(fila, kClaveVenta));
    c_.global.EstadoExpediente = rejilla_.texto(fila, kClaveEstado).trimmed();
    mostrarMarcas(registro);
    registro.cerrar();
    MostrarDestino();
}

void ListaExpedientes::mostrarMarcas(const Registros& registro)
{
    const QSet<QString> enEspera = EnEspera ? EnEspera() : QSet<QString>();
    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        const bool guardado =
            TipoDocumento::activa(registro.campo(QLatin1String(tipo.columnaBandera)));
        const bool espera =
            !guardado && enEspera.contains(tipo.nombreRemoto(c_.sesion.FolioActual));
        ControlVentana<QWidget>(c_.ventana, tipo.marcaPresente).setVisible(guardado);
        ControlVentana<QWidget>(c_.ventana, tipo.marcaFalta).setVisible(!guardado && !espera);
    }
    control<QCheckBox>("chkPrestamo")
        .setChecked(TipoDocumento::activa(registro.campo(QStringLiteral("es_prestamo"))));
    control<QCheckBox>("chkPrestamo").setEnabled(false);
}

void ListaExpedientes::ExpedienteTomado()
{
    EjecutarProtegido(*c_.entorno.mensajes, [this] {
        const Sentencia consulta = SentenciasExpediente::leerUno(c_.sesion.FolioActual);
        Registros registro = c_.entorno.ConexionBD->consultar(consulta.texto, consulta.valores);
        if (!registro.eof())
            mostrarMarcas(registro);
        registro.cerrar();
        MostrarDestino();
    });
}

int ListaExpedientes::filaDe(double folio) const
{
    for (int fila = 1; fila <= rejilla_.filas(); ++fila)
        if (rejilla_.valor(fila, kClaveFolio).toDouble() == folio)
            return fila;
    return 0;
}

bool ListaExpedientes::ElegirExpediente(double folio)
{
    const int fila = filaDe(folio);
    if (fila == 0)
        return false;
    EjecutarProtegido(*c_.entorno.mensajes, [this, fila] { abrirExpediente(fila); });
    return c_.sesion.FolioActual == folio;
}

void ListaExpedientes::ExpedienteCreado()
{
    titulo(NumeroPlano(c_.sesion.FolioActual), QString());
    DocumentoRegistrado();
}

void ListaExpedientes::DocumentoRegistrado()
{
    if (c_.global.ClienteSeleccionado.NumeroCliente > 0)
        EjecutarProtegido(*c_.entorno.mensajes, [this] { CargarExpedientes(); });
}

void ListaExpedientes::seleccionarActual()
{
    const int fila = c_.sesion.FolioActual > 0 ? filaDe(c_.sesion.FolioActual) : 0;
    if (fila > 0)
        iExpedientes_.selectRow(fila - 1);
    else
        iExpedientes_.clearSelection();
}

void ListaExpedientes::MostrarDestino()
{
    seleccionarActual();
    const double folio = c_.sesion.FolioActual;
    const QString nombre = c_.global.ClienteSeleccionado.NombreCliente.trimmed().toUpper();
    QString destino;
    if (folio > 0) {
        destino = QStringLiteral("Expediente ") + NumeroPlano(folio);
        const int fila = filaDe(folio);
        const QString venta = fila > 0 ? rejilla_.texto(fila, kClaveVenta).trimmed() : QString();
        if (folio == folioFaltante_)
            destino += QStringLiteral(": ya no existe, elija otro expediente");
        else if (!venta.isEmpty())
            destino += QStringLiteral(" (venta ") + venta + QLatin1Char(')');
    } else if (c_.global.ClienteSeleccionado.NumeroCliente > 0) {
        destino = QStringLiteral("Expediente nuevo de ") + nombre;
    } else {
        destino = QStringLiteral("Ningún cliente elegido");
    }
    control<QLabel>("LblDestino").setText(destino);
}

void ListaExpedientes::limpiarArchivos()
{
    if (LimpiarArchivosTrabajo)
        LimpiarArchivosTrabajo();
}
