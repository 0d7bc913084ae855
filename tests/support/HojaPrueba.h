#pragma once

#include <QImage>
#include <QString>

// A letter page at `ppp` with what a scanner would bring, drawn in grey and taken to `formato`:
// "texto" (lines of words turned by `grados` about the centre), "firma", "sello", "reverso"
// (the specks and edge shadow of an empty back), "transparencia" (the other side's text showing
// through, light grey on grey paper) or anything else for an empty page.
QImage HojaPrueba(QImage::Format formato, int ppp, const QString& contenido, double grados = 0);
// The page as a PNM file (P4 bilevel, P5 grey, P6 colour), for SANE's pnm backend.
bool EscribirPnm(const QImage& hoja, const QString& ruta);
