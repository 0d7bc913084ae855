#include "components/escaner/CapacidadesSane.h"

#include <algorithm>
#include <sane/saneopts.h>

namespace {
struct Tamano
{
    int codigo;
    double ancho;
    double alto;
};
// TWAIN supported sizes, in millimetres.
constexpr Tamano kTamanos[] = {
    {1, 210, 297},  {2, 182, 257},  {3, 215.9, 279.4}, {4, 215.9, 355.6},   {5, 148, 210},
    {6, 250, 353},  {7, 125, 176},  {9, 279.4, 431.8}, {10, 184.15, 266.7}, {11, 297, 420},
    {12, 353, 500}, {13, 105, 148}, {14, 229, 324},    {15, 162, 229},      {16, 114, 162},
};

RespuestaCapacidad unValor(float valor)
{
    RespuestaCapacidad r;
    r.contenedor = 1;
    r.actual = valor;
    r.texto = QString::number(double(valor));
    return r;
}

RespuestaCapacidad enumeracion(const QList<int>& valores, int actual)
{
    RespuestaCapacidad r;
    r.contenedor = 4;
    for (int v : valores)
        r.elementos << float(v);
    r.actual = float(actual);
    r.texto = QString::number(actual);
    return r;
}

bool contiene(const QStringList& lista, const QString& parte)
{
    for (const QString& s : lista) {
        if (s.contains(parte, Qt::CaseInsensitive))
            return true;
    }
    return false;
}
} // namespace

std::optional<QSizeF> CapacidadesSane::medidasTamano(int codigo)
{
    for (const Tamano& t : kTamanos) {
        if (t.codigo == codigo)
            return QSizeF(t.ancho, t.alto);
    }
    return std::nullopt;
}

double CapacidadesSane::milimetrosPorUnidad(int unidad, double ppp)
{
    switch (unidad) {
    case 0:
        return 25.4;
    case 1:
        return 10.0;
    case 2:
        return 25.4 / 6.0;
    case 3:
        return 25.4 / 72.0;
    case 4:
        return 25.4 / 1440.0;
    case 5:
        return ppp > 0 ? 25.4 / ppp : 0.0;
    }
    return 0.0;
}

double CapacidadesSane::maximoMm(const char* opcion) const
{
    const SANE_Option_Descriptor* d = opciones_.descriptor(opcion);
    const auto r = opciones_.rango(opcion);
    if (!d || !r)
        return 0;
    if (d->unit == SANE_UNIT_PIXEL) {
        const double ppp = opciones_.numero(SANE_NAME_SCAN_RESOLUTION).value_or(0);
        return ppp > 0 ? r->maximo * 25.4 / ppp : 0;
    }
    return r->maximo;
}

bool CapacidadesSane::esAlimentador(const QString& fuente)
{
    for (const char* parte : {"feeder", "adf", "duplex"}) {
        if (fuente.contains(QLatin1String(parte), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool CapacidadesSane::tieneAlimentador() const
{
    const QStringList fuentes = opciones_.textosPermitidos(SANE_NAME_SCAN_SOURCE);
    return std::any_of(fuentes.begin(), fuentes.end(), &CapacidadesSane::esAlimentador);
}

bool CapacidadesSane::tieneDuplex() const
{
    return contiene(opciones_.textosPermitidos(SANE_NAME_SCAN_SOURCE), QStringLiteral("duplex"));
}

QList<int> CapacidadesSane::tiposPixel() const
{
    QList<int> tipos;
    const QStringList modos = opciones_.textosPermitidos(SANE_NAME_SCAN_MODE);
    const QList<double> profundidades = opciones_.numerosPermitidos(SANE_NAME_BIT_DEPTH);
    const bool gris =
        contiene(modos, QStringLiteral("gray")) || contiene(modos, QStringLiteral("grey"));
    if (contiene(modos, QStringLiteral("lineart")) || contiene(modos, QStringLiteral("binary")) ||
        (gris && profundidades.contains(1)))
        tipos << 0;
    if (gris)
        tipos << 1;
    if (contiene(modos, QStringLiteral("color")))
        tipos << 2;
    return tipos;
}

QList<int> CapacidadesSane::tamanos() const
{
    const double ancho = maximoMm(SANE_NAME_SCAN_BR_X);
    const double alto = maximoMm(SANE_NAME_SCAN_BR_Y);
    QList<int> codigos{0};
    for (const Tamano& t : kTamanos) {
        // A hair of tolerance: legal is 355.6 mm and many devices say 356 or 355.6.
        if (t.ancho <= ancho + 0.5 && t.alto <= alto + 0.5)
            codigos << t.codigo;
    }
    return codigos;
}

RespuestaCapacidad CapacidadesSane::resoluciones() const
{
    RespuestaCapacidad r;
    const double actual = opciones_.numero(SANE_NAME_SCAN_RESOLUTION).value_or(0);
    r.actual = float(actual);
    r.texto = QString::number(actual);
    if (const auto rango = opciones_.rango(SANE_NAME_SCAN_RESOLUTION)) {
        r.contenedor = 3;
        r.minimo = float(rango->minimo);
        r.maximo = float(rango->maximo);
        r.incremento = qMax(1, qRound(rango->paso));
        r.predeterminado = float(estado_.resolucionInicial);
    } else {
        const QList<double> lista = opciones_.numerosPermitidos(SANE_NAME_SCAN_RESOLUTION);
        if (lista.isEmpty())
            return unValor(float(actual));
        r.contenedor = 4;
        for (double v : lista)
            r.elementos << float(v);
    }
    return r;
}

QList<int> CapacidadesSane::soportadas() const
{
    if (!opciones_.dispositivo())
        return {};
    QList<int> codigos{CapacidadesSoportadas, ResolucionX, ResolucionY, TipoPixel, Unidades,
                       TamanosSoportados,     AnchoFisico, AltoFisico};
    if (opciones_.existe(SANE_NAME_BIT_DEPTH))
        codigos << ProfundidadBits;
    if (tieneAlimentador())
        codigos << AlimentadorHabilitado;
    if (tieneDuplex())
        codigos << Duplex;
    if (opciones_.existe(SANE_NAME_BRIGHTNESS))
        codigos << Brillo;
    if (opciones_.existe(SANE_NAME_CONTRAST))
        codigos << Contraste;
    codigos << InterfazControlable << DispositivoEnLinea << MecanismoTransferencia << Compresion;
    return codigos;
}

std::optional<RespuestaCapacidad> CapacidadesSane::natural(int codigo) const
{
    const double mmUnidad = milimetrosPorUnidad(
        estado_.unidad, opciones_.numero(SANE_NAME_SCAN_RESOLUTION).value_or(0));
    switch (codigo) {
    case CapacidadesSoportadas: {
        RespuestaCapacidad r;
        r.contenedor = 2;
        for (int c : soportadas())
            r.elementos << float(c);
        return r;
    }
    case ResolucionX:
    case ResolucionY:
        return resoluciones();
    case TipoPixel:
        return enumeracion(tiposPixel(), estado_.tipoPixel);
    case Unidades:
        return enumeracion({0, 1, 2, 3, 4, 5}, estado_.unidad);
    case TamanosSoportados:
        return enumeracion(tamanos(), estado_.tamanoPapel);
    case ProfundidadBits: {
        QList<int> bits;
        for (double d : opciones_.numerosPermitidos(SANE_NAME_BIT_DEPTH))
            bits << int(d);
        return enumeracion(bits, int(opciones_.numero(SANE_NAME_BIT_DEPTH).value_or(0)));
    }
    case AnchoFisico:
    case AltoFisico: {
        const double mm =
            maximoMm(codigo == AnchoFisico ? SANE_NAME_SCAN_BR_X : SANE_NAME_SCAN_BR_Y);
        return unValor(mmUnidad > 0 ? float(mm / mmUnidad) : 0.0f);
    }
    case AlimentadorHabilitado: {
        const bool activo =
            esAlimentador(opciones_.texto(SANE_NAME_SCAN_SOURCE).value_or(QString()));
        return unValor(activo ? 1 : 0);
    }
    case Duplex:
        return unValor(1); // one-pass duplex: the source offers it as a source of its own
    case Brillo:
    case Contraste: {
        const char* nombre = codigo == Brillo ? SANE_NAME_BRIGHTNESS : SANE_NAME_CONTRAST;
        const auto rango = opciones_.rango(nombre);
        const float actual = float(opciones_.numero(nombre).value_or(0));
        if (!rango)
            return unValor(actual);
        RespuestaCapacidad r;
        r.contenedor = 3;
        r.minimo = float(rango->minimo);
        r.maximo = float(rango->maximo);
        r.incremento = qMax(1, qRound(rango->paso));
        r.actual = actual;
        r.predeterminado = actual;
        r.texto = QString::number(double(actual));
        return r;
    }
    case InterfazControlable:
    case DispositivoEnLinea:
        return unValor(1);
    case MecanismoTransferencia:
        return enumeracion({0}, 0); // native transfer only
    case Compresion:
        return enumeracion({0}, 0); // the device hands over uncompressed data
    }
    return std::nullopt;
}

std::optional<RespuestaCapacidad> CapacidadesSane::consultar(int codigo, int contenedorPedido) const
{
    if (!soportada(codigo))
        return std::nullopt;
    std::optional<RespuestaCapacidad> r = natural(codigo);
    if (!r)
        return std::nullopt;
    if (contenedorPedido == 1 && r->contenedor != 1) {
        if (r->contenedor == 2)
            return std::nullopt; // a list has no current value
        return unValor(r->actual);
    }
    return r;
}
