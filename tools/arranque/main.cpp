// expedientes-arranque: writes and shows a workstation's start-up table, creates the empty
// embedded database it names, sets the image server's TLS policy and forgets a server's recorded
// key, and prepares the demo folder (start-up table, seeded embedded database, image-server
// folders).

#include "DatosDemo.h"
#include "DocumentosDemo.h"
#include "app/AjustesTls.h"
#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/TablaArranque.h"
#include "components/ftp/ClienteFtpRuta.h"
#include "components/ftp/LlavesServidores.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTextStream>
#include <exception>
#include <optional>

namespace {

constexpr int salidaBien = 0;
constexpr int salidaFallo = 1;
constexpr int salidaUso = 2;

const QString textoUso = QStringLiteral(
    "Uso: expedientes-arranque ORDEN --dir CARPETA [opciones]\n"
    "La tabla de arranque ARRANQUE.dbf de la estación está en /etc/qor (o en $QOR_DIR).\n"
    "\n"
    "Órdenes:\n"
    "  escribir --dir CARPETA --servidor SERVIDOR --usuario USUARIO --contrasena CONTRASENA\n"
    "           --sucursal SUCURSAL\n"
    "      Escribe la tabla de arranque ARRANQUE.dbf (reemplaza la que haya) con la contraseña\n"
    "      y la sucursal cifradas. SERVIDOR es un SQL Server, o sqlite:<ruta> para la base de\n"
    "      datos embebida.\n"
    "      Ejemplo: expedientes-arranque escribir --dir /etc/qor --servidor SRV01 --usuario "
    "cajero\n"
    "               --contrasena secreta --sucursal S01\n"
    "  mostrar --dir CARPETA\n"
    "      Muestra el servidor, el usuario y la sucursal de la tabla de arranque.\n"
    "      Ejemplo: expedientes-arranque mostrar --dir /etc/qor\n"
    "  crear-base --dir CARPETA\n"
    "      Crea vacía, con sus tablas, la base de datos embebida que nombra server_SQL\n"
    "      (sqlite:<ruta>) en la tabla de arranque. No reemplaza una base que ya exista.\n"
    "      Ejemplo: expedientes-arranque crear-base --dir /etc/qor\n"
    "  iniciar-demo --dir CARPETA --puerto-ftp PUERTO\n"
    "      Prepara una carpeta de demostración: tabla de arranque, base de datos embebida con\n"
    "      datos de ejemplo y las carpetas del servidor de imágenes.\n"
    "      Ejemplo: expedientes-arranque iniciar-demo --dir /tmp/demo --puerto-ftp 2121\n"
    "  tls --dir CARPETA --politica POLITICA\n"
    "      Escribe en CARPETA/expedientes.conf la política TLS con la que el programa habla con\n"
    "      el servidor de imágenes: nunca (FTP sin cifrar), si-se-ofrece (TLS cuando el servidor\n"
    "      lo ofrece; la que rige si no hay ninguna) u obligatorio (rechaza un servidor sin TLS).\n"
    "      CARPETA es ~/.config/expedientes para un usuario, /etc/xdg/expedientes para todos.\n"
    "      Ejemplo: expedientes-arranque tls --dir /etc/xdg/expedientes --politica obligatorio\n"
    "  olvidar-llave --dir CARPETA --servidor SERVIDOR --puerto PUERTO\n"
    "      Olvida la llave pública que se registró del servidor de imágenes en su primera\n"
    "      conexión con TLS (CARPETA/llaves-servidores-imagenes, con CARPETA la del usuario del\n"
    "      programa, ~/.config/expedientes): la próxima conexión acepta y registra la que\n"
    "      presente. Solo tras confirmar que el servidor cambió de llave a propósito.\n"
    "      Ejemplo: expedientes-arranque olvidar-llave --dir ~/.config/expedientes --servidor\n"
    "               imagenes01 --puerto 21\n"
    "\n"
    "  -h, --help   muestra esta ayuda.\n"
    "Salida: 0 si la orden se cumplió, 1 si falló, 2 si la orden está mal escrita.\n");

// The demo's fixed values: the branch is the first one DatosDemo seeds.
const QString servidorDemo = QStringLiteral("sqlite:expedientes.db");
const QString archivoBaseDemo = QStringLiteral("expedientes.db");
const QString usuarioDemo = QStringLiteral("demo");
const QString contrasenaDemo = QStringLiteral("demo");
const QString sucursalDemo = QStringLiteral("S01");
const QStringList carpetasCentros = {QStringLiteral("gdl"), QStringLiteral("mty"),
                                     QStringLiteral("cdmx")};

struct ErrorUso
{
    QString motivo;
};

QTextStream& salida()
{
    static QTextStream flujo(stdout);
    return flujo;
}

QTextStream& errores()
{
    static QTextStream flujo(stderr);
    return flujo;
}

struct Orden
{
    QString nombre;
    QStringList opciones; // all of them required
};

const QList<Orden> ordenes = {
    {QStringLiteral("escribir"),
     {QStringLiteral("dir"), QStringLiteral("servidor"), QStringLiteral("usuario"),
      QStringLiteral("contrasena"), QStringLiteral("sucursal")}},
    {QStringLiteral("mostrar"), {QStringLiteral("dir")}},
    {QStringLiteral("crear-base"), {QStringLiteral("dir")}},
    {QStringLiteral("iniciar-demo"), {QStringLiteral("dir"), QStringLiteral("puerto-ftp")}},
    {QStringLiteral("tls"), {QStringLiteral("dir"), QStringLiteral("politica")}},
    {QStringLiteral("olvidar-llave"),
     {QStringLiteral("dir"), QStringLiteral("servidor"), QStringLiteral("puerto")}},
};

int puertoDe(const QString& texto, const QString& opcion)
{
    bool esNumero = false;
    const int puerto = texto.toInt(&esNumero);
    if (!esNumero || puerto < 1 || puerto > 65535)
        throw ErrorUso{QStringLiteral("El puerto «%1» de --%2 no es un número de 1 a 65535.")
                           .arg(texto, opcion)};
    return puerto;
}

void escribirTls(const QString& carpeta, const QString& texto)
{
    const auto politica = AjustesTls::desdeNombre(texto);
    if (!politica)
        throw ErrorUso{QStringLiteral("La política TLS «%1» no es ninguna de %2.")
                           .arg(texto, AjustesTls::nombres().join(QStringLiteral(", ")))};
    const QString archivo = AjustesTls::archivoEnCarpeta(carpeta);
    if (!AjustesTls::escribir(archivo, *politica))
        throw ErrorSistema(75, QStringLiteral("No se pudo escribir %1").arg(archivo));
    salida() << "Política TLS del servidor de imágenes «" << AjustesTls::nombre(*politica)
             << "» escrita en " << QDir::toNativeSeparators(archivo) << '\n';
}

void olvidarLlave(const QString& carpeta, const QString& servidor, int puerto)
{
    // The name the program records the key under.
    const QByteArray host = ClienteFtpRuta::parteServidor(servidor);
    if (host.isEmpty())
        throw ErrorUso{
            QStringLiteral("La dirección del servidor «%1» no es válida.").arg(servidor)};
    const QString clave = LlavesServidores::clave(host, puerto);
    LlavesServidores llaves(AjustesTls::archivoLlavesEnCarpeta(carpeta));
    bool habia = false;
    QString error;
    if (!llaves.olvidar(clave, habia, error))
        throw ErrorSistema(75, QStringLiteral("No se olvidó la llave de %1: %2").arg(clave, error));
    if (!habia)
        throw ErrorSistema(53, QStringLiteral("No hay llave registrada de %1 en %2")
                                   .arg(clave, QDir::toNativeSeparators(llaves.archivo())));
    salida() << "Se olvidó la llave de " << clave
             << "; la próxima conexión registra la que presente el servidor.\n";
}

void mostrar(const QString& carpeta)
{
    const DatosArranque datos = TablaArranque::LeerArranque(carpeta);
    // Never the password: this output ends up in tickets and screenshots.
    salida() << "server_SQL: " << datos.server_SQL << '\n'
             << "usuario: " << datos.usuario << '\n'
             << "sucursal: " << datos.sucursal << '\n';
}

void crearBase(const QString& carpeta)
{
    const DatosArranque datos = TablaArranque::LeerArranque(carpeta);
    ConexionBaseDatos conexion;
    conexion.crear(datos.CadenaConexion, carpeta);
    const QString ruta = conexion.baseDatos().databaseName();
    conexion.cerrar();
    salida() << "Base de datos creada en " << QDir::toNativeSeparators(ruta) << '\n';
}

void borrarBaseDemo(const QDir& dir)
{
    for (const QString& sufijo :
         {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString ruta = dir.filePath(archivoBaseDemo + sufijo);
        if (QFile::exists(ruta) && !QFile::remove(ruta))
            throw ErrorSistema(
                75, QStringLiteral("No se pudo borrar la base de datos anterior %1").arg(ruta));
    }
}

void iniciarDemo(const QString& carpeta, int puertoFtp)
{
    QDir dir(carpeta);
    if (!dir.mkpath(QStringLiteral(".")))
        throw ErrorSistema(75, QStringLiteral("No se pudo crear la carpeta %1").arg(carpeta));
    for (const QString& centro : carpetasCentros) {
        if (!dir.mkpath(QStringLiteral("imagenes/") + centro))
            throw ErrorSistema(75, QStringLiteral("No se pudo crear la carpeta %1")
                                       .arg(dir.filePath(QStringLiteral("imagenes/") + centro)));
    }
    TablaArranque::EscribirArranque(carpeta, servidorDemo, usuarioDemo, contrasenaDemo,
                                    sucursalDemo);

    // The demo always starts clean: the old database goes, a new one is created and seeded.
    borrarBaseDemo(dir);
    try {
        const DatosArranque datos = TablaArranque::LeerArranque(carpeta);
        ConexionBaseDatos conexion;
        conexion.crear(datos.CadenaConexion, carpeta);
        DatosDemo::sembrar(conexion, puertoFtp);
        DocumentosDemo::escribir(conexion, dir.filePath(QStringLiteral("imagenes")));
        conexion.cerrar();
    } catch (...) {
        // A half-seeded database would look like a working demo; leave none behind.
        try {
            borrarBaseDemo(dir);
        } catch (const std::exception&) {
        }
        throw;
    }
    salida() << "Demostración lista en " << QDir::toNativeSeparators(dir.absolutePath()) << '\n';
}

int ejecutar(const QStringList& argumentos)
{
    QCommandLineParser analizador;
    analizador.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QStringList nombres = {QStringLiteral("dir"),      QStringLiteral("servidor"),
                                 QStringLiteral("usuario"),  QStringLiteral("contrasena"),
                                 QStringLiteral("sucursal"), QStringLiteral("puerto-ftp"),
                                 QStringLiteral("politica"), QStringLiteral("puerto")};
    for (const QString& nombre : nombres)
        analizador.addOption(QCommandLineOption(nombre, QString(), QStringLiteral("valor")));
    analizador.addOption(
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));

    // The parser's own texts are English; the people who run this read Spanish.
    if (!analizador.parse(argumentos)) {
        const QStringList desconocidas = analizador.unknownOptionNames();
        throw ErrorUso{desconocidas.isEmpty()
                           ? QStringLiteral("Falta el valor de una opción.")
                           : QStringLiteral("Opción desconocida «%1».").arg(desconocidas.first())};
    }
    if (analizador.isSet(QStringLiteral("help"))) {
        salida() << textoUso;
        return salidaBien;
    }
    const QStringList posicionales = analizador.positionalArguments();
    if (posicionales.isEmpty())
        throw ErrorUso{QStringLiteral("Falta la orden.")};
    if (posicionales.size() > 1)
        throw ErrorUso{QStringLiteral("Sobra el argumento «%1».").arg(posicionales.at(1))};

    std::optional<Orden> orden;
    for (const Orden& candidata : ordenes) {
        if (candidata.nombre == posicionales.first())
            orden = candidata;
    }
    if (!orden)
        throw ErrorUso{QStringLiteral("Orden desconocida «%1».").arg(posicionales.first())};
    for (const QString& nombre : nombres) {
        const bool propia = orden->opciones.contains(nombre);
        if (propia && !analizador.isSet(nombre))
            throw ErrorUso{QStringLiteral("Falta la opción --%1.").arg(nombre)};
        if (!propia && analizador.isSet(nombre))
            throw ErrorUso{
                QStringLiteral("La orden %1 no lleva la opción --%2.").arg(orden->nombre, nombre)};
        if (propia && analizador.values(nombre).size() > 1)
            throw ErrorUso{QStringLiteral("La opción --%1 va una sola vez.").arg(nombre)};
    }
    const auto valor = [&](const char* nombre) { return analizador.value(QLatin1String(nombre)); };

    if (orden->nombre == QLatin1String("escribir")) {
        TablaArranque::EscribirArranque(valor("dir"), valor("servidor"), valor("usuario"),
                                        valor("contrasena"), valor("sucursal"));
        salida() << "Tabla de arranque escrita en " << valor("dir") << '\n';
    } else if (orden->nombre == QLatin1String("mostrar")) {
        mostrar(valor("dir"));
    } else if (orden->nombre == QLatin1String("crear-base")) {
        crearBase(valor("dir"));
    } else if (orden->nombre == QLatin1String("tls")) {
        escribirTls(valor("dir"), valor("politica"));
    } else if (orden->nombre == QLatin1String("olvidar-llave")) {
        olvidarLlave(valor("dir"), valor("servidor"),
                     puertoDe(valor("puerto"), QStringLiteral("puerto")));
    } else {
        iniciarDemo(valor("dir"), puertoDe(valor("puerto-ftp"), QStringLiteral("puerto-ftp")));
    }
    return salidaBien;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("expedientes-arranque"));
    // The tool reports what it did and why it failed itself; the program's progress notes and
    // statement traces are only wanted on request (QT_LOGGING_RULES still turns them on).
    QLoggingCategory::setFilterRules(QStringLiteral("expedientes.*.debug=false\n"
                                                    "expedientes.*.info=false\n"
                                                    "expedientes.arranque.warning=false"));
    int codigo = salidaFallo;
    try {
        codigo = ejecutar(QCoreApplication::arguments());
    } catch (const ErrorUso& error) {
        errores() << error.motivo << "\n\n" << textoUso;
        codigo = salidaUso;
    } catch (const ErrorSistema& error) {
        errores() << "Error " << error.numero() << ": " << error.descripcion() << '\n';
    } catch (const std::exception& error) {
        errores() << "Error: " << QString::fromLocal8Bit(error.what()) << '\n';
    }
    salida().flush();
    errores().flush();
    return codigo;
}
