#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class OpcionesSane;
class QCheckBox;
struct TratamientoHojas;

// The source's settings dialog, built from the device's own options (mode, depth, resolution,
// area, source, brightness, contrast where present), with Escanear and Cancelar. Beside the
// source, what is done to the pages as they arrive (QuitarBlancas, EnderezarHojas) when a
// tratamiento is given. Values are written only when the user presses Escanear.
class DialogoAjustesSane : public QDialog
{
    Q_OBJECT
public:
    explicit DialogoAjustesSane(OpcionesSane& opciones, TratamientoHojas* tratamiento = nullptr,
                                QWidget* padre = nullptr);

    // Writes every control's value to the device, mode first (it changes what depth allows).
    void aplicar();
    // The control of an option, for tests and for the layout; nullptr when absent.
    QWidget* control(const char* nombre) const;

    // Shows the dialog; true when the user chose to scan.
    static bool mostrar(QWidget* padre, OpcionesSane& opciones, TratamientoHojas& tratamiento);

private:
    struct Control
    {
        const char* nombre;
        QWidget* widget;
        std::function<void()> aplicar;
    };
    void agregar(const char* nombre, const QString& etiqueta);
    void agregarTratamiento();

    OpcionesSane& opciones_;
    TratamientoHojas* tratamiento_;
    QCheckBox* quitarBlancas_ = nullptr;
    QCheckBox* enderezar_ = nullptr;
    QList<Control> controles_;
    class QFormLayout* formulario_;
};
