// Supported values and capability queries of EscanerSane, answered by CapacidadesSane.
#include "components/escaner/EscanerSane.h"

CapacidadesSane EscanerSane::capacidades() const
{
    CapacidadesSane::Estado estado;
    estado.unidad = unidad_;
    estado.tamanoPapel = tamanoPapel_;
    estado.resolucionInicial = resolucionInicial_;
    estado.tipoPixel = const_cast<EscanerSane*>(this)->TipoPixel();
    return CapacidadesSane(opciones_, estado);
}

QList<qint32> EscanerSane::UnidadesSoportadas()
{
    limpiar();
    return {0, 1, 2, 3, 4, 5};
}

QList<qint32> EscanerSane::TiposPixelSoportados()
{
    if (!fuenteAbierta())
        return {};
    const QList<int> tipos = capacidades().tiposPixel();
    limpiar();
    return tipos;
}

QList<qint32> EscanerSane::ResolucionesSoportadas()
{
    respuesta_ = {};
    if (!fuenteAbierta())
        return {};
    const RespuestaCapacidad r = capacidades().resoluciones();
    limpiar();
    respuesta_ = r;
    QList<qint32> lista;
    if (r.contenedor == 3) {
        lista << qint32(r.minimo) << qint32(r.maximo);
    } else {
        for (float v : r.elementos)
            lista << qint32(v);
        if (r.contenedor == 1)
            lista << qint32(r.actual);
    }
    return lista;
}

QList<qint32> EscanerSane::TamanosPapelSoportados()
{
    if (!fuenteAbierta())
        return {};
    const QList<int> tamanos = capacidades().tamanos();
    limpiar();
    return tamanos;
}

int EscanerSane::CapacidadSoportada()
{
    if (!fuenteAbierta())
        return 0;
    const bool si = capacidades().soportada(capacidad_);
    limpiar();
    return si ? 1 : 0;
}

int EscanerSane::ConsultarCapacidad()
{
    respuesta_ = {};
    if (!fuenteAbierta())
        return 0;
    const auto r = capacidades().consultar(capacidad_, contenedorPedido_);
    if (!r) {
        fallar(ErrorCapacidad, QStringLiteral("El escáner no informa la capacidad 0x%1.")
                                   .arg(capacidad_, 4, 16, QLatin1Char('0')));
        return 0;
    }
    limpiar();
    respuesta_ = *r;
    return 1;
}
