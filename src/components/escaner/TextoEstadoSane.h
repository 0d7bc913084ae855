#pragma once

#include <QString>
#include <sane/sane.h>

// The Spanish text the window shows for a SANE status.
QString TextoEstadoSane(SANE_Status estado);
