#include "support/HojaPrueba.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

QImage HojaPrueba(QImage::Format formato, int ppp, const QString& contenido, double grados)
{
    const double escala = ppp / 300.0;
    QImage gris(int(2550 * escala), int(3300 * escala), QImage::Format_Grayscale8);
    gris.fill(contenido == QLatin1String("transparencia") ? 235 : 255);
    QRandomGenerator azar(7);
    {
        QPainter p(&gris);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(escala, escala);
        if (contenido == QLatin1String("texto") || contenido == QLatin1String("transparencia")) {
            const QColor tinta =
                contenido == QLatin1String("texto") ? QColor(20, 20, 20) : QColor(205, 205, 205);
            p.translate(1275, 1650);
            p.rotate(grados);
            p.translate(-1275, -1650);
            for (int y = 300; y < 3000; y += 50) {
                for (int x = 300; x < 2250;) {
                    const int palabra = 40 + int(azar.bounded(160));
                    p.fillRect(x, y, qMin(palabra, 2250 - x), 28, tinta);
                    x += palabra + 25;
                }
            }
        } else if (contenido == QLatin1String("firma")) {
            // A short signature: a few loops of a 0.4 mm pen, about 1.3 by 0.4 inches.
            QPainterPath trazo(QPointF(1600, 2800));
            for (int i = 0; i < 6; ++i)
                trazo.cubicTo(1600 + 70 * i + 40, 2700, 1600 + 70 * i + 90, 2920,
                              1600 + 70 * i + 60, 2800);
            p.setPen(QPen(Qt::black, 5));
            p.drawPath(trazo);
        } else if (contenido == QLatin1String("sello")) {
            p.setPen(QPen(QColor(40, 40, 40), 6));
            p.drawEllipse(QPointF(1900, 2600), 160, 160);
            p.fillRect(1800, 2580, 200, 14, QColor(40, 40, 40));
        } else if (contenido == QLatin1String("reverso")) {
            // Sensor specks of a pixel, dust a pixel wide, and the feeder's shadow on the edge.
            for (int i = 0; i < 4000; ++i)
                p.fillRect(int(azar.bounded(2550)), int(azar.bounded(3300)), 1,
                           1 + int(azar.bounded(2)), Qt::black);
            p.fillRect(0, 0, 90, 3300, QColor(60, 60, 60));
        }
    }
    QImage imagen = formato == QImage::Format_Mono
                        ? gris.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)
                        : gris.convertToFormat(formato);
    imagen.setDotsPerMeterX(qRound(ppp / 0.0254));
    imagen.setDotsPerMeterY(qRound(ppp / 0.0254));
    return imagen;
}

bool EscribirPnm(const QImage& hoja, const QString& ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        return false;
    const bool mono = hoja.format() == QImage::Format_Mono;
    const bool gris = hoja.format() == QImage::Format_Grayscale8;
    const QImage imagen = mono || gris ? hoja : hoja.convertToFormat(QImage::Format_RGB888);
    archivo.write(QStringLiteral("P%1\n%2 %3\n%4")
                      .arg(mono   ? 4
                           : gris ? 5
                                  : 6)
                      .arg(imagen.width())
                      .arg(imagen.height())
                      .arg(mono ? QString() : QStringLiteral("255\n"))
                      .toLatin1());
    // P4 has 1 for black, as the pages held here.
    const bool unoNegro = !mono || qGray(imagen.color(1)) < qGray(imagen.color(0));
    const int bytes = mono ? (imagen.width() + 7) / 8 : gris ? imagen.width() : imagen.width() * 3;
    for (int y = 0; y < imagen.height(); ++y) {
        QByteArray fila(reinterpret_cast<const char*>(imagen.constScanLine(y)), bytes);
        if (!unoNegro)
            for (char& b : fila)
                b = char(~b);
        archivo.write(fila);
    }
    return archivo.error() == QFile::NoError;
}
