#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <memory>

class QLabel;
class QScrollArea;

// Shows a scanned page in the picture control: fitted to it (the default), fitted to its width
// or at a scale, with scroll bars when larger than the view. A 300-dpi colour page is millions
// of pixels: it is scaled once when shown and once per resize or zoom, never on each repaint,
// and off the UI thread, with a coarse glimpse shown until its picture is ready.
// Bilevel pages are scaled without smoothing, and kept at one bit, so that text stays sharp
// black on white at every scale.
class LienzoPagina : public QObject
{
    Q_OBJECT
public:
    enum class Modo
    {
        AjustarPagina,
        AjustarAncho,
        Escala
    };

    explicit LienzoPagina(QLabel& imagen, QObject* parent = nullptr);

    void mostrar(const QImage& pagina);
    void vaciar();
    bool vacio() const { return pagina_.isNull(); }
    // Scalings done so far (a resize or a new page each add one).
    int escalados() const { return escalados_; }

    void fijarModo(Modo modo);
    // Escala 1 shows every pixel of the page (100 %).
    void fijarEscala(double escala);
    // A step of the zoom in (pasos > 0) or out, from the scale shown now.
    void acercar(int pasos);
    Modo modo() const { return modo_; }
    // The scale the page is shown at (in the fitted modes, the one they came to).
    double escala() const { return escalaMostrada_; }

    // The page fitted into the area, keeping its proportions.
    static QImage ajustar(const QImage& pagina, const QSize& area);

signals:
    void escalaCambiada();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void pintar();
    QSize tamanoObjetivo() const;
    // The picture of the page at that size, made on the scaling thread and shown when it is
    // done, unless another page or scale was asked for meanwhile.
    void encargar(const QSize& tamano);

    // What the scaling thread is to do next: only the newest request waits, an older one that
    // was not begun is dropped.
    struct Encargo
    {
        QMutex cerrojo;
        QImage pagina; // null when nothing waits
        QSize tamano;
        int vuelta = 0;
        bool enMarcha = false;
    };

    QLabel& imagen_;
    QScrollArea* area_ = nullptr;
    QImage pagina_;
    QSize tamanoPintado_;
    int escalados_ = 0;
    Modo modo_ = Modo::AjustarPagina;
    double escala_ = 1.0;
    double escalaMostrada_ = 1.0;
    int vuelta_ = 0; // each picture asked for, so a late one for an older request is dropped
    std::shared_ptr<Encargo> encargo_;
    QThreadPool hilo_; // last: it waits for the scaling thread before the rest goes
};
