#include "capture/LienzoPagina.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

LienzoPagina::LienzoPagina(QLabel& imagen, QObject* parent) : QObject(parent), imagen_(imagen)
{
    imagen_.installEventFilter(this);
}

QImage LienzoPagina::ajustar(const QImage& pagina, const QSize& area)
{
    if (pagina.isNull() || area.isEmpty())
        return {};
    // Smoothing a bilevel page blurs its text into grey; picking pixels keeps the strokes.
    const Qt::TransformationMode modo =
        pagina.depth() == 1 ? Qt::FastTransformation : Qt::SmoothTransformation;
    return pagina.scaled(area, Qt::KeepAspectRatio, modo);
}

void LienzoPagina::mostrar(const QImage& pagina)
{
    pagina_ = pagina;
    tamanoPintado_ = QSize();
    pintar();
}

void LienzoPagina::vaciar()
{
    pagina_ = QImage();
    tamanoPintado_ = QSize();
    imagen_.clear();
}

void LienzoPagina::pintar()
{
    if (pagina_.isNull()) {
        imagen_.clear();
        return;
    }
    const QSize area = imagen_.contentsRect().size();
    if (area == tamanoPintado_)
        return;
    tamanoPintado_ = area;
    ++escalados_;
    imagen_.setPixmap(QPixmap::fromImage(ajustar(pagina_, area)));
}

bool LienzoPagina::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto == &imagen_ && evento->type() == QEvent::Resize)
        pintar();
    return QObject::eventFilter(objeto, evento);
}
