#include "app/MensajesQt.h"

#include "app/NombreAplicacion.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>

namespace {
// Titles longer than this are also shown inside the box, where they can wrap.
constexpr int kTituloLargo = 40;
} // namespace

int MensajesQt::mostrar(int icono, const QString& mensaje, const QString& titulo, bool pregunta)
{
    QMessageBox caja(static_cast<QMessageBox::Icon>(icono), titulo, mensaje, QMessageBox::NoButton,
                     QApplication::activeWindow());
    if (titulo.size() > kTituloLargo) {
        caja.setText(QStringLiteral("<b>%1</b><br><br>%2")
                         .arg(titulo.toHtmlEscaped(), mensaje.toHtmlEscaped()));
        caja.setTextFormat(Qt::RichText);
    }
    // QMessageBox narrows itself on small screens; a wrapping label never cuts the text off.
    if (auto* etiqueta = caja.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        etiqueta->setWordWrap(true);
    if (pregunta) {
        caja.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        caja.setDefaultButton(QMessageBox::No);
    } else {
        caja.setStandardButtons(QMessageBox::Ok);
    }
    return caja.exec();
}

void MensajesQt::MensajeError(const QString& mensaje, const QString& titulo)
{
    mostrar(QMessageBox::Critical, mensaje, titulo, false);
}

void MensajesQt::MensajeInformacion(const QString& mensaje, const QString& titulo)
{
    mostrar(QMessageBox::Information, mensaje, titulo, false);
}

bool MensajesQt::Pregunta(const QString& mensaje, const QString& titulo)
{
    return mostrar(QMessageBox::Question, mensaje, titulo, true) == QMessageBox::Yes;
}

void MensajesQt::MensajeSimple(const QString& mensaje)
{
    mostrar(QMessageBox::NoIcon, mensaje, NombreAplicacion::titulo(), false);
}
