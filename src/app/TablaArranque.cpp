#include "app/TablaArranque.h"

#include "app/CabeceraDbf.h"
#include "app/CifrarTexto.h"
#include "app/ErrorSistema.h"
#include "app/Windows1252.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <shapefil.h>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcArranque, "expedientes.arranque")

namespace {

const QString nombreTabla = QStringLiteral("ARRANQUE.dbf");
const QString origen = QStringLiteral("Tabla de arranque");

// Numbers as the platform reported these failures, so the messages read as they always did.
constexpr int errArchivoNoEncontrado = 53;
constexpr int errCarpetaNoEncontrada = 76;
constexpr int errAccesoArchivo = 75;
constexpr int errFormatoArchivo = 321;
constexpr int errSinRegistros = 3021;
constexpr int errColumnaNoEncontrada = 3265;
constexpr int errValorNoValido = 5;
constexpr int errUsoNulo = 94;

struct Columna
{
    const char* nombre;
    int ancho;
};

// server_SQL, usuario, contrasena, token: the order of the fields of Fila.
constexpr std::array<Columna, 4> columnas = {
    {{"server_SQL", 254}, {"usuario", 60}, {"contrasena", 60}, {"token", 60}}};

// The four values as stored (the last two still enciphered), blanks at both ends removed.
using Fila = std::array<QString, 4>;

[[noreturn]] void fallar(int numero, const QString& descripcion)
{
    qCWarning(lcArranque).noquote() << descripcion;
    throw ErrorSistema(numero, descripcion, origen);
}

// The file in dir whose name equals nombre without regard to case (the exact name first).
QString buscarArchivo(const QDir& dir, const QString& nombre)
{
    if (QFileInfo(dir.filePath(nombre)).isFile())
        return dir.filePath(nombre);
    const QStringList archivos =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& archivo : archivos) {
        if (archivo.compare(nombre, Qt::CaseInsensitive) == 0)
            return dir.filePath(archivo);
    }
    return {};
}

// shapelib rewrites the extension to .dbf or .DBF before opening, so a table named Arranque.Dbf
// (as Windows tools leave them) is only found when the open itself ignores case.
SAFile abrirSinDistinguirMayusculas(const char* nombre, const char* acceso)
{
    QString ruta = QFile::decodeName(nombre);
    const QFileInfo info(ruta);
    if (!info.exists()) {
        const QString encontrada = buscarArchivo(info.absoluteDir(), info.fileName());
        if (!encontrada.isEmpty())
            ruta = encontrada;
    }
    return reinterpret_cast<SAFile>(std::fopen(QFile::encodeName(ruta).constData(), acceso));
}

thread_local QString ultimoErrorShapelib;

void anotarErrorShapelib(const char* mensaje)
{
    ultimoErrorShapelib = QString::fromLocal8Bit(mensaje).trimmed();
}

// Removes the blanks (code 32 only) at both ends, as the start-up program always did.
QByteArray recortarBlancos(QByteArray valor)
{
    qsizetype inicio = 0;
    qsizetype fin = valor.size();
    while (inicio < fin && valor[inicio] == ' ')
        ++inicio;
    while (fin > inicio && valor[fin - 1] == ' ')
        --fin;
    return valor.mid(inicio, fin - inicio);
}

QString recortarBlancos(const QString& valor)
{
    qsizetype inicio = 0;
    qsizetype fin = valor.size();
    while (inicio < fin && valor[inicio] == u' ')
        ++inicio;
    while (fin > inicio && valor[fin - 1] == u' ')
        --fin;
    return valor.mid(inicio, fin - inicio);
}

// A few header checks before shapelib sees the file: it trusts the header's lengths.
QString defectoCabecera(const QString& ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        return archivo.errorString();
    const QByteArray cabecera = archivo.read(32);
    if (cabecera.size() < 32)
        return QStringLiteral("el archivo es demasiado corto para ser una tabla DBF");
    const auto byte = [&](int i) { return static_cast<unsigned char>(cabecera[i]); };
    const qint64 largoCabecera = byte(8) | (byte(9) << 8);
    const qint64 largoRegistro = byte(10) | (byte(11) << 8);
    if (largoCabecera < 33 || largoCabecera > archivo.size() || largoRegistro < 1)
        return QStringLiteral("la cabecera de la tabla DBF no es válida");
    return {};
}

class TablaAbierta
{
public:
    explicit TablaAbierta(DBFHandle tabla) : tabla_(tabla) {}
    ~TablaAbierta()
    {
        if (tabla_)
            DBFClose(tabla_);
    }
    TablaAbierta(const TablaAbierta&) = delete;
    TablaAbierta& operator=(const TablaAbierta&) = delete;
    DBFHandle get() const { return tabla_; }

private:
    DBFHandle tabla_;
};

// The first row that is not marked deleted (the FoxPro driver does not show deleted rows).
Fila leerPrimeraFila(const QString& ruta, const QString& carpeta)
{
    const auto ilegible = [&](const QString& motivo) {
        fallar(errFormatoArchivo,
               QStringLiteral("No se pudo leer la tabla de arranque ARRANQUE de la carpeta %1: %2")
                   .arg(carpeta, motivo));
    };
    if (const QString defecto = defectoCabecera(ruta); !defecto.isEmpty())
        ilegible(defecto);

    SAHooks ganchos;
    SASetupDefaultHooks(&ganchos);
    ganchos.FOpen = abrirSinDistinguirMayusculas;
    ganchos.Error = anotarErrorShapelib;
    ultimoErrorShapelib.clear();
    const TablaAbierta tabla(DBFOpenLL(QFile::encodeName(ruta).constData(), "rb", &ganchos));
    if (!tabla.get())
        ilegible(ultimoErrorShapelib.isEmpty() ? QStringLiteral("no es una tabla DBF")
                                               : ultimoErrorShapelib);

    std::array<int, 4> indices{};
    std::array<bool, 4> variables{}; // Visual FoxPro varchar columns
    for (std::size_t i = 0; i < columnas.size(); ++i) {
        // DBFGetFieldIndex compares names without regard to case.
        indices[i] = DBFGetFieldIndex(tabla.get(), columnas[i].nombre);
        if (indices[i] < 0)
            fallar(errColumnaNoEncontrada,
                   QStringLiteral("La tabla de arranque ARRANQUE de la carpeta %1 no tiene la "
                                  "columna %2")
                       .arg(carpeta, QLatin1String(columnas[i].nombre)));
        const char tipo = DBFGetNativeFieldType(tabla.get(), indices[i]);
        // A memo column holds only the number of a block of the memo file (.dbt, .fpt), which
        // shapelib does not read; that number is no value.
        if (tipo == 'M')
            fallar(errFormatoArchivo,
                   QStringLiteral("La columna %2 de la tabla de arranque ARRANQUE de la carpeta %1 "
                                  "es de tipo memo y su valor no se puede leer; guárdelo en una "
                                  "columna de caracteres")
                       .arg(carpeta, QLatin1String(columnas[i].nombre)));
        variables[i] = tipo == 'V';
        if (tipo != 'C' && tipo != 'V')
            fallar(errFormatoArchivo,
                   QStringLiteral("La columna %2 de la tabla de arranque ARRANQUE de la carpeta %1 "
                                  "no es de caracteres")
                       .arg(carpeta, QLatin1String(columnas[i].nombre)));
    }

    // shapelib reads a Null of a Visual FoxPro table as blanks; the program would go on with an
    // empty server or branch and fail later with a message that does not say why.
    CabeceraDbf cabecera;
    if (!cabecera.leer(ruta))
        ilegible(QStringLiteral("la cabecera de la tabla DBF no es válida"));

    const int registros = DBFGetRecordCount(tabla.get());
    for (int registro = 0; registro < registros; ++registro) {
        if (DBFIsRecordDeleted(tabla.get(), registro))
            continue;
        const auto danado = [&] {
            ilegible(QStringLiteral("el registro %1 está incompleto o dañado (%2)")
                         .arg(registro + 1)
                         .arg(ultimoErrorShapelib));
        };
        const char* crudo = DBFReadTuple(tabla.get(), registro);
        Fila fila;
        for (std::size_t i = 0; i < columnas.size(); ++i) {
            QByteArray valor;
            if (variables[i]) {
                // shapelib would hand back a shorter value with its length byte at the end.
                const std::optional<QByteArray> leido = cabecera.valorVariable(
                    crudo, tabla.get()->nRecordLength, QLatin1String(columnas[i].nombre));
                if (!leido)
                    danado();
                valor = *leido;
            } else {
                const char* leido = DBFReadStringAttribute(tabla.get(), registro, indices[i]);
                if (!leido)
                    danado();
                valor = leido;
            }
            fila[i] = Windows1252::decodificar(recortarBlancos(valor));
        }
        for (const Columna& columna : columnas)
            if (cabecera.esNulo(crudo, tabla.get()->nRecordLength, QLatin1String(columna.nombre)))
                fallar(errUsoNulo,
                       QStringLiteral("La columna %2 de la tabla de arranque ARRANQUE de la "
                                      "carpeta %1 no tiene valor (Null)")
                           .arg(carpeta, QLatin1String(columna.nombre)));
        return fila;
    }
    fallar(errSinRegistros,
           QStringLiteral("La tabla de arranque ARRANQUE de la carpeta %1 no tiene registros")
               .arg(carpeta));
}

// A value with a ';' (or opening with '{') would end its attribute early and the rest would be
// read as further attributes of the connection; ODBC takes such a value between braces, with '}'
// doubled. Other values go in as they are.
QString valorConexion(const QString& valor)
{
    if (!valor.contains(u';') && !valor.startsWith(u'{'))
        return valor;
    return u'{' + QString(valor).replace(QStringLiteral("}"), QStringLiteral("}}")) + u'}';
}

QString tablaEn(const QString& carpeta)
{
    const QDir dir(carpeta);
    if (carpeta.isEmpty() || !dir.exists())
        fallar(errCarpetaNoEncontrada,
               QStringLiteral("No se encontró la carpeta de arranque %1").arg(carpeta));
    return buscarArchivo(dir, nombreTabla);
}

QString nombreTemporal(const QDir& dir)
{
    QString ruta;
    do {
        ruta = dir.filePath(QStringLiteral("ARRANQUE-%1.dbf")
                                .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')));
    } while (QFileInfo::exists(ruta));
    return ruta;
}

// Removes the temporary table on every way out; after the rename there is nothing to remove.
struct BorrarAlSalir
{
    QString ruta;
    ~BorrarAlSalir()
    {
        if (QFileInfo::exists(ruta))
            QFile::remove(ruta);
    }
};

void sincronizar(const QString& ruta)
{
#ifdef Q_OS_UNIX
    QFile archivo(ruta);
    if (archivo.open(QIODevice::ReadWrite))
        ::fsync(archivo.handle());
#else
    Q_UNUSED(ruta);
#endif
}

// Writes the one row into a new table at ruta; false when shapelib refuses (motivo says why
// when the system told).
bool escribirTabla(const QString& ruta, const std::array<QByteArray, 4>& valores, QString& motivo)
{
    // LDID 3 marks the table as Windows-1252 for the FoxPro driver.
    DBFHandle tabla = DBFCreateEx(QFile::encodeName(ruta).constData(), "LDID/3");
    if (!tabla) {
        motivo = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    bool bien = true;
    for (const Columna& columna : columnas)
        bien = bien && DBFAddField(tabla, columna.nombre, FTString, columna.ancho, 0) >= 0;
    for (std::size_t i = 0; bien && i < valores.size(); ++i)
        bien = DBFWriteStringAttribute(tabla, 0, int(i), valores[i].constData()) != 0;
    const QDate hoy = QDate::currentDate();
    DBFSetLastModifiedDate(tabla, hoy.year() - 1900, hoy.month(), hoy.day());
    DBFClose(tabla);
    return bien;
}

} // namespace

namespace TablaArranque {

QString carpetaPredeterminada()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\qor\\");
#else
    const QString carpeta = qEnvironmentVariable("QOR_DIR");
    return carpeta.isEmpty() ? QStringLiteral("/etc/qor/") : carpeta;
#endif
}

DatosArranque LeerArranque(const QString& carpeta)
{
    const QString ruta = tablaEn(carpeta);
    if (ruta.isEmpty())
        fallar(errArchivoNoEncontrado,
               QStringLiteral("No se encontró la tabla de arranque ARRANQUE en la carpeta %1")
                   .arg(carpeta));
    const Fila fila = leerPrimeraFila(ruta, carpeta);

    DatosArranque datos;
    datos.server_SQL = fila[0];
    datos.usuario = fila[1];
    datos.contrasena = CifrarTexto(fila[2], false);
    datos.sucursal = CifrarTexto(fila[3], false);
    datos.CadenaConexion =
        QStringLiteral("Driver={SQL Server};Server=") + valorConexion(datos.server_SQL) +
        QStringLiteral(";Database=erp_qor;Uid=") + valorConexion(datos.usuario) +
        QStringLiteral(";Pwd=") + valorConexion(datos.contrasena) + QStringLiteral(";");
    qCInfo(lcArranque).noquote() << "Tabla de arranque leída:" << ruta << "servidor"
                                 << datos.server_SQL << "sucursal" << datos.sucursal;
    return datos;
}

void EscribirArranque(const QString& carpeta, const QString& servidor, const QString& usuario,
                      const QString& contrasena, const QString& sucursal)
{
    QString destino = tablaEn(carpeta);
    if (destino.isEmpty())
        destino = QDir(carpeta).filePath(nombreTabla);

    // What each column must read back as; the reader drops the blanks at both ends of the
    // server and the user, so they are not stored.
    const std::array<QString, 4> deseado = {recortarBlancos(servidor), recortarBlancos(usuario),
                                            contrasena, sucursal};
    const std::array<QString, 4> descripcion = {
        QStringLiteral("el servidor"), QStringLiteral("el usuario"),
        QStringLiteral("la contraseña"), QStringLiteral("la sucursal")};
    const auto noValido = [&](std::size_t i, const QString& motivo) {
        fallar(errValorNoValido,
               QStringLiteral("No se puede guardar %1 en la tabla de arranque: %2")
                   .arg(descripcion[i], motivo));
    };

    std::array<QByteArray, 4> valores;
    for (std::size_t i = 0; i < valores.size(); ++i) {
        if (deseado[i].isEmpty() && i != 2)
            noValido(i, QStringLiteral("no tiene valor"));
        if (!Windows1252::representable(deseado[i]))
            noValido(i, QStringLiteral("tiene caracteres fuera de Windows-1252"));
        valores[i] = Windows1252::codificar(deseado[i]);
        if (i >= 2)
            valores[i] = CifrarCodigos(valores[i], true);
        if (valores[i].size() > columnas[i].ancho)
            noValido(i, QStringLiteral("tiene %1 caracteres y la columna %2 admite %3")
                            .arg(valores[i].size())
                            .arg(QLatin1String(columnas[i].nombre))
                            .arg(columnas[i].ancho));
    }

    // The new table is written beside the old one and renamed over it only once it reads back
    // right, so a failure never leaves a half-written table. Created by shapelib's own fopen, it
    // gets the usual permissions: the program reads it under another account than the admin's.
    const QString rutaTemporal = nombreTemporal(QDir(carpeta));
    const BorrarAlSalir borrar{rutaTemporal};
    if (QString motivo; !escribirTabla(rutaTemporal, valores, motivo))
        fallar(errAccesoArchivo,
               QStringLiteral("No se pudo escribir la tabla de arranque en la carpeta %1: %2")
                   .arg(carpeta, motivo.isEmpty() ? QStringLiteral("error de escritura") : motivo));

    // Read the new table back as the program will: a value whose enciphered form begins or ends
    // with a blank, or that holds a code the cipher cannot bring back, would not survive.
    const Fila leida = leerPrimeraFila(rutaTemporal, carpeta);
    for (std::size_t i = 0; i < leida.size(); ++i) {
        const QString valor = i >= 2 ? CifrarTexto(leida[i], false) : leida[i];
        if (valor != deseado[i])
            noValido(i, i >= 2 ? QStringLiteral("cifrado no se leería igual de la tabla (empieza "
                                                "o termina en blanco, o tiene el carácter ÿ); "
                                                "elija otro valor")
                               : QStringLiteral("no se leería igual de la tabla (tiene caracteres "
                                                "de control)"));
    }

    if (QFileInfo::exists(destino))
        QFile::setPermissions(rutaTemporal, QFile::permissions(destino));
    sincronizar(rutaTemporal);
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(rutaTemporal.toStdU16String()),
                            std::filesystem::path(destino.toStdU16String()), error);
    if (error)
        fallar(errAccesoArchivo, QStringLiteral("No se pudo reemplazar la tabla de arranque %1: %2")
                                     .arg(destino, QString::fromLocal8Bit(error.message())));
    qCInfo(lcArranque).noquote() << "Tabla de arranque escrita:" << destino;
}

} // namespace TablaArranque
