#include "main/Armado.h"

#include "app/FrmEscaneo.h"
#include "capture/ArchivosTrabajo.h"
#include "capture/DescarteDocumento.h"
#include "capture/DiarioPaginas.h"
#include "capture/Escaneo.h"
#include "capture/RecuperacionPaginas.h"
#include "capture/SeleccionDocumento.h"
#include "capture/VisorPaginas.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/ModoPedido.h"
#include "components/escaner/EscanerTwain.h"
#include "scannerinfo/InformacionEscaner.h"
#include "transfer/ConexionImagenes.h"
#include "transfer/DocumentosEnEspera.h"
#include "transfer/EnvioDocumento.h"
#include "transfer/GuardadoDocumento.h"
#include "transfer/RecepcionDocumento.h"

// Folder libraries depend one way: app <- search <- casefiles <- capture <- transfer, and
// scannerinfo on app. Where a feature of a lower folder calls one of a higher folder, it
// exposes a std::function that is filled in here.
// Every feature is owned by the window, its QObject parent; the static analyzer does not know
// Qt's ownership and would report each one that is not handed on as a leak.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
void Armado::armar(FrmEscaneo& ventana)
{
    ContextoVentana& c = ventana.contexto();

    // casefiles
    auto* listaExpedientes = new ListaExpedientes(c, &ventana);
    auto* modoPedido = new ModoPedido(c, *listaExpedientes, &ventana);
    ventana.etapasCarga().arranquePedido = [modoPedido](const QString& lineaComandos) {
        modoPedido->arranquePedido(lineaComandos);
    };

    // capture
    auto* archivosTrabajo = new ArchivosTrabajo(c, &ventana);
    listaExpedientes->LimpiarArchivosTrabajo = [archivosTrabajo] {
        archivosTrabajo->LimpiarArchivosTrabajo();
    };
    auto* diario = new DiarioPaginas(c, &ventana);
    auto* seleccionDocumento = new SeleccionDocumento(c, &ventana);
    new DescarteDocumento(c, &ventana);
    auto* visorPaginas = new VisorPaginas(c, *diario, &ventana);
    // Turning to another customer or case file: the held pages are settled first, and the
    // viewer no longer shows the pages of the one before.
    listaExpedientes->PermitirCambio = [diario, visorPaginas, listaExpedientes] {
        // A document already on the server is flagged on the way out: the list shows it.
        const bool porRegistrar = diario->estado() == Lote::Estado::Enviada;
        if (!diario->PermitirCambio())
            return false;
        if (porRegistrar)
            listaExpedientes->DocumentoRegistrado();
        if (diario->hojas() == 0) {
            visorPaginas->Reiniciar();
            visorPaginas->OlvidarApartadas();
        }
        return true;
    };
    // Another type with no page held: the same holds for the document of the type before.
    seleccionDocumento->CambioDeTipo = [diario, visorPaginas] {
        if (diario->hojas() == 0)
            visorPaginas->OlvidarApartadas();
    };
    auto* escaneo = new Escaneo(c, *visorPaginas, *diario, &ventana);
    seleccionDocumento->TipoElegido = [escaneo] { escaneo->AjustarTipo(); };
    ventana.etapasCarga().IniciarEscaner = [escaneo] { escaneo->IniciarEscaner(); };
    auto* recuperacion = new RecuperacionPaginas(c, *escaneo, *diario, *listaExpedientes,
                                                 *seleccionDocumento, &ventana);

    // transfer
    auto* conexionImagenes = new ConexionImagenes(c, &ventana);
    auto* recepcionDocumento = new RecepcionDocumento(c, *conexionImagenes, &ventana);
    auto* espera = new DocumentosEnEspera(c, *diario, *listaExpedientes, &ventana);
    auto* guardado =
        new GuardadoDocumento(c, *conexionImagenes, *diario, *listaExpedientes, *espera, &ventana);
    // Pages a run left held are offered, unless the outbox had them already; then the outbox's
    // sender starts. It stops when the window closes.
    recuperacion->enSalida = [espera](const Lote& lote) { return espera->contiene(lote.id); };
    listaExpedientes->EnEspera = [espera] { return espera->documentos(); };
    // The viewer shows a document with the pages of it that wait in the outbox after it.
    const auto vista = [espera](const QString& archivo) { return espera->vista(archivo); };
    recepcionDocumento->Vista = vista;
    seleccionDocumento->Vista = vista;
    ventana.etapasCarga().RecuperarPaginas = [recuperacion, espera] {
        recuperacion->RecuperarPaginas();
        espera->iniciar();
    };
    ventana.etapasCarga().Cerrar = [espera] { espera->cerrar(); };
    // A lote an earlier send left on its way is settled by the same send.
    diario->completar = [guardado](Lote& lote, const std::function<void()>& registrar,
                                   QString* motivo) {
        return guardado->envio().completar(lote, registrar, motivo);
    };
    // With no case file picked, the lookup takes the customer's captured one when there is one:
    // the window shows it from then on as if it had been picked.
    seleccionDocumento->RecibirDocumento = [recepcionDocumento, listaExpedientes, &c] {
        const double antes = c.sesion.FolioActual;
        recepcionDocumento->RecibirDocumento();
        if (c.sesion.FolioActual != antes)
            listaExpedientes->ExpedienteTomado();
    };

    // scannerinfo
    new InformacionEscaner(c, &ventana);
}
// NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)
