#pragma once

#include "components/escaner/EscanerTwain.h"

// Stands in when no scanner driver is available: no sources, and every operation a failure that
// says so, so the window behaves as with a workstation without a scanner.
class EscanerNoDisponible : public EscanerTwain
{
    Q_OBJECT
public:
    explicit EscanerNoDisponible(QObject* parent = nullptr);

    int AbrirSesionTwain() override;
    int NumeroFuentes() const override { return 0; }
    QString NombreFuente(int) const override { return {}; }
    int FuenteActual() const override { return -1; }
    void FijarFuenteActual(int) override {}
    int ElegirFuente() override;
    int MostrarDialogo() const override { return mostrarDialogo_ ? 1 : 0; }
    void FijarMostrarDialogo(bool mostrar) override { mostrarDialogo_ = mostrar; }
    int AbrirFuente() override;
    int CerrarFuente() override;

    int Resolucion() override;
    void FijarResolucion(int) override {}
    int Unidad() override;
    void FijarUnidad(int) override {}
    int TipoPixel() override;
    void FijarTipoPixel(int) override {}
    int FijarArea(float, float, float, float) override;
    int TamanoPapel() override;
    void FijarTamanoPapel(int) override {}

    int Escanear() override;
    bool escaneando() const override { return false; }

    int NumeroPaginas() const override { return 0; }
    QImage ImagenPagina(int) override;
    int AnchoPagina(int) override;
    int AltoPagina(int) override;
    int BitsPorPixel(int) override;
    int GuardarPagina(int, const QString&) override;
    int QuitarPagina(int) override;

    int CodigoError() const override { return codigo_; }
    QString TextoError() const override { return texto_; }

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
    void fallar();

    bool mostrarDialogo_ = false;
    int capacidad_ = 0;
    int contenedor_ = 0;
    int codigo_ = 0;
    QString texto_;
};
