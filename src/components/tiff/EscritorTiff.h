#pragma once

#include <QImage>
#include <QString>

typedef struct tiff TIFF;

// Writes scanned pages as TIFF: bilevel pages CCITT Group 4 (min-is-white), grey and colour pages
// JPEG, resolution in dots per inch. Appending never rewrites the pages already in a file, and a
// file this call created is removed again when the write fails.
class EscritorTiff
{
public:
    // Writes a one-page file, replacing any file of that name.
    static bool escribirArchivo(const QString& archivo, const QImage& imagen, int ppp,
                                QString* error = nullptr);
    // Appends the page to a multi-page file, creating the file when absent.
    static bool agregarImagen(const QString& archivo, const QImage& imagen, int ppp,
                              QString* error = nullptr);
    // Appends the first page of a TIFF written by this class, copying its compressed data as it
    // is (no decode, no new encode). On failure sistema gets the errno of the write that broke
    // off (0 when the fault was not the system's), so a full disk can be told as such.
    static bool agregarPaginaTiff(const QString& archivo, const QString& origen,
                                  QString* error = nullptr, int* sistema = nullptr);
    // Number of pages of a TIFF file; −1 when it cannot be read.
    static int contarPaginas(const QString& archivo);

private:
    static bool escribirDirectorio(TIFF* tif, const QImage& imagen, int ppp, QString* error);
    static bool copiarDirectorio(TIFF* origen, TIFF* destino, QString* error);
    template <typename Escribir>
    static bool agregar(const QString& archivo, Escribir escribir, QString* error,
                        int* sistema = nullptr);
};
