#pragma once

#include <QString>

class ConexionBaseDatos;
struct Global;

// Reads the start-up table from carpetaArranque, opens the connection with CadenaConexion and
// loads the branch's distribution centre and image-server settings into
// global.ConfigServidorImagenes. Throws ErrorSistema (a start-up failure) on any failure,
// including a Null where a value is read.
void CargarConfiguracion(Global& global, ConexionBaseDatos& ConexionBD,
                         const QString& carpetaArranque);

// Head-office SQL server address; with it in server_SQL the image server's local address is used.
QString DireccionSQLMatriz();
