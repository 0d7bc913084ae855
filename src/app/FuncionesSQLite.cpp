#include "app/FuncionesSQLite.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

// Each function answers with the first column of the first row of one small statement over the
// tables of the same database, its arguments bound as ?1, ?2. No row gives Null, as a scalar
// function of SQL Server does when its lookup finds nothing.
namespace {

void responderConConsulta(sqlite3_context* contexto, int argc, sqlite3_value** argv)
{
    auto* sql = static_cast<const char*>(sqlite3_user_data(contexto));
    sqlite3* db = sqlite3_context_db_handle(contexto);
    sqlite3_stmt* sentencia = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &sentencia, nullptr) != SQLITE_OK) {
        sqlite3_result_error(contexto, sqlite3_errmsg(db), -1);
        return;
    }
    for (int i = 0; i < argc; ++i)
        sqlite3_bind_value(sentencia, i + 1, argv[i]);
    const int rc = sqlite3_step(sentencia);
    if (rc == SQLITE_ROW)
        sqlite3_result_value(contexto, sqlite3_column_value(sentencia, 0));
    else if (rc == SQLITE_DONE)
        sqlite3_result_null(contexto);
    else
        sqlite3_result_error(contexto, sqlite3_errmsg(db), -1);
    sqlite3_finalize(sentencia);
}

struct Funcion
{
    const char* nombre;
    int argumentos;
    bool determinista;
    const char* sql;
};

// The server's clock with milliseconds, so that case files created within one second still
// sort by their creation order ("order by e.fecha DESC").
constexpr Funcion kFunciones[] = {
    {"getdate", 0, false, "SELECT strftime('%Y-%m-%d %H:%M:%f','now','localtime')"},
    {"fecha_corta", 1, true, "SELECT strftime('%d/%m/%Y', ?1)"},
    {"nombre_sucursal", 1, false, "SELECT nombre_sucursal FROM sucursales WHERE sucursal = ?1"},
    {"telefono_cliente", 1, false, "SELECT telefono FROM Clientes WHERE Cliente = ?1"},
    {"tiene_huellas", 1, false,
     "SELECT CASE WHEN coalesce(huellas_registradas,0) <> 0 THEN 'SI' ELSE 'NO' END "
     "FROM Clientes WHERE Cliente = ?1"},
    {"clasificacion_credito_cliente", 2, false,
     "SELECT CASE WHEN ?2 = 1 THEN clasificacion_credito ELSE CAST(puntaje_credito AS TEXT) END "
     "FROM Clientes WHERE Cliente = ?1"},
    {"Domicilio_lineal_Brax", 1, false,
     "SELECT trim(coalesce(calle,'') || ' ' || coalesce(numero_exterior,''))"
     " || coalesce(', COL. ' || colonia, '') || coalesce(', ' || ciudad, '')"
     " || coalesce(', ' || estado, '') || coalesce(', C.P. ' || codigo_postal, '') "
     "FROM domicilios WHERE clave = ?1 AND tabla = 'Clientes' ORDER BY rowid LIMIT 1"},
};

// Texts compare as under SQL Server's Spanish, case-insensitive, accent-sensitive collation:
// 'Á' equals 'á' but not 'A'; Á and Ñ sort among the A's and after the N's; trailing blanks
// do not count ('GDL' = 'GDL    ', how the program's 7-character centre matches).
std::vector<char32_t> puntosCodigo(const unsigned char* texto, int largo)
{
    std::vector<char32_t> puntos;
    puntos.reserve(std::size_t(largo));
    for (int i = 0; i < largo;) {
        const unsigned char b = texto[i];
        int resto = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (i + resto >= largo)
            resto = 0;
        char32_t punto = resto == 0 ? b : char32_t(b & (0x3F >> resto));
        for (int k = 1; k <= resto; ++k)
            punto = (punto << 6) | (texto[i + k] & 0x3F);
        puntos.push_back(punto);
        i += resto + 1;
    }
    return puntos;
}

char32_t minuscula(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    return c;
}

// Sort weight of a letter: its base letter, Ñ just after N; an accent only breaks ties.
unsigned peso(char32_t c)
{
    c = minuscula(c);
    switch (c) {
    case 0xE0:
    case 0xE1:
    case 0xE2:
    case 0xE3:
    case 0xE4:
    case 0xE5:
        c = U'a';
        break;
    case 0xE8:
    case 0xE9:
    case 0xEA:
    case 0xEB:
        c = U'e';
        break;
    case 0xEC:
    case 0xED:
    case 0xEE:
    case 0xEF:
        c = U'i';
        break;
    case 0xF2:
    case 0xF3:
    case 0xF4:
    case 0xF5:
    case 0xF6:
        c = U'o';
        break;
    case 0xF9:
    case 0xFA:
    case 0xFB:
    case 0xFC:
        c = U'u';
        break;
    case 0xE7:
        c = U'c';
        break;
    case 0xF1:
        return unsigned(U'n') * 2 + 1;
    default:
        break;
    }
    return unsigned(c) * 2;
}

int sinBlancosFinales(int largo, const unsigned char* texto)
{
    while (largo > 0 && texto[largo - 1] == ' ')
        --largo;
    return largo;
}

int compararEspanol(void*, int largoA, const void* a, int largoB, const void* b)
{
    auto* textoA = static_cast<const unsigned char*>(a);
    auto* textoB = static_cast<const unsigned char*>(b);
    const auto puntosA = puntosCodigo(textoA, sinBlancosFinales(largoA, textoA));
    const auto puntosB = puntosCodigo(textoB, sinBlancosFinales(largoB, textoB));
    const std::size_t comun = std::min(puntosA.size(), puntosB.size());
    for (std::size_t i = 0; i < comun; ++i) {
        const unsigned pa = peso(puntosA[i]);
        const unsigned pb = peso(puntosB[i]);
        if (pa != pb)
            return pa < pb ? -1 : 1;
    }
    if (puntosA.size() != puntosB.size())
        return puntosA.size() < puntosB.size() ? -1 : 1;
    for (std::size_t i = 0; i < comun; ++i) {
        const char32_t ma = minuscula(puntosA[i]);
        const char32_t mb = minuscula(puntosB[i]);
        if (ma != mb)
            return ma < mb ? -1 : 1;
    }
    return 0;
}

// LIKE with the collation's notion of equal letters; '%' and '_' as on the server.
bool coincide(const std::vector<char32_t>& patron, const std::vector<char32_t>& texto)
{
    std::size_t p = 0, t = 0, comodinP = std::string::npos, comodinT = 0;
    while (t < texto.size()) {
        if (p < patron.size() && patron[p] == U'%') {
            comodinP = p++;
            comodinT = t;
        } else if (p < patron.size() &&
                   (patron[p] == U'_' || minuscula(patron[p]) == minuscula(texto[t]))) {
            ++p;
            ++t;
        } else if (comodinP != std::string::npos) {
            p = comodinP + 1;
            t = ++comodinT;
        } else {
            return false;
        }
    }
    while (p < patron.size() && patron[p] == U'%')
        ++p;
    return p == patron.size();
}

void like(sqlite3_context* contexto, int, sqlite3_value** argv)
{
    // like(X, Y) implements "Y LIKE X".
    const auto* patron = sqlite3_value_text(argv[0]);
    const int largoPatron = sqlite3_value_bytes(argv[0]);
    const auto* texto = sqlite3_value_text(argv[1]);
    const int largoTexto = sqlite3_value_bytes(argv[1]);
    if (!patron || !texto) {
        sqlite3_result_null(contexto);
        return;
    }
    sqlite3_result_int(
        contexto, coincide(puntosCodigo(patron, largoPatron), puntosCodigo(texto, largoTexto)));
}

} // namespace

namespace FuncionesSQLite {

int registrar(sqlite3* db)
{
    for (const Funcion& funcion : kFunciones) {
        const int banderas = SQLITE_UTF8 | (funcion.determinista ? SQLITE_DETERMINISTIC : 0);
        const int rc = sqlite3_create_function_v2(db, funcion.nombre, funcion.argumentos, banderas,
                                                  const_cast<char*>(funcion.sql),
                                                  responderConConsulta, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    const int rc = sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                              nullptr, like, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    return sqlite3_create_collation_v2(db, kColacion, SQLITE_UTF8, nullptr, compararEspanol,
                                       nullptr);
}

} // namespace FuncionesSQLite

#ifdef EXPEDIENTES_MODULO_SQLITE
// Entry point of the loadable extension (the ODBC driver's LoadExt= option). The module links
// the same libsqlite3 as the driver, so the functions are called directly.
extern "C" __attribute__((visibility("default"))) int
sqlite3_extension_init(sqlite3* db, char** error, const void* /*api*/)
{
    const int rc = FuncionesSQLite::registrar(db);
    if (rc != SQLITE_OK && error)
        *error = sqlite3_mprintf("%s", sqlite3_errstr(rc));
    return rc;
}
#endif
