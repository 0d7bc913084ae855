#pragma once

// One reversible change to the pages held, kept so that Ctrl+Z can take it back.
class PasoDeshacer
{
public:
    // What taking a step back did to the pages held, so the viewer can follow it.
    struct Efecto
    {
        enum Tipo
        {
            Repuesta, // a page is held again at `posicion`
            Girada,   // the page at `posicion` changed its picture
            Movida    // the page at `desde` is at `posicion` now
        };
        Tipo tipo = Repuesta;
        int posicion = 0;
        int desde = 0;
    };

    virtual ~PasoDeshacer() = default;
    // Takes the change back; false when it could not (the component's error says why).
    virtual bool deshacer() = 0;
    virtual Efecto efecto() const = 0;
    // The step leaves the stack without being undone: whatever it kept for the undo may go.
    virtual void soltar() {}
};
