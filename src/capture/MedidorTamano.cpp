#include "capture/MedidorTamano.h"

#include "components/escaner/EscanerTwain.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <cmath>

namespace {
// "1,3 MB", "2 MB", "350 KB", "4,5 KB": one decimal where a glance needs it, never "0 MB";
// `mas` decimals more than that, rounded towards `hacia` (0: to the nearest; 1 up; -1 down).
QString cantidad(double kilobytes, int mas = 0, int hacia = 0)
{
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::OmitGroupSeparator);
    const bool megas = kilobytes >= 1024.0;
    const double valor = megas ? kilobytes / 1024.0 : kilobytes;
    const int decimales = (valor >= 10.0 && !megas ? 0 : 1) + mas;
    const double escala = std::pow(10.0, decimales);
    const double veces = valor * escala;
    const double redondeado = (hacia > 0   ? std::ceil(veces)
                               : hacia < 0 ? std::floor(veces)
                                           : std::round(veces)) /
                              escala;
    return regional.toString(redondeado, 'f', QLocale::FloatingPointShortest) +
           (megas ? QStringLiteral(" MB") : QStringLiteral(" KB"));
}
} // namespace

MedidorTamano::MedidorTamano(QLabel& etiqueta) : etiqueta_(etiqueta), ayuda_(etiqueta.toolTip()) {}

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
    const double kilobytes = double(bytes) / 1024.0;
    if (!(limiteKB > 0))
        return cantidad(kilobytes);
    // Two figures that read alike while one exceeds the other hide the excess: both get more
    // decimals until they differ, and the last try rounds the size away from the limit.
    constexpr int kMasDecimales = 2;
    int mas = 0;
    while (mas < kMasDecimales && kilobytes != limiteKB &&
           cantidad(kilobytes, mas) == cantidad(limiteKB, mas))
        ++mas;
    const int hacia = mas == kMasDecimales ? (kilobytes > limiteKB) - (kilobytes < limiteKB) : 0;
    return cantidad(kilobytes, mas, hacia) + QStringLiteral(" de ") + cantidad(limiteKB, mas);
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
    // Short enough for the room beside the tools; what to do about it is in the tooltip.
    etiqueta_.setText((excedido_ ? QStringLiteral("Excede: ") : QStringLiteral("Documento: ")) +
                      texto(bytes, limiteKB));
    etiqueta_.setToolTip(excedido_ ? QStringLiteral("El documento excede el máximo de la "
                                                    "sucursal: quite hojas antes de Guardar.")
                                   : ayuda_);
    etiqueta_.setStyleSheet(excedido_ ? QStringLiteral("color: #b00020; font-weight: bold;")
                                      : QString());
}
