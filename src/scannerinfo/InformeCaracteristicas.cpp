#include "scannerinfo/InformeCaracteristicas.h"

#include "app/Mensajes.h"
#include "components/escaner/EscanerTwain.h"
#include "scannerinfo/TextoNumero.h"
#include "scannerinfo/VocabularioTwain.h"

#include <QList>
#include <QLoggingCategory>
#include <cmath>

Q_DECLARE_LOGGING_CATEGORY(lcInforme)
Q_LOGGING_CATEGORY(lcInforme, "expedientes.scan.informe")

using namespace VocabularioTwain;

namespace {

const QString FinLinea = QStringLiteral("\r\n");
const QString Tab = QStringLiteral("\t");
const QString Separador = QString(38, QLatin1Char('='));
constexpr int CapacidadesSoportadas = 0x1005;

// Closes the source however the report ends, so a failure raised half-way never leaves the
// scanner held open.
class FuenteAbierta
{
public:
    explicit FuenteAbierta(EscanerTwain& escaner) : escaner_(escaner) {}
    ~FuenteAbierta() { escaner_.CerrarFuente(); }
    FuenteAbierta(const FuenteAbierta&) = delete;
    FuenteAbierta& operator=(const FuenteAbierta&) = delete;

private:
    EscanerTwain& escaner_;
};

// One section whose current value is a code (units, pixel types, page sizes).
struct SeccionCodigo
{
    int (EscanerTwain::*actual)();
    QList<qint32> (EscanerTwain::*soportados)();
    QString (*nombre)(qint64);
    const char* sinActual;
    const char* lineaActual;
    const char* lineaSoportados;
};

void agregarSeccion(QString& texto, EscanerTwain& escaner, Mensajes& mensajes,
                    const SeccionCodigo& seccion)
{
    const int actual = (escaner.*seccion.actual)();
    if (actual == -1) {
        mensajes.MensajeSimple(QString::fromLatin1(seccion.sinActual) + escaner.TextoError());
        return;
    }
    texto += QString::fromLatin1(seccion.lineaActual) + seccion.nombre(actual) + FinLinea;
    const QList<qint32> lista = (escaner.*seccion.soportados)();
    QString linea = QString::fromLatin1(seccion.lineaSoportados);
    if (escaner.CodigoError() == 0) {
        for (const qint32 elemento : lista)
            linea += seccion.nombre(elemento) + QLatin1Char(' ');
    }
    texto += linea + FinLinea + FinLinea;
}

void agregarResoluciones(QString& texto, EscanerTwain& escaner, Mensajes& mensajes)
{
    const int actual = escaner.Resolucion();
    if (actual == 0) {
        mensajes.MensajeSimple(QStringLiteral("Can't get resolution: ") + escaner.TextoError());
        return;
    }
    texto += QStringLiteral("Current resolution: ") + TextoNumero(actual) + QStringLiteral(" dpi") +
             FinLinea;
    const QList<qint32> lista = escaner.ResolucionesSoportadas();
    QString linea = QStringLiteral("Supported resolutions: ");
    if (escaner.CodigoError() == 0) {
        if (escaner.TipoContenedor() == EscanerTwain::Rango) {
            linea += QStringLiteral("min =") + TextoNumero(escaner.ValorMinimo()) +
                     QStringLiteral(" dpi, max =") + TextoNumero(escaner.ValorMaximo()) +
                     QStringLiteral(" dpi, step size =") + TextoNumero(escaner.Incremento()) +
                     QStringLiteral(" dpi");
        } else {
            for (const qint32 elemento : lista)
                linea += TextoNumero(elemento) + QLatin1Char(' ');
            linea += QStringLiteral("dpi");
        }
    }
    texto += linea + FinLinea + FinLinea;
}

// The codes the source declares. Any number of them: a source may declare more than the
// couple of hundred an older fixed-size list held, and every one is reported.
QList<int> codigosCapacidad(EscanerTwain& escaner)
{
    QList<int> codigos;
    escaner.FijarCapacidad(CapacidadesSoportadas);
    escaner.FijarContenedorPedido(EscanerTwain::Enumeracion);
    if (escaner.ConsultarCapacidad() != 1)
        return codigos;
    const int n = escaner.NumeroElementos();
    codigos.reserve(qMax(n, 0));
    for (int j = 0; j < n; ++j)
        codigos << int(std::lrint(escaner.Elementos(j)));
    return codigos;
}

QString elementos(const EscanerTwain& escaner)
{
    const int n = escaner.NumeroElementos();
    QString texto = TextoNumero(n);
    for (int i = 0; i < n; ++i)
        texto += TextoNumero(escaner.Elementos(i)) + QLatin1Char(' ');
    return texto;
}

QString lineaCapacidad(const EscanerTwain& escaner, const QString& nombre, int contenedor)
{
    QString linea = nombre + Tab;
    switch (contenedor) {
    case EscanerTwain::UnValor:
        return linea + QStringLiteral(" O ") + Tab + TextoNumero(escaner.ValorActual()) + Tab +
               QLatin1Char('\'') + escaner.ValorTexto() + QLatin1Char('\'');
    case EscanerTwain::Arreglo:
        return linea + QStringLiteral(" A ") + Tab + TextoNumero(escaner.ValorActual()) + Tab +
               elementos(escaner);
    case EscanerTwain::Rango:
        return linea + QStringLiteral(" R ") + Tab + TextoNumero(escaner.ValorActual()) + Tab +
               TextoNumero(escaner.ValorPredeterminado()) + Tab +
               TextoNumero(escaner.ValorMinimo()) + Tab + TextoNumero(escaner.ValorMaximo()) + Tab +
               TextoNumero(escaner.Incremento()) + Tab;
    default:
        return linea + QStringLiteral(" E ") + Tab + TextoNumero(escaner.ValorActual()) + Tab +
               elementos(escaner);
    }
}

void agregarCapacidades(QString& texto, EscanerTwain& escaner)
{
    const QList<int> codigos = codigosCapacidad(escaner);
    qCDebug(lcInforme) << "capacidades declaradas:" << codigos.size();
    for (const int codigo : codigos) {
        escaner.FijarCapacidad(codigo);
        if (escaner.CapacidadSoportada() == 0)
            continue;
        const QString nombre = NombreCapacidad(codigo);
        // A source may answer the same capability in more than one container; each kind it
        // reports back gets its own line.
        for (int pedido = EscanerTwain::UnValor; pedido <= EscanerTwain::Enumeracion; ++pedido) {
            escaner.FijarContenedorPedido(pedido);
            escaner.ConsultarCapacidad();
            if (escaner.TipoContenedor() == pedido)
                texto += lineaCapacidad(escaner, nombre, pedido) + FinLinea;
        }
        texto += FinLinea;
    }
}

} // namespace

QString InformeCaracteristicas(EscanerTwain& VSTwain1, Mensajes& mensajes)
{
    if (VSTwain1.AbrirFuente() == 0) {
        mensajes.MensajeSimple(QStringLiteral("Can't open Data Source: ") + VSTwain1.TextoError());
        return {};
    }
    const FuenteAbierta cerrarAlFinal(VSTwain1);

    QString texto = Separador + FinLinea + FinLinea;
    texto += QStringLiteral("Device name: ") + VSTwain1.NombreFuente(VSTwain1.FuenteActual()) +
             FinLinea + FinLinea;
    agregarSeccion(texto, VSTwain1, mensajes,
                   {&EscanerTwain::Unidad, &EscanerTwain::UnidadesSoportadas, &NombreUnidad,
                    "Can't get current unit of measure: ", "Current unit of measure: ",
                    "Supported units of measure: "});
    agregarSeccion(
        texto, VSTwain1, mensajes,
        {&EscanerTwain::TipoPixel, &EscanerTwain::TiposPixelSoportados, &NombreTipoPixel,
         "Can't get current pixel type: ", "Current pixel type: ", "Supported pixel types: "});
    agregarResoluciones(texto, VSTwain1, mensajes);
    agregarSeccion(texto, VSTwain1, mensajes,
                   {&EscanerTwain::TamanoPapel, &EscanerTwain::TamanosPapelSoportados,
                    &NombreTamanoPapel,
                    "Can't get page size: ", "Current page size: ", "Supported page sizes: "});
    texto += Separador + FinLinea + FinLinea;
    texto += QStringLiteral("Device capabilities:") + FinLinea + FinLinea;
    agregarCapacidades(texto, VSTwain1);
    return texto;
}
