#pragma once

#include <QString>

// Working state of the main window; everything starts empty and lives for the whole run.
struct SesionCaptura
{
    QString LetraActual;           // letter of the current document type; empty until one is picked
    double FolioActual = 0;        // folio of the current case file; 0 = none
    bool ExpedienteExiste = false; // the current case file is known to exist in the database
    bool DocumentoExiste = false;  // the case file already holds a document of the current type
    bool SubidaCorrecta = false;   // the upload of the save in progress succeeded
    double TamanoKB = 0;           // size of the working file being saved
    QString NombreRemoto;          // remote name of the upload in progress
    QString ArchivoLocal;          // local name of the download in progress
    int ResultadoFtp = 0;          // outcome of the last connect or transfer, 1 = success
    bool BorrarRemotoPrimero = false;
    bool EscanerListo = false; // the scanner session was opened at start-up
    qint16 PaginaActual = 0;   // position of the page shown in the viewer
};
