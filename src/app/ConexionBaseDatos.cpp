#include "app/ConexionBaseDatos.h"

#include "app/AdaptadorSQLite.h"
#include "app/EsquemaEmbebido.h"
#include "app/FuncionesSQLite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <atomic>
#include <cmath>
#include <sqlite3.h>

// Quiet unless asked for (QT_LOGGING_RULES="expedientes.db.debug=true" also shows the SQLite
// form of each statement).
Q_LOGGING_CATEGORY(registroBaseDatos, "expedientes.db", QtWarningMsg)
// Each statement as the program hands it to the driver, with its bound values, so branch
// support can see what the server received
// (QT_LOGGING_RULES="expedientes.db.sentencias.debug=true").
Q_LOGGING_CATEGORY(registroSentencias, "expedientes.db.sentencias", QtWarningMsg)

namespace {

enum class Destino
{
    Odbc,       // SQL Server (production): the text goes to QODBC unchanged
    Embebida,   // Server=sqlite:<path>: QSQLITE on that file
    OdbcSQLite, // Driver={SQLite3}: QODBC over the SQLite ODBC driver, the way the tests run
                // the ODBC plumbing for real; SQLite statements, so the adapter applies
};

QString valorServidor(const QString& cadena)
{
    static const QRegularExpression servidor(QStringLiteral(R"((?:^|;)\s*Server\s*=\s*([^;]*))"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch encontrado = servidor.match(cadena);
    return encontrado.hasMatch() ? encontrado.captured(1).trimmed() : QString();
}

Destino destinoDe(const QString& cadena)
{
    if (valorServidor(cadena).startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        return Destino::Embebida;
    if (cadena.contains(QLatin1String("Driver={SQLite3}"), Qt::CaseInsensitive))
        return Destino::OdbcSQLite;
    return Destino::Odbc;
}

// An installed program takes the copy installed beside it; a build with its tests also knows
// the build tree's copy, which the tests load.
QString moduloFunciones()
{
#ifdef EXPEDIENTES_MODULO_FUNCIONES_SQLITE_INSTALADO
    if (QCoreApplication::instance() != nullptr) {
        const QString instalado = QDir::cleanPath(
            QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral(EXPEDIENTES_MODULO_FUNCIONES_SQLITE_INSTALADO)));
        if (QFileInfo::exists(instalado))
            return instalado;
    }
#endif
#ifdef EXPEDIENTES_MODULO_FUNCIONES_SQLITE
    return QStringLiteral(EXPEDIENTES_MODULO_FUNCIONES_SQLITE);
#else
    return QString();
#endif
}

// The helper functions cannot be registered through ODBC; the SQLite ODBC driver loads them
// as an extension module when the text names it.
QString conExtension(QString cadena)
{
    const QString modulo = moduloFunciones();
    if (!cadena.contains(QLatin1String("LoadExt="), Qt::CaseInsensitive) &&
        QFileInfo::exists(modulo)) {
        if (!cadena.endsWith(QLatin1Char(';')))
            cadena += QLatin1Char(';');
        cadena += QStringLiteral("LoadExt=%1;").arg(modulo);
    }
    return cadena;
}

// The bound values the way FreeTDS names them to the server: @P1='texto' @P2=7.
QString valoresLigados(const QVariantList& valores)
{
    QStringList partes;
    for (qsizetype i = 0; i < valores.size(); ++i) {
        const QVariant& valor = valores.at(i);
        QString texto;
        if (valor.isNull())
            texto = QStringLiteral("NULL");
        else if (valor.typeId() == QMetaType::QString)
            texto = QLatin1Char('\'') + valor.toString().replace(u'\'', QStringLiteral("''")) +
                    QLatin1Char('\'');
        else
            texto = valor.toString();
        partes << QStringLiteral("@P%1=%2").arg(i + 1).arg(texto);
    }
    return partes.join(QLatin1Char(' '));
}

QString nombreLibre(const QString& base)
{
    static std::atomic<int> siguiente{1};
    QString nombre = base;
    while (QSqlDatabase::contains(nombre))
        nombre = QStringLiteral("%1#%2").arg(base).arg(siguiente++);
    return nombre;
}

} // namespace

struct ConexionBaseDatos::Detalle
{
    QString nombreBase;
    QString nombre; // the QSqlDatabase connection name in use while open
    Destino destino = Destino::Odbc;
    Traza traza;
    std::function<QString(const QString&)> sustituir;
    sqlite3* manejador = nullptr; // the embedded database's, to see whether its file is still there
    QVariant folio;               // REGRESA_FOLIO on SQLite: the last case file inserted here

    bool sqlite() const { return destino != Destino::Odbc; }
};

ConexionBaseDatos::ConexionBaseDatos(const QString& nombre) : d_(std::make_unique<Detalle>())
{
    d_->nombreBase = nombre;
}

ConexionBaseDatos::~ConexionBaseDatos()
{
    cerrar();
}

void ConexionBaseDatos::abrir(const QString& cadenaRecibida, const QString& carpetaArranque)
{
    abrirCon(cadenaRecibida, carpetaArranque, false);
}

void ConexionBaseDatos::crear(const QString& cadenaRecibida, const QString& carpetaArranque)
{
    abrirCon(cadenaRecibida, carpetaArranque, true);
}

void ConexionBaseDatos::abrirCon(const QString& cadenaRecibida, const QString& carpetaArranque,
                                 bool nueva)
{
    cerrar();
    const QString cadenaConexion = d_->sustituir ? d_->sustituir(cadenaRecibida) : cadenaRecibida;
    d_->destino = destinoDe(cadenaConexion);
    d_->folio = QVariant();

    QString ruta;
    if (d_->destino == Destino::Embebida) {
        ruta = valorServidor(cadenaConexion).mid(int(qstrlen("sqlite:")));
        if (QFileInfo(ruta).isRelative())
            ruta = QDir(carpetaArranque).filePath(ruta);
        ruta = QDir::cleanPath(QFileInfo(ruta).absoluteFilePath());
        const QString nativa = QDir::toNativeSeparators(ruta);
        // SQLite would make an empty file of a wrong or lost path, and every search would then
        // find nothing; only the admin tool makes a new database.
        if (!nueva && !QFileInfo::exists(ruta))
            throw ErrorSistema(SQLITE_CANTOPEN,
                               QStringLiteral("No existe la base de datos embebida %1. Revise la "
                                              "ruta de server_SQL en la tabla de arranque; una "
                                              "base nueva y vacía se crea con «expedientes-"
                                              "arranque crear-base».")
                                   .arg(nativa),
                               QStringLiteral("Base de datos"));
        if (nueva && QFileInfo::exists(ruta))
            throw ErrorSistema(
                SQLITE_CANTOPEN,
                QStringLiteral("La base de datos embebida %1 ya existe; no se reemplaza.")
                    .arg(nativa),
                QStringLiteral("Base de datos"));
        if (!nueva)
            comprobarEscritura(ruta);
    } else if (nueva) {
        throw ErrorSistema(SQLITE_MISUSE,
                           QStringLiteral("server_SQL no nombra una base de datos embebida "
                                          "(sqlite:<ruta>); no hay archivo que crear."),
                           QStringLiteral("Base de datos"));
    }

    d_->nombre = nombreLibre(d_->nombreBase);
    QSqlDatabase db;
    if (d_->destino == Destino::Embebida) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d_->nombre);
        db.setDatabaseName(ruta);
        qCInfo(registroBaseDatos) << "Base de datos embebida:" << ruta;
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), d_->nombre);
        db.setDatabaseName(d_->destino == Destino::OdbcSQLite ? conExtension(cadenaConexion)
                                                              : cadenaConexion);
    }
    if (!db.open()) {
        const ErrorSistema error = Registros::error(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(d_->nombre);
        d_->nombre.clear();
        throw error;
    }
    try {
        if (d_->destino == Destino::Embebida) {
            registrarFunciones();
            // SQLite falls back to reading only when it may not write the file.
            if (sqlite3_db_readonly(d_->manejador, "main") == 1)
                throw ErrorSistema(SQLITE_READONLY,
                                   QStringLiteral("La base de datos embebida %1 se abrió solo "
                                                  "para lectura; ningún documento podría "
                                                  "registrarse. Revise los permisos del archivo.")
                                       .arg(QDir::toNativeSeparators(ruta)),
                                   QStringLiteral("Base de datos"));
        }
        if (d_->sqlite())
            prepararEsquema();
    } catch (...) {
        cerrar();
        if (nueva)
            QFile::remove(ruta); // a half-made file would pass for a database next time
        throw;
    }
}

void ConexionBaseDatos::comprobarEscritura(const QString& ruta)
{
    // A database that cannot be written lets the program start, and then every save fails after
    // its document is already on the image server. Root writes past the permission bits, so a
    // file with no write bit at all is taken as marked read-only on purpose.
    const QFileInfo archivo(ruta);
    const QFileInfo carpeta(archivo.absolutePath());
    constexpr QFile::Permissions escritura =
        QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QString motivo;
    if (!(archivo.permissions() & escritura) || !archivo.isWritable())
        motivo = QStringLiteral("no se puede escribir en el archivo. Revise sus permisos");
    else if (!carpeta.isWritable())
        // SQLite writes its journal beside the file.
        motivo = QStringLiteral("no se puede escribir en su carpeta %1, donde la base guarda su "
                                "bitácora. Revise los permisos de la carpeta")
                     .arg(QDir::toNativeSeparators(carpeta.absoluteFilePath()));
    if (motivo.isEmpty())
        return;
    throw ErrorSistema(SQLITE_READONLY,
                       QStringLiteral("La base de datos embebida %1 es de solo lectura: %2. Sin "
                                      "escritura ningún documento podría registrarse.")
                           .arg(QDir::toNativeSeparators(ruta), motivo),
                       QStringLiteral("Base de datos"));
}

void ConexionBaseDatos::registrarFunciones()
{
    const QVariant manejador = baseDatos().driver()->handle();
    sqlite3* handle = nullptr;
    if (manejador.isValid() && qstrcmp(manejador.typeName(), "sqlite3*") == 0)
        handle = *static_cast<sqlite3* const*>(manejador.constData());
    if (!handle)
        throw ErrorSistema(SQLITE_MISUSE, QStringLiteral("No se obtuvo el manejador de SQLite"),
                           QStringLiteral("Base de datos"));
    d_->manejador = handle;
    const int rc = FuncionesSQLite::registrar(handle);
    if (rc != SQLITE_OK)
        throw ErrorSistema(rc,
                           QStringLiteral("No se registraron las funciones de la base de datos: %1")
                               .arg(QString::fromUtf8(sqlite3_errstr(rc))),
                           QStringLiteral("Base de datos"));
}

void ConexionBaseDatos::prepararEsquema()
{
    Registros version = consultar(QStringLiteral("PRAGMA user_version"));
    const int desde = version.eof() ? 0 : version.campo(0).toInt();
    version.cerrar();
    const QStringList pasos = EsquemaEmbebido::pasos(desde);
    if (pasos.isEmpty())
        return;
    qCInfo(registroBaseDatos) << "Esquema embebido de la versión" << desde << "a la"
                              << EsquemaEmbebido::versionActual();
    // One transaction: a file is left either at its old version or at the new one.
    ejecutar(QStringLiteral("BEGIN"));
    try {
        for (const QString& paso : pasos)
            ejecutar(paso);
        ejecutar(QStringLiteral("PRAGMA user_version = %1").arg(EsquemaEmbebido::versionActual()));
        ejecutar(QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery(baseDatos()).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

void ConexionBaseDatos::cerrar()
{
    d_->manejador = nullptr;
    if (d_->nombre.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(d_->nombre, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(d_->nombre);
    d_->nombre.clear();
    d_->folio = QVariant();
}

bool ConexionBaseDatos::abierta() const
{
    return !d_->nombre.isEmpty() && baseDatos().isOpen();
}

bool ConexionBaseDatos::embebida() const
{
    return !d_->nombre.isEmpty() && d_->destino == Destino::Embebida;
}

bool ConexionBaseDatos::dialectoSQLite() const
{
    return !d_->nombre.isEmpty() && d_->sqlite();
}

QSqlQuery ConexionBaseDatos::lanzar(const QString& sentencia, const QVariantList& valores)
{
    if (d_->traza)
        d_->traza(sentencia, valores);
    if (!abierta())
        throw ErrorSistema(3704, QStringLiteral("La conexión con la base de datos está cerrada"),
                           QStringLiteral("Base de datos"));
    comprobarArchivo();
    qCDebug(registroSentencias).noquote() << sentencia << valoresLigados(valores);
    const QString texto = d_->sqlite() ? AdaptadorSQLite::adaptar(sentencia) : sentencia;
    if (d_->sqlite())
        qCDebug(registroBaseDatos).noquote() << "SQLite:" << texto;
    QSqlQuery consulta(baseDatos());
    consulta.setForwardOnly(true);
    bool correcto = false;
    if (valores.isEmpty()) {
        correcto = consulta.exec(texto);
    } else if (consulta.prepare(texto)) {
        for (const QVariant& valor : valores)
            consulta.addBindValue(valor);
        correcto = consulta.exec();
    }
    if (!correcto) {
        qCWarning(registroBaseDatos) << "Falló:" << texto << consulta.lastError().text();
        throw Registros::error(consulta.lastError());
    }
    if (d_->sqlite() && AdaptadorSQLite::creaExpediente(texto)) {
        QSqlQuery folio(baseDatos());
        if (!folio.exec(QStringLiteral("SELECT last_insert_rowid()")) || !folio.next())
            throw Registros::error(folio.lastError());
        d_->folio = folio.value(0);
    }
    return consulta;
}

void ConexionBaseDatos::comprobarArchivo()
{
    // SQLite goes on with the file it holds open even when the path was removed or now names
    // another file: every row written from then on would vanish with the program.
    int movido = 0;
    if (!d_->manejador ||
        sqlite3_file_control(d_->manejador, "main", SQLITE_FCNTL_HAS_MOVED, &movido) != SQLITE_OK ||
        !movido)
        return;
    throw ErrorSistema(SQLITE_CANTOPEN,
                       QStringLiteral("El archivo de la base de datos %1 fue borrado o reemplazado "
                                      "mientras el programa trabajaba; no se escribió nada. "
                                      "Cierre el programa y vuelva a abrirlo.")
                           .arg(QDir::toNativeSeparators(baseDatos().databaseName())),
                       QStringLiteral("Base de datos"));
}

Registros ConexionBaseDatos::consultar(const QString& sentencia, const QVariantList& valores)
{
    return Registros(lanzar(sentencia, valores));
}

int ConexionBaseDatos::ejecutar(const QString& sentencia, const QVariantList& valores)
{
    QSqlQuery consulta = lanzar(sentencia, valores);
    const int filas = consulta.numRowsAffected();
    consulta.finish();
    return filas;
}

QVariant ConexionBaseDatos::regresaFolio()
{
    const QString procedimiento = QStringLiteral("REGRESA_FOLIO");
    if (d_->traza)
        d_->traza(procedimiento, {});
    if (!abierta())
        throw ErrorSistema(3704, QStringLiteral("La conexión con la base de datos está cerrada"),
                           QStringLiteral("Base de datos"));
    if (d_->sqlite())
        return d_->folio;
    // The procedure's one output parameter, @Nfolio (int).
    const QString llamadaOdbc = QStringLiteral("{call REGRESA_FOLIO(?)}");
    qCDebug(registroSentencias).noquote() << llamadaOdbc << "@P1=(salida @Nfolio)";
    QSqlQuery llamada(baseDatos());
    if (!llamada.prepare(llamadaOdbc))
        throw Registros::error(llamada.lastError());
    llamada.bindValue(0, QVariant(QMetaType(QMetaType::Int)), QSql::Out);
    if (!llamada.exec())
        throw Registros::error(llamada.lastError());
    const QVariant folio = llamada.boundValue(0);
    return folio.isNull() ? QVariant() : folio;
}

void ConexionBaseDatos::fijarTraza(Traza traza)
{
    d_->traza = std::move(traza);
}

void ConexionBaseDatos::fijarSustitucionCadena(std::function<QString(const QString&)> sustituir)
{
    d_->sustituir = std::move(sustituir);
}

QSqlDatabase ConexionBaseDatos::baseDatos() const
{
    if (d_->nombre.isEmpty())
        return {};
    return QSqlDatabase::database(d_->nombre, false);
}

QString NumeroPlano(double numero)
{
    if (!std::isfinite(numero))
        return QStringLiteral("NULL");
    if (numero == 0)
        return QStringLiteral("0");                      // also -0
    constexpr double kEnteroExacto = 9007199254740992.0; // 2^53
    if (std::trunc(numero) == numero && std::fabs(numero) <= kEnteroExacto)
        return QString::number(static_cast<qint64>(numero));
    // Shortest text that reads back as the same double, never in exponent form.
    return QString::number(numero, 'f', QLocale::FloatingPointShortest);
}
