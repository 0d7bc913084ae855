#include "capture/MedidorTamano.h"

#include "components/escaner/EscanerTwain.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <cmath>

namespace {
// "1,3 MB", "2 MB", "350 KB", "4,5 KB": one decimal where a glance needs it, never "0 MB".
QString cantidad(double kilobytes)
{
    QLocale regional;
    regional.setNumberOptions(regional.numberOptions() | QLocale::OmitGroupSeparator);
    const bool megas = kilobytes >= 1024.0;
    const double valor = megas ? kilobytes / 1024.0 : kilobytes;
    const double redondeado =
        valor >= 10.0 && !megas ? std::round(valor) : std::round(valor * 10.0) / 10.0;
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
    const QString tamano = cantidad(double(bytes) / 1024.0);
    return limiteKB > 0 ? tamano + QStringLiteral(" de ") + cantidad(limiteKB) : tamano;
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
