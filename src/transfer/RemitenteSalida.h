#pragma once

#include "app/DatosServidorImagenes.h"
#include "transfer/BandejaSalida.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>

class ClienteFtp;
class ConexionBaseDatos;
class EnvioDocumento;
class MensajesRemitente;

// The outbox's sender, in a thread of its own (EnvioSalida runs it): with its own connection to
// the database and its own FTP client it sends what waits, oldest first, through the very send
// Guardar uses, so each document is built on the server's document as it is then, checked,
// uploaded and flagged once. It stops at the first that fails and tries again after a pause that
// doubles at every failure.
class RemitenteSalida : public QObject
{
    Q_OBJECT
public:
    struct Ajustes
    {
        QString cadenaConexion;
        QString carpetaArranque;
        DatosServidorImagenes servidor;
        QString archivoAjustes; // the workstation's TLS policy and server keys
        QString carpetaSalida;
        std::chrono::milliseconds pausaInicial{30000};
        std::chrono::milliseconds pausaMaxima{600000};
    };

    explicit RemitenteSalida(const Ajustes& ajustes);
    ~RemitenteSalida() override;

    // Sends what waits, until one fails; then tries again after the pause. Asked again while a
    // send runs (its transfer turns this thread's events), it goes round once more afterwards.
    void revisar();
    // A lote was put in: unless a try is due already, one comes after the pause.
    void programar();
    // No more tries; once no send runs, the connection goes and the thread stops. pedirDetencion
    // may be called from any thread: the sender starts no other lote after it.
    void detener();
    void pedirDetencion() { detenido_ = true; }

signals:
    // How many wait now, and why the last try failed (empty once one went through).
    void estado(int pendientes, const QString& error);
    // A waiting document was stored and flagged.
    void registrado(double cliente, double folio, const QString& tipo);

private:
    void recorrer();
    bool enviar(const BandejaSalida::Espera& espera, QString* error);
    bool preparar(QString* error);
    void terminar();

    Ajustes ajustes_;
    BandejaSalida bandeja_;
    QTimer reintento_; // a child, so it moves to the sender's thread with it
    std::chrono::milliseconds pausa_;
    std::atomic<bool> detenido_{false};
    bool ocupado_ = false;
    bool otraVez_ = false;
    // Made in the sender's thread at the first try.
    std::unique_ptr<ConexionBaseDatos> bd_;
    std::unique_ptr<ClienteFtp> ftp_;
    std::unique_ptr<MensajesRemitente> mensajes_;
    std::unique_ptr<EnvioDocumento> envio_;
};
