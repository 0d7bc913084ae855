#include "components/escaner/EscanerSane.h"

#include "components/escaner/DialogoAjustesSane.h"
#include "components/escaner/DialogoFuente.h"
#include "components/escaner/LectorSane.h"
#include "components/escaner/TextoEstadoSane.h"
#include "components/tiff/EscritorTiff.h"

#include <QDir>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>
#include <cmath>
#include <memory>
#include <sane/saneopts.h>

Q_DECLARE_LOGGING_CATEGORY(lcEscaner)
Q_LOGGING_CATEGORY(lcEscaner, "expedientes.scan")

namespace {
// sane_init and sane_exit are process-wide; the last component alive closes SANE.
int sesionesSane = 0;

QString carpetaPorOmision()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recuperacion"));
}

bool esModo(const QString& modo, std::initializer_list<const char*> nombres)
{
    for (const char* n : nombres) {
        if (modo.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
} // namespace

EscanerSane::EscanerSane(const QString& carpetaRecuperacion, QObject* parent)
    : EscanerTwain(parent),
      spool_(carpetaRecuperacion.isEmpty() ? carpetaPorOmision() : carpetaRecuperacion),
      selector_(&DialogoFuente::elegir), dialogo_(&DialogoAjustesSane::mostrar)
{
    qRegisterMetaType<PaginaEscaneada>();
}

EscanerSane::~EscanerSane()
{
    if (lector_)
        lector_->cancelar();
    // In a destructor only this class's own closing can run; say so rather than seem to dispatch.
    EscanerSane::CerrarFuente();
    if (sesion_ && --sesionesSane == 0)
        sane_exit();
}

void EscanerSane::fallar(int codigo, const QString& texto)
{
    codigo_ = codigo;
    texto_ = texto;
    qCWarning(lcEscaner) << codigo << texto;
}

int EscanerSane::AbrirSesionTwain()
{
    limpiar();
    if (sesion_ && !fuentes_.isEmpty())
        return 1;
    if (!sesion_) {
        SANE_Int version = 0;
        const SANE_Status estado = sane_init(&version, nullptr);
        if (estado != SANE_STATUS_GOOD) {
            fallar(estado, TextoEstadoSane(estado));
            return 0;
        }
        sesion_ = true;
        ++sesionesSane;
    }
    const SANE_Device** lista = nullptr;
    // Local devices only: the network backends would make every start wait for timeouts.
    const SANE_Status estado = sane_get_devices(&lista, SANE_TRUE);
    if (estado != SANE_STATUS_GOOD) {
        fallar(estado, TextoEstadoSane(estado));
        return 0;
    }
    fuentes_.clear();
    for (int i = 0; lista && lista[i]; ++i) {
        const SANE_Device* d = lista[i];
        QString nombre = QStringLiteral("%1 %2")
                             .arg(QString::fromUtf8(d->vendor), QString::fromUtf8(d->model))
                             .trimmed();
        if (nombre.isEmpty())
            nombre = QString::fromUtf8(d->name);
        fuentes_.append({QString::fromUtf8(d->name), nombre});
    }
    // Two scanners of one model would read alike in the lists: the device name tells them apart.
    QStringList nombres;
    for (const Fuente& f : std::as_const(fuentes_))
        nombres << f.nombre;
    for (Fuente& f : fuentes_)
        if (nombres.count(f.nombre) > 1 && f.nombre != f.dispositivo)
            f.nombre += QStringLiteral(" (%1)").arg(f.dispositivo);
    qCInfo(lcEscaner) << "fuentes SANE:" << fuentes_.size();
    if (fuentes_.isEmpty()) {
        actual_ = -1;
        fallar(ErrorSinFuente, QStringLiteral("No se encontró ningún escáner conectado."));
        return 0;
    }
    if (actual_ < 0 || actual_ >= fuentes_.size())
        actual_ = 0;
    return 1;
}

QString EscanerSane::NombreFuente(int posicion) const
{
    return posicion >= 0 && posicion < fuentes_.size() ? fuentes_[posicion].nombre : QString();
}

void EscanerSane::FijarFuenteActual(int posicion)
{
    limpiar();
    if (posicion < 0 || posicion >= fuentes_.size()) {
        fallar(ErrorSinFuente, QStringLiteral("No existe el escáner %1.").arg(posicion));
        return;
    }
    if (posicion != actual_ && !escaneando_) {
        CerrarFuente();
        actual_ = posicion;
    }
}

int EscanerSane::ElegirFuente()
{
    if (!AbrirSesionTwain())
        return 0;
    QStringList nombres;
    for (const Fuente& f : fuentes_)
        nombres << f.nombre;
    const int eleccion = selector_(Ventana(), nombres, actual_);
    if (eleccion < 0 || eleccion >= fuentes_.size())
        return 0; // cancelled: the current source stays
    FijarFuenteActual(eleccion);
    return 1;
}

int EscanerSane::AbrirFuente()
{
    limpiar();
    if (dispositivo_)
        return 1;
    if (!sesion_ && !AbrirSesionTwain())
        return 0;
    if (actual_ < 0 || actual_ >= fuentes_.size()) {
        fallar(ErrorSinFuente, QStringLiteral("No hay un escáner seleccionado."));
        return 0;
    }
    const SANE_Status estado =
        sane_open(fuentes_[actual_].dispositivo.toUtf8().constData(), &dispositivo_);
    if (estado != SANE_STATUS_GOOD) {
        dispositivo_ = nullptr;
        fallar(estado, QStringLiteral("No se pudo abrir el escáner %1: %2")
                           .arg(fuentes_[actual_].nombre, TextoEstadoSane(estado)));
        return 0;
    }
    opciones_ = OpcionesSane(dispositivo_);
    resolucionInicial_ = opciones_.numero(SANE_NAME_SCAN_RESOLUTION).value_or(0);
    aplicarAjustes();
    return 1;
}

int EscanerSane::CerrarFuente()
{
    if (escaneando_) {
        fallar(ErrorOcupado, QStringLiteral("Espere a que termine el escaneo."));
        return 0;
    }
    limpiar();
    if (dispositivo_)
        sane_close(dispositivo_);
    dispositivo_ = nullptr;
    opciones_ = OpcionesSane();
    return 1;
}

bool EscanerSane::fuenteAbierta()
{
    if (dispositivo_)
        return true;
    fallar(ErrorSinFuente, QStringLiteral("El escáner no está abierto."));
    return false;
}

void EscanerSane::aplicarAjustes()
{
    if (tipoPixel_)
        aplicarTipoPixel(*tipoPixel_);
    if (resolucion_)
        opciones_.fijarNumero(SANE_NAME_SCAN_RESOLUTION,
                              opciones_.ajustar(SANE_NAME_SCAN_RESOLUTION, *resolucion_));
    if (areaMm_)
        aplicarArea(*areaMm_);
}

void EscanerSane::aplicarTipoPixel(int tipo)
{
    const QStringList modos = opciones_.textosPermitidos(SANE_NAME_SCAN_MODE);
    auto buscar = [&](std::initializer_list<const char*> nombres) {
        for (const QString& m : modos) {
            if (esModo(m, nombres))
                return m;
        }
        return QString();
    };
    const QString lineart = buscar({SANE_VALUE_SCAN_MODE_LINEART, "Binary", "Line Art"});
    const QString gris = buscar({SANE_VALUE_SCAN_MODE_GRAY, "Grey", "Grayscale"});
    const QString color = buscar({SANE_VALUE_SCAN_MODE_COLOR, "RGB"});
    QString modo;
    int profundidad = 8;
    if (tipo == 0 && !lineart.isEmpty()) {
        modo = lineart;
        profundidad = 0; // a line-art mode sets its own depth
    } else if (tipo == 0) {
        modo = gris; // without line art, grey at one bit is bilevel
        profundidad = 1;
    } else {
        modo = tipo == 2 ? color : gris;
    }
    if (modo.isEmpty()) {
        fallar(ErrorValor, QStringLiteral("El escáner no tiene el tipo de imagen %1.").arg(tipo));
        return;
    }
    opciones_.fijarTexto(SANE_NAME_SCAN_MODE, modo);
    if (profundidad > 0 && opciones_.usable(SANE_NAME_BIT_DEPTH) &&
        opciones_.numerosPermitidos(SANE_NAME_BIT_DEPTH).contains(profundidad))
        opciones_.fijarNumero(SANE_NAME_BIT_DEPTH, profundidad);
}

void EscanerSane::aplicarArea(const QRectF& mm)
{
    const double ppp = opciones_.numero(SANE_NAME_SCAN_RESOLUTION).value_or(0);
    auto fijar = [&](const char* nombre, double valorMm) {
        const SANE_Option_Descriptor* d = opciones_.descriptor(nombre);
        if (!d)
            return;
        const double valor = d->unit == SANE_UNIT_PIXEL ? valorMm / 25.4 * ppp : valorMm;
        opciones_.fijarNumero(nombre, opciones_.ajustar(nombre, valor));
    };
    // SANE_FIX truncates: a right edge of 215.9 mm would come back as 215.89999 and the backend
    // would give 849 pixels for 8.5 inches at 100 dpi. A thousandth of a millimetre restores it.
    constexpr double kRedondeo = 0.001;
    // Left and top go to 0 first so a new right or bottom edge is never refused for lying
    // before the old left or top edge.
    fijar(SANE_NAME_SCAN_TL_X, 0);
    fijar(SANE_NAME_SCAN_TL_Y, 0);
    fijar(SANE_NAME_SCAN_BR_X, mm.right() + kRedondeo);
    fijar(SANE_NAME_SCAN_BR_Y, mm.bottom() + kRedondeo);
    fijar(SANE_NAME_SCAN_TL_X, mm.left());
    fijar(SANE_NAME_SCAN_TL_Y, mm.top());
}

int EscanerSane::Resolucion()
{
    limpiar();
    if (!fuenteAbierta())
        return 0;
    const auto ppp = opciones_.numero(SANE_NAME_SCAN_RESOLUTION);
    if (!ppp) {
        fallar(ErrorValor, QStringLiteral("No se pudo leer la resolución del escáner."));
        return 0;
    }
    return int(std::lround(*ppp));
}

void EscanerSane::FijarResolucion(int ppp)
{
    limpiar();
    if (ppp <= 0) {
        fallar(ErrorValor, QStringLiteral("Resolución no válida: %1.").arg(ppp));
        return;
    }
    resolucion_ = ppp;
    if (dispositivo_)
        opciones_.fijarNumero(SANE_NAME_SCAN_RESOLUTION,
                              opciones_.ajustar(SANE_NAME_SCAN_RESOLUTION, ppp));
}

int EscanerSane::Unidad()
{
    limpiar();
    return unidad_;
}

void EscanerSane::FijarUnidad(int unidad)
{
    limpiar();
    if (CapacidadesSane::milimetrosPorUnidad(unidad, 300) <= 0) {
        fallar(ErrorValor, QStringLiteral("Unidad de medida no válida: %1.").arg(unidad));
        return;
    }
    unidad_ = unidad;
}

int EscanerSane::TipoPixel()
{
    limpiar();
    if (!fuenteAbierta())
        return -1;
    const QString modo = opciones_.texto(SANE_NAME_SCAN_MODE).value_or(QString());
    if (esModo(modo, {SANE_VALUE_SCAN_MODE_LINEART, "Binary", "Line Art"}))
        return 0;
    if (esModo(modo, {SANE_VALUE_SCAN_MODE_COLOR, "RGB"}))
        return 2;
    if (esModo(modo, {SANE_VALUE_SCAN_MODE_GRAY, "Grey", "Grayscale"}))
        return opciones_.numero(SANE_NAME_BIT_DEPTH).value_or(8) == 1 ? 0 : 1;
    fallar(ErrorValor, QStringLiteral("No se reconoce el modo del escáner: %1.").arg(modo));
    return -1;
}

void EscanerSane::FijarTipoPixel(int tipo)
{
    limpiar();
    if (tipo < 0 || tipo > 2) {
        fallar(ErrorValor, QStringLiteral("Tipo de imagen no válido: %1.").arg(tipo));
        return;
    }
    tipoPixel_ = tipo;
    if (dispositivo_)
        aplicarTipoPixel(tipo);
}

int EscanerSane::FijarArea(float izquierda, float arriba, float derecha, float abajo)
{
    limpiar();
    const double ppp = resolucion_.value_or(int(std::lround(resolucionInicial_)));
    const double factor = CapacidadesSane::milimetrosPorUnidad(unidad_, ppp);
    if (factor <= 0 || !(derecha > izquierda) || !(abajo > arriba) || izquierda < 0 || arriba < 0) {
        fallar(ErrorValor, QStringLiteral("Área de escaneo no válida."));
        return 0;
    }
    areaMm_ = QRectF(QPointF(izquierda * factor, arriba * factor),
                     QPointF(derecha * factor, abajo * factor));
    tamanoPapel_ = 0;
    if (dispositivo_)
        aplicarArea(*areaMm_);
    return 1;
}

int EscanerSane::TamanoPapel()
{
    limpiar();
    return tamanoPapel_;
}

void EscanerSane::FijarTamanoPapel(int tamano)
{
    limpiar();
    const auto medidas = CapacidadesSane::medidasTamano(tamano);
    if (!medidas) {
        fallar(ErrorValor, QStringLiteral("Tamaño de papel no válido: %1.").arg(tamano));
        return;
    }
    areaMm_ = QRectF(QPointF(0, 0), *medidas);
    tamanoPapel_ = tamano;
    if (dispositivo_)
        aplicarArea(*areaMm_);
}

bool EscanerSane::alimentadorActivo() const
{
    return CapacidadesSane::esAlimentador(
        opciones_.texto(SANE_NAME_SCAN_SOURCE).value_or(QString()));
}
