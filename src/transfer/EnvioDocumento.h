#pragma once

#include "capture/Lote.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class BloqueoDocumento;
class ClienteFtp;
class ConexionBaseDatos;
class Mensajes;
struct TipoDocumento;

// One send of a lote's pages to the branch's image server, as Guardar does it and as anything
// else that sends a lote does (the start-up recovery, a workstation with no window). The image
// server's document is the truth: it is fetched under a lock no other workstation can hold
// meanwhile, the pages are written after it, the size is checked, a new case file gets its
// folio, what is about to be sent is recorded in the lote, the upload replaces the document and
// the flag is set. The lote's state is recorded at every step, so whatever stops a send leaves
// pages that are either held or known to be on the server; and a later try (or the next start)
// asks the server whether an upload whose answer never came did arrive before sending again.
// The clerk is told through Mensajes; the status and the stored document through signals.
class EnvioDocumento : public QObject
{
    Q_OBJECT
public:
    // What every send talks to.
    struct Partes
    {
        ConexionBaseDatos& bd;
        ClienteFtp& ftp;
        Mensajes& mensajes;
        // Connects the client to the branch's image server. A refused connection has been told
        // and returns true (the transfer then fails); false after a grave error, told too.
        std::function<bool()> conectar;
    };

    // One send: the lote and what the pages go with.
    struct Pedido
    {
        Lote& lote;
        // Records the lote for good: its state, folio and what is about to be sent.
        std::function<void()> registrar;
        // The document is built here; after a send that reached the server it is a copy of the
        // stored document, otherwise it is put back as it was.
        QString archivo;
        double tamanoMaximo = 0; // largest document, in KB
        // Where a case file still to be created goes (the lote's folio is 0 until then).
        QString sucursal;
        bool prestamo = false;
        // Appends the held pages to the file, in their order; false once the clerk was told why.
        std::function<bool(const QString& archivo)> escribirHojas;
        // "Desea Agregarlos?": the server has a document of this type already.
        std::function<bool()> preguntarAgregar;
    };

    // Why a send did not end stored and flagged.
    enum class Falla
    {
        Ninguna,
        Servidor, // the image server could not be reached, or the transfer was cut
        Marca,    // the database refused the flag after the upload
        Otra,     // anything a new try alone does not mend, or the clerk's No
    };

    // What the last send found and did, kept as it goes (also when it throws).
    struct Resultado
    {
        Falla falla = Falla::Ninguna;
        bool agregar = false;                // "Desea Agregarlos?" was answered Yes
        std::optional<bool> documentoExiste; // whether the server had one, once asked
        double tamanoKB = 0;
        int resultadoFtp = 0;
        QString nombreRemoto;
    };

    EnvioDocumento(Partes partes, QObject* parent = nullptr);
    ~EnvioDocumento() override;

    // True once the document is stored and flagged (the lote is then registrada); otherwise
    // the pages stay held and the clerk has been told why. Database failures throw.
    bool enviar(Pedido& pedido);
    const Resultado& resultado() const { return resultado_; }

    // Sets the flag of a lote that reached the server, and of one whose upload was under way
    // when its run stopped, once the server is seen to hold what it sent. `registrar` records
    // the lote's new state; `motivo` says why a flag could not be set.
    Lote::Cierre completar(Lote& lote, const std::function<void()>& registrar, QString* motivo);

    // Kilobytes as the size message shows them: megabytes to two decimals, halves to the even
    // digit, in the shortest form of the regional number format (1.5, not 1.50).
    static QString Megas(double kilobytes);

    // REGRESA_FOLIO on the connection (by default ConexionBaseDatos::regresaFolio). Tests put a
    // database in its place that hands back Null, which the embedded one never does.
    std::function<QVariant(ConexionBaseDatos&)> leerFolio;
    // How long a send waits for another workstation sending the same document.
    std::chrono::milliseconds esperaBloqueo{10000};

signals:
    // What the send is doing, for the status line.
    void estatus(const QString& texto);
    // The case file was created with this folio; the lote has it already.
    void expedienteCreado(double folio);
    // The server has the document, a copy of which is `archivo`.
    void enviado(const QString& archivo);

private:
    enum class Toma
    {
        Tomado,
        Llegado, // an earlier upload of this lote is what the server holds
        Detenido,
    };
    Toma tomar(Pedido& pedido, const TipoDocumento& tipo);
    bool traer(const QString& remoto, const QString& archivo);
    // A fetch or an upload failed: the clerk is told under `titulo`, the status says so, and
    // the result whether a new try can mend it. False.
    bool fallaTransferencia(const QString& remoto, const QString& titulo);
    // Whether the document in `archivo` (of fingerprint `huella`) holds what the lote's earlier
    // upload sent: that very file, or its pages in their place with others added after them.
    static bool llego(const Lote& lote, const QString& archivo, const QString& huella);
    bool crearExpediente(Pedido& pedido, const TipoDocumento& tipo);
    bool subir(Pedido& pedido, const TipoDocumento& tipo);
    bool marcar(Pedido& pedido, const TipoDocumento& tipo);
    // The flag's UPDATE: the rows it changed (0: the case file is gone).
    int marcarFilas(const Lote& lote, const TipoDocumento& tipo);
    void error(const QString& mensaje, const QString& titulo);

    Partes partes_;
    Resultado resultado_;
    // The fingerprint of the server's document this send builds on.
    QString base_;
    // The fetch of this send left the client connected, with nothing but local work since.
    bool conectado_ = false;
    // The document taken for this send, from its fetch until the server has it.
    std::unique_ptr<BloqueoDocumento> unaEstacion_;
};
