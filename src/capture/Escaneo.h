#pragma once

#include <QObject>

class DiarioPaginas;
class VisorPaginas;
struct ContextoVentana;

// Scanning on the scanning tab: the component's start at load (IniciarEscaner), the source list
// (Combo1_Click, B_SelectSource_Click), the scan button with the automatic settings of the
// current type (B_Acquire_Click) and the arrival of pages (VSTwain1_PostScan), with blank pages
// dropped and skewed ones straightened as the type's settings say.
class Escaneo : public QObject
{
    Q_OBJECT
public:
    Escaneo(ContextoVentana& c, VisorPaginas& visor, DiarioPaginas& diario, QObject* parent);

    // Load step, right after the component is created.
    void IniciarEscaner();
    void Combo1_Click();
    void B_SelectSource_Click();
    void B_Acquire_Click();
    void VSTwain1_PostScan(int flag);
    // The current type's automatic settings go to the component as soon as the type is picked
    // (or restored after a crash), so the source's own dialog opens on them as well.
    void AjustarTipo();

private:
    void escanear();
    void mostrarQuitadas();
    template <class T> T& control(const char* nombre) const;

    ContextoVentana& c_;
    VisorPaginas& visor_;
    DiarioPaginas& diario_;
    int quitadasAntes_ = 0; // pages dropped before the scan running now
};
