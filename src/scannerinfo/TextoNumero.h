#pragma once

#include <QString>
#include <QtGlobal>

// Numbers as the scanner report writes them: decimal, a blank before a value that is not
// negative and a minus sign before one that is, fractional digits only when the value has
// them, "." as the decimal point (300 → " 300", -1 → "-1", 0.5 → " 0.5").
QString TextoNumero(qint64 valor);
QString TextoNumero(int valor);
// Single precision values keep the digits a float holds (0.1f → " 0.1", not " 0.100000001").
QString TextoNumero(float valor);
QString TextoNumero(double valor);
