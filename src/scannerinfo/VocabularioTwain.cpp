#include "scannerinfo/VocabularioTwain.h"

#include "scannerinfo/TextoNumero.h"

#include <array>

namespace VocabularioTwain {
namespace {

struct Fila
{
    int codigo;
    const char* nombre;
};

// Lookup order matters only in that the first equal code wins; the codes are distinct.
constexpr std::array<FilaCapacidad, 124> capacidades{{
    {0x0001, "CAP_XFERCOUNT"},
    {0x0100, "ICAP_COMPRESSION"},
    {0x0101, "ICAP_PIXELTYPE"},
    {0x0102, "ICAP_UNITS"},
    {0x0103, "ICAP_XFERMECH"},
    {0x1000, "CAP_AUTHOR"},
    {0x1001, "CAP_CAPTION"},
    {0x1002, "CAP_FEEDERENABLED"},
    {0x1003, "CAP_FEEDERLOADED"},
    {0x1004, "CAP_TIMEDATE"},
    {0x1005, "CAP_SUPPORTEDCAPS"},
    {0x1006, "CAP_EXTENDEDCAPS"},
    {0x1007, "CAP_AUTOFEED"},
    {0x1008, "CAP_CLEARPAGE"},
    {0x1009, "CAP_FEEDPAGE"},
    {0x100A, "CAP_REWINDPAGE"},
    {0x100B, "CAP_INDICATORS"},
    {0x100C, "CAP_SUPPORTEDCAPSEXT"},
    {0x100D, "CAP_PAPERDETECTABLE"},
    {0x100E, "CAP_UICONTROLLABLE"},
    {0x100F, "CAP_DEVICEONLINE"},
    {0x1010, "CAP_AUTOSCAN"},
    {0x1011, "CAP_THUMBNAILSENABLED"},
    {0x1012, "CAP_DUPLEX"},
    {0x1013, "CAP_DUPLEXENABLED"},
    {0x1014, "CAP_ENABLEDSUIONLY"},
    {0x1015, "CAP_CUSTOMDSDATA"},
    {0x1016, "CAP_ENDORSER"},
    {0x1017, "CAP_JOBCONTROL"},
    {0x1018, "CAP_ALARMS"},
    {0x1019, "CAP_ALARMVOLUME"},
    {0x101A, "CAP_AUTOMATICCAPTURE"},
    {0x101B, "CAP_TIMEBEFOREFIRSTCAPTURE"},
    {0x101C, "CAP_TIMEBETWEENCAPTURES"},
    {0x101D, "CAP_CLEARBUFFERS"},
    {0x101E, "CAP_MAXBATCHBUFFERS"},
    {0x101F, "CAP_DEVICETIMEDATE"},
    {0x1020, "CAP_POWERSUPPLY"},
    {0x1021, "CAP_CAMERAPREVIEWUI"},
    {0x1022, "CAP_DEVICEEVENT"},
    {0x1024, "CAP_SERIALNUMBER"},
    {0x1026, "CAP_PRINTER"},
    {0x1027, "CAP_PRINTERENABLED"},
    {0x1028, "CAP_PRINTERINDEX"},
    {0x1029, "CAP_PRINTERMODE"},
    {0x102A, "CAP_PRINTERSTRING"},
    {0x102B, "CAP_PRINTERSUFFIX"},
    {0x102C, "CAP_LANGUAGE"},
    {0x102D, "CAP_FEEDERALIGNMENT"},
    {0x102E, "CAP_FEEDERORDER"},
    {0x1030, "CAP_REACQUIREALLOWED"},
    {0x1032, "CAP_BATTERYMINUTES"},
    {0x1033, "CAP_BATTERYPERCENTAGE"},
    {0x1100, "ICAP_AUTOBRIGHT"},
    {0x1101, "ICAP_BRIGHTNESS"},
    {0x1103, "ICAP_CONTRAST"},
    {0x1104, "ICAP_CUSTHALFTONE"},
    {0x1105, "ICAP_EXPOSURETIME"},
    {0x1106, "ICAP_FILTER"},
    {0x1107, "ICAP_FLASHUSED"},
    {0x1108, "ICAP_GAMMA"},
    {0x1109, "ICAP_HALFTONES"},
    {0x110A, "ICAP_HIGHLIGHT"},
    {0x110C, "ICAP_IMAGEFILEFORMAT"},
    {0x110D, "ICAP_LAMPSTATE"},
    {0x110E, "ICAP_LIGHTSOURCE"},
    {0x1110, "ICAP_ORIENTATION"},
    {0x1111, "ICAP_PHYSICALWIDTH"},
    {0x1112, "ICAP_PHYSICALHEIGHT"},
    {0x1113, "ICAP_SHADOW"},
    {0x1114, "ICAP_FRAMES"},
    {0x1116, "ICAP_XNATIVERESOLUTION"},
    {0x1117, "ICAP_YNATIVERESOLUTION"},
    {0x1118, "ICAP_XRESOLUTION"},
    {0x1119, "ICAP_YRESOLUTION"},
    {0x111A, "ICAP_MAXFRAMES"},
    {0x111B, "ICAP_TILES"},
    {0x111C, "ICAP_BITORDER"},
    {0x111D, "ICAP_CCITTKFACTOR"},
    {0x111E, "ICAP_LIGHTPATH"},
    {0x111F, "ICAP_PIXELFLAVOR"},
    {0x1120, "ICAP_PLANARCHUNKY"},
    {0x1121, "ICAP_ROTATION"},
    {0x1122, "ICAP_SUPPORTEDSIZES"},
    {0x1123, "ICAP_THRESHOLD"},
    {0x1124, "ICAP_XSCALING"},
    {0x1125, "ICAP_YSCALING"},
    {0x1126, "ICAP_BITORDERCODES"},
    {0x1127, "ICAP_PIXELFLAVORCODES"},
    {0x1128, "ICAP_JPEGPIXELTYPE"},
    {0x112A, "ICAP_TIMEFILL"},
    {0x112B, "ICAP_BITDEPTH"},
    {0x112C, "ICAP_BITDEPTHREDUCTION"},
    {0x112D, "ICAP_UNDEFINEDIMAGESIZE"},
    {0x112E, "ICAP_IMAGEDATASET"},
    {0x112F, "ICAP_EXTIMAGEINFO"},
    {0x1130, "ICAP_MINIMUMHEIGHT"},
    {0x1131, "ICAP_MINIMUMWIDTH"},
    {0x1136, "ICAP_FLIPROTATION"},
    {0x1137, "ICAP_BARCODEDETECTIONENABLED"},
    {0x1138, "ICAP_SUPPORTEDBARCODETYPES"},
    {0x1139, "ICAP_BARCODEMAXSEARCHPRIORITIES"},
    {0x113A, "ICAP_BARCODESEARCHPRIORITIES"},
    {0x113B, "ICAP_BARCODESEARCHMODE"},
    {0x113C, "ICAP_BARCODEMAXRETRIES"},
    {0x113D, "ICAP_BARCODETIMEOUT"},
    {0x113E, "ICAP_ZOOMFACTOR"},
    {0x113F, "ICAP_PATCHCODEDETECTIONENABLED"},
    {0x1140, "ICAP_SUPPORTEDPATCHCODETYPES"},
    {0x1141, "ICAP_PATCHCODEMAXSEARCHPRIORITIES"},
    {0x1142, "ICAP_PATCHCODESEARCHPRIORITIES"},
    {0x1143, "ICAP_PATCHCODESEARCHMODE"},
    {0x1144, "ICAP_PATCHCODEMAXRETRIES"},
    {0x1145, "ICAP_PATCHCODETIMEOUT"},
    {0x1146, "ICAP_FLASHUSED2"},
    {0x1147, "ICAP_IMAGEFILTER"},
    {0x1148, "ICAP_NOISEFILTER"},
    {0x1149, "ICAP_OVERSCAN"},
    {0x1150, "ICAP_AUTOMATICBORDERDETECTION"},
    {0x1151, "ICAP_AUTOMATICDESKEW"},
    {0x1152, "ICAP_AUTOMATICROTATE"},
    {0x1153, "ICAP_JPEGQUALITY"},
    {0x1201, "ACAP_AUDIOFILEFORMAT"},
    {0x1202, "ACAP_XFERMECH"},
}};

constexpr std::array<Fila, 6> unidades{{
    {0, "inches"},
    {1, "centimeters"},
    {2, "picas"},
    {3, "points"},
    {4, "twips"},
    {5, "pixels"},
}};

constexpr std::array<Fila, 10> tiposPixel{{
    {0, "BW"},
    {1, "GRAY"},
    {2, "RGB"},
    {3, "PALETTE"},
    {4, "CMY"},
    {5, "CMYK"},
    {6, "YUV"},
    {7, "YUVK"},
    {8, "CIEXYZ"},
    {9, "LAB"},
}};

// TWAIN has no size 8 (it went from B6 to US ledger), so it falls under "Other".
constexpr std::array<Fila, 16> tamanosPapel{{
    {0, "None"},
    {1, "A4LETTER"},
    {2, "B5LETTER"},
    {3, "USLETTER"},
    {4, "USLEGAL"},
    {5, "A5"},
    {6, "B4"},
    {7, "B6"},
    {9, "USLEDGER"},
    {10, "USEXECUTIVE"},
    {11, "A3"},
    {12, "B3"},
    {13, "A6"},
    {14, "C4"},
    {15, "C5"},
    {16, "C6"},
}};

template <class Tabla> const char* buscar(const Tabla& tabla, qint64 codigo)
{
    for (const auto& fila : tabla) {
        if (qint64(fila.codigo) == codigo)
            return fila.nombre;
    }
    return nullptr;
}

QString nombreO(const char* nombre, const QString& otro)
{
    return nombre ? QString::fromLatin1(nombre) : otro;
}

} // namespace

std::span<const FilaCapacidad> filasCapacidad()
{
    return capacidades;
}

QString NombreCapacidad(qint64 codigo)
{
    if (const char* nombre = buscar(capacidades, codigo))
        return QString::fromLatin1(nombre);
    return QStringLiteral("Custom capability (") + TextoNumero(codigo) + QLatin1Char(')');
}

QString NombreUnidad(qint64 codigo)
{
    return nombreO(buscar(unidades, codigo), {});
}

QString NombreTipoPixel(qint64 codigo)
{
    return nombreO(buscar(tiposPixel, codigo), {});
}

QString NombreTamanoPapel(qint64 codigo)
{
    return nombreO(buscar(tamanosPapel, codigo), QStringLiteral("Other"));
}

} // namespace VocabularioTwain
