#pragma once

#include "capture/MedidorTamano.h"
#include "capture/PilaDeshacer.h"

#include <QObject>
#include <QString>

class DiarioPaginas;
class LienzoPagina;
class ModeloMiniaturas;
class QListView;
struct ContextoVentana;

// The pages the scanning component holds, one at a time in Image1, with stepping (BNext_Click,
// BPrev_Click) and removal of the page shown (BDelete_Click), which the journal of pages follows.
// Beside them: a strip of thumbnails, zoom, turning and moving pages, Ctrl+Z for the last
// changes, and the estimated size of the document against the branch's limit.
class VisorPaginas : public QObject
{
    Q_OBJECT
public:
    VisorPaginas(ContextoVentana& c, DiarioPaginas& diario, QObject* parent);

    void BNext_Click();
    void BPrev_Click();
    void BDelete_Click();

    // Endings of the page label: arrivals and stepping write one, a removal the other.
    static inline const QString kTerminacionPaso = QStringLiteral(" bpp )");
    static inline const QString kTerminacionQuitar = QStringLiteral(" bpp)");

    // Shows page p: its picture and the label "Imagen p (w x h x bits" + ending.
    void MostrarPagina(int posicion, const QString& terminacion);
    // The state at start-up, and whenever the window turns to another customer or case file:
    // "Sin Imagen", no picture, the counter, the four buttons disabled, page 0.
    void Reiniciar();

    // Goes to page p as stepping there would (a thumbnail's click).
    void VerPagina(int posicion);
    // Turns the page shown by quarter turns clockwise (1 right, 3 left, 2 half a turn).
    void GirarPagina(int cuartos);
    // Moves a page to another place (a thumbnail dropped there); false when it did not move.
    bool MoverPagina(int desde, int hasta);
    // Takes back the last removal, turn or move (Ctrl+Z).
    void Deshacer();
    // Another kind of step the window takes back with Ctrl+Z.
    void apilar(std::unique_ptr<PasoDeshacer> paso);
    // No page is held and the window turns to another document: the pages removed or dropped as
    // blank go for good, so that Ctrl+Z cannot bring one into a document it was not scanned for.
    void OlvidarApartadas();

    LienzoPagina& lienzo() { return *lienzo_; }
    ModeloMiniaturas& miniaturas() { return *miniaturas_; }
    const MedidorTamano& medidor() const { return medidor_; }

private:
    QString etiqueta(int posicion, const QString& terminacion) const;
    void habilitar(const char* boton, bool habilitado);
    bool libre() const; // pages held and no scan delivering more
    // The strip, the tools and the size follow the pages held and the page shown.
    void actualizar();
    void conectarHerramientas();
    void conectarTeclado();

    ContextoVentana& c_;
    DiarioPaginas& diario_;
    LienzoPagina* lienzo_;
    ModeloMiniaturas* miniaturas_;
    QListView& tira_;
    MedidorTamano medidor_;
    PilaDeshacer deshacer_;
    bool siguiendo_ = false; // the strip's selection is being set from the page shown
};
