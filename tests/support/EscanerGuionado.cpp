#include "support/EscanerGuionado.h"

#include <QTransform>

#include "components/tiff/EscritorTiff.h"

EscanerGuionado::EscanerGuionado(QObject* parent) : EscanerTwain(parent) {}

void EscanerGuionado::FijarError(int codigo, const QString& texto)
{
    codigo_ = codigo;
    texto_ = texto;
}

int EscanerGuionado::AbrirSesionTwain()
{
    anotar(QStringLiteral("AbrirSesionTwain"));
    return sesion;
}

void EscanerGuionado::FijarFuenteActual(int posicion)
{
    anotar(QStringLiteral("FuenteActual=%1").arg(posicion));
    actual_ = posicion;
}

int EscanerGuionado::ElegirFuente()
{
    anotar(QStringLiteral("ElegirFuente"));
    return fuentes.isEmpty() ? 0 : 1;
}

void EscanerGuionado::FijarMostrarDialogo(bool mostrar)
{
    anotar(QStringLiteral("MostrarDialogo=%1").arg(mostrar));
    mostrar_ = mostrar;
}

int EscanerGuionado::AbrirFuente()
{
    anotar(QStringLiteral("AbrirFuente"));
    return abrir;
}

int EscanerGuionado::CerrarFuente()
{
    anotar(QStringLiteral("CerrarFuente"));
    return 1;
}

void EscanerGuionado::FijarResolucion(int ppp)
{
    anotar(QStringLiteral("Resolucion=%1").arg(ppp));
    resolucion_ = ppp;
}

void EscanerGuionado::FijarUnidad(int unidad)
{
    anotar(QStringLiteral("Unidad=%1").arg(unidad));
    unidad_ = unidad;
}

void EscanerGuionado::FijarTipoPixel(int tipo)
{
    anotar(QStringLiteral("TipoPixel=%1").arg(tipo));
    tipo_ = tipo;
}

int EscanerGuionado::FijarArea(float izquierda, float arriba, float derecha, float abajo)
{
    anotar(QStringLiteral("FijarArea(%1,%2,%3,%4)")
               .arg(izquierda)
               .arg(arriba)
               .arg(derecha)
               .arg(abajo));
    return 1;
}

void EscanerGuionado::FijarTamanoPapel(int tamano)
{
    anotar(QStringLiteral("TamanoPapel=%1").arg(tamano));
    tamano_ = tamano;
}

void EscanerGuionado::FijarAjusteInicial(int v)
{
    anotar(QStringLiteral("AjusteInicial=%1").arg(v));
}
void EscanerGuionado::FijarAjusteSesion(int v)
{
    anotar(QStringLiteral("AjusteSesion=%1").arg(v));
}
void EscanerGuionado::FijarIndicadorAutomatico(bool v)
{
    anotar(QStringLiteral("IndicadorAutomatico=%1").arg(v));
}
void EscanerGuionado::FijarLimiteAutomatico(int v)
{
    anotar(QStringLiteral("LimiteAutomatico=%1").arg(v));
}
void EscanerGuionado::FijarAjusteCopiado(int v)
{
    anotar(QStringLiteral("AjusteCopiado=%1").arg(v));
}
void EscanerGuionado::FijarAjusteCero(int v)
{
    anotar(QStringLiteral("AjusteCero=%1").arg(v));
}

int EscanerGuionado::Escanear()
{
    anotar(QStringLiteral("Escanear"));
    if (tandas.isEmpty())
        return 1;
    const Tanda tanda = tandas.dequeue();
    escaneando_ = true;
    for (const QImage& pagina : tanda.paginas) {
        paginas << pagina;
        codigo_ = 0;
        texto_.clear();
        emit PostScan(0);
    }
    escaneando_ = false;
    if (tanda.falla) {
        codigo_ = tanda.falla->codigo;
        texto_ = tanda.falla->texto;
        emit PostScan(tanda.falla->flag);
    }
    return 1;
}

int EscanerGuionado::GuardarPagina(int posicion, const QString& archivo)
{
    anotar(QStringLiteral("GuardarPagina(%1,%2)").arg(posicion).arg(archivo));
    if (!resultadosGuardar.isEmpty())
        return resultadosGuardar.dequeue();
    if (posicion < 0 || posicion >= paginas.size()) {
        FijarError(101, QStringLiteral("No existe la hoja %1.").arg(posicion));
        return 0;
    }
    QString error;
    if (!EscritorTiff::agregarImagen(archivo, paginas[posicion], 200, &error)) {
        FijarError(102, error);
        return 0;
    }
    return 1;
}

int EscanerGuionado::QuitarPagina(int posicion)
{
    anotar(QStringLiteral("QuitarPagina(%1)").arg(posicion));
    if (!resultadosQuitar.isEmpty()) {
        const int resultado = resultadosQuitar.dequeue();
        if (resultado != 1)
            FijarError(101, QStringLiteral("No se pudo quitar la hoja %1.").arg(posicion));
        return resultado;
    }
    if (posicion < 0 || posicion >= paginas.size()) {
        FijarError(101, QStringLiteral("No existe la hoja %1.").arg(posicion));
        return 0;
    }
    paginas.removeAt(posicion);
    return 1;
}

int EscanerGuionado::leer(const QString& lectura, int valor, int fallido)
{
    if (!lecturasFallidas.contains(lectura))
        return valor;
    FijarError(110, QStringLiteral("No se pudo leer %1.").arg(lectura));
    return fallido;
}

QList<qint32> EscanerGuionado::leerLista(const QString& lectura, const QList<qint32>& valores)
{
    if (lecturasFallidas.contains(lectura)) {
        FijarError(110, QStringLiteral("No se pudo leer %1.").arg(lectura));
        return {};
    }
    FijarError(0, {});
    return valores;
}

QList<qint32> EscanerGuionado::UnidadesSoportadas()
{
    return leerLista(QStringLiteral("UnidadesSoportadas"), unidadesSoportadas);
}

QList<qint32> EscanerGuionado::TiposPixelSoportados()
{
    return leerLista(QStringLiteral("TiposPixelSoportados"), tiposPixelSoportados);
}

QList<qint32> EscanerGuionado::ResolucionesSoportadas()
{
    respuesta_ = Respuesta{.contenedor = 0};
    if (!rangoResoluciones) {
        const QList<qint32> lista =
            leerLista(QStringLiteral("ResolucionesSoportadas"), resolucionesSoportadas);
        if (CodigoError() == 0) {
            respuesta_.contenedor = Enumeracion;
            for (const qint32 v : lista)
                respuesta_.elementos << float(v);
        }
        return lista;
    }
    const RangoResoluciones r = *rangoResoluciones;
    const QList<qint32> lista =
        leerLista(QStringLiteral("ResolucionesSoportadas"), {qint32(r.minimo), qint32(r.maximo)});
    if (CodigoError() == 0) {
        respuesta_.contenedor = Rango;
        respuesta_.minimo = r.minimo;
        respuesta_.maximo = r.maximo;
        respuesta_.incremento = r.incremento;
    }
    return lista;
}

QList<qint32> EscanerGuionado::TamanosPapelSoportados()
{
    return leerLista(QStringLiteral("TamanosPapelSoportados"), tamanosPapelSoportados);
}

std::optional<QList<int>> EscanerGuionado::declaradas() const
{
    if (capacidadesDeclaradas)
        return capacidadesDeclaradas;
    if (capacidades.isEmpty())
        return std::nullopt;
    return capacidades.keys();
}

int EscanerGuionado::CapacidadSoportada()
{
    return capacidades.contains(capacidad_) || (capacidad_ == 0x1005 && declaradas()) ? 1 : 0;
}

int EscanerGuionado::ConsultarCapacidad()
{
    respuesta_ = Respuesta{.contenedor = 0};
    if (capacidades.contains(capacidad_)) {
        const QList<Respuesta>& respuestas = capacidades[capacidad_];
        if (respuestas.isEmpty())
            return 0;
        respuesta_ = respuestas.first();
        for (const Respuesta& r : respuestas) {
            if (r.contenedor == contenedor_)
                respuesta_ = r;
        }
        FijarError(0, {});
        return 1;
    }
    const std::optional<QList<int>> codigos = declaradas();
    if (capacidad_ == 0x1005 && codigos) {
        respuesta_.contenedor = Enumeracion;
        for (const int codigo : *codigos)
            respuesta_.elementos << float(codigo);
        FijarError(0, {});
        return 1;
    }
    FijarError(105, QStringLiteral("El escáner no informa la capacidad 0x%1.")
                        .arg(capacidad_, 4, 16, QLatin1Char('0')));
    return 0;
}

int EscanerGuionado::GirarPagina(int posicion, int cuartos)
{
    anotar(QStringLiteral("GirarPagina(%1,%2)").arg(posicion).arg(cuartos));
    if (posicion < 0 || posicion >= paginas.size())
        return 0;
    paginas[posicion] = paginas[posicion].transformed(QTransform().rotate(90.0 * cuartos));
    return 1;
}

int EscanerGuionado::MoverPagina(int desde, int hasta)
{
    anotar(QStringLiteral("MoverPagina(%1,%2)").arg(desde).arg(hasta));
    if (desde < 0 || desde >= paginas.size() || hasta < 0 || hasta >= paginas.size())
        return 0;
    paginas.move(desde, hasta);
    return 1;
}

QString EscanerGuionado::ApartarPagina(int posicion)
{
    const QImage pagina = paginas.value(posicion);
    if (QuitarPagina(posicion) != 1)
        return {};
    const QString nombre = QStringLiteral("apartada-%1").arg(++apartadasHechas_);
    apartadas_.insert(nombre, pagina);
    return nombre;
}

int EscanerGuionado::ReponerPagina(const QString& apartada, int posicion)
{
    anotar(QStringLiteral("ReponerPagina(%1)").arg(posicion));
    if (!apartadas_.contains(apartada) || posicion < 0 || posicion > paginas.size())
        return 0;
    paginas.insert(posicion, apartadas_.take(apartada));
    return 1;
}
