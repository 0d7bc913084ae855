#pragma once

// Rounds to the given number of decimals, a value exactly halfway going to the even digit
// (200.5 -> 200, 201.5 -> 202, 1.125 -> 1.12): the rounding the branch settings were always
// given with.
double RedondeoPar(double valor, int decimales = 0);
