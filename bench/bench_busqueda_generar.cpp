// Builds an embedded database with many customers for the customer search benchmark.
//   bench_busqueda_generar <file.db> [customers=1000000]
// Branches S000..S199 spread over 20 distribution centres (C00..C19, the branch's own centre
// is C00 for S000..S009); names from lists of common surnames and first names, so a search by
// two surnames matches about one customer in 3,600.
#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/FuncionesSQLite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>
#include <sqlite3.h>

namespace {

const char* const kApellidos[] = {
    "HERNANDEZ", "GARCIA",   "MARTINEZ", "LOPEZ",     "GONZALEZ",  "PEREZ",    "RODRIGUEZ",
    "SANCHEZ",   "RAMIREZ",  "CRUZ",     "FLORES",    "GOMEZ",     "MORALES",  "VAZQUEZ",
    "REYES",     "JIMENEZ",  "TORRES",   "DIAZ",      "GUTIERREZ", "RUIZ",     "MENDOZA",
    "AGUILAR",   "ORTIZ",    "MORENO",   "CASTILLO",  "ROMERO",    "ALVAREZ",  "MENDEZ",
    "CHAVEZ",    "RIVERA",   "JUAREZ",   "RAMOS",     "DOMINGUEZ", "HERRERA",  "MEDINA",
    "CASTRO",    "VARGAS",   "GUZMAN",   "VELAZQUEZ", "MUÑOZ",     "ROJAS",    "CONTRERAS",
    "SALAZAR",   "LUNA",     "ORTEGA",   "SANTIAGO",  "GUERRERO",  "BAUTISTA", "CORTES",
    "SOTO",      "ALVARADO", "ESPINOZA", "LARA",      "AVILA",     "RIOS",     "CERVANTES",
    "SILVA",     "DELGADO",  "VEGA",     "MARQUEZ",
};
const char* const kNombres[] = {
    "JUAN",      "JOSE",   "MARIA",   "GUADALUPE", "FRANCISCO", "ANA",     "LUIS",  "CARMEN",
    "JESUS",     "ROSA",   "MIGUEL",  "ELENA",     "PEDRO",     "LAURA",   "JORGE", "PATRICIA",
    "ANTONIO",   "SOFIA",  "CARLOS",  "LETICIA",   "MANUEL",    "ADRIANA", "RAUL",  "VERONICA",
    "ALEJANDRO", "MONICA", "RICARDO", "SILVIA",    "ROBERTO",   "YOLANDA",
};
const char* const kCalles[] = {"HIDALGO", "JUAREZ",   "MORELOS", "ALLENDE",  "INDEPENDENCIA",
                               "REFORMA", "ZARAGOZA", "MADERO",  "GUERRERO", "VICTORIA"};

template <class T, std::size_t N> const char* uno(const T (&lista)[N], QRandomGenerator& azar)
{
    return lista[azar.bounded(int(N))];
}

void revisar(int rc, sqlite3* db, const char* que)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", que, sqlite3_errmsg(db));
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: %s <archivo.db> [clientes]\n", argv[0]);
        return 2;
    }
    const QString ruta = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const long clientes = argc > 2 ? std::atol(argv[2]) : 1000000L;
    QFile::remove(ruta);

    // The schema, exactly as the program creates it.
    try {
        ConexionBaseDatos conexion(QStringLiteral("generador"));
        conexion.crear(QStringLiteral("Server=sqlite:") + ruta, QDir::currentPath());
    } catch (const ErrorSistema& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.descripcion()));
        return 1;
    }

    sqlite3* db = nullptr;
    revisar(sqlite3_open(argv[1], &db), db, "abrir");
    revisar(FuncionesSQLite::registrar(db), db, "funciones");
    revisar(sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr,
                         nullptr, nullptr),
            db, "inicio");

    sqlite3_stmt* sucursal = nullptr;
    revisar(sqlite3_prepare_v2(db,
                               "INSERT INTO sucursales (sucursal, centro_distribucion,"
                               " nombre_sucursal) VALUES (?1, ?2, ?3)",
                               -1, &sucursal, nullptr),
            db, "sucursales");
    for (int i = 0; i < 200; ++i) {
        const QByteArray codigo = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')).toUtf8();
        const QByteArray centro =
            QStringLiteral("C%1").arg(i / 10, 2, 10, QLatin1Char('0')).toUtf8();
        const QByteArray nombre = "SUCURSAL " + codigo;
        sqlite3_bind_text(sucursal, 1, codigo.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(sucursal, 2, centro.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(sucursal, 3, nombre.constData(), -1, SQLITE_TRANSIENT);
        revisar(sqlite3_step(sucursal), db, "sucursal");
        sqlite3_reset(sucursal);
    }
    sqlite3_finalize(sucursal);

    sqlite3_stmt* cliente = nullptr;
    sqlite3_stmt* domicilio = nullptr;
    revisar(sqlite3_prepare_v2(db,
                               "INSERT INTO Clientes (Cliente, Nombre_cliente, rfc, sucursal,"
                               " telefono, huellas_registradas, clasificacion_credito,"
                               " puntaje_credito) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
                               -1, &cliente, nullptr),
            db, "clientes");
    revisar(sqlite3_prepare_v2(db,
                               "INSERT INTO domicilios (clave, tabla, direccion, calle,"
                               " numero_exterior, colonia, ciudad, estado, codigo_postal)"
                               " VALUES (?1, 'Clientes', ?2, ?3, ?4, 'CENTRO', 'GUADALAJARA',"
                               " 'JALISCO', '44100')",
                               -1, &domicilio, nullptr),
            db, "domicilios");
    QRandomGenerator azar(20240305);
    for (long n = 1; n <= clientes; ++n) {
        const QByteArray nombre = QByteArray(uno(kApellidos, azar)) + ' ' + uno(kApellidos, azar) +
                                  ' ' + uno(kNombres, azar);
        const QByteArray rfc = "RFC" + QByteArray::number(qlonglong(n));
        const QByteArray suc =
            QStringLiteral("S%1").arg(azar.bounded(200), 3, 10, QLatin1Char('0')).toUtf8();
        const QByteArray telefono = "33" + QByteArray::number(qlonglong(10000000 + n));
        const QByteArray calle = uno(kCalles, azar);
        const QByteArray numero = QByteArray::number(azar.bounded(1, 3000));
        const QByteArray direccion = calle + ' ' + numero + " COL. CENTRO GUADALAJARA";
        sqlite3_bind_int64(cliente, 1, n);
        sqlite3_bind_text(cliente, 2, nombre.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(cliente, 3, rfc.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(cliente, 4, suc.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(cliente, 5, telefono.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(cliente, 6, azar.bounded(2));
        sqlite3_bind_text(cliente, 7, "A", -1, SQLITE_STATIC);
        sqlite3_bind_int(cliente, 8, azar.bounded(300, 850));
        revisar(sqlite3_step(cliente), db, "cliente");
        sqlite3_reset(cliente);
        sqlite3_bind_int64(domicilio, 1, n);
        sqlite3_bind_text(domicilio, 2, direccion.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(domicilio, 3, calle.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(domicilio, 4, numero.constData(), -1, SQLITE_TRANSIENT);
        revisar(sqlite3_step(domicilio), db, "domicilio");
        sqlite3_reset(domicilio);
    }
    sqlite3_finalize(cliente);
    sqlite3_finalize(domicilio);
    revisar(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "fin");
    sqlite3_close(db);
    std::printf("%ld clientes en %s\n", clientes, argv[1]);
    return 0;
}
