#pragma once

#include <QByteArray>
#include <QString>

// The cipher of the start-up table's password and branch code. It must stay byte-for-byte what
// the workstations' tables were enciphered with: 17 passes of adding (or subtracting) the key
// code at each position, wrapping at 255.
//
// cifrar true enciphers, false deciphers. Works on the Windows-1252 codes of the text; an empty
// text gives an empty result.
QString CifrarTexto(QString texto, bool cifrar);

// The same on the codes themselves.
QByteArray CifrarCodigos(QByteArray codigos, bool cifrar);
