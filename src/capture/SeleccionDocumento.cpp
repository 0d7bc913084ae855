#include "capture/SeleccionDocumento.h"

#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Proteccion.h"
#include "app/SesionCaptura.h"
#include "app/Visor.h"
#include "casefiles/TipoDocumento.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QPushButton>

SeleccionDocumento::SeleccionDocumento(ContextoVentana& c, QObject* parent) : QObject(parent), c_(c)
{
    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        auto& opcion = ControlVentana<QAbstractButton>(c_.ventana, tipo.opcion);
        connect(&opcion, &QAbstractButton::clicked, this, [this, &tipo] { Opc_Click(tipo); });
    }
}

bool SeleccionDocumento::EscaneoPermitido(const QString& estadoExpediente)
{
    const QString estado = estadoExpediente.trimmed();
    return estado == QLatin1String("Capturado") || estado == QLatin1String("Asignado");
}

void SeleccionDocumento::Opc_Click(const TipoDocumento& tipo)
{
    EjecutarProtegido(*c_.entorno.mensajes, [&] {
        const bool otro = c_.sesion.LetraActual != QString(tipo.letra);
        if (otro && CambioDeTipo)
            CambioDeTipo();
        c_.sesion.LetraActual = QString(tipo.letra);
        if (otro && TipoElegido)
            TipoElegido();
        const QString archivo = tipo.archivoTrabajo();
        // A folder of that name is not a working file.
        if (QFileInfo(archivo).isFile()) {
            c_.entorno.visor->abrir(Vista ? Vista(archivo) : archivo);
            c_.sesion.DocumentoExiste = true;
        } else if (RecibirDocumento) {
            RecibirDocumento();
        }
        ControlVentana<QPushButton>(c_.ventana, QStringLiteral("B_Acquire"))
            .setEnabled(EscaneoPermitido(c_.global.EstadoExpediente));
    });
}
