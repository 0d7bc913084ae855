#include "support/RutasPrueba.h"
