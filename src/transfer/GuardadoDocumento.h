#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <chrono>
#include <functional>
#include <memory>

class ConexionImagenes;
class DiarioPaginas;
class DocumentosEnEspera;
class EnvioDocumento;
class ListaExpedientes;
struct ContextoVentana;
struct TipoDocumento;

// Saving the scanned pages of the current type (BUpload_Click): the window's side of a send.
// The send itself (fetch, build, size check, the case file's folio when new, upload, flag,
// journal) is EnvioDocumento's; here the window is held while it runs, the clerk is asked and
// told, the viewer shows the stored document, and the capture controls are reset once it is
// stored and flagged. Anything short of that keeps the pages held for another try.
class GuardadoDocumento : public QObject
{
    Q_OBJECT
public:
    GuardadoDocumento(ContextoVentana& c, ConexionImagenes& conexion, DiarioPaginas& diario,
                      ListaExpedientes& lista, DocumentosEnEspera& espera, QObject* parent);
    ~GuardadoDocumento() override;

    void BUpload_Click();

    // A save is running (it yields to the event loop while it connects and uploads).
    bool guardando() const { return guardando_; }

    // The send the window's saves go through.
    EnvioDocumento& envio() { return *envio_; }

private:
    void guardar();
    bool escribirPaginas(const QString& archivo);
    // "Desea Agregarlos?"; on No the status says the pages were kept.
    bool preguntarAgregar();
    void terminar(const TipoDocumento& tipo);
    // The pages went to the outbox: the window is free for the next document. With `listar`
    // the case-file list is read again to show it waiting.
    void apartar(const TipoDocumento& tipo, bool listar);
    // The capture controls as after a save; the type's marks say whether it is stored.
    void reiniciarCaptura(const TipoDocumento& tipo, bool guardado);
    void estatus(const QString& texto);

    ContextoVentana& c_;
    DiarioPaginas& diario_;
    ListaExpedientes& lista_;
    DocumentosEnEspera& espera_;
    EnvioDocumento* envio_;
    bool guardando_ = false;
    // The case file a save created, until a save of it goes through (it may take more tries).
    double folioCreado_ = 0;
};
