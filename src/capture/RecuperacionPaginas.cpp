#include "capture/RecuperacionPaginas.h"

#include "app/ConexionBaseDatos.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/Proteccion.h"
#include "app/RelojArena.h"
#include "app/SesionCaptura.h"
#include "capture/DiarioPaginas.h"
#include "capture/Escaneo.h"
#include "capture/SeleccionDocumento.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/TipoDocumento.h"
#include "components/escaner/EscanerTwain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLoggingCategory>
#include <QStringList>
#include <QTabWidget>

Q_LOGGING_CATEGORY(lcRecuperacionVentana, "expedientes.scan.recuperacion.ventana")

namespace {
const QString kTituloRecuperar = QStringLiteral("Recuperar Hojas Escaneadas");
const QString kTituloDescartar = QStringLiteral("Descartar Hojas Escaneadas");
} // namespace

RecuperacionPaginas::RecuperacionPaginas(ContextoVentana& c, Escaneo& escaneo,
                                         DiarioPaginas& diario, ListaExpedientes& lista,
                                         SeleccionDocumento& seleccion, QObject* parent)
    : QObject(parent), c_(c), escaneo_(escaneo), diario_(diario), lista_(lista),
      seleccion_(seleccion)
{
}

void RecuperacionPaginas::RecuperarPaginas()
{
    if (!c_.VSTwain1)
        return;
    EjecutarProtegido(*c_.entorno.mensajes, [this] { revisarSesiones(); });
}

void RecuperacionPaginas::revisarSesiones()
{
    bool retenido = false;
    int pendientes = 0;
    for (const SesionRecuperable& sesion : c_.VSTwain1->SesionesRecuperables()) {
        const std::optional<Lote> lote = Lote::leer(sesion.carpeta);
        if (lote && !lote->id.isEmpty() && enSalida && enSalida(*lote)) {
            qCInfo(lcRecuperacionVentana) << "ya está en espera de envío:" << sesion.carpeta;
            descartar(sesion);
            continue;
        }
        // Stored and flagged, or stored and flagged now: nothing of it is missing anywhere.
        if (lote && (lote->estado >= Lote::Estado::Enviada || !lote->enviado.isEmpty())) {
            if (registrar(sesion, *lote))
                continue;
        }
        if (retenido) {
            ++pendientes;
            continue;
        }
        retenido = ofrecer(sesion, lote);
    }
    if (pendientes > 0) {
        qCInfo(lcRecuperacionVentana) << pendientes << "lotes esperan al próximo inicio";
        auto& estatus = ControlVentana<QLabel>(c_.ventana, "LblEstatus");
        estatus.setText(estatus.text() +
                        (pendientes == 1
                             ? QStringLiteral(" Otro lote de hojas sin guardar se ofrecerá al "
                                              "volver a iniciar el programa.")
                             : QStringLiteral(" Otros %1 lotes de hojas sin guardar se ofrecerán "
                                              "al volver a iniciar el programa.")
                                   .arg(pendientes)));
    }
}

bool RecuperacionPaginas::registrar(const SesionRecuperable& sesion, const Lote& registrado)
{
    if (registrado.estado != Lote::Estado::Registrada) {
        const TipoDocumento* tipo = TipoDocumento::porLetra(registrado.tipo);
        if (!tipo || !(registrado.folio > 0) || !diario_.completar)
            return false;
        // Its upload was under way or done: the server says whether it has it, and then it is
        // flagged rather than offered to be sent a second time.
        Lote lote = registrado;
        QString error;
        const auto registrar = [&] { lote.escribir(sesion.carpeta, nullptr); };
        switch (diario_.completar(lote, registrar, &error)) {
        case Lote::Cierre::PorEnviar:
            return false;
        case Lote::Cierre::SinRegistrar:
            // Kept for the next start; offered meanwhile it would be sent a second time.
            c_.entorno.mensajes->MensajeError(
                QStringLiteral("El documento %1 está en el servidor de imágenes pero no se pudo "
                               "registrar en el expediente: %2. Se intentará de nuevo la próxima "
                               "vez que inicie el programa.")
                    .arg(tipo->nombreRemoto(lote.folio), error),
                kTituloRecuperar);
            return true;
        case Lote::Cierre::Registrado:
            break;
        }
        qCInfo(lcRecuperacionVentana) << "se registró" << tipo->nombreRemoto(lote.folio);
        lista_.DocumentoRegistrado();
        ControlVentana<QLabel>(c_.ventana, "LblEstatus")
            .setText(QStringLiteral("Se registró en el expediente el documento %1, que ya estaba "
                                    "en el servidor de imágenes.")
                         .arg(tipo->nombreRemoto(lote.folio)));
    }
    descartar(sesion);
    return true;
}

bool RecuperacionPaginas::ofrecer(const SesionRecuperable& sesion, const std::optional<Lote>& lote)
{
    const int n = sesion.paginas;
    const QString hojas = diario_.descripcion(lote.value_or(Lote{}), n);
    // No, the default, never deletes anything by itself.
    if (c_.entorno.mensajes->Pregunta(
            DiarioPaginas::segun(n, "Se encontró ", "Se encontraron ") + hojas +
                DiarioPaginas::segun(n,
                                     " que no se guardó porque el programa se cerró sin "
                                     "terminar. ¿Desea recuperarla?",
                                     " que no se guardaron porque el programa se cerró sin "
                                     "terminar. ¿Desea recuperarlas?"),
            kTituloRecuperar)) {
        restaurar(sesion, lote);
        return diario_.hojas() > 0;
    }
    if (c_.entorno.mensajes->Pregunta(
            QStringLiteral("¿Desea eliminar definitivamente ") + hojas +
                DiarioPaginas::segun(n,
                                     " sin guardar? Si responde No, se conserva y se le ofrecerá "
                                     "de nuevo la próxima vez que inicie el programa.",
                                     " sin guardar? Si responde No, se conservan y se le "
                                     "ofrecerán de nuevo la próxima vez que inicie el programa."),
            kTituloDescartar)) {
        descartar(sesion);
        return false;
    }
    qCInfo(lcRecuperacionVentana) << hojas << "se conservan para el próximo inicio";
    return false;
}

void RecuperacionPaginas::restaurar(const SesionRecuperable& sesion,
                                    const std::optional<Lote>& lote)
{
    EscanerTwain& escaner = *c_.VSTwain1;
    const Lote recuperado = lote.value_or(Lote{});
    const TipoDocumento* tipo = TipoDocumento::porLetra(recuperado.tipo);
    if (recuperado.tieneCliente()) {
        // The window goes back to where the pages were scanned: their customer, their case file
        // and their type, whose stored document comes down again.
        c_.global.ClienteSeleccionado = recuperado.cliente;
        lista_.TomarCliente();
        if (recuperado.folio > 0 && !lista_.ElegirExpediente(recuperado.folio)) {
            c_.entorno.mensajes->MensajeError(
                QStringLiteral("El expediente %1 de las hojas recuperadas ya no existe; no se "
                               "recuperaron. Se conservan para el próximo inicio.")
                    .arg(NumeroPlano(recuperado.folio)),
                kTituloRecuperar);
            return;
        }
        ControlVentana<QTabWidget>(c_.ventana, "TabScan").setCurrentIndex(1);
        if (tipo) {
            ControlVentana<QAbstractButton>(c_.ventana, tipo->opcion).setChecked(true);
            seleccion_.Opc_Click(*tipo);
        }
    }
    int recuperadas = 0;
    QString problemas;
    {
        RelojArena reloj;
        // Recorded here before the pages move, so a crash in between still knows whose they are.
        diario_.adoptar(recuperado);
        recuperadas = escaner.RecuperarPaginas(sesion.carpeta);
        if (escaner.CodigoError() != 0)
            problemas = escaner.TextoError();
    }
    diario_.revisar();
    if (recuperadas > 0) {
        escaneo_.VSTwain1_PostScan(0);
        QString texto = DiarioPaginas::segun(recuperadas, "Se recuperó ", "Se recuperaron ") +
                        diario_.descripcion();
        if (recuperado.tieneCliente()) {
            // Held as after a scan: their customer, case file and type are fixed.
            ControlVentana<QGroupBox>(c_.ventana, "FrmDocumentos").setEnabled(false);
            texto += DiarioPaginas::segun(recuperadas, ": presione Guardar para guardarla.",
                                          ": presione Guardar para guardarlas.");
        } else {
            texto += QStringLiteral(": elija el cliente, el expediente y el tipo de documento, y "
                                    "presione Guardar.");
        }
        ControlVentana<QLabel>(c_.ventana, "LblEstatus").setText(texto);
    }
    if (!problemas.isEmpty())
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("Se recuperaron %1 hojas escaneadas. ").arg(recuperadas) + problemas,
            kTituloRecuperar);
}

void RecuperacionPaginas::descartar(const SesionRecuperable& sesion)
{
    EscanerTwain& escaner = *c_.VSTwain1;
    if (escaner.DescartarPaginas(sesion.carpeta) == 0)
        c_.entorno.mensajes->MensajeError(escaner.TextoError(), kTituloDescartar);
}
