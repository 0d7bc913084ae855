#pragma once

#include "components/escaner/OpcionesSane.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <optional>

// One capability as TWAIN would hand it back: its container and values.
struct RespuestaCapacidad
{
    int contenedor = 0; // 1 one value, 2 array, 3 range, 4 enumeration
    QList<float> elementos;
    float actual = 0;
    float predeterminado = 0;
    float minimo = 0;
    float maximo = 0;
    int incremento = 0;
    QString texto;
};

// Answers TWAIN capability queries from a SANE device's option descriptors, so the scanner report
// reads a SANE scanner in TWAIN's vocabulary.
class CapacidadesSane
{
public:
    struct Estado
    {
        int unidad = 0;
        int tipoPixel = -1;
        int tamanoPapel = 0;
        double resolucionInicial = 0;
    };
    // TWAIN codes used here.
    enum Codigo
    {
        Compresion = 0x0100,
        TipoPixel = 0x0101,
        Unidades = 0x0102,
        MecanismoTransferencia = 0x0103,
        AlimentadorHabilitado = 0x1002,
        CapacidadesSoportadas = 0x1005,
        InterfazControlable = 0x100E,
        DispositivoEnLinea = 0x100F,
        Duplex = 0x1012,
        Brillo = 0x1101,
        Contraste = 0x1103,
        AnchoFisico = 0x1111,
        AltoFisico = 0x1112,
        ResolucionX = 0x1118,
        ResolucionY = 0x1119,
        TamanosSoportados = 0x1122,
        ProfundidadBits = 0x112B,
    };

    CapacidadesSane(const OpcionesSane& opciones, Estado estado)
        : opciones_(opciones), estado_(estado)
    {
    }

    QList<int> soportadas() const;
    bool soportada(int codigo) const { return soportadas().contains(codigo); }
    // Asked for one value, the current value; asked for any other container, the capability in
    // its own container (as a TWAIN source answers MSG_GET).
    std::optional<RespuestaCapacidad> consultar(int codigo, int contenedorPedido) const;

    QList<int> tiposPixel() const;
    // The standard sizes (TWAIN codes) that fit the device's area.
    QList<int> tamanos() const;
    // Resolutions as the report lists them: the range or the enumeration of the device.
    RespuestaCapacidad resoluciones() const;

    // Size in millimetres of a TWAIN page size code.
    static std::optional<QSizeF> medidasTamano(int codigo);
    // Millimetres in one TWAIN unit (0 inches … 5 pixels at `ppp`); 0 for an unknown unit.
    static double milimetrosPorUnidad(int unidad, double ppp);
    // Whether a value of SANE's `source` feeds sheets: a feeder, one side or both ("ADF Duplex",
    // "Duplex"), so that a scan goes on until it runs out.
    static bool esAlimentador(const QString& fuente);

private:
    bool tieneAlimentador() const;
    bool tieneDuplex() const;
    double maximoMm(const char* opcion) const;
    std::optional<RespuestaCapacidad> natural(int codigo) const;

    const OpcionesSane& opciones_;
    Estado estado_;
};
