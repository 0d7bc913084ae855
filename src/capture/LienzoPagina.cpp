#include "capture/LienzoPagina.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMutexLocker>
#include <QPixmap>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr double kEscalaMinima = 0.05;
constexpr double kEscalaMaxima = 4.0;
constexpr double kPaso = 1.25;
// A scaled page is kept whole as a pixmap: bounded so that a zoom never takes hundreds of
// megabytes (a colour pixmap takes four bytes a pixel, a bilevel one an eighth).
constexpr double kPixelesColor = 24e6;
constexpr double kPixelesBitonal = 120e6;
} // namespace

LienzoPagina::LienzoPagina(QLabel& imagen, QObject* parent)
    : QObject(parent), imagen_(imagen), encargo_(std::make_shared<Encargo>())
{
    hilo_.setMaxThreadCount(1);
    imagen_.installEventFilter(this);
    for (QWidget* w = imagen_.parentWidget(); w && !area_; w = w->parentWidget())
        area_ = qobject_cast<QScrollArea*>(w);
    if (area_)
        area_->viewport()->installEventFilter(this);
}

namespace {
bool gris(const QImage& pagina)
{
    // From the format: isGrayscale() reads every pixel of a colour page.
    return pagina.format() == QImage::Format_Grayscale8 ||
           pagina.format() == QImage::Format_Grayscale16;
}

QImage escalar(const QImage& pagina, const QSize& tamano)
{
    // Smoothing a bilevel page blurs its text into grey; picking pixels keeps the strokes.
    if (pagina.depth() == 1)
        return pagina.scaled(tamano, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // Smoothing a whole 300-dpi colour page down to the screen reads every pixel; picked down
    // to twice the size first, the smoothing that follows reads a sixteenth of them and looks
    // the same.
    if (pagina.width() > 4 * tamano.width() && pagina.height() > 4 * tamano.height())
        return pagina.scaled(tamano * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .convertToFormat(gris(pagina) ? QImage::Format_Grayscale8 : QImage::Format_RGB32)
            .scaled(tamano, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return pagina.scaled(tamano, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
} // namespace

QImage LienzoPagina::ajustar(const QImage& pagina, const QSize& area)
{
    if (pagina.isNull() || area.isEmpty())
        return {};
    return escalar(pagina, pagina.size().scaled(area, Qt::KeepAspectRatio).expandedTo({1, 1}));
}

void LienzoPagina::mostrar(const QImage& pagina)
{
    pagina_ = pagina;
    tamanoPintado_ = QSize();
    pintar();
}

void LienzoPagina::vaciar()
{
    ++vuelta_;
    pagina_ = QImage();
    tamanoPintado_ = QSize();
    imagen_.setMinimumSize(0, 0);
    imagen_.clear();
}

void LienzoPagina::fijarModo(Modo modo)
{
    modo_ = modo;
    tamanoPintado_ = QSize();
    // Fitted, the picture follows the view again instead of holding it open.
    if (modo_ == Modo::AjustarPagina)
        imagen_.setMinimumSize(0, 0);
    pintar();
    emit escalaCambiada();
}

void LienzoPagina::fijarEscala(double escala)
{
    escala_ = std::clamp(escala, kEscalaMinima, kEscalaMaxima);
    fijarModo(Modo::Escala);
}

void LienzoPagina::acercar(int pasos)
{
    fijarEscala(escalaMostrada_ * std::pow(kPaso, pasos));
}

QSize LienzoPagina::tamanoObjetivo() const
{
    if (modo_ == Modo::AjustarPagina) {
        // From the view, not the picture control: coming back from a zoom, the control is
        // still as large as the zoomed page until the layout shrinks it.
        const QLayout* disposicion =
            imagen_.parentWidget() ? imagen_.parentWidget()->layout() : nullptr;
        if (!area_ || !disposicion)
            return imagen_.contentsRect().size();
        const QMargins margenes = disposicion->contentsMargins();
        return (area_->viewport()->size() -
                QSize(margenes.left() + margenes.right(), margenes.top() + margenes.bottom()))
            .boundedTo(area_->viewport()->size());
    }
    double escala = escala_;
    if (modo_ == Modo::AjustarAncho) {
        // The vertical bar is counted as shown: a page fitted to the width is taller than the
        // view, and leaving its room out would fit it once more when the bar appears.
        const QWidget* vista = area_ ? area_->viewport() : &imagen_;
        const int barra = area_ ? area_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
        const int ancho = vista->width() -
                          (area_ && !area_->verticalScrollBar()->isVisible() ? barra : 0) -
                          2 * imagen_.parentWidget()->contentsMargins().left();
        escala = double(qMax(1, ancho - 12)) / pagina_.width();
    }
    const double tope = pagina_.depth() == 1 ? kPixelesBitonal : kPixelesColor;
    const double pixeles = double(pagina_.width()) * pagina_.height();
    escala = qMin(escala, std::sqrt(tope / pixeles));
    return (QSizeF(pagina_.size()) * escala).toSize().expandedTo(QSize(1, 1));
}

void LienzoPagina::pintar()
{
    if (pagina_.isNull()) {
        imagen_.clear();
        return;
    }
    const QSize area = tamanoObjetivo();
    if (area == tamanoPintado_ || area.isEmpty())
        return;
    tamanoPintado_ = area;
    ++escalados_;
    ++vuelta_;
    QImage escalada;
    if (pagina_.depth() > 1 && pagina_.width() > 4 * area.width()) {
        // A colour page much larger than the view: even picking its pixels down to the view
        // misses the cache on every one (tens of milliseconds while a scan keeps both cores
        // busy). A glimpse from a sixteenth of them now, the picture from another thread.
        const QSize objetivo =
            modo_ == Modo::AjustarPagina ? pagina_.size().scaled(area, Qt::KeepAspectRatio) : area;
        escalada = pagina_
                       .scaled((objetivo / 4).expandedTo({1, 1}), Qt::IgnoreAspectRatio,
                               Qt::FastTransformation)
                       .scaled(objetivo, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (modo_ != Modo::AjustarPagina)
            imagen_.setMinimumSize(escalada.size());
        encargar(escalada.size());
    } else if (modo_ == Modo::AjustarPagina) {
        escalada = ajustar(pagina_, area);
    } else {
        escalada = escalar(pagina_, area);
        imagen_.setMinimumSize(escalada.size());
    }
    escalaMostrada_ = pagina_.width() > 0 ? double(escalada.width()) / pagina_.width() : 1.0;
    // A bilevel page stays one bit a pixel in the pixmap too (a page at 100 % is a megabyte, not
    // thirty).
    imagen_.setPixmap(QPixmap::fromImage(escalada, pagina_.depth() == 1 ? Qt::NoFormatConversion
                                                                        : Qt::AutoColor));
    emit escalaCambiada();
}

void LienzoPagina::encargar(const QSize& tamano)
{
    const int vuelta = vuelta_;
    {
        QMutexLocker cerrojo(&encargo_->cerrojo);
        encargo_->pagina = pagina_;
        encargo_->tamano = tamano;
        encargo_->vuelta = vuelta;
        if (encargo_->enMarcha)
            return; // the thread takes the newest when it is done with the one in hand
        encargo_->enMarcha = true;
    }
    QPointer<LienzoPagina> yo(this);
    hilo_.start([yo, encargo = encargo_] {
        for (;;) {
            QImage pagina;
            QSize tamano;
            int vuelta = 0;
            {
                QMutexLocker cerrojo(&encargo->cerrojo);
                if (encargo->pagina.isNull()) {
                    encargo->enMarcha = false;
                    return;
                }
                pagina = std::exchange(encargo->pagina, QImage());
                tamano = encargo->tamano;
                vuelta = encargo->vuelta;
            }
            const QImage suave = escalar(pagina, tamano);
            QMetaObject::invokeMethod(
                yo.data(),
                [yo, suave, vuelta] {
                    // Only if the page and the scale are still the ones it was made for.
                    if (yo && yo->vuelta_ == vuelta)
                        yo->imagen_.setPixmap(QPixmap::fromImage(suave));
                },
                Qt::QueuedConnection);
        }
    });
}

bool LienzoPagina::eventFilter(QObject* objeto, QEvent* evento)
{
    if (evento->type() == QEvent::Wheel && !pagina_.isNull()) {
        auto* rueda = static_cast<QWheelEvent*>(evento);
        if (rueda->modifiers() & Qt::ControlModifier) {
            const int pasos = rueda->angleDelta().y() / 120;
            if (pasos != 0)
                acercar(pasos);
            return true;
        }
    }
    if (evento->type() == QEvent::Resize &&
        (objeto == &imagen_ || (area_ && objeto == area_->viewport())))
        pintar();
    return QObject::eventFilter(objeto, evento);
}
