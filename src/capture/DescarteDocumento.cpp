#include "capture/DescarteDocumento.h"

#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Mensajes.h"
#include "app/Proteccion.h"
#include "app/SesionCaptura.h"
#include "casefiles/TipoDocumento.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>

DescarteDocumento::DescarteDocumento(ContextoVentana& c, QObject* parent) : QObject(parent), c_(c)
{
    borrarArchivo = [](const QString& archivo, QString& motivo) {
        QFile borrado(archivo);
        if (borrado.remove())
            return true;
        motivo = borrado.errorString();
        return false;
    };
    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        auto& marca = ControlVentana<QLabel>(c_.ventana, tipo.marcaPresente);
        marca.installEventFilter(this);
        marcas_.insert(&marca, &tipo);
    }
}

bool DescarteDocumento::eventFilter(QObject* objeto, QEvent* evento)
{
    const TipoDocumento* tipo = marcas_.value(objeto);
    if (!tipo)
        return QObject::eventFilter(objeto, evento);
    const auto tipoEvento = evento->type();
    if (tipoEvento != QEvent::MouseButtonDblClick && tipoEvento != QEvent::MouseButtonRelease)
        return QObject::eventFilter(objeto, evento);
    auto* raton = static_cast<QMouseEvent*>(evento);
    if (raton->button() != Qt::LeftButton)
        return QObject::eventFilter(objeto, evento);
    if (tipo->descarteConDobleClic) {
        if (tipoEvento == QEvent::MouseButtonDblClick)
            Marca_Descartar(*tipo);
    } else if (tipoEvento == QEvent::MouseButtonRelease) {
        // A click ends on the mark it began on.
        auto* marca = static_cast<QWidget*>(objeto);
        if (marca->rect().contains(raton->position().toPoint()))
            Marca_Descartar(*tipo);
    }
    return QObject::eventFilter(objeto, evento);
}

void DescarteDocumento::Marca_Descartar(const TipoDocumento& tipo)
{
    EjecutarProtegido(*c_.entorno.mensajes, [&] {
        const QString archivo = tipo.archivoTrabajo();
        // Off while pages of the type are held, as the frame around it is: the save still needs
        // the stored copy it holds, or it would send the new pages alone over the stored ones.
        if (!ControlVentana<QWidget>(c_.ventana, tipo.marcaPresente).isEnabled() ||
            !QFileInfo(archivo).isFile())
            return;
        QString motivo;
        if (!borrarArchivo(archivo, motivo)) {
            // Typically the viewer still holds it open; the user can close it and try again.
            c_.entorno.mensajes->MensajeError(
                QStringLiteral("No se pudo eliminar el archivo %1: %2")
                    .arg(QDir::toNativeSeparators(QFileInfo(archivo).absoluteFilePath()), motivo),
                QStringLiteral("Borrar Imagen"));
            return;
        }
        ControlVentana<QLabel>(c_.ventana, tipo.marcaPresente).setVisible(false);
        ControlVentana<QLabel>(c_.ventana, tipo.marcaFalta).setVisible(true);
        c_.sesion.DocumentoExiste = false;
        c_.entorno.mensajes->MensajeInformacion(QStringLiteral("Imagen Eliminada Correctamente"),
                                                QStringLiteral("Borrar Imagen"));
    });
}
