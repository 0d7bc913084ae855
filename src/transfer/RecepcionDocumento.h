#pragma once

#include <QObject>
#include <QVariant>
#include <functional>

struct ContextoVentana;
class ConexionImagenes;

// Looks up the case file the window works on and fetches the stored document of the current
// type from the image server into the type's working file.
class RecepcionDocumento : public QObject
{
    Q_OBJECT
public:
    RecepcionDocumento(ContextoVentana& c, ConexionImagenes& conexion, QObject* parent);

    // Called by the document-type options after they set LetraActual and found no working file.
    // The row found (by FolioActual, else the customer's 'Capturado' case file) becomes the
    // current case file. A database failure is left to the handler that called it.
    void RecibirDocumento();

    // A flag column reads as set: anything but Null, 0 or false.
    static bool BanderaPuesta(const QVariant& valor);

    // The file the viewer shows for the document received (filled in by the program's
    // assembly): with pages waiting in the outbox, the document as it will be once they are sent.
    std::function<QString(const QString& archivo)> Vista;

private:
    void descargar(const QString& remoto);
    // A download that failed on this workstation's side: the folder, not the server.
    void avisarFallaLocal(const QString& remoto, int codigo, const QString& detalle);

    ContextoVentana& c_;
    ConexionImagenes& conexion_;
};
