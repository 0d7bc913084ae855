#include "search/ComposicionBusqueda.h"

namespace {

const QString kSeleccion = QStringLiteral(
    "SELECT C.Cliente'Cliente',C.Nombre_cliente'Nombre',brax.dbo.tiene_huellas(c.cliente)'Huella "
    "Registrada',c.rfc'RFC', BRAX.dbo.clasificacion_credito_cliente (C.Cliente,1) "
    "'Clasificación', ");

// What follows the select list, by scope then mode (the order of ModoBusqueda).
const QString kCentroPropio[] = {
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                   "BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM Clientes C join "
                   "sucursales s on c.sucursal=s.sucursal WHERE Nombre_Cliente like ? and "
                   "s.centro_distribucion=? order by Nombre_Cliente"),
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                   "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C join "
                   "sucursales s on c.sucursal=s.sucursal JOIN domicilios d on c.cliente = "
                   "d.clave WHERE d.direccion like ? and d.tabla='Clientes' and "
                   "s.centro_distribucion=? order by Nombre_Cliente"),
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                   "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C join "
                   "sucursales s on c.sucursal=s.sucursal WHERE Cliente = ? and "
                   "s.centro_distribucion=? order by Nombre_Cliente"),
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) "
                   "'Telefono',BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion'FROM "
                   "Clientes c join facturas_clientes f    on f.cliente  = c.cliente join "
                   "sucursales s on f.sucursal = s.sucursal WHERE f.venta = ? and "
                   "s.centro_distribucion=? order by Nombre_Cliente"),
};

const QString kTodosLosCentros[] = {
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                   "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C  WHERE "
                   "Nombre_Cliente like ?"),
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                   "BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM Clientes C  JOIN "
                   "domicilios d on c.cliente = d.clave WHERE d.direccion like ? and "
                   "d.tabla='Clientes' order by Nombre_Cliente"),
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                   "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C  WHERE "
                   "Cliente = ?"),
    QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                   "BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM Clientes C join "
                   "facturas_clientes f on f.cliente  = c.cliente WHERE f.venta = ? order by "
                   "Nombre_Cliente "),
};

constexpr int kLargoCentro = 7;
// Longer digit runs do not fit a 64-bit whole number; no customer has such a number, but the
// search must still answer "no rows" rather than fail.
constexpr int kDigitosEnteros = 18;

bool soloDigitos(const QString& texto)
{
    if (texto.isEmpty())
        return false;
    for (const QChar c : texto)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QVariant numeroCliente(const QString& digitos)
{
    if (digitos.size() <= kDigitosEnteros)
        return digitos.toLongLong();
    return digitos.toDouble();
}

} // namespace

QString ComposicionBusqueda::recortarBlancos(const QString& texto)
{
    qsizetype inicio = 0;
    qsizetype fin = texto.size();
    while (inicio < fin && texto.at(inicio) == QLatin1Char(' '))
        ++inicio;
    while (fin > inicio && texto.at(fin - 1) == QLatin1Char(' '))
        --fin;
    return texto.mid(inicio, fin - inicio);
}

QString ComposicionBusqueda::textoBuscado(const QString& texto)
{
    QString limpio;
    limpio.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c == u'\r' && i + 1 < texto.size() && texto.at(i + 1) == u'\n')
            continue; // the pair is one line end: its LF gives the blank
        if (c == u'\r' || c == u'\n' || c == u'\t')
            limpio += u' ';
        else if (c.category() != QChar::Other_Control)
            limpio += c;
    }
    return recortarBlancos(limpio);
}

bool ComposicionBusqueda::TieneDosPalabras(const QString& texto)
{
    // After trimming, any blank separates two words; a run of blanks separates only two.
    return textoBuscado(texto).contains(QLatin1Char(' '));
}

bool ComposicionBusqueda::textoAceptable(const QString& texto, ModoBusqueda modo)
{
    if (texto.isEmpty())
        return false;
    switch (modo) {
    case ModoBusqueda::Nombre:
    case ModoBusqueda::Direccion:
        return TieneDosPalabras(texto);
    case ModoBusqueda::NumeroCliente:
        return soloDigitos(textoBuscado(texto));
    case ModoBusqueda::NumeroVenta:
        return true;
    }
    return false;
}

SentenciaBusqueda ComposicionBusqueda::componer(ModoBusqueda modo, AlcanceCentros alcance,
                                                const QString& texto, const QString& centro)
{
    const QString buscado = textoBuscado(texto);
    const auto indice = static_cast<int>(modo);
    const bool propio = alcance == AlcanceCentros::CentroPropio;

    SentenciaBusqueda sentencia;
    sentencia.texto = kSeleccion + (propio ? kCentroPropio[indice] : kTodosLosCentros[indice]);
    switch (modo) {
    case ModoBusqueda::Nombre:
    case ModoBusqueda::Direccion:
        sentencia.valores << QString(QLatin1Char('%') + buscado + QLatin1Char('%'));
        break;
    case ModoBusqueda::NumeroCliente:
        sentencia.valores << numeroCliente(buscado);
        break;
    case ModoBusqueda::NumeroVenta:
        sentencia.valores << buscado;
        break;
    }
    if (propio)
        sentencia.valores << centro.leftJustified(kLargoCentro, QLatin1Char(' '), true);
    return sentencia;
}
