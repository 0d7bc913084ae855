#include "capture/Lote.h"

#include "app/ConexionBaseDatos.h"
#include "components/EscrituraDurable.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
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
    QFile archivo(ruta(carpeta));
    if (carpeta.isEmpty() || !archivo.open(QIODevice::ReadOnly))
        return std::nullopt;
    QHash<QByteArray, QString> campos;
    for (const QByteArray& linea : archivo.readAll().split('\n')) {
        const qsizetype igual = linea.indexOf('=');
        if (igual > 0)
            campos.insert(linea.left(igual),
                          QString::fromUtf8(QByteArray::fromPercentEncoding(linea.mid(igual + 1))));
    }
    Lote lote;
    bool conocido = false;
    for (std::size_t i = 0; i < kEstados.size(); ++i) {
        if (campos.value("estado") == QLatin1String(kEstados[i])) {
            lote.estado = Estado(i);
            conocido = true;
        }
    }
    // Not a record this program wrote: its pages are offered as nobody's.
    if (!conocido)
        return std::nullopt;
    lote.cliente.NumeroCliente = campos.value("cliente").toDouble();
    lote.cliente.NombreCliente = campos.value("nombre");
    lote.cliente.RfcCliente = campos.value("rfc");
    lote.cliente.DomicilioCliente = campos.value("domicilio");
    lote.cliente.TelefonoCliente = campos.value("telefono");
    lote.folio = campos.value("folio").toDouble();
    lote.tipo = campos.value("tipo").left(1);
    lote.enviado = campos.value("enviado");
    lote.base = campos.value("base");
    lote.hojas = campos.value("hojas").split(QLatin1Char(','), Qt::SkipEmptyParts);
    lote.desde = campos.value("desde").toInt();
    lote.id = campos.value("id");
    lote.espera = campos.value("espera");
    lote.intento = campos.value("intento");
    lote.error = campos.value("error");
    return lote;
}

bool Lote::escribir(const QString& carpeta, QString* error) const
{
    const QList<QPair<const char*, QString>> campos{
        {"estado", QLatin1String(kEstados[std::size_t(estado)])},
        {"cliente", NumeroPlano(cliente.NumeroCliente)},
        {"nombre", cliente.NombreCliente},
        {"rfc", cliente.RfcCliente},
        {"domicilio", cliente.DomicilioCliente},
        {"telefono", cliente.TelefonoCliente},
        {"folio", NumeroPlano(folio)},
        {"tipo", tipo},
        {"enviado", enviado},
        {"base", base},
        {"hojas", hojas.join(QLatin1Char(','))},
        {"desde", QString::number(desde)},
        {"id", id},
        {"espera", espera},
        {"intento", intento},
        {"error", this->error},
    };
    QByteArray texto;
    for (const auto& [clave, valor] : campos)
        texto += QByteArray(clave) + '=' + valor.toUtf8().toPercentEncoding(" ") + '\n';
    const QString destino = ruta(carpeta);
    if (EscrituraDurable::escribir(destino, texto, nullptr))
        return true;
    if (error)
        *error = QStringLiteral("No se pudo escribir %1").arg(QDir::toNativeSeparators(destino));
    return false;
}

bool Lote::borrar(const QString& carpeta)
{
    return carpeta.isEmpty() || EscrituraDurable::quitar(ruta(carpeta));
}

QString Lote::huella(const QString& archivo)
{
    QFile datos(archivo);
    if (!datos.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash sha(QCryptographicHash::Sha256);
    if (!sha.addData(&datos))
        return {};
    return QString::number(datos.size()) + QLatin1Char(' ') +
           QString::fromLatin1(sha.result().toHex());
}
