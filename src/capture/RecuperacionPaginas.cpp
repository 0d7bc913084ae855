#include "capture/RecuperacionPaginas.h"

#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/Proteccion.h"
#include "app/RelojArena.h"
#include "capture/Escaneo.h"
#include "components/EscanerTwain.h"

#include <QApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QStringList>

Q_LOGGING_CATEGORY(lcRecuperacionVentana, "expedientes.scan.recuperacion.ventana")

namespace {
const QString kTituloRecuperar = QStringLiteral("Recuperar Hojas Escaneadas");
const QString kTituloDescartar = QStringLiteral("Descartar Hojas Escaneadas");

} // namespace

RecuperacionPaginas::RecuperacionPaginas(ContextoVentana& c, Escaneo& escaneo, QObject* parent)
    : QObject(parent), c_(c), escaneo_(escaneo)
{
}

void RecuperacionPaginas::RecuperarPaginas()
{
    if (!c_.VSTwain1)
        return;
    EjecutarProtegido(*c_.entorno.mensajes, [this] { ofrecer(); });
}

void RecuperacionPaginas::ofrecer()
{
    const QList<SesionRecuperable> sesiones = c_.VSTwain1->SesionesRecuperables();
    int hojas = 0;
    for (const SesionRecuperable& sesion : sesiones)
        hojas += sesion.paginas;
    if (hojas == 0)
        return;
    // No, the default, never deletes anything by itself.
    if (c_.entorno.mensajes->Pregunta(
            QStringLiteral("Se encontraron %1 hojas escaneadas que no se guardaron porque el "
                           "programa se cerró sin terminar. ¿Desea recuperarlas?")
                .arg(hojas),
            kTituloRecuperar)) {
        restaurar(sesiones);
        return;
    }
    if (c_.entorno.mensajes->Pregunta(
            QStringLiteral("¿Desea eliminar definitivamente las %1 hojas escaneadas sin guardar? "
                           "Si responde No, se conservan y se le ofrecerán de nuevo la próxima "
                           "vez que inicie el programa.")
                .arg(hojas),
            kTituloDescartar)) {
        descartar(sesiones);
        return;
    }
    qCInfo(lcRecuperacionVentana) << hojas
                                  << "hojas sin guardar se conservan para el próximo inicio";
}

void RecuperacionPaginas::restaurar(const QList<SesionRecuperable>& sesiones)
{
    EscanerTwain& escaner = *c_.VSTwain1;
    int recuperadas = 0;
    QStringList problemas;
    {
        RelojArena reloj;
        for (const SesionRecuperable& sesion : sesiones) {
            recuperadas += escaner.RecuperarPaginas(sesion.carpeta);
            if (escaner.CodigoError() != 0)
                problemas << escaner.TextoError();
        }
    }
    if (recuperadas > 0) {
        // Held as after a scan: the save asks for them and closing warns about them. The type
        // frame and the customer button stay usable, unlike after a scan: these pages belong to
        // no customer or type yet, and the save needs both.
        c_.global.CambiosPendientes = true;
        escaneo_.VSTwain1_PostScan(0);
        ControlVentana<QLabel>(c_.ventana, "LblEstatus")
            .setText(QStringLiteral("Se recuperaron %1 hojas escaneadas: elija el cliente, el "
                                    "expediente y el tipo de documento, y presione Guardar.")
                         .arg(recuperadas));
    }
    if (!problemas.isEmpty())
        c_.entorno.mensajes->MensajeError(
            QStringLiteral("Se recuperaron %1 hojas escaneadas. ").arg(recuperadas) +
                problemas.join(QLatin1Char(' ')),
            kTituloRecuperar);
}

void RecuperacionPaginas::descartar(const QList<SesionRecuperable>& sesiones)
{
    EscanerTwain& escaner = *c_.VSTwain1;
    QStringList problemas;
    for (const SesionRecuperable& sesion : sesiones) {
        if (escaner.DescartarPaginas(sesion.carpeta) == 0)
            problemas << escaner.TextoError();
    }
    if (!problemas.isEmpty())
        c_.entorno.mensajes->MensajeError(problemas.join(QLatin1Char(' ')), kTituloDescartar);
}
