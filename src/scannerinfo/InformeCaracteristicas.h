#pragma once

#include <QString>

class EscanerTwain;
class Mensajes;

// The characteristics report of the component's current source: its name, its current and
// supported units, pixel types, resolutions and page sizes, then every capability it declares
// with each container kind it answers in. Lines end in CR LF. The source is opened here and
// closed at the end; when it cannot be opened the reason is shown and the text is empty.
// Values that cannot be read are shown in plain message boxes and their section left out.
QString InformeCaracteristicas(EscanerTwain& VSTwain1, Mensajes& mensajes);
