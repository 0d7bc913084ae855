#pragma once

#include "components/escaner/EscanerTwain.h"

#include <QList>
#include <QMap>
#include <QQueue>
#include <QSet>
#include <optional>

// A scripted scanner for the window's failure paths that no real driver produces on demand:
// each Escanear delivers the pages queued for it and then the failure queued, if any;
// QuitarPagina and GuardarPagina answer from their queues when given. Every call is recorded.
class EscanerGuionado : public EscanerTwain
{
    Q_OBJECT
public:
    struct Falla
    {
        int flag = 0;   // PostScan value
        int codigo = 0; // CodigoError afterwards
        QString texto;
    };
    struct Tanda
    {
        QList<QImage> paginas;
        std::optional<Falla> falla;
    };

    explicit EscanerGuionado(QObject* parent = nullptr);

    // Script.
    QStringList fuentes{QStringLiteral("Escaner de prueba")};
    int sesion = 1; // AbrirSesionTwain result
    int abrir = 1;  // AbrirFuente result
    QQueue<Tanda> tandas;
    QQueue<int> resultadosQuitar; // forced QuitarPagina results, before the real removal
    QQueue<int> resultadosGuardar;
    QList<QImage> paginas; // held pages
    QStringList llamadas;  // "Resolucion=300", "Escanear", "GuardarPagina(0,x.tif)", ...
    bool escaneandoForzado = false;

    // Script of the characteristics report (these reads are not recorded in llamadas).
    QList<qint32> unidadesSoportadas{0};
    QList<qint32> tiposPixelSoportados{0, 2};
    QList<qint32> resolucionesSoportadas{100, 200, 300}; // an enumeration
    QList<qint32> tamanosPapelSoportados{3};
    struct RangoResoluciones
    {
        float minimo = 0;
        float maximo = 0;
        int incremento = 0;
    };
    std::optional<RangoResoluciones> rangoResoluciones; // set: resolutions answered as a range
    // Reads that fail with CodigoError 110, by operation name ("Unidad", "Resolucion",
    // "UnidadesSoportadas", ...): current values give −1 (Resolucion 0), lists an empty list.
    QSet<QString> lecturasFallidas;
    struct Respuesta
    {
        int contenedor = UnValor;
        QList<float> elementos{};
        float actual = 0;
        float predeterminado = 0;
        float minimo = 0;
        float maximo = 0;
        int incremento = 0;
        QString texto{};
    };
    // Supported capabilities and their answers: asked for a container, a capability answers
    // in that one when it has it, else in its first (its own container).
    QMap<int, QList<Respuesta>> capacidades;
    // The codes CAP_SUPPORTEDCAPS (0x1005) declares; unset: the keys of capacidades, and
    // nothing at all (the query fails) when there are none.
    std::optional<QList<int>> capacidadesDeclaradas;

    int AbrirSesionTwain() override;
    int NumeroFuentes() const override { return int(fuentes.size()); }
    QString NombreFuente(int posicion) const override { return fuentes.value(posicion); }
    int FuenteActual() const override { return fuentes.isEmpty() ? -1 : actual_; }
    void FijarFuenteActual(int posicion) override;
    int ElegirFuente() override;
    int MostrarDialogo() const override { return mostrar_ ? 1 : 0; }
    void FijarMostrarDialogo(bool mostrar) override;
    int AbrirFuente() override;
    int CerrarFuente() override;

    int Resolucion() override { return leer(QStringLiteral("Resolucion"), resolucion_, 0); }
    void FijarResolucion(int ppp) override;
    int Unidad() override { return leer(QStringLiteral("Unidad"), unidad_, -1); }
    void FijarUnidad(int unidad) override;
    int TipoPixel() override { return leer(QStringLiteral("TipoPixel"), tipo_, -1); }
    void FijarTipoPixel(int tipo) override;
    int FijarArea(float izquierda, float arriba, float derecha, float abajo) override;
    int TamanoPapel() override { return leer(QStringLiteral("TamanoPapel"), tamano_, -1); }
    void FijarTamanoPapel(int tamano) override;
    void FijarAjusteInicial(int v) override;
    void FijarAjusteSesion(int v) override;
    void FijarIndicadorAutomatico(bool v) override;
    void FijarLimiteAutomatico(int v) override;
    void FijarAjusteCopiado(int v) override;
    void FijarAjusteCero(int v) override;

    int Escanear() override;
    bool escaneando() const override { return escaneando_ || escaneandoForzado; }

    int NumeroPaginas() const override { return int(paginas.size()); }
    QImage ImagenPagina(int posicion) override { return paginas.value(posicion); }
    int AnchoPagina(int posicion) override { return paginas.value(posicion).width(); }
    int AltoPagina(int posicion) override { return paginas.value(posicion).height(); }
    int BitsPorPixel(int posicion) override { return paginas.value(posicion).depth(); }
    int GuardarPagina(int posicion, const QString& archivo) override;
    int QuitarPagina(int posicion) override;
    int GirarPagina(int posicion, int cuartos) override;
    int MoverPagina(int desde, int hasta) override;
    // Honours resultadosQuitar as QuitarPagina does.
    QString ApartarPagina(int posicion) override;
    int ReponerPagina(const QString& apartada, int posicion) override;
    void OlvidarPagina(const QString& apartada) override { apartadas_.remove(apartada); }

    int CodigoError() const override { return codigo_; }
    QString TextoError() const override { return texto_; }
    void FijarError(int codigo, const QString& texto);

    QList<qint32> UnidadesSoportadas() override;
    QList<qint32> TiposPixelSoportados() override;
    QList<qint32> ResolucionesSoportadas() override;
    QList<qint32> TamanosPapelSoportados() override;
    int Capacidad() const override { return capacidad_; }
    void FijarCapacidad(int codigo) override { capacidad_ = codigo; }
    int CapacidadSoportada() override;
    int ContenedorPedido() const override { return contenedor_; }
    void FijarContenedorPedido(int contenedor) override { contenedor_ = contenedor; }
    int ConsultarCapacidad() override;
    int TipoContenedor() const override { return respuesta_.contenedor; }
    int NumeroElementos() const override { return int(respuesta_.elementos.size()); }
    float Elementos(int indice) const override { return respuesta_.elementos.value(indice); }
    float ValorActual() const override { return respuesta_.actual; }
    QString ValorTexto() const override { return respuesta_.texto; }
    float ValorPredeterminado() const override { return respuesta_.predeterminado; }
    float ValorMinimo() const override { return respuesta_.minimo; }
    float ValorMaximo() const override { return respuesta_.maximo; }
    int Incremento() const override { return respuesta_.incremento; }

private:
    void anotar(const QString& llamada) { llamadas << llamada; }
    int leer(const QString& lectura, int valor, int fallido);
    QList<qint32> leerLista(const QString& lectura, const QList<qint32>& valores);
    std::optional<QList<int>> declaradas() const;

    int actual_ = 0;
    bool mostrar_ = false;
    int resolucion_ = 0;
    int unidad_ = 0;
    int tipo_ = 0;
    int tamano_ = 0;
    int capacidad_ = 0;
    int contenedor_ = 0;
    Respuesta respuesta_{.contenedor = 0};
    bool escaneando_ = false;
    QMap<QString, QImage> apartadas_;
    int apartadasHechas_ = 0;
    int codigo_ = 0;
    QString texto_;
};
