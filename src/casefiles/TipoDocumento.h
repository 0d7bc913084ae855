#pragma once

#include <QString>
#include <QVariant>
#include <array>

// The seven document types of a case file. Every feature reads this table instead of switching
// on the letter.
struct TipoDocumento
{
    QChar letra;                // LetraActual, suffix of the stored file's name
    const char* columnaBandera; // flag column of Expedientes_ZR, as the updates write it
    const char* opcion;         // object name of the option button
    const char* marcaPresente;  // object name of the "stored" mark
    const char* marcaFalta;     // object name of the "missing" mark
    const char* columnaLista;   // caption of the flag's column in the case-file list
    int posicionLista;          // its 1-based position there
    bool descarteConDobleClic;  // the present mark discards on a double click (else a click)

    // "expediente" + letter + ".tif", in the working directory.
    QString archivoTrabajo() const;
    // Folio + letter + ".tif" on the image server.
    QString nombreRemoto(double folio) const;

    // In the order S, I, R, C, N, E, D: the order in which a case file's flags are read.
    static const std::array<TipoDocumento, 7>& todos();
    // nullptr for anything that is not a type letter.
    static const TipoDocumento* porLetra(const QString& letra);
    // A flag (or es_prestamo) as read from the database: only a true value counts; 0, false and
    // a database Null (a row created without the flag's default) do not.
    static bool activa(const QVariant& bandera);
};
