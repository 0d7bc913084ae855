#include "capture/Lote.h"

#include "app/ConexionBaseDatos.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <array>

namespace {
constexpr std::array<const char*, 4> kEstados{"retenida", "escrita", "enviada", "registrada"};

QString ruta(const QString& carpeta)
{
    return QDir(carpeta).filePath(QLatin1String(Lote::kArchivo));
}
} // namespace

std::optional<Lote> Lote::leer(const QString& carpeta)
{
    if (carpeta.isEmpty() || !QFile::exists(ruta(carpeta)))
        return std::nullopt;
    QSettings archivo(ruta(carpeta), QSettings::IniFormat);
    if (archivo.status() != QSettings::NoError)
        return std::nullopt;
    Lote lote;
    const QString estado = archivo.value(QStringLiteral("estado")).toString();
    bool conocido = false;
    for (std::size_t i = 0; i < kEstados.size(); ++i) {
        if (estado == QLatin1String(kEstados[i])) {
            lote.estado = Estado(i);
            conocido = true;
        }
    }
    // A record cut short is read as pages of nobody known, held: they are offered again.
    if (!conocido)
        return std::nullopt;
    lote.cliente.NumeroCliente = archivo.value(QStringLiteral("cliente")).toDouble();
    lote.cliente.NombreCliente = archivo.value(QStringLiteral("nombre")).toString();
    lote.cliente.RfcCliente = archivo.value(QStringLiteral("rfc")).toString();
    lote.cliente.DomicilioCliente = archivo.value(QStringLiteral("domicilio")).toString();
    lote.cliente.TelefonoCliente = archivo.value(QStringLiteral("telefono")).toString();
    lote.folio = archivo.value(QStringLiteral("folio")).toDouble();
    lote.tipo = archivo.value(QStringLiteral("tipo")).toString().left(1);
    return lote;
}

bool Lote::escribir(const QString& carpeta, QString* error) const
{
    // QSettings writes through a file beside the record and renames it over: a crash leaves the
    // old record or the new one, never half of one.
    QSettings archivo(ruta(carpeta), QSettings::IniFormat);
    archivo.clear();
    archivo.setValue(QStringLiteral("estado"), QLatin1String(kEstados[std::size_t(estado)]));
    archivo.setValue(QStringLiteral("cliente"), NumeroPlano(cliente.NumeroCliente));
    archivo.setValue(QStringLiteral("nombre"), cliente.NombreCliente);
    archivo.setValue(QStringLiteral("rfc"), cliente.RfcCliente);
    archivo.setValue(QStringLiteral("domicilio"), cliente.DomicilioCliente);
    archivo.setValue(QStringLiteral("telefono"), cliente.TelefonoCliente);
    archivo.setValue(QStringLiteral("folio"), NumeroPlano(folio));
    archivo.setValue(QStringLiteral("tipo"), tipo);
    archivo.sync();
    if (archivo.status() == QSettings::NoError)
        return true;
    if (error)
        *error =
            QStringLiteral("No se pudo escribir %1").arg(QDir::toNativeSeparators(ruta(carpeta)));
    return false;
}

bool Lote::borrar(const QString& carpeta)
{
    return carpeta.isEmpty() || !QFile::exists(ruta(carpeta)) || QFile::remove(ruta(carpeta));
}
