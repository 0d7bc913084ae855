#pragma once

#include <QObject>
#include <QString>
#include <functional>

struct ContextoVentana;
struct TipoDocumento;

// The seven document-type options of FrmDocumentos (OpcSolicitud_Click, OpcIdentificacion_Click,
// OpcRecibo_Click, OpcCarta_Click, OpcNota_Click, OpcEntrega_Click, OpcExtras_Click): one handler
// told by the type table, connected to each option's clicked signal, so that clearing an option
// from code does not run it.
class SeleccionDocumento : public QObject
{
    Q_OBJECT
public:
    SeleccionDocumento(ContextoVentana& c, QObject* parent);

    // Makes the type current, shows its working file or fetches the stored document, and enables
    // scanning by the state of the case file.
    void Opc_Click(const TipoDocumento& tipo);

    // Fetches the stored document of LetraActual (the transfer feature; filled in by Armado).
    std::function<void()> RecibirDocumento;
    // Called before another type than the current one becomes current.
    std::function<void()> CambioDeTipo;
    // Called once another type than the one before is current (LetraActual set).
    std::function<void()> TipoElegido;
    // The file the viewer shows for the type's working file (see RecepcionDocumento::Vista).
    std::function<QString(const QString& archivo)> Vista;

    // Scanning is allowed on a case file in these states only; blanks around do not count.
    static bool EscaneoPermitido(const QString& estadoExpediente);

private:
    ContextoVentana& c_;
};
