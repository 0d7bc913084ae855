#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <chrono>

class ConexionBaseDatos;

// One save of a document at a time across the branch's workstations: between fetching the
// server's document and replacing it, no other workstation may replace it. Held in the central
// database, which every workstation shares: on SQL Server an application lock owned by the
// session, which the server lets go when the connection drops; on the embedded database a row
// with an expiry, taken over once expired or once its owner, on this same workstation, is gone.
// So a workstation that crashed keeps nobody waiting for long.
class BloqueoDocumento
{
public:
    // Tries for up to `espera`; the window keeps repainting meanwhile. `vigencia`: how long a
    // row of the embedded database holds unless renewed.
    BloqueoDocumento(ConexionBaseDatos& conexion, const QString& documento,
                     std::chrono::milliseconds espera, std::chrono::seconds vigencia = kVigencia);
    ~BloqueoDocumento();
    BloqueoDocumento(const BloqueoDocumento&) = delete;
    BloqueoDocumento& operator=(const BloqueoDocumento&) = delete;

    // False only when another workstation holds it. A database that cannot take locks at all
    // is logged and let through, as before there were locks: a save is not refused for it.
    bool tomado() const { return tomado_; }
    // While a long transfer runs: the embedded database's row holds for another `vigencia`, so
    // that a slow upload never finds the document taken by another workstation meanwhile. Goes
    // to the database at most every sixth of it.
    void renovar();

    // How long a row of the embedded database holds without its owner.
    static constexpr std::chrono::seconds kVigencia{120};
    // Made on the embedded database at the first lock: "expedientes <document>", "<host> <pid>"
    // and the second of expiry.
    static constexpr const char* kTablaEmbebida =
        "CREATE TABLE IF NOT EXISTS bloqueos_documento (recurso TEXT PRIMARY KEY, dueno TEXT NOT "
        "NULL, vence INTEGER NOT NULL)";

private:
    enum class Intento
    {
        Tomado,
        Ocupado,
        Falla
    };
    Intento intentar();
    Intento intentarSQLite();
    Intento intentarServidor();
    bool duenoMuerto(const QString& dueno) const;

    ConexionBaseDatos& conexion_;
    QString recurso_;
    QString dueno_;
    std::chrono::seconds vigencia_;
    QDeadlineTimer proximaRenovacion_;
    bool tomado_ = false;
    bool tablaLista_ = false;
    bool mio_ = false; // a lock to let go of
};
