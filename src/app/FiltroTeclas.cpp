#include "app/FiltroTeclas.h"

#include "app/Windows1252.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {
constexpr int kEnter = 13;
constexpr int kRetroceso = 8;
} // namespace

void TeclaMayusculas(int& KeyAscii)
{
    if (KeyAscii == kEnter) {
        KeyAscii = 0;
        return;
    }
    if (KeyAscii <= 0)
        return;
    // Locale rules: á gives Á and ñ gives Ñ. A letter whose upper case is not one character of
    // the code page (ß gives SS, µ the Greek Μ) is left alone, as the code page itself would:
    // the text ends up in Windows-1252 files and columns.
    const QString mayuscula = QString(QChar(KeyAscii)).toUpper();
    if (mayuscula.size() == 1 && Windows1252::representable(mayuscula))
        KeyAscii = mayuscula.at(0).unicode();
}

void TeclaNumerica(int& KeyAscii)
{
    if (KeyAscii == kEnter) {
        KeyAscii = 0;
        return;
    }
    if (KeyAscii != kRetroceso && (KeyAscii < '0' || KeyAscii > '9'))
        KeyAscii = 0;
}

FiltroTeclas::FiltroTeclas(Modo modo, QObject* parent) : QObject(parent), modo_(modo) {}

FiltroTeclas* FiltroTeclas::instalar(QObject* editor, Modo modo)
{
    auto* filtro = new FiltroTeclas(modo, editor);
    editor->installEventFilter(filtro);
    return filtro;
}

bool FiltroTeclas::eventFilter(QObject* objeto, QEvent* evento)
{
    if (reenviando_ || evento->type() != QEvent::KeyPress)
        return QObject::eventFilter(objeto, evento);
    auto* tecla = static_cast<QKeyEvent*>(evento);
    const bool enter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
    // Keys that type nothing (arrows, Tab, Delete) never reach a key-press filter; X11 gives
    // Delete the character 127 all the same.
    if (!enter && (tecla->text().size() != 1 || tecla->key() == Qt::Key_Tab ||
                   tecla->key() == Qt::Key_Backtab || tecla->key() == Qt::Key_Delete))
        return false;

    int codigo = enter ? kEnter : tecla->text().at(0).unicode();
    const int original = codigo;
    if (modo_ == Modo::Mayusculas)
        TeclaMayusculas(codigo);
    else
        TeclaNumerica(codigo);

    if (enter) {
        if (auto* widget = qobject_cast<QWidget*>(objeto)) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
            reenviando_ = true;
            QCoreApplication::sendEvent(widget, &tab);
            reenviando_ = false;
        }
        return true;
    }
    if (codigo == 0)
        return true;
    if (codigo == original)
        return false;
    QKeyEvent cambiada(QEvent::KeyPress, tecla->key(), tecla->modifiers(), QString(QChar(codigo)),
                       tecla->isAutoRepeat(), tecla->count());
    reenviando_ = true;
    QCoreApplication::sendEvent(objeto, &cambiada);
    reenviando_ = false;
    return true;
}
