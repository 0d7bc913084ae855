#include "capture/ArchivosTrabajo.h"

#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Mensajes.h"
#include "casefiles/TipoDocumento.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QRadioButton>
#include <QSignalBlocker>

Q_LOGGING_CATEGORY(registroArchivos, "expedientes.capture")

ArchivosTrabajo::ArchivosTrabajo(ContextoVentana& contexto, QObject* parent)
    : QObject(parent), c_(contexto)
{
}

void ArchivosTrabajo::LimpiarArchivosTrabajo()
{
    for (const QChar letra : QStringLiteral("CEDINRS"))
        borrarArchivo(TipoDocumento::porLetra(letra)->archivoTrabajo());

    limpiarOpciones();

    ControlVentana<QCheckBox>(c_.ventana, "chkPrestamo").setChecked(false);
    ControlVentana<QCheckBox>(c_.ventana, "chkPrestamo").setEnabled(true);

    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        ControlVentana<QWidget>(c_.ventana, tipo.marcaPresente).setVisible(false);
        ControlVentana<QWidget>(c_.ventana, tipo.marcaFalta).setVisible(true);
    }
}

void ArchivosTrabajo::borrarArchivo(const QString& nombre)
{
    QFile archivo(nombre);
    if (!archivo.exists() || archivo.remove())
        return;
    // Typically the viewer still holds it. The user must know: while it stays, picking its type
    // shows this file instead of the document of the case file chosen now.
    const QString ruta = QDir::toNativeSeparators(QFileInfo(nombre).absoluteFilePath());
    qCWarning(registroArchivos) << "no se pudo borrar" << ruta << archivo.errorString();
    c_.entorno.mensajes->MensajeError(
        QStringLiteral("No se pudo borrar el archivo de trabajo %1: %2. Cierre el programa que "
                       "lo tenga abierto y vuelva a elegir el cliente o el expediente; mientras "
                       "exista, se mostrará en lugar del documento del expediente elegido.")
            .arg(ruta, archivo.errorString()),
        QStringLiteral("Archivos de Trabajo"));
}

void ArchivosTrabajo::limpiarOpciones()
{
    // Options of one group are exclusive and a checked one cannot be cleared while it is; the
    // exclusivity is lifted for the moment. Signals are held so that no option handler runs.
    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        auto* opcion = &ControlVentana<QRadioButton>(c_.ventana, tipo.opcion);
        QButtonGroup* grupo = opcion->group();
        const QSignalBlocker bloqueoOpcion(opcion);
        const QSignalBlocker bloqueoGrupo(grupo);
        const bool grupoExclusivo = grupo && grupo->exclusive();
        const bool autoExclusivo = opcion->autoExclusive();
        if (grupo)
            grupo->setExclusive(false);
        opcion->setAutoExclusive(false);
        opcion->setChecked(false);
        opcion->setAutoExclusive(autoExclusivo);
        if (grupo)
            grupo->setExclusive(grupoExclusivo);
    }
}
