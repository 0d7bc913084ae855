#pragma once

#include "components/escaner/CapacidadesSane.h"
#include "components/escaner/EscanerTwain.h"
#include "components/escaner/OpcionesSane.h"
#include "components/escaner/SpoolPaginas.h"

#include <QRectF>
#include <functional>
#include <optional>

class LectorSane;

// The scanning component on SANE. Settings written before the source is open are kept and
// applied when it opens; pages live in a spool on disk (see SpoolPaginas).
class EscanerSane : public EscanerTwain
{
    Q_OBJECT
public:
    // Own failure codes; SANE statuses keep their own numbers (1 to 11).
    enum Error
    {
        ErrorSinFuente = 100,
        ErrorPosicion = 101,
        ErrorArchivo = 102,
        ErrorOcupado = 103,
        ErrorValor = 104,
        ErrorCapacidad = 105,
        // 106 is EscanerTwain::ErrorDiscoLleno.
    };
    using SelectorFuente = std::function<int(QWidget*, const QStringList&, int)>;
    using DialogoAjustes = std::function<bool(QWidget*, OpcionesSane&, TratamientoHojas&)>;

    // carpetaRecuperacion empty: AppLocalDataLocation + "/recuperacion".
    explicit EscanerSane(const QString& carpetaRecuperacion = {}, QObject* parent = nullptr);
    ~EscanerSane() override;

    // Dialogs replaceable for tests; by default DialogoFuente and DialogoAjustesSane.
    void FijarSelectorFuente(SelectorFuente selector) { selector_ = std::move(selector); }
    void FijarDialogoAjustes(DialogoAjustes dialogo) { dialogo_ = std::move(dialogo); }
    // The open device's options, or an empty set when no source is open.
    OpcionesSane& Opciones() { return opciones_; }
    QString CarpetaSesion() const { return spool_.carpetaSesion(); }

    int AbrirSesionTwain() override;
    int NumeroFuentes() const override { return int(fuentes_.size()); }
    QString NombreFuente(int posicion) const override;
    int FuenteActual() const override { return actual_; }
    void FijarFuenteActual(int posicion) override;
    int ElegirFuente() override;
    int MostrarDialogo() const override { return mostrarDialogo_ ? 1 : 0; }
    void FijarMostrarDialogo(bool mostrar) override { mostrarDialogo_ = mostrar; }
    int AbrirFuente() override;
    int CerrarFuente() override;

    int Resolucion() override;
    void FijarResolucion(int ppp) override;
    int Unidad() override;
    void FijarUnidad(int unidad) override;
    int TipoPixel() override;
    void FijarTipoPixel(int tipo) override;
    int FijarArea(float izquierda, float arriba, float derecha, float abajo) override;
    int TamanoPapel() override;
    void FijarTamanoPapel(int tamano) override;

    int Escanear() override;
    bool escaneando() const override { return escaneando_; }

    int NumeroPaginas() const override { return spool_.cantidad(); }
    QImage ImagenPagina(int posicion) override;
    int AnchoPagina(int posicion) override;
    int AltoPagina(int posicion) override;
    int BitsPorPixel(int posicion) override;
    int GuardarPagina(int posicion, const QString& archivo) override;
    int QuitarPagina(int posicion) override;
    QString ArchivoPagina(int posicion) override;
    int GirarPagina(int posicion, int cuartos) override;
    int MoverPagina(int desde, int hasta) override;
    QString ApartarPagina(int posicion) override;
    int ReponerPagina(const QString& apartada, int posicion) override;
    void OlvidarPagina(const QString& apartada) override { spool_.olvidar(apartada); }

    int PaginasQuitadas() const override { return spool_.quitadas(); }
    int RestaurarPaginaQuitada() override;
    void OlvidarPaginasQuitadas() override;

    QString CarpetaPaginas() override;
    QList<SesionRecuperable> SesionesRecuperables() override;
    int RecuperarPaginas(const QString& carpeta) override;
    int DescartarPaginas(const QString& carpeta) override;

    int CodigoError() const override { return codigo_; }
    QString TextoError() const override { return texto_; }

    QList<qint32> UnidadesSoportadas() override;
    QList<qint32> TiposPixelSoportados() override;
    QList<qint32> ResolucionesSoportadas() override;
    QList<qint32> TamanosPapelSoportados() override;

    int Capacidad() const override { return capacidad_; }
    void FijarCapacidad(int codigo) override { capacidad_ = codigo; }
    int CapacidadSoportada() override;
    int ContenedorPedido() const override { return contenedorPedido_; }
    void FijarContenedorPedido(int contenedor) override { contenedorPedido_ = contenedor; }
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
    struct Fuente
    {
        QString dispositivo;
        QString nombre;
    };
    void limpiar() { codigo_ = 0, texto_.clear(); }
    void fallar(int codigo, const QString& texto);
    bool fuenteAbierta(); // sets the error when no source is open
    bool paginaValida(int posicion, bool modifica);
    bool sesionAjena(const QString& carpeta); // sets the error when it is not recoverable
    bool alimentadorActivo() const;
    CapacidadesSane capacidades() const;
    void aplicarAjustes();
    void aplicarTipoPixel(int tipo);
    void aplicarArea(const QRectF& mm);
    void terminarEscaneo(int estado, const QString& detalle);

    SpoolPaginas spool_;
    bool sesion_ = false;
    QList<Fuente> fuentes_;
    int actual_ = -1;
    SANE_Handle dispositivo_ = nullptr;
    OpcionesSane opciones_;
    double resolucionInicial_ = 0;
    bool mostrarDialogo_ = false;
    bool escaneando_ = false;
    LectorSane* lector_ = nullptr;

    int unidad_ = 0;
    std::optional<int> resolucion_;
    std::optional<int> tipoPixel_;
    std::optional<QRectF> areaMm_;
    int tamanoPapel_ = 0;

    int codigo_ = 0;
    QString texto_;

    int capacidad_ = 0;
    int contenedorPedido_ = 0;
    RespuestaCapacidad respuesta_;

    SelectorFuente selector_;
    DialogoAjustes dialogo_;
};
