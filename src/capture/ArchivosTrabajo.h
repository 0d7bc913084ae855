#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>

struct ContextoVentana;

// The working files of the seven document types ("expediente" + letter + ".tif" in the working
// directory) and the reset of the scanning tab whenever the window turns to another customer or
// case file.
class ArchivosTrabajo : public QObject
{
    Q_OBJECT
public:
    ArchivosTrabajo(ContextoVentana& contexto, QObject* parent);

    // Deletes the seven working files, clears the options, clears and enables chkPrestamo and
    // shows every type as missing. A file that cannot be deleted is reported and the rest goes
    // on.
    void LimpiarArchivosTrabajo();

    // A save left pages in the working file that never reached the image server (the upload
    // failed or did not run). Such a file is not deleted without asking: it is the only copy of
    // those pages. The mark holds while the file stays as it was when marked.
    // expediente: whose pages they are (customer and folio, as the caller writes them).
    void MarcarSinEnviar(const QString& nombre, const QString& expediente);
    void MarcarEnviado(const QString& nombre);
    bool SinEnviar(const QString& nombre) const;
    // The case file of a file SinEnviar; empty otherwise.
    QString ExpedienteSinEnviar(const QString& nombre) const;
    // Whether the file may be deleted: true at once unless it is SinEnviar, then the user's
    // answer to a question that says its pages would be lost (No by default).
    bool ConfirmarBorrado(const QString& nombre);

private:
    struct Huella
    {
        qint64 tamano;
        QDateTime modificado;
        QString expediente;
    };
    static Huella huella(const QString& nombre);

    void borrarArchivo(const QString& nombre);
    void limpiarOpciones();

    ContextoVentana& c_;
    QHash<QString, Huella> sinEnviar_;
};
