#pragma once

#include "app/ConexionBaseDatos.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

// A start-up folder in a temporary directory with its ARRANQUE table (server
// "sqlite:expedientes.db", the given branch) and the embedded database created on a
// ConexionBaseDatos, empty but for its schema. Tests seed exactly the rows they need; every
// statement sent through the connection is recorded.
class BaseDatosPrueba
{
public:
    struct Sentencia
    {
        QString texto;
        QVariantList valores;
    };

    struct Cliente
    {
        double numero = 0;
        QString nombre;
        QString sucursal = QStringLiteral("S01");
        QString rfc = QStringLiteral("PELJ800101AB1");
        QString telefono = QStringLiteral("3312345678");
        bool huellas = false;
        QString clasificacion = QStringLiteral("A");
        int puntaje = 700;
        QString calle = QStringLiteral("HIDALGO");
        QString numeroExterior = QStringLiteral("10");
        QString colonia = QStringLiteral("CENTRO");
        QString ciudad = QStringLiteral("GUADALAJARA");
        QString estado = QStringLiteral("JALISCO");
        QString codigoPostal = QStringLiteral("44100");
    };

    // One acceso_ftp_ZR row; a null QVariant stores a database Null.
    struct ServidorImagenes
    {
        QVariant centro = QStringLiteral("GDL");
        QVariant direccion_local = QStringLiteral("127.0.0.1");
        QVariant direccion_remota = QStringLiteral("192.0.2.7");
        QVariant usuario = QStringLiteral("imagenes");
        QVariant contrasena = QStringLiteral("imagenes");
        QVariant puerto = QStringLiteral("2121");
        QVariant tamano = 2048;
        QVariant resolucion_BN = 200;
        QVariant resolucion_RGB = 150;
        QVariant Ruta = QStringLiteral("/gdl");
    };

    explicit BaseDatosPrueba(const QString& sucursal = QStringLiteral("S01"),
                             const QString& servidor = QStringLiteral("sqlite:expedientes.db"));

    bool valida() const { return valida_; }
    QString carpeta() const { return carpeta_.path(); }
    QString rutaBase() const; // the SQLite file
    QString cadenaConexion() const { return cadenaConexion_; }
    ConexionBaseDatos& conexion() { return conexion_; }

    // Seeding, straight into the tables (not recorded).
    void sucursal(const QString& sucursal, const QString& centro,
                  const QString& nombre = QStringLiteral("Guadalajara Centro"));
    void cliente(const Cliente& cliente);
    // A sale: its invoice (venta = the number as text unless given) and its order.
    void venta(double pedido, double cliente, const QString& sucursal, const QString& clave,
               const QString& estado = QStringLiteral("Surtido"), const QString& venta = {});
    // A case file with the schema's defaults for what is not given; returns its folio.
    double expediente(double cliente, const QString& sucursal = QStringLiteral("S01"),
                      const QString& estado = QStringLiteral("Capturado"),
                      const QVariant& pedido = {},
                      const QString& fecha = QStringLiteral("2024-03-05 10:00:00.000"));
    void servidorImagenes(const ServidorImagenes& fila);

    // One value read back: the first column of the first row, or a null QVariant.
    QVariant valor(const QString& consulta, const QVariantList& valores = {});

    const QList<Sentencia>& sentencias() const { return sentencias_; }
    void limpiarSentencias() { sentencias_.clear(); }

private:
    void insertar(const QString& sentencia, const QVariantList& valores);

    QTemporaryDir carpeta_;
    QString servidor_;
    QString cadenaConexion_;
    ConexionBaseDatos conexion_{QStringLiteral("BaseDatosPrueba")};
    QList<Sentencia> sentencias_;
    bool grabando_ = true;
    bool valida_ = false;
};
