#include "components/escaner/OpcionesSane.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

int OpcionesSane::indice(const char* nombre) const
{
    if (!dispositivo_)
        return -1;
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(dispositivo_, i);
        if (!d)
            return -1;
        if (d->name && std::strcmp(d->name, nombre) == 0)
            return i;
    }
}

const SANE_Option_Descriptor* OpcionesSane::descriptor(const char* nombre) const
{
    const int i = indice(nombre);
    return i < 0 ? nullptr : sane_get_option_descriptor(dispositivo_, i);
}

bool OpcionesSane::usable(const char* nombre) const
{
    const SANE_Option_Descriptor* d = descriptor(nombre);
    return d && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap);
}

std::optional<double> OpcionesSane::numero(const char* nombre) const
{
    const int i = indice(nombre);
    const SANE_Option_Descriptor* d = i < 0 ? nullptr : sane_get_option_descriptor(dispositivo_, i);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) ||
        (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED && d->type != SANE_TYPE_BOOL))
        return std::nullopt;
    std::vector<SANE_Word> valor(qMax<size_t>(1, d->size / sizeof(SANE_Word)));
    if (sane_control_option(dispositivo_, i, SANE_ACTION_GET_VALUE, valor.data(), nullptr) !=
        SANE_STATUS_GOOD)
        return std::nullopt;
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(valor[0]) : double(valor[0]);
}

std::optional<QString> OpcionesSane::texto(const char* nombre) const
{
    const int i = indice(nombre);
    const SANE_Option_Descriptor* d = i < 0 ? nullptr : sane_get_option_descriptor(dispositivo_, i);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || d->type != SANE_TYPE_STRING)
        return std::nullopt;
    std::vector<char> valor(size_t(d->size) + 1, '\0');
    if (sane_control_option(dispositivo_, i, SANE_ACTION_GET_VALUE, valor.data(), nullptr) !=
        SANE_STATUS_GOOD)
        return std::nullopt;
    return QString::fromUtf8(valor.data());
}

SANE_Status OpcionesSane::fijarNumero(const char* nombre, double valor)
{
    const int i = indice(nombre);
    const SANE_Option_Descriptor* d = i < 0 ? nullptr : sane_get_option_descriptor(dispositivo_, i);
    if (!d)
        return SANE_STATUS_UNSUPPORTED;
    if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap))
        return SANE_STATUS_INVAL;
    SANE_Word palabra = 0;
    if (d->type == SANE_TYPE_FIXED)
        palabra = SANE_FIX(valor);
    else if (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_BOOL)
        palabra = SANE_Word(std::lround(valor));
    else
        return SANE_STATUS_INVAL;
    // Options that are arrays (gamma tables) take the value in every element.
    std::vector<SANE_Word> valores(qMax<size_t>(1, d->size / sizeof(SANE_Word)), palabra);
    return sane_control_option(dispositivo_, i, SANE_ACTION_SET_VALUE, valores.data(), nullptr);
}

SANE_Status OpcionesSane::fijarTexto(const char* nombre, const QString& valor)
{
    const int i = indice(nombre);
    const SANE_Option_Descriptor* d = i < 0 ? nullptr : sane_get_option_descriptor(dispositivo_, i);
    if (!d)
        return SANE_STATUS_UNSUPPORTED;
    if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap) ||
        d->type != SANE_TYPE_STRING)
        return SANE_STATUS_INVAL;
    QByteArray bytes = valor.toUtf8();
    if (bytes.size() >= d->size)
        return SANE_STATUS_INVAL;
    bytes.resize(d->size, '\0');
    return sane_control_option(dispositivo_, i, SANE_ACTION_SET_VALUE, bytes.data(), nullptr);
}

QStringList OpcionesSane::textosPermitidos(const char* nombre) const
{
    QStringList textos;
    const SANE_Option_Descriptor* d = descriptor(nombre);
    if (d && d->constraint_type == SANE_CONSTRAINT_STRING_LIST) {
        for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s)
            textos << QString::fromUtf8(*s);
    }
    return textos;
}

QList<double> OpcionesSane::numerosPermitidos(const char* nombre) const
{
    QList<double> numeros;
    const SANE_Option_Descriptor* d = descriptor(nombre);
    if (d && d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
        const SANE_Word* lista = d->constraint.word_list;
        for (SANE_Word i = 1; i <= lista[0]; ++i)
            numeros << (d->type == SANE_TYPE_FIXED ? SANE_UNFIX(lista[i]) : double(lista[i]));
    }
    return numeros;
}

std::optional<OpcionesSane::Rango> OpcionesSane::rango(const char* nombre) const
{
    const SANE_Option_Descriptor* d = descriptor(nombre);
    if (!d || d->constraint_type != SANE_CONSTRAINT_RANGE)
        return std::nullopt;
    const SANE_Range* r = d->constraint.range;
    if (d->type == SANE_TYPE_FIXED)
        return Rango{SANE_UNFIX(r->min), SANE_UNFIX(r->max), SANE_UNFIX(r->quant)};
    return Rango{double(r->min), double(r->max), double(r->quant)};
}

double OpcionesSane::ajustar(const char* nombre, double valor) const
{
    if (const auto r = rango(nombre))
        return std::clamp(valor, r->minimo, r->maximo);
    const QList<double> lista = numerosPermitidos(nombre);
    if (lista.isEmpty())
        return valor;
    double mejor = lista.first();
    for (double v : lista) {
        if (std::abs(v - valor) < std::abs(mejor - valor))
            mejor = v;
    }
    return mejor;
}
