#pragma once

#include <QString>

class QWidget;

// The main window's place and size between runs, in the user's settings (archivoAjustes when
// given, the tests' own file; otherwise the platform's usual place for the program).
class GeometriaVentana
{
public:
    // False when nothing was kept or what was kept cannot be used.
    static bool restaurar(QWidget& ventana, const QString& archivoAjustes);
    static void guardar(const QWidget& ventana, const QString& archivoAjustes);
};
