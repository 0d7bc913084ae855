#pragma once

#include <QObject>
#include <QString>

class DiarioPaginas;
class LienzoPagina;
struct ContextoVentana;

// The pages the scanning component holds, one at a time in Image1, with stepping (BNext_Click,
// BPrev_Click) and removal of the page shown (BDelete_Click), which the journal of pages follows.
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

    LienzoPagina& lienzo() { return *lienzo_; }

private:
    QString etiqueta(int posicion, const QString& terminacion) const;
    void habilitar(const char* boton, bool habilitado);

    ContextoVentana& c_;
    DiarioPaginas& diario_;
    LienzoPagina* lienzo_;
};
