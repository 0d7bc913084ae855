#pragma once

#include "transfer/BandejaSalida.h"

#include <QObject>
#include <QSet>
#include <memory>

class DiarioPaginas;
class EnvioSalida;
class ListaExpedientes;
struct ContextoVentana;
struct TipoDocumento;

// The window's side of the outbox: a Guardar that cannot reach the image server puts its pages
// here and the clerk goes on; the sender sends them in the background, and the status area says
// how many wait and why the last try failed. Closing says they will be sent at the next start.
class DocumentosEnEspera : public QObject
{
    Q_OBJECT
public:
    DocumentosEnEspera(ContextoVentana& c, DiarioPaginas& diario, ListaExpedientes& lista,
                       QObject* parent);
    ~DocumentosEnEspera() override;

    // Once the window is loaded: the sender starts, and sends what an earlier run left.
    void iniciar();
    // Before the window closes: says what waits, and stops the sender.
    void cerrar();

    // The held pages of the document of this type go to the outbox, and leave the window; false,
    // with the clerk told, when they could not (they stay held).
    bool poner(const TipoDocumento& tipo);
    // Whether the outbox holds the lote of this id.
    bool contiene(const QString& id) const;
    // The documents waiting, by their name on the image server ("10662N.tif").
    QSet<QString> documentos() const;
    // How many documents wait.
    int pendientes() const;
    // A try now.
    void enviarAhora();
    // What waits, oldest first.
    QList<BandejaSalida::Espera> esperas() const;
    // The lote of an outbox folder goes, pages and all, after a question that names them and
    // their owner (No by default); true when it went.
    bool descartar(const QString& carpeta);
    // "Nota Venta": the type of the lote as its option reads.
    QString nombreDocumento(const Lote& lote) const;
    // The outbox list, with its "Enviar ahora" and "Descartar".
    void mostrarBandeja();
    // What the viewer shows for the working file of the current case file and type: with pages
    // of that document waiting, a copy with them after the server's pages, and the status says
    // how many wait; otherwise the working file itself.
    QString vista(const QString& archivo);

signals:
    // Something was put in, sent, discarded, or tried.
    void cambio();

private:
    void mostrar();
    // The sender, started at the first need.
    EnvioSalida& remitente();

    ContextoVentana& c_;
    DiarioPaginas& diario_;
    ListaExpedientes& lista_;
    std::unique_ptr<BandejaSalida> bandeja_;
    EnvioSalida* envio_ = nullptr;
    bool iniciado_ = false; // the window is loaded: the settings the sender needs are read
};
