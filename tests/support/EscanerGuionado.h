#pragma once

#include "components/EscanerTwain.h"

#include <QList>
#include <QQueue>
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

    int Resolucion() override { return resolucion_; }
    void FijarResolucion(int ppp) override;
    int Unidad() override { return unidad_; }
    void FijarUnidad(int unidad) override;
    int TipoPixel() override { return tipo_; }
    void FijarTipoPixel(int tipo) override;
    int FijarArea(float izquierda, float arriba, float derecha, float abajo) override;
    int TamanoPapel() override { return tamano_; }
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

    int CodigoError() const override { return codigo_; }
    QString TextoError() const override { return texto_; }
    void FijarError(int codigo, const QString& texto);

    QList<qint32> UnidadesSoportadas() override { return {0}; }
    QList<qint32> TiposPixelSoportados() override { return {0, 2}; }
    QList<qint32> ResolucionesSoportadas() override { return {100, 200, 300}; }
    QList<qint32> TamanosPapelSoportados() override { return {3}; }
    int Capacidad() const override { return capacidad_; }
    void FijarCapacidad(int codigo) override { capacidad_ = codigo; }
    int CapacidadSoportada() override { return 0; }
    int ContenedorPedido() const override { return contenedor_; }
    void FijarContenedorPedido(int contenedor) override { contenedor_ = contenedor; }
    int ConsultarCapacidad() override { return 0; }
    int TipoContenedor() const override { return 0; }
    int NumeroElementos() const override { return 0; }
    float Elementos(int) const override { return 0; }
    float ValorActual() const override { return 0; }
    QString ValorTexto() const override { return {}; }
    float ValorPredeterminado() const override { return 0; }
    float ValorMinimo() const override { return 0; }
    float ValorMaximo() const override { return 0; }
    int Incremento() const override { return 0; }

private:
    void anotar(const QString& llamada) { llamadas << llamada; }

    int actual_ = 0;
    bool mostrar_ = false;
    int resolucion_ = 0;
    int unidad_ = 0;
    int tipo_ = 0;
    int tamano_ = 0;
    int capacidad_ = 0;
    int contenedor_ = 0;
    bool escaneando_ = false;
    int codigo_ = 0;
    QString texto_;
};
