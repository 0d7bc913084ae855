#pragma once

#include <QObject>

struct ContextoVentana;

// The working files of the seven document types ("expediente" + letter + ".tif" in the working
// directory) and the reset of the scanning tab whenever the window turns to another customer or
// case file. A working file holds only what the image server has (the held pages stay in the
// journal until their document is stored), so deleting it never loses a page.
class ArchivosTrabajo : public QObject
{
    Q_OBJECT
public:
    ArchivosTrabajo(ContextoVentana& contexto, QObject* parent);

    // Deletes the seven working files, clears the options, clears and enables chkPrestamo and
    // shows every type as missing. A file that cannot be deleted is reported and the rest goes
    // on.
    void LimpiarArchivosTrabajo();

private:
    void borrarArchivo(const QString& nombre);
    void limpiarOpciones();

    ContextoVentana& c_;
};
