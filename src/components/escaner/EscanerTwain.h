#pragma once

#include "components/escaner/SesionRecuperable.h"
#include "components/escaner/TratamientoHojas.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

// The scanning component the window talks to. It keeps the vocabulary of the TWAIN control the
// system was written against (flags are whole numbers, non-zero meaning yes; codes are TWAIN's),
// whatever driver sits behind it. It lives on the UI thread and never throws: every failure is a
// return value plus CodigoError/TextoError.
class EscanerTwain : public QObject
{
    Q_OBJECT
public:
    // TWAIN container kinds, as answered by TipoContenedor.
    enum Contenedor
    {
        UnValor = 1,
        Arreglo = 2,
        Rango = 3,
        Enumeracion = 4
    };

    explicit EscanerTwain(QObject* parent = nullptr) : QObject(parent) {}
    ~EscanerTwain() override = default;

    // Window that owns the dialogs the component shows (source list, source settings).
    void FijarVentana(QWidget* ventana) { ventana_ = ventana; }
    QWidget* Ventana() const { return ventana_; }

    // Session and sources.
    virtual int AbrirSesionTwain() = 0;
    virtual int NumeroFuentes() const = 0;
    virtual QString NombreFuente(int posicion) const = 0;
    virtual int FuenteActual() const = 0; // −1 with no sources
    virtual void FijarFuenteActual(int posicion) = 0;
    virtual int ElegirFuente() = 0;         // flag: a source was chosen
    virtual int MostrarDialogo() const = 0; // 0 or 1
    virtual void FijarMostrarDialogo(bool mostrar) = 0;
    virtual int AbrirFuente() = 0;  // flag
    virtual int CerrarFuente() = 0; // flag

    // Acquisition settings. Reads give −1 (Resolucion: 0) when the source cannot answer.
    virtual int Resolucion() = 0;
    virtual void FijarResolucion(int ppp) = 0;
    virtual int Unidad() = 0; // 0 inches
    virtual void FijarUnidad(int unidad) = 0;
    virtual int TipoPixel() = 0; // 0 black and white, 1 grey, 2 RGB
    virtual void FijarTipoPixel(int tipo) = 0;
    virtual int FijarArea(float izquierda, float arriba, float derecha, float abajo) = 0;
    virtual int TamanoPapel() = 0; // TWAIN size code, 3 US letter
    virtual void FijarTamanoPapel(int tamano) = 0;

    // Settings the window writes that no driver here needs; accepted and ignored.
    // FijarAjusteInicial: 0 when the component is created, 6 before each automatic scan.
    // FijarAjusteSesion: 100 after AbrirSesionTwain.
    // Before each automatic scan: FijarIndicadorAutomatico(true), FijarLimiteAutomatico(10),
    // FijarAjusteCopiado(AjusteParaCopiar()) and, except for type I, FijarAjusteCero(0).
    virtual void FijarAjusteInicial(int) {}
    virtual void FijarAjusteSesion(int) {}
    virtual void FijarIndicadorAutomatico(bool) {}
    virtual void FijarLimiteAutomatico(int) {}
    virtual int AjusteParaCopiar() const { return 0; }
    virtual void FijarAjusteCopiado(int) {}
    virtual void FijarAjusteCero(int) {}

    // Starts an acquisition and returns when it is over. Each page arrives as PostScan(0) on the UI
    // thread while the call runs (the event loop keeps turning); a failure as PostScan(≠0) with
    // CodigoError set. Pages held before are kept. Flag: the acquisition started.
    virtual int Escanear() = 0;
    // True while a scan is still delivering pages: the window must not save or remove pages then.
    virtual bool escaneando() const = 0;

    // Pages held, positions 0 to NumeroPaginas()−1.
    virtual int NumeroPaginas() const = 0;
    virtual QImage ImagenPagina(int posicion) = 0; // null image for a position not held
    virtual int AnchoPagina(int posicion) = 0;
    virtual int AltoPagina(int posicion) = 0;
    virtual int BitsPorPixel(int posicion) = 0;
    // Appends the page to a multi-page TIFF, creating it when absent. 1 on success.
    virtual int GuardarPagina(int posicion, const QString& archivo) = 0;
    // 1 when removed (later pages move down); another value for a position not held.
    virtual int QuitarPagina(int posicion) = 0;

    // Editing the pages held, for the viewer; while a scan runs, and for a position not held,
    // each answers 0 (CodigoError set). A component that offers none answers 0 to all.
    // The file that holds the page, so that it can be read off the UI thread and its compressed
    // size known; empty for a component that keeps its pages in memory.
    virtual QString ArchivoPagina(int posicion)
    {
        Q_UNUSED(posicion);
        return {};
    }
    // Turns the page by quarter turns clockwise (1 to 3) and keeps it turned. 1 on success.
    virtual int GirarPagina(int posicion, int cuartos)
    {
        Q_UNUSED(posicion);
        Q_UNUSED(cuartos);
        return 0;
    }
    // Moves the page at `desde` to position `hasta`; the pages between shift by one. 1 on
    // success.
    virtual int MoverPagina(int desde, int hasta)
    {
        Q_UNUSED(desde);
        Q_UNUSED(hasta);
        return 0;
    }
    // Removes the page as QuitarPagina does, but keeps it aside, no longer held (a restart does
    // not offer it), until ReponerPagina puts it back or OlvidarPagina deletes it. Answers a
    // name for it; empty when it was not removed.
    virtual QString ApartarPagina(int posicion)
    {
        Q_UNUSED(posicion);
        return {};
    }
    // A page kept aside is held again at `posicion` (0 to NumeroPaginas()). 1 on success.
    virtual int ReponerPagina(const QString& apartada, int posicion)
    {
        Q_UNUSED(apartada);
        Q_UNUSED(posicion);
        return 0;
    }
    virtual void OlvidarPagina(const QString& apartada) { Q_UNUSED(apartada); }

    // The folder where the held pages are kept on disk, one file each, created when needed;
    // empty for a component that keeps its pages in memory. The window keeps its record of whose
    // pages they are beside them, so that a run that ends without closing leaves both together.
    virtual QString CarpetaPaginas() { return {}; }

    // Pages a run of the program left held when it ended without closing. A component that
    // keeps no pages on disk has none. RecuperarPaginas appends the pages of one of the listed
    // sessions after the pages held, in their order, and returns how many it took (CodigoError
    // set when some could not be read or moved); the folder is then this run's.
    // DescartarPaginas deletes such a session (flag). Sessions of runs still alive are refused.
    virtual QList<SesionRecuperable> SesionesRecuperables() { return {}; }
    virtual int RecuperarPaginas(const QString& carpeta)
    {
        Q_UNUSED(carpeta);
        return 0;
    }
    virtual int DescartarPaginas(const QString& carpeta)
    {
        Q_UNUSED(carpeta);
        return 0;
    }

    // What is done to each page as it arrives (blank pages dropped, skewed ones straightened),
    // set before each scan; the source's settings dialog may change it. A component that cannot
    // treat its pages keeps it untouched.
    void FijarTratamiento(const TratamientoHojas& tratamiento) { tratamiento_ = tratamiento; }
    const TratamientoHojas& Tratamiento() const { return tratamiento_; }
    // Pages dropped as blank that can still be brought back, the last dropped first.
    virtual int PaginasQuitadas() const { return 0; }
    // Brings the page dropped last back among the held pages at the place it arrived; its
    // position, or −1 (CodigoError set) when there is none or it cannot be brought back.
    virtual int RestaurarPaginaQuitada() { return -1; }
    // The dropped pages go for good (their document was stored or discarded).
    virtual void OlvidarPaginasQuitadas() {}

    // Last failure: code (0 none) and a Spanish text.
    virtual int CodigoError() const = 0;
    // The one code the window tells apart whatever the driver: GuardarPagina found the disk
    // full, which no new try fixes until space is freed.
    static constexpr int ErrorDiscoLleno = 106;
    virtual QString TextoError() const = 0;

    // Supported values of the current source; CodigoError ≠ 0 when they cannot be read.
    // ResolucionesSoportadas also sets TipoContenedor and, for a range, ValorMinimo, ValorMaximo
    // and Incremento (its list then holds only the minimum and the maximum).
    virtual QList<qint32> UnidadesSoportadas() = 0;
    virtual QList<qint32> TiposPixelSoportados() = 0;
    virtual QList<qint32> ResolucionesSoportadas() = 0;
    virtual QList<qint32> TamanosPapelSoportados() = 0;

    // Capability queries: set Capacidad and ContenedorPedido, call ConsultarCapacidad (1 on
    // success), then read the answer.
    virtual int Capacidad() const = 0;
    virtual void FijarCapacidad(int codigo) = 0;
    virtual int CapacidadSoportada() = 0; // flag, for the capability set with FijarCapacidad
    virtual int ContenedorPedido() const = 0;
    virtual void FijarContenedorPedido(int contenedor) = 0;
    virtual int ConsultarCapacidad() = 0;
    virtual int TipoContenedor() const = 0; // Contenedor, 0 when nothing was read
    virtual int NumeroElementos() const = 0;
    virtual float Elementos(int indice) const = 0;
    virtual float ValorActual() const = 0;
    virtual QString ValorTexto() const = 0;
    virtual float ValorPredeterminado() const = 0;
    virtual float ValorMinimo() const = 0;
    virtual float ValorMaximo() const = 0;
    virtual int Incremento() const = 0;

signals:
    // 0: the step succeeded and NumeroPaginas is current; other: it did not (see CodigoError).
    void PostScan(int flag);

protected:
    TratamientoHojas& tratamientoEditable() { return tratamiento_; }

private:
    QPointer<QWidget> ventana_;
    TratamientoHojas tratamiento_;
};
