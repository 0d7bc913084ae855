#include "casefiles/TrabaDobleClic.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>

TrabaDobleClic::TrabaDobleClic(QWidget& lista, QObject* parent) : QObject(parent), lista_(lista)
{
    lista_.installEventFilter(this);
}

void TrabaDobleClic::armar()
{
    if (armada_)
        return;
    armada_ = true;
    qApp->installEventFilter(this);
}

void TrabaDobleClic::desarmar()
{
    armada_ = false;
    qApp->removeEventFilter(this);
}

bool TrabaDobleClic::eventFilter(QObject* objeto, QEvent* evento)
{
    const QEvent::Type tipo = evento->type();
    if (tipo != QEvent::MouseButtonPress && tipo != QEvent::MouseButtonDblClick &&
        tipo != QEvent::MouseButtonRelease)
        return false;
    const auto* raton = static_cast<QMouseEvent*>(evento);
    if (objeto == &lista_) {
        if (tipo == QEvent::MouseButtonRelease)
            ultimoClic_ = raton->timestamp();
        return false;
    }
    if (!armada_ || !objeto->isWidgetType())
        return false;
    const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    if (raton->timestamp() < ultimoClic_ || raton->timestamp() - ultimoClic_ > interval) {
        desarmar();
        return false;
    }
    // Only the list's own window: a dialog the pick opened takes its clicks.
    auto* widget = static_cast<QWidget*>(objeto);
    return widget->window() == lista_.window();
}
