#pragma once

#include "app/Registros.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

// The one database connection of the program (ConexionBD).
//
// Production reaches SQL Server through QODBC with the connection text unchanged. When the
// text's Server= value reads "sqlite:<path>" the embedded SQLite database is opened instead
// (a relative path is taken from the start-up folder); an adapter then turns the T-SQL forms the
// program writes into SQLite (three-part names, GETDATE(), the helper functions, the folio
// procedure). abrir() takes only an embedded file that exists and can be written; a new one is
// made on purpose with crear(). Texts are bound as parameters ("?"); numbers are written with
// NumeroPlano. Every failure throws ErrorSistema with the driver's number and description.
class ConexionBaseDatos
{
public:
    using Traza = std::function<void(const QString& sentencia, const QVariantList& valores)>;

    explicit ConexionBaseDatos(const QString& nombre = QStringLiteral("ConexionBD"));
    ~ConexionBaseDatos();
    ConexionBaseDatos(const ConexionBaseDatos&) = delete;
    ConexionBaseDatos& operator=(const ConexionBaseDatos&) = delete;

    void abrir(const QString& cadenaConexion, const QString& carpetaArranque);
    // Creates the embedded database the text names, with its schema, and leaves it open. A
    // text that names no embedded database, or a file that already exists, is refused.
    void crear(const QString& cadenaConexion, const QString& carpetaArranque);
    void cerrar(); // CerrarConexion
    bool abierta() const;
    bool embebida() const;
    // Statements reach SQLite (embedded, or through the SQLite ODBC driver), not SQL Server.
    bool dialectoSQLite() const;

    Registros consultar(const QString& sentencia, const QVariantList& valores = {});
    // The rows the statement changed, or -1 when the driver cannot tell.
    int ejecutar(const QString& sentencia, const QVariantList& valores = {});
    // REGRESA_FOLIO with its one output parameter @Nfolio: the folio of the case file that
    // the last INSERT created on this connection, or a null QVariant.
    QVariant regresaFolio();

    // Receives every statement as the program wrote it (before the SQLite adapter), with its
    // bound values; the procedure call arrives as "REGRESA_FOLIO".
    void fijarTraza(Traza traza);
    // Every text abrir() receives passes through this first. Tests use it to take the program's
    // own start-up to the same database file through another driver (QODBC and SQLite ODBC).
    void fijarSustitucionCadena(std::function<QString(const QString&)> sustituir);

    QSqlDatabase baseDatos() const;

private:
    void abrirCon(const QString& cadenaRecibida, const QString& carpetaArranque, bool nueva);
    QSqlQuery lanzar(const QString& sentencia, const QVariantList& valores);
    void registrarFunciones();
    void comprobarEscritura(const QString& ruta); // throws when the embedded file is read-only
    void comprobarArchivo(); // throws when the embedded database's file is gone
    void prepararEsquema();

    struct Detalle;
    std::unique_ptr<Detalle> d_;
};

// A number as the statements write it: 10234, 1.5, -3; never 10234.0 or 1.0234e+04.
QString NumeroPlano(double numero);
