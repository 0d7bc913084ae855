#include "components/escaner/EscanerNoDisponible.h"

namespace {
// Code of "no source" failures; any non-zero value makes the window show the text.
constexpr int kSinEscaner = 1;
} // namespace

EscanerNoDisponible::EscanerNoDisponible(QObject* parent) : EscanerTwain(parent) {}

void EscanerNoDisponible::fallar()
{
    codigo_ = kSinEscaner;
    texto_ = QStringLiteral("No hay escáner disponible en esta estación.");
}

int EscanerNoDisponible::AbrirSesionTwain()
{
    fallar();
    return 0;
}

int EscanerNoDisponible::ElegirFuente()
{
    fallar();
    return 0;
}

int EscanerNoDisponible::AbrirFuente()
{
    fallar();
    return 0;
}

int EscanerNoDisponible::CerrarFuente()
{
    fallar();
    return 0;
}

int EscanerNoDisponible::Resolucion()
{
    fallar();
    return 0;
}

int EscanerNoDisponible::Unidad()
{
    fallar();
    return -1;
}

int EscanerNoDisponible::TipoPixel()
{
    fallar();
    return -1;
}

int EscanerNoDisponible::FijarArea(float, float, float, float)
{
    fallar();
    return 0;
}

int EscanerNoDisponible::TamanoPapel()
{
    fallar();
    return -1;
}

int EscanerNoDisponible::Escanear()
{
    // The window learns of the failure the same way as of any scan that went wrong.
    fallar();
    emit PostScan(codigo_);
    return 0;
}

QImage EscanerNoDisponible::ImagenPagina(int)
{
    fallar();
    return {};
}

int EscanerNoDisponible::AnchoPagina(int)
{
    fallar();
    return 0;
}

int EscanerNoDisponible::AltoPagina(int)
{
    fallar();
    return 0;
}

int EscanerNoDisponible::BitsPorPixel(int)
{
    fallar();
    return 0;
}

int EscanerNoDisponible::GuardarPagina(int, const QString&)
{
    fallar();
    return 0;
}

int EscanerNoDisponible::QuitarPagina(int)
{
    codigo_ = kSinEscaner;
    texto_ = QStringLiteral("No hay ninguna hoja escaneada que quitar.");
    return 0;
}

QList<qint32> EscanerNoDisponible::UnidadesSoportadas()
{
    fallar();
    return {};
}

QList<qint32> EscanerNoDisponible::TiposPixelSoportados()
{
    fallar();
    return {};
}

QList<qint32> EscanerNoDisponible::ResolucionesSoportadas()
{
    fallar();
    return {};
}

QList<qint32> EscanerNoDisponible::TamanosPapelSoportados()
{
    fallar();
    return {};
}

int EscanerNoDisponible::CapacidadSoportada()
{
    fallar();
    return 0;
}

int EscanerNoDisponible::ConsultarCapacidad()
{
    fallar();
    return 0;
}
