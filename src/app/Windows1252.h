#pragma once

#include <QByteArray>
#include <QString>

// Single-byte codes of Windows-1252, the ANSI code page of the workstations that wrote the
// start-up tables and the enciphered values. Qt 6.4 carries no codec for it.
namespace Windows1252 {

// A character outside the code page becomes '?'. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same number,
// so every byte 0..255 survives a round trip.
QByteArray codificar(const QString& texto);
QString decodificar(const QByteArray& codigos);

// True when every character of texto has a code (codificar would write no '?' of its own).
bool representable(const QString& texto);

} // namespace Windows1252
