#include "capture/DiarioPaginas.h"

#include "app/ConexionBaseDatos.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/SesionCaptura.h"
#include "casefiles/TipoDocumento.h"
#include "components/escaner/EscanerTwain.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLoggingCategory>
#include <QUuid>

Q_LOGGING_CATEGORY(lcDiario, "expedientes.capture.diario")

DiarioPaginas::DiarioPaginas(ContextoVentana& c, QObject* parent) : QObject(parent), c_(c) {}

int DiarioPaginas::hojas() const
{
    return c_.VSTwain1 ? c_.VSTwain1->NumeroPaginas() : 0;
}

void DiarioPaginas::registrar()
{
    if (!lote_ || !c_.VSTwain1)
        return;
    // A component that keeps its pages in memory has nothing on disk to keep this beside.
    const QString carpeta = c_.VSTwain1->CarpetaPaginas();
    if (carpeta.isEmpty())
        return;
    QString error;
    if (!lote_->escribir(carpeta, &error))
        qCWarning(lcDiario) << error;
}

void DiarioPaginas::abrir()
{
    if (lote_)
        return;
    Lote lote;
    lote.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    lote.cliente = c_.global.ClienteSeleccionado;
    lote.folio = c_.sesion.FolioActual;
    lote.tipo = c_.sesion.LetraActual;
    lote_ = lote;
    registrar();
}

void DiarioPaginas::adoptar(const Lote& lote)
{
    lote_ = lote;
    if (lote_->id.isEmpty())
        lote_->id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // Whatever step its save had reached, its working file is gone: it starts over from held.
    // (A lote that reached the server is flagged at start instead of offered.)
    lote_->estado = Lote::Estado::Retenida;
    // Scanned for a case file still to be created: the one the window is bound to now.
    if (!(lote_->folio > 0) && lote_->tieneCliente())
        lote_->folio = c_.sesion.FolioActual;
    registrar();
}

void DiarioPaginas::fijarFolio(double folio)
{
    if (!lote_)
        return;
    lote_->folio = folio;
    registrar();
}

void DiarioPaginas::fijarEstado(Lote::Estado estado)
{
    if (!lote_)
        return;
    lote_->estado = estado;
    registrar();
}

void DiarioPaginas::revisar()
{
    const bool hay = hojas() > 0;
    c_.global.CambiosPendientes = hay;
    if (hay || !lote_ || lote_->estado >= Lote::Estado::Enviada)
        return;
    lote_.reset();
    if (c_.VSTwain1)
        Lote::borrar(c_.VSTwain1->CarpetaPaginas());
}

void DiarioPaginas::vaciarEscaner()
{
    EscanerTwain& escaner = *c_.VSTwain1;
    while (escaner.NumeroPaginas() >= 1) {
        const int antes = escaner.NumeroPaginas();
        for (int posicion = 0; posicion < antes; ++posicion)
            escaner.QuitarPagina(posicion);
        // A component that refuses every removal would keep this going for ever.
        if (escaner.NumeroPaginas() >= antes) {
            qCWarning(lcDiario) << "el escaner no suelta sus hojas:" << escaner.TextoError();
            break;
        }
    }
}

void DiarioPaginas::soltar()
{
    // The pages dropped as blank were this document's too.
    c_.VSTwain1->OlvidarPaginasQuitadas();
    vaciarEscaner();
    if (c_.VSTwain1->NumeroPaginas() == 0) {
        Lote::borrar(c_.VSTwain1->CarpetaPaginas());
        lote_.reset();
    }
    c_.global.CambiosPendientes = c_.VSTwain1->NumeroPaginas() > 0;
    emit hojasSoltadas();
}

void DiarioPaginas::liberar()
{
    if (!c_.VSTwain1)
        return;
    // Recorded first: a crash half-way leaves pages that are known to be stored.
    if (estado() != Lote::Estado::Registrada)
        fijarEstado(Lote::Estado::Registrada);
    soltar();
}

void DiarioPaginas::ceder()
{
    if (!c_.VSTwain1)
        return;
    qCInfo(lcDiario) << "en espera de envío:" << descripcion();
    soltar();
}

void DiarioPaginas::descartar()
{
    qCInfo(lcDiario) << "se descartan" << descripcion();
    soltar();
    ControlVentana<QGroupBox>(c_.ventana, "FrmDocumentos").setEnabled(true);
}

bool DiarioPaginas::pertenece()
{
    if (!lote_)
        return true;
    if (!lote_->tieneCliente()) {
        lote_->cliente = c_.global.ClienteSeleccionado;
        lote_->folio = c_.sesion.FolioActual;
        lote_->tipo = c_.sesion.LetraActual;
        registrar();
        return true;
    }
    return lote_->cliente.NumeroCliente == c_.global.ClienteSeleccionado.NumeroCliente &&
           lote_->folio == c_.sesion.FolioActual && lote_->tipo == c_.sesion.LetraActual;
}

QString DiarioPaginas::descripcion(const Lote& lote, int hojas) const
{
    const QString cuantas =
        QString::number(hojas) + segun(hojas, " hoja escaneada", " hojas escaneadas");
    if (!lote.tieneCliente())
        return cuantas + QStringLiteral(" sin cliente");
    const TipoDocumento* tipo = TipoDocumento::porLetra(lote.tipo);
    QString documento = tipo ? ControlVentana<QAbstractButton>(c_.ventana, tipo->opcion).text()
                             : QStringLiteral("sin tipo");
    documento.remove(QLatin1Char('&'));
    return QStringLiteral("%1 del cliente %2 %3 (%4, %5)")
        .arg(cuantas, NumeroPlano(lote.cliente.NumeroCliente), lote.cliente.NombreCliente.toUpper(),
             lote.folio > 0 ? QStringLiteral("expediente %1").arg(NumeroPlano(lote.folio))
                            : QStringLiteral("expediente nuevo"),
             documento);
}

QString DiarioPaginas::sinExpediente(const TipoDocumento& tipo, double folio)
{
    return QStringLiteral("el expediente %1 ya no existe en la base de datos, así que nada "
                          "apunta al documento %2")
        .arg(NumeroPlano(folio), tipo.nombreRemoto(folio));
}

bool DiarioPaginas::PermitirCambio()
{
    if (!lote_ || !lote_->tieneCliente() || (hojas() == 0 && lote_->estado < Lote::Estado::Enviada))
        return true;
    // The document is on the server already: registered now, nothing of it is lost.
    if (lote_->estado == Lote::Estado::Enviada && completar &&
        completar(
            *lote_, [this] { registrar(); }, nullptr) == Lote::Cierre::Registrado) {
        liberar();
        return true;
    }
    const int n = hojas();
    QString texto = QStringLiteral("Hay ") + descripcion() +
                    segun(n, " que no se ha guardado", " que no se han guardado");
    if (lote_->estado == Lote::Estado::Enviada)
        texto += QStringLiteral(" (el documento ya está en el servidor de imágenes, pero no quedó "
                                "registrado en el expediente)");
    texto += segun(n, ". Si continúa, se descarta. ¿Desea descartarla?",
                   ". Si continúa, se descartan. ¿Desea descartarlas?");
    if (!c_.entorno.mensajes->Pregunta(texto, QStringLiteral("Hojas sin Guardar")))
        return false;
    descartar();
    return true;
}
