// A SANE backend that stands for a two-sided sheet feeder, for the tests: SANE's own test backend
// has no duplex source. Loaded by SANE's dll backend as "duplexprueba" from a folder on
// LD_LIBRARY_PATH. Its one device feeds three sheets, then reports an empty feeder and is loaded
// again. From "ADF Duplex" each sheet gives its front and then its
// back; from "ADF Front" the fronts only. Every side is a grey page whose width tells it apart:
// 400 + 20 × sheet pixels for a front, 10 more for its back. Fronts carry bars of ink; backs are
// white, except the backs listed in DUPLEXPRUEBA_REVERSOS (sheet numbers from 1, "2,3").
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sane/sane.h>
#include <sane/saneopts.h>
#include <string>
#include <vector>

namespace {
constexpr int kAlto = 520;
constexpr int kHojas = 3;
const char* const kFuentes[] = {"Flatbed", "ADF Front", "ADF Duplex", nullptr};
const char* const kModos[] = {"Gray", nullptr};

enum Opcion
{
    Cantidad,
    Fuente,
    Modo,
    Resolucion,
    Opciones
};

SANE_Option_Descriptor descriptores[Opciones];
SANE_Range rangoResolucion{50, 600, 1};
std::string fuente = "Flatbed";
SANE_Int resolucion = 150;
int lados = 0; // sides given since the feeder was loaded
std::vector<unsigned char> pagina;
int ancho = 0;
size_t leidos = 0;

SANE_Device dispositivo{"duplexprueba", "Prueba", "Duplex", "sheetfed scanner"};
const SANE_Device* lista[] = {&dispositivo, nullptr};

bool reversoEntintado(int hoja)
{
    const char* valor = std::getenv("DUPLEXPRUEBA_REVERSOS");
    if (!valor)
        return false;
    const std::string lista = std::string(",") + valor + ",";
    return lista.find("," + std::to_string(hoja) + ",") != std::string::npos;
}

void preparar()
{
    descriptores[Cantidad] = {SANE_NAME_NUM_OPTIONS, SANE_TITLE_NUM_OPTIONS, SANE_DESC_NUM_OPTIONS,
                              SANE_TYPE_INT,         SANE_UNIT_NONE,         sizeof(SANE_Word),
                              SANE_CAP_SOFT_DETECT,  SANE_CONSTRAINT_NONE,   {nullptr}};
    descriptores[Fuente] = {SANE_NAME_SCAN_SOURCE,
                            SANE_TITLE_SCAN_SOURCE,
                            SANE_DESC_SCAN_SOURCE,
                            SANE_TYPE_STRING,
                            SANE_UNIT_NONE,
                            32,
                            SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT,
                            SANE_CONSTRAINT_STRING_LIST,
                            {nullptr}};
    descriptores[Fuente].constraint.string_list = kFuentes;
    descriptores[Modo] = descriptores[Fuente];
    descriptores[Modo].name = SANE_NAME_SCAN_MODE;
    descriptores[Modo].title = SANE_TITLE_SCAN_MODE;
    descriptores[Modo].desc = SANE_DESC_SCAN_MODE;
    descriptores[Modo].constraint.string_list = kModos;
    descriptores[Resolucion] = {SANE_NAME_SCAN_RESOLUTION,
                                SANE_TITLE_SCAN_RESOLUTION,
                                SANE_DESC_SCAN_RESOLUTION,
                                SANE_TYPE_INT,
                                SANE_UNIT_DPI,
                                sizeof(SANE_Word),
                                SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT,
                                SANE_CONSTRAINT_RANGE,
                                {nullptr}};
    descriptores[Resolucion].constraint.range = &rangoResolucion;
}

// One side of a sheet (numbered from 1): its picture in `pagina`.
void dibujar(int hoja, bool reverso)
{
    ancho = 400 + 20 * hoja + (reverso ? 10 : 0);
    pagina.assign(size_t(ancho) * kAlto, 255);
    if (reverso && !reversoEntintado(hoja))
        return;
    // Lines of "text": bars of ink across the middle of the page.
    for (int y = 60; y < kAlto - 60; y += 24)
        for (int fila = y; fila < y + 8; ++fila)
            std::memset(pagina.data() + size_t(fila) * ancho + 50, 0, size_t(ancho - 100));
}
} // namespace

extern "C" {

SANE_Status sane_duplexprueba_init(SANE_Int* version, SANE_Auth_Callback)
{
    if (version)
        *version = SANE_VERSION_CODE(SANE_CURRENT_MAJOR, 0, 1);
    preparar();
    return SANE_STATUS_GOOD;
}

void sane_duplexprueba_exit() {}

SANE_Status sane_duplexprueba_get_devices(const SANE_Device*** dispositivos, SANE_Bool)
{
    *dispositivos = lista;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_duplexprueba_open(SANE_String_Const nombre, SANE_Handle* manejador)
{
    if (nombre && *nombre && std::strcmp(nombre, dispositivo.name) != 0)
        return SANE_STATUS_INVAL;
    *manejador = &dispositivo;
    lados = 0;
    return SANE_STATUS_GOOD;
}

void sane_duplexprueba_close(SANE_Handle) {}

const SANE_Option_Descriptor* sane_duplexprueba_get_option_descriptor(SANE_Handle, SANE_Int opcion)
{
    return opcion >= 0 && opcion < Opciones ? &descriptores[opcion] : nullptr;
}

SANE_Status sane_duplexprueba_control_option(SANE_Handle, SANE_Int opcion, SANE_Action accion,
                                             void* valor, SANE_Int* info)
{
    if (info)
        *info = 0;
    if (opcion < 0 || opcion >= Opciones || !valor)
        return SANE_STATUS_INVAL;
    if (accion == SANE_ACTION_GET_VALUE) {
        switch (opcion) {
        case Cantidad:
            *static_cast<SANE_Word*>(valor) = Opciones;
            break;
        case Fuente:
            std::strcpy(static_cast<char*>(valor), fuente.c_str());
            break;
        case Modo:
            std::strcpy(static_cast<char*>(valor), kModos[0]);
            break;
        default:
            *static_cast<SANE_Word*>(valor) = resolucion;
        }
        return SANE_STATUS_GOOD;
    }
    if (accion != SANE_ACTION_SET_VALUE || opcion == Cantidad)
        return SANE_STATUS_INVAL;
    if (opcion == Resolucion) {
        const SANE_Word pedida = *static_cast<SANE_Word*>(valor);
        if (pedida < rangoResolucion.min || pedida > rangoResolucion.max)
            return SANE_STATUS_INVAL;
        resolucion = pedida;
        return SANE_STATUS_GOOD;
    }
    const char* texto = static_cast<const char*>(valor);
    for (const char* const* permitido = descriptores[opcion].constraint.string_list; *permitido;
         ++permitido) {
        if (std::strcmp(texto, *permitido) == 0) {
            if (opcion == Fuente) {
                fuente = texto;
                lados = 0;
                if (info)
                    *info = SANE_INFO_RELOAD_PARAMS;
            }
            return SANE_STATUS_GOOD;
        }
    }
    return SANE_STATUS_INVAL;
}

SANE_Status sane_duplexprueba_get_parameters(SANE_Handle, SANE_Parameters* parametros)
{
    parametros->format = SANE_FRAME_GRAY;
    parametros->last_frame = SANE_TRUE;
    parametros->bytes_per_line = ancho > 0 ? ancho : 400;
    parametros->pixels_per_line = parametros->bytes_per_line;
    parametros->lines = kAlto;
    parametros->depth = 8;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_duplexprueba_start(SANE_Handle)
{
    const bool duplex = fuente == "ADF Duplex";
    const bool alimentador = fuente != "Flatbed";
    const int porHoja = duplex ? 2 : 1;
    if (alimentador && lados >= kHojas * porHoja) {
        lados = 0; // the feeder is loaded again for the next scan
        return SANE_STATUS_NO_DOCS;
    }
    dibujar(1 + lados / porHoja, duplex && lados % 2 == 1);
    if (alimentador)
        ++lados;
    leidos = 0;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_duplexprueba_read(SANE_Handle, SANE_Byte* datos, SANE_Int maximo,
                                   SANE_Int* cuantos)
{
    *cuantos = 0;
    if (leidos >= pagina.size())
        return SANE_STATUS_EOF;
    const size_t n = std::min(pagina.size() - leidos, size_t(maximo));
    std::memcpy(datos, pagina.data() + leidos, n);
    leidos += n;
    *cuantos = SANE_Int(n);
    return SANE_STATUS_GOOD;
}

void sane_duplexprueba_cancel(SANE_Handle) {}

SANE_Status sane_duplexprueba_set_io_mode(SANE_Handle, SANE_Bool no_bloqueante)
{
    return no_bloqueante ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

SANE_Status sane_duplexprueba_get_select_fd(SANE_Handle, SANE_Int*)
{
    return SANE_STATUS_UNSUPPORTED;
}
}
