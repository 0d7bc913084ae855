#pragma once

#include <QImage>
#include <QObject>
#include <QSize>

class QLabel;

// Shows a scanned page in the picture control, fitted to it. A 300-dpi colour page is millions
// of pixels: it is scaled once when shown and once per resize, never on each repaint. Bilevel
// pages are scaled without smoothing so that text stays sharp black on white.
class LienzoPagina : public QObject
{
    Q_OBJECT
public:
    explicit LienzoPagina(QLabel& imagen, QObject* parent = nullptr);

    void mostrar(const QImage& pagina);
    void vaciar();
    bool vacio() const { return pagina_.isNull(); }
    // Scalings done so far (a resize or a new page each add one).
    int escalados() const { return escalados_; }

    // The page fitted into the area, keeping its proportions.
    static QImage ajustar(const QImage& pagina, const QSize& area);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void pintar();

    QLabel& imagen_;
    QImage pagina_;
    QSize tamanoPintado_;
    int escalados_ = 0;
};
