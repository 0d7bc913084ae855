#pragma once

#include <QMainWindow>

// A control of the main window by its object name. Features outside the window's own folder
// reach the form this way (its generated header belongs to the window's library), and the
// document-type table names its controls the same way.
template <class T> T& ControlVentana(QMainWindow& ventana, const QString& nombre)
{
    T* control = ventana.findChild<T*>(nombre);
    if (!control)
        qFatal("La ventana no tiene el control %s", qPrintable(nombre));
    return *control;
}

template <class T> T& ControlVentana(QMainWindow& ventana, const char* nombre)
{
    return ControlVentana<T>(ventana, QString::fromLatin1(nombre));
}
