#include "app/CabeceraDbf.h"

#include <QFile>

namespace {
constexpr int kLargoDescriptor = 32;
constexpr char kFinDescriptores = 0x0d;
constexpr unsigned char kPuedeSerNulo = 0x02; // field flags of Visual FoxPro
} // namespace

bool CabeceraDbf::leer(const QString& ruta)
{
    campos_.clear();
    banderasNulo_ = -1;
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return false;
    const QByteArray inicio = archivo.read(kLargoDescriptor);
    if (inicio.size() < kLargoDescriptor)
        return false;
    const int largoCabecera = quint8(inicio[8]) | (quint8(inicio[9]) << 8);
    const QByteArray descriptores = archivo.read(largoCabecera - kLargoDescriptor);

    // Bits of _NullFlags go, in field order, one to each column that may hold Null and one to
    // each variable-length column (V, Q), as FoxPro numbers them.
    int bit = 0;
    int desplazamiento = 1;
    for (qsizetype en = 0; en + kLargoDescriptor <= descriptores.size(); en += kLargoDescriptor) {
        const char* d = descriptores.constData() + en;
        if (d[0] == kFinDescriptores)
            break;
        Campo campo;
        campo.nombre = QByteArray(d, qstrnlen(d, 11));
        campo.tipo = d[11];
        campo.largo = quint8(d[16]);
        campo.desplazamiento = desplazamiento;
        desplazamiento += campo.largo;
        if (campo.tipo == 'V' || campo.tipo == 'Q')
            ++bit;
        if (quint8(d[18]) & kPuedeSerNulo)
            campo.bitNulo = bit++;
        if (campo.tipo == '0' && campo.nombre.compare("_NullFlags", Qt::CaseInsensitive) == 0)
            banderasNulo_ = int(campos_.size());
        campos_.append(campo);
    }
    return true;
}

bool CabeceraDbf::esNulo(const char* registro, int largoRegistro, const QString& columna) const
{
    if (banderasNulo_ < 0 || !registro)
        return false;
    const Campo& banderas = campos_.at(banderasNulo_);
    for (const Campo& campo : campos_) {
        if (campo.bitNulo < 0 ||
            QString::fromLatin1(campo.nombre).compare(columna, Qt::CaseInsensitive) != 0)
            continue;
        const int byte = banderas.desplazamiento + campo.bitNulo / 8;
        if (campo.bitNulo / 8 >= banderas.largo || byte >= largoRegistro)
            return false; // a damaged header: no flag to read, so no Null
        return (quint8(registro[byte]) >> (campo.bitNulo % 8)) & 1;
    }
    return false;
}
