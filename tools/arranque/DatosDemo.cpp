#include "DatosDemo.h"

#include "app/ConexionBaseDatos.h"
#include "app/Registros.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <random>

// Demo data for a workstation without a central server. Everything comes from a fixed seed,
// so two demo folders hold the same customers, sales and case files. The rows go through
// reused prepared statements in one transaction: about 10,000 rows in well under a second.
namespace {

const char* const kPaternos[] = {
    "PEREZ",   "LOPEZ",  "GARCIA",     "HERNANDEZ", "MARTINEZ", "GONZALEZ", "RODRIGUEZ", "SANCHEZ",
    "RAMIREZ", "CRUZ",   "FLORES",     "GOMEZ",     "MORALES",  "VAZQUEZ",  "JIMENEZ",   "REYES",
    "DIAZ",    "TORRES", "GUTIERREZ",  "RUIZ",      "MENDOZA",  "AGUILAR",  "ORTIZ",     "CASTILLO",
    "MORENO",  "ROMERO", "ÁLVAREZ",    "NUÑEZ",     "MUÑOZ",    "PEÑA",     "IBAÑEZ",    "CHÁVEZ",
    "SALAZAR", "O'HARA", "DE LA CRUZ", "RÍOS",      "ESPINOZA", "NAVARRO",  "CARRILLO",  "MÉNDEZ",
};
const char* const kNombres[] = {
    "JUAN",       "MARIA",     "JOSE LUIS", "GUADALUPE",    "FRANCISCO", "ANA",     "JESUS",
    "ROSA MARIA", "ALEJANDRO", "PATRICIA",  "MIGUEL ANGEL", "LETICIA",   "ROBERTO", "ELIZABETH",
    "RICARDO",    "VERÓNICA",  "ANTONIO",   "MARTHA",       "FERNANDO",  "ADRIANA", "JAVIER",
    "SOFÍA",      "RAÚL",      "MÓNICA",    "SERGIO",       "CARMEN",    "ÁNGEL",   "LAURA",
    "EDUARDO",    "NOEMÍ",     "IÑAKI",     "BEATRIZ",
};
const char* const kCalles[] = {
    "AV. JUAREZ", "HIDALGO",  "MORELOS",    "AV. REVOLUCION", "INDEPENDENCIA",
    "5 DE MAYO",  "ALLENDE",  "MADERO",     "NIÑOS HEROES",   "AV. CONSTITUCIÓN",
    "ZARAGOZA",   "GUERRERO", "AV. PATRIA", "ALDAMA",         "REFORMA",
};
const char* const kColonias[] = {
    "CENTRO",    "LAS AGUILAS",   "JARDINES DEL SUR", "SANTA MARIA", "LA ESPERANZA",
    "DEL VALLE", "INDEPENDENCIA", "LOMAS VERDES",     "EL ROSARIO",  "SAN JUAN",
};

struct Centro
{
    const char* clave;
    const char* ciudad;
    const char* estado;
    const char* lada;
    const char* ruta;
    int codigoPostal;
};
const Centro kCentros[] = {
    {"GDL", "GUADALAJARA", "JALISCO", "33", "/gdl", 44100},
    {"MTY", "MONTERREY", "NUEVO LEON", "81", "/mty", 64000},
    {"CDMX", "CIUDAD DE MEXICO", "CDMX", "55", "/cdmx", 6700},
};

struct Sucursal
{
    const char* clave;
    int centro;
    const char* nombre;
};
const Sucursal kSucursales[] = {
    {"S01", 0, "Guadalajara Centro"}, {"S02", 0, "Zapopan Plaza"}, {"S03", 1, "Monterrey Centro"},
    {"S04", 1, "San Nicolás"},        {"S05", 2, "CDMX Tacubaya"}, {"S06", 2, "Iztapalapa"},
};

const char* const kEstadosVenta[] = {"Surtido", "Pendiente", "Entregado", "Cancelado"};
const char* const kClasificaciones[] = {"A", "B", "C", "D"};
const char* const kBanderas[] = {"imagen_solicitud", "imagen_IFE",  "imagen_TALON",
                                 "imagen_CARTA",     "imagen_NOTA", "imagen_ENTREGA",
                                 "imagen_EXTRA"};

constexpr int kClientes = 2000;
constexpr int kPrimerCliente = 100001;
constexpr int kPrimerPedido = 500001;
constexpr int kPrimerFolio = 10001;

template <typename T, std::size_t N> constexpr int cuantos(const T (&)[N])
{
    return int(N);
}

class Azar
{
public:
    explicit Azar(unsigned semilla) : motor_(semilla) {}
    // The engine's sequence is fixed by the standard; the reduction is ours, so the data do
    // not depend on the library's distributions.
    int hasta(int n) { return int(motor_() % unsigned(n)); }
    bool probabilidad(int porCiento) { return hasta(100) < porCiento; }

private:
    std::mt19937 motor_;
};

QString u(const char* texto)
{
    return QString::fromUtf8(texto);
}

QString sinAcentos(QString texto)
{
    const QString con = QStringLiteral("ÁÉÍÓÚÜÑ");
    const QString sin = QStringLiteral("AEIOUUX");
    for (int i = 0; i < con.size(); ++i)
        texto.replace(con.at(i), sin.at(i));
    texto.remove(QLatin1Char('\''));
    return texto.remove(QLatin1Char(' '));
}

class Sembrador
{
public:
    explicit Sembrador(QSqlDatabase db) : db_(std::move(db)) {}

    QSqlQuery preparar(const QString& sentencia)
    {
        QSqlQuery consulta(db_);
        if (!consulta.prepare(sentencia))
            throw Registros::error(consulta.lastError());
        return consulta;
    }

    static void ejecutar(QSqlQuery& consulta, const QVariantList& valores)
    {
        for (int i = 0; i < valores.size(); ++i)
            consulta.bindValue(i, valores.at(i));
        if (!consulta.exec())
            throw Registros::error(consulta.lastError());
    }

private:
    QSqlDatabase db_;
};

void sembrarTodo(QSqlDatabase db, int puertoFtp)
{
    Sembrador s(db);
    Azar azar(20240611u);

    QSqlQuery ftp = s.preparar(QStringLiteral(
        "INSERT INTO acceso_ftp_ZR (centro_distribucion, direccion_local, direccion_remota, "
        "usuario,"
        " contrasena, puerto, tamano, resolucion_BN, resolucion_RGB, Ruta)"
        " VALUES (?, '127.0.0.1', '127.0.0.1', 'imagenes', 'imagenes', ?, 2048, 200, 150, ?)"));
    for (const Centro& centro : kCentros)
        Sembrador::ejecutar(ftp, {u(centro.clave), QString::number(puertoFtp), u(centro.ruta)});

    QSqlQuery sucursal = s.preparar(QStringLiteral(
        "INSERT INTO sucursales (sucursal, centro_distribucion, tasa_iva, nombre_sucursal)"
        " VALUES (?, ?, 0.16, ?)"));
    for (const Sucursal& suc : kSucursales)
        Sembrador::ejecutar(sucursal, {u(suc.clave), u(kCentros[suc.centro].clave), u(suc.nombre)});

    QSqlQuery cliente = s.preparar(
        QStringLiteral("INSERT INTO Clientes (Cliente, Nombre_cliente, rfc, sucursal, telefono,"
                       " huellas_registradas, clasificacion_credito, puntaje_credito)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery domicilio = s.preparar(QStringLiteral(
        "INSERT INTO domicilios (clave, tabla, direccion, calle, numero_exterior, colonia,"
        " ciudad, estado, codigo_postal) VALUES (?, 'Clientes', ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery factura = s.preparar(
        QStringLiteral("INSERT INTO facturas_clientes (venta, cliente, sucursal, fecha, importe)"
                       " VALUES (?, ?, ?, ?, ?)"));
    QSqlQuery pedido = s.preparar(QStringLiteral(
        "INSERT INTO pedidos_clientes (pedido, cliente, clave_pedido, estado_actual, sucursal)"
        " VALUES (?, ?, ?, ?, ?)"));
    QSqlQuery expediente = s.preparar(QStringLiteral(
        "INSERT INTO Expedientes_ZR (expediente, Cliente, sucursal, fecha, es_prestamo, Pedido,"
        " estado_actual, imagen_solicitud, imagen_IFE, imagen_TALON, imagen_CARTA, imagen_NOTA,"
        " imagen_ENTREGA, imagen_EXTRA) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));

    const QDate inicio(2023, 1, 2);
    int siguientePedido = kPrimerPedido;
    int siguienteFolio = kPrimerFolio;
    int consecutivo[cuantos(kCentros)] = {};

    for (int i = 0; i < kClientes; ++i) {
        const int numero = kPrimerCliente + i;
        const Sucursal& suc = kSucursales[azar.hasta(cuantos(kSucursales))];
        const Centro& centro = kCentros[suc.centro];
        const QString paterno = u(kPaternos[azar.hasta(cuantos(kPaternos))]);
        const QString materno = u(kPaternos[azar.hasta(cuantos(kPaternos))]);
        const QString nombres = u(kNombres[azar.hasta(cuantos(kNombres))]);
        const QDate nacimiento = QDate(1950, 1, 1).addDays(azar.hasta(365 * 50));
        const QString rfc = (sinAcentos(paterno).left(2) + sinAcentos(materno).left(1) +
                             sinAcentos(nombres).left(1) + nacimiento.toString(u("yyMMdd")) +
                             QString::number(100 + azar.hasta(900)))
                                .toUpper();
        const QString telefono = u(centro.lada) + QString::number(10000000 + azar.hasta(90000000));
        Sembrador::ejecutar(cliente, {numero, paterno + u(" ") + materno + u(" ") + nombres, rfc,
                                      u(suc.clave), telefono, azar.probabilidad(60) ? 1 : 0,
                                      u(kClasificaciones[azar.hasta(4)]), 300 + azar.hasta(551)});

        const QString calle = u(kCalles[azar.hasta(cuantos(kCalles))]);
        const QString exterior = QString::number(1 + azar.hasta(3500));
        const QString colonia = u(kColonias[azar.hasta(cuantos(kColonias))]);
        const QString cp = QStringLiteral("%1").arg(centro.codigoPostal + azar.hasta(900), 5, 10,
                                                    QLatin1Char('0'));
        Sembrador::ejecutar(
            domicilio,
            {numero, calle + u(" ") + exterior + u(" COL. ") + colonia + u(" ") + u(centro.ciudad),
             calle, exterior, colonia, u(centro.ciudad), u(centro.estado), cp});

        // About 70% buy something; a third of the customers have a case file.
        QList<int> pedidos;
        const int ventas = azar.probabilidad(70) ? 1 + azar.hasta(3) : 0;
        for (int v = 0; v < ventas; ++v) {
            const int numeroPedido = siguientePedido++;
            const QString fecha =
                inicio.addDays(azar.hasta(500)).toString(Qt::ISODate) + u(" 12:00:00.000");
            Sembrador::ejecutar(factura, {QString::number(numeroPedido), numero, u(suc.clave),
                                          fecha, 1500 + azar.hasta(25000)});
            const QString clave = QStringLiteral("%1-%2")
                                      .arg(u(centro.clave))
                                      .arg(++consecutivo[suc.centro], 6, 10, QLatin1Char('0'));
            Sembrador::ejecutar(pedido, {numeroPedido, numero, clave,
                                         u(kEstadosVenta[azar.hasta(4)]), u(suc.clave)});
            pedidos.append(numeroPedido);
        }
        if (!azar.probabilidad(33))
            continue;
        // An assigned case file needs a sale; the others stay captured, waiting for theirs.
        const bool asignado = !pedidos.isEmpty() && azar.probabilidad(50);
        QVariantList valores{
            siguienteFolio++,
            numero,
            u(suc.clave),
            inicio.addDays(azar.hasta(500)).toString(Qt::ISODate) +
                QStringLiteral(" %1:15:00.000").arg(9 + azar.hasta(10), 2, 10, QLatin1Char('0')),
            azar.probabilidad(15) ? 1 : 0,
            asignado ? QVariant(pedidos.first()) : QVariant(),
            asignado ? u("Asignado") : u("Capturado")};
        for (int b = 0; b < cuantos(kBanderas); ++b)
            valores.append(azar.probabilidad(asignado ? 80 : 40) ? 1 : 0);
        Sembrador::ejecutar(expediente, valores);
    }
}

} // namespace

namespace DatosDemo {

void sembrar(ConexionBaseDatos& ConexionBD, int puertoFtp)
{
    ConexionBD.ejecutar(QStringLiteral("BEGIN"));
    try {
        sembrarTodo(ConexionBD.baseDatos(), puertoFtp);
        ConexionBD.ejecutar(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            ConexionBD.ejecutar(QStringLiteral("ROLLBACK"));
        } catch (...) {
        }
        throw;
    }
}

} // namespace DatosDemo
