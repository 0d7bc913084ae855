#include "casefiles/ModoPedido.h"

#include "app/ConexionBaseDatos.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/Proteccion.h"
#include "app/SesionCaptura.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/SentenciasExpediente.h"

#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <optional>

Q_LOGGING_CATEGORY(lcPedido, "expedientes.pedido")

namespace {
const QString kTituloAsignacion = QStringLiteral("Asignación de Pedido");

Sentencia clienteDelPedido(double pedido)
{
    return {QStringLiteral("SELECT C.Cliente'Cliente',C.Nombre_cliente'Nombre',c.rfc'RFC', "
                           "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                           "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion',p.clave_pedido "
                           "FROM Clientes C  JOIN pedidos_clientes p ON c.cliente = p.cliente  "
                           "WHERE p.pedido =") +
                NumeroPlano(pedido),
            {}};
}

// The case file as the database holds it now, to check an assignment before and after it.
struct EstadoActual
{
    double cliente = 0;
    QVariant pedido;
    QString estado;
};

std::optional<EstadoActual> leerExpediente(ConexionBaseDatos& bd, double folio)
{
    const Sentencia consulta = SentenciasExpediente::leerUno(folio);
    Registros registro = bd.consultar(consulta.texto, consulta.valores);
    const auto cerrar = qScopeGuard([&registro] { registro.cerrar(); });
    if (registro.eof())
        return std::nullopt;
    return EstadoActual{registro.campo(QStringLiteral("Cliente")).toDouble(),
                        registro.campo(QStringLiteral("Pedido")),
                        registro.campo(QStringLiteral("estado_actual")).toString().trimmed()};
}
} // namespace

template <class T> T& ModoPedido::control(const char* nombre) const
{
    return ControlVentana<T>(c_.ventana, nombre);
}

ModoPedido::ModoPedido(ContextoVentana& contexto, ListaExpedientes& lista, QObject* parent)
    : QObject(parent), c_(contexto), lista_(lista)
{
    connect(&control<QPushButton>("CmdAsignar"), &QAbstractButton::clicked, this,
            [this] { CmdAsignar_Click(); });
}

void ModoPedido::arranquePedido(const QString& lineaComandos)
{
    qCInfo(lcPedido) << "Pedido a asignar" << lineaComandos;
    if (!cargarCliente()) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("Error Grave Pedido NO localizado, reportelo a Sistemas"),
            QStringLiteral("Error"));
        return;
    }
    control<QTabWidget>("TabScan").setCurrentIndex(0);
    control<QTabWidget>("TabScan").setEnabled(true);
    if (lista_.LimpiarArchivosTrabajo)
        lista_.LimpiarArchivosTrabajo();
    lista_.CargarExpedientes();
    buscarExpedienteCapturado();
}

// Fills the header with the sale's customer; false when the sale does not exist.
bool ModoPedido::cargarCliente()
{
    const Sentencia consulta = clienteDelPedido(c_.global.PedidoAAsignar);
    Registros registros = c_.entorno.ConexionBD->consultar(consulta.texto, consulta.valores);
    // Closed before the list and the search send their own statements: a driver without
    // multiple active result sets refuses a statement while another one still has rows.
    const auto cerrar = qScopeGuard([&registros] { registros.cerrar(); });
    if (registros.eof())
        return false;

    c_.sesion.FolioActual = 0;
    // The whole record, not only the number: the customer button takes it again when its
    // dialog is closed without a choice, and would otherwise show this customer without a name.
    DatosCliente& cliente = c_.global.ClienteSeleccionado;
    cliente.NumeroCliente = registros.campo(0).toDouble();
    cliente.NombreCliente = registros.campo(1).toString();
    cliente.RfcCliente = registros.campo(2).toString();
    cliente.TelefonoCliente = registros.campo(3).toString();
    cliente.DomicilioCliente = registros.campo(4).toString();
    clientePedido_ = cliente.NumeroCliente;

    control<QLineEdit>("TxtNumero").setText(NumeroPlano(cliente.NumeroCliente));
    control<QLineEdit>("TxtCliente").setText(cliente.NombreCliente);
    control<QLineEdit>("TxtRFC").setText(cliente.RfcCliente);
    control<QLineEdit>("TxtTelefono").setText(cliente.TelefonoCliente);
    control<QLineEdit>("TxtDomicilio").setText(cliente.DomicilioCliente);
    control<QLabel>("LblPedido")
        .setText(QStringLiteral("Pedido a Asignar:") + registros.campo(5).toString());
    return true;
}

void ModoPedido::buscarExpedienteCapturado()
{
    const Sentencia consulta =
        SentenciasExpediente::folioCapturado(c_.global.ClienteSeleccionado.NumeroCliente);
    Registros registros = c_.entorno.ConexionBD->consultar(consulta.texto, consulta.valores);
    const auto cerrar = qScopeGuard([&registros] { registros.cerrar(); });
    if (registros.eof()) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("No existe Expediente por Asignar"),
            QStringLiteral("Verifique con tienda la documentación/numero de cliente usado"));
        return;
    }
    c_.sesion.FolioActual = registros.campo(0).toDouble();
    // A save goes to this case file now, though no row was picked.
    lista_.MostrarDestino();
    control<QPushButton>("CmdAsignar").setEnabled(true);
}

void ModoPedido::CmdAsignar_Click()
{
    EjecutarProtegido(*c_.entorno.mensajes, [this] { asignar(); });
}

void ModoPedido::asignar()
{
    const double folio = c_.sesion.FolioActual;
    const double pedido = c_.global.PedidoAAsignar;
    ConexionBaseDatos& bd = *c_.entorno.ConexionBD;

    // Only a case file of the sale's own customer may be tied to the sale: after choosing
    // another customer, a picked row belongs to someone else.
    const std::optional<EstadoActual> antes = folio > 0 ? leerExpediente(bd, folio) : std::nullopt;
    if (!antes || antes->cliente != clientePedido_) {
        c_.entorno.mensajes->MensajeError(
            folio > 0 && !antes
                ? QStringLiteral("El expediente %1 no existe; no se asignó a la venta.")
                      .arg(NumeroPlano(folio))
                : QStringLiteral("Elija en la lista un expediente del cliente de la venta para "
                                 "asignarlo; no se asignó ningún expediente."),
            kTituloAsignacion);
        return;
    }

    const Sentencia actualizacion = SentenciasExpediente::asignar(pedido, folio);
    bd.ejecutar(actualizacion.texto, actualizacion.valores);

    // The update only takes a case file still 'Capturado'; any other is left as it was and
    // the user is told so instead of being told it was assigned.
    const std::optional<EstadoActual> despues = leerExpediente(bd, folio);
    const bool asignado =
        despues && despues->pedido.isValid() && despues->pedido.toDouble() == pedido &&
        despues->estado.compare(QStringLiteral("Asignado"), Qt::CaseInsensitive) == 0;
    if (!asignado) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("El expediente %1 no se asignó a la venta: está en estado %2 y solo "
                           "se asigna un expediente Capturado.")
                .arg(NumeroPlano(folio), despues ? despues->estado : antes->estado),
            kTituloAsignacion);
        return;
    }
    qCInfo(lcPedido) << "Expediente" << folio << "asignado al pedido" << pedido;
    c_.entorno.mensajes->MensajeInformacion(QStringLiteral("Expediente Asignado Correctamente!"),
                                            kTituloAsignacion);
    // One assignment per run of the program.
    control<QPushButton>("CmdAsignar").setEnabled(false);
    lista_.CargarExpedientes();
}
