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
            campo.bitLargo = bit++;
        if (quint8(d[18]) & kPuedeSerNulo)
            campo.bitNulo = bit++;
        if (campo.tipo == '0' && campo.nombre.compare("_NullFlags", Qt::CaseInsensitive) == 0)
            banderasNulo_ = int(campos_.size());
        campos_.append(campo);
    }
    return true;
}

const CabeceraDbf::Campo* CabeceraDbf::campo(const QString& columna) const
{
    for (const Campo& campo : campos_)
        if (QString::fromLatin1(campo.nombre).compare(columna, Qt::CaseInsensitive) == 0)
            return &campo;
    return nullptr;
}

std::optional<bool> CabeceraDbf::bandera(const char* registro, int largoRegistro, int bit) const
{
    if (banderasNulo_ < 0 || bit < 0 || !registro)
        return std::nullopt;
    const Campo& banderas = campos_.at(banderasNulo_);
    const int byte = banderas.desplazamiento + bit / 8;
    if (bit / 8 >= banderas.largo || byte >= largoRegistro)
        return std::nullopt;
    return ((quint8(registro[byte]) >> (bit % 8)) & 1) != 0;
}

bool CabeceraDbf::esNulo(const char* registro, int largoRegistro, const QString& columna) const
{
    const Campo* c = campo(columna);
    // A damaged header leaves no flag to read, so no Null.
    return c && bandera(registro, largoRegistro, c->bitNulo).value_or(false);
}

std::optional<QByteArray> CabeceraDbf::valorVariable(const char* registro, int largoRegistro,
                                                     const QString& columna) const
{
    const Campo* c = campo(columna);
    if (!c || !registro || c->largo < 1 || c->desplazamiento + c->largo > largoRegistro)
        return std::nullopt;
    const char* inicio = registro + c->desplazamiento;
    int largo = c->largo;
    if (bandera(registro, largoRegistro, c->bitLargo).value_or(false)) {
        largo = quint8(inicio[c->largo - 1]);
        if (largo >= c->largo)
            return std::nullopt; // the length byte is part of the column
    }
    return QByteArray(inicio, qstrnlen(inicio, largo));
}
