#include "app/CicloVentana.h"

#include "app/CargarConfiguracion.h"
#include "app/ConexionBaseDatos.h"
#include "app/ContextoVentana.h"
#include "app/Entorno.h"
#include "app/ErrorSistema.h"
#include "app/GeometriaVentana.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/RelojArena.h"
#include "app/SesionCaptura.h"
#include "components/escaner/EscanerTwain.h"
#include "ui_FrmEscaneo.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <cmath>
#include <optional>

CicloVentana::CicloVentana(ContextoVentana& contexto, EtapasCarga& etapas, QObject* parent)
    : QObject(parent), c_(contexto), etapas_(etapas)
{
}

bool CicloVentana::Form_Load(const QString& lineaComandos)
{
    std::optional<ErrorSistema> fallo;
    {
        RelojArena reloj;
        colocar();
        c_.ui.TabScan->setEnabled(false);
        c_.ui.TabScan->setCurrentIndex(0);
        c_.global.CambiosPendientes = false;
        QCoreApplication::processEvents();

        // The window is not usable until this is done: a failure here ends the program.
        try {
            CargarConfiguracion(c_.global, *c_.entorno.ConexionBD, c_.entorno.carpetaArranque);
            arrancarPedido(lineaComandos);
            c_.sesion.EscanerListo = false;
            c_.VSTwain1 = c_.entorno.crearEscaner();
            c_.VSTwain1->FijarVentana(&c_.ventana);
            c_.VSTwain1->FijarAjusteInicial(0);
            if (etapas_.IniciarEscaner)
                etapas_.IniciarEscaner();
        } catch (const ErrorSistema& error) {
            fallo = error;
        }
    }
    if (!fallo) {
        // Asked once the hourglass is gone; a failure here leaves the program usable.
        if (etapas_.RecuperarPaginas)
            etapas_.RecuperarPaginas();
        return true;
    }
    c_.entorno.mensajes->MensajeError(fallo->mensaje(),
                                      QStringLiteral("No se pudo iniciar el programa"));
    return false;
}

void CicloVentana::colocar()
{
    if (GeometriaVentana::restaurar(c_.ventana, c_.entorno.archivoAjustes))
        return;
    const QScreen* pantalla = c_.ventana.screen();
    if (!pantalla)
        return;
    const QRect area = pantalla->availableGeometry();
    // On a laptop's screen the grid and the page viewer need all of it.
    const bool pantallaChica = area.width() <= 1366 && area.height() <= 768;
    if (pantallaChica || c_.ventana.width() > area.width() || c_.ventana.height() > area.height()) {
        c_.ventana.setWindowState(c_.ventana.windowState() | Qt::WindowMaximized);
        return;
    }
    c_.ventana.move(area.x() + (area.width() - c_.ventana.width()) / 2,
                    area.y() + (area.height() - c_.ventana.height()) / 2);
}

void CicloVentana::arrancarPedido(const QString& lineaComandos)
{
    const QString texto = lineaComandos.trimmed();
    if (texto.isEmpty())
        return;
    bool esNumero = false;
    const double pedido = texto.toDouble(&esNumero);
    // A sale number is a whole number; anything else starts the program plainly instead of
    // ending it. Zero and below are whole numbers all the same: the order query says whether
    // such a sale exists.
    if (!esNumero || pedido != std::floor(pedido) || std::fabs(pedido) > 9007199254740992.0) {
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("El número de venta indicado al iniciar no es válido: \"%1\". "
                           "El programa inicia sin pedido por asignar.")
                .arg(texto),
            QStringLiteral("Pedido a Asignar"));
        return;
    }
    c_.global.PedidoAAsignar = pedido;
    if (etapas_.arranquePedido)
        etapas_.arranquePedido(texto);
}

void CicloVentana::Form_Unload(bool& Cancel)
{
    if (c_.global.CambiosPendientes) {
        if (!c_.entorno.mensajes->Pregunta(
                QStringLiteral("Se Dispone a Salir sin Guardar los Cambios, esta seguro?"),
                QStringLiteral("Descartar Cambios"))) {
            Cancel = true;
            return;
        }
        c_.global.CambiosPendientes = false;
    }
    if (etapas_.Cerrar)
        etapas_.Cerrar();
    GeometriaVentana::guardar(c_.ventana, c_.entorno.archivoAjustes);
    c_.entorno.ConexionBD->cerrar();
}
