#include "capture/MedidorTamano.h"

#include "components/escaner/EscanerTwain.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <cmath>

namespace {
QString megas(double kilobytes)
{
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::OmitGroupSeparator);
    // One decimal is what a glance needs; "2 MB", not "2,0 MB".
    return regional.toString(std::round(kilobytes / 1024.0 * 10.0) / 10.0, 'f',
                             QLocale::FloatingPointShortest) +
           QStringLiteral(" MB");
}
} // namespace

qint64 MedidorTamano::bytesHojas(EscanerTwain& escaner)
{
    qint64 total = 0;
    for (int posicion = 0; posicion < escaner.NumeroPaginas(); ++posicion) {
        const QString archivo = escaner.ArchivoPagina(posicion);
        if (!archivo.isEmpty())
            total += QFileInfo(archivo).size();
    }
    return total;
}

QString MedidorTamano::texto(qint64 bytes, double limiteKB)
{
    const QString tamano = megas(double(bytes) / 1024.0);
    return limiteKB > 0 ? tamano + QStringLiteral(" de ") + megas(limiteKB) : tamano;
}

void MedidorTamano::actualizar(EscanerTwain* escaner, double limiteKB)
{
    const bool hay = escaner && escaner->NumeroPaginas() > 0;
    etiqueta_.setVisible(hay);
    if (!hay) {
        excedido_ = false;
        etiqueta_.clear();
        return;
    }
    const qint64 bytes = bytesHojas(*escaner);
    // The same comparison the save makes of the written file.
    excedido_ = limiteKB > 0 && double(bytes) / 1024.0 > limiteKB;
    QString leyenda = QStringLiteral("Documento: ") + texto(bytes, limiteKB);
    if (excedido_)
        leyenda += QStringLiteral(": excede el máximo, quite hojas antes de Guardar");
    etiqueta_.setText(leyenda);
    etiqueta_.setStyleSheet(excedido_ ? QStringLiteral("color: #b00020; font-weight: bold;")
                                      : QString());
}
