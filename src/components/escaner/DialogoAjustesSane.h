#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class OpcionesSane;

// The source's settings dialog, built from the device's own options (mode, depth, resolution,
// area, source, brightness, contrast where present), with Escanear and Cancelar. Values are
// written to the device only when the user presses Escanear.
class DialogoAjustesSane : public QDialog
{
    Q_OBJECT
public:
    explicit DialogoAjustesSane(OpcionesSane& opciones, QWidget* padre = nullptr);

    // Writes every control's value to the device, mode first (it changes what depth allows).
    void aplicar();
    // The control of an option, for tests and for the layout; nullptr when absent.
    QWidget* control(const char* nombre) const;

    // Shows the dialog; true when the user chose to scan.
    static bool mostrar(QWidget* padre, OpcionesSane& opciones);

private:
    struct Control
    {
        const char* nombre;
        QWidget* widget;
        std::function<void()> aplicar;
    };
    void agregar(const char* nombre, const QString& etiqueta);

    OpcionesSane& opciones_;
    QList<Control> controles_;
    class QFormLayout* formulario_;
};
