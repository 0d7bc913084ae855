#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <chrono>
#include <functional>
#include <memory>

class BloqueoDocumento;
class ConexionBaseDatos;
class ConexionImagenes;
class DiarioPaginas;
class ListaExpedientes;
struct ContextoVentana;
struct TipoDocumento;

// Saving the scanned pages of the current type (BUpload_Click): they are written into the type's
// working file, its size checked against the branch's limit, the case file created with its
// folio when new (GuardarExpediente), the file uploaded under folio + letter (SubirDocumento),
// the document flagged and the capture controls reset. The journal of pages follows each step;
// anything short of a stored and flagged document keeps the pages held for another try.
class GuardadoDocumento : public QObject
{
    Q_OBJECT
public:
    GuardadoDocumento(ContextoVentana& c, ConexionImagenes& conexion, DiarioPaginas& diario,
                      ListaExpedientes& lista, QObject* parent);
    ~GuardadoDocumento() override;

    void BUpload_Click();
    // Creates the case file when new, connects, uploads and flags; the outcome is left in
    // SubidaCorrecta, FolioActual and ExpedienteExiste.
    void GuardarExpediente();
    // Uploads the working file of LetraActual as FolioActual + letter + ".tif"; sets
    // SubidaCorrecta.
    void SubirDocumento();

    // A save is running (it yields to the event loop while it connects and uploads).
    bool guardando() const { return guardando_; }

    // Kilobytes as the size message shows them: megabytes to two decimals, halves to the even
    // digit, in the shortest form of the regional number format (1.5, not 1.50).
    static QString Megas(double kilobytes);

    // REGRESA_FOLIO on the connection (by default ConexionBaseDatos::regresaFolio). Tests put a
    // database in its place that hands back Null, which the embedded one never does.
    std::function<QVariant(ConexionBaseDatos&)> leerFolio;
    // How long a save waits for another workstation saving the same document.
    std::chrono::milliseconds esperaBloqueo{10000};

private:
    void guardar();
    bool escribirPaginas(const QString& archivo);
    bool conectarYSubir();
    // "Desea Agregarlos?"; on No the status says the pages were kept.
    bool preguntarAgregar();
    void marcarDocumento(const TipoDocumento& tipo);
    void terminar(const TipoDocumento& tipo);
    void estatus(const QString& texto);

    ContextoVentana& c_;
    ConexionImagenes& conexion_;
    DiarioPaginas& diario_;
    ListaExpedientes& lista_;
    bool guardando_ = false;
    // The document taken for this save, from its fetch until the server has it.
    std::unique_ptr<BloqueoDocumento> unaEstacion_;
    // Yes was answered in this save, before the document was taken for it.
    bool agregarConfirmado_ = false;
    // The case file a save created, until a save of it goes through (it may take more tries).
    double folioCreado_ = 0;
};
