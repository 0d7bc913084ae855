#include "app/FuncionesSQLite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

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

int sinBlancosFinales(int largo, const char* texto)
{
    while (largo > 0 && texto[largo - 1] == ' ')
        --largo;
    return largo;
}

int compararSinMayusculasNiBlancos(void*, int largoA, const void* a, int largoB, const void* b)
{
    auto* textoA = static_cast<const char*>(a);
    auto* textoB = static_cast<const char*>(b);
    largoA = sinBlancosFinales(largoA, textoA);
    largoB = sinBlancosFinales(largoB, textoB);
    const int comun = std::min(largoA, largoB);
    const int orden = sqlite3_strnicmp(textoA, textoB, comun);
    if (orden != 0)
        return orden;
    return largoA - largoB;
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
    return sqlite3_create_collation_v2(db, kColacion, SQLITE_UTF8, nullptr,
                                       compararSinMayusculasNiBlancos, nullptr);
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
