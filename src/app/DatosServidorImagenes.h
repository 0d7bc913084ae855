#pragma once

#include <QString>

// The branch's settings and its image server, loaded once at start-up by CargarConfiguracion.
struct DatosServidorImagenes
{
    QString sucursal;   // deciphered token of the start-up table
    QString server_SQL; // trimmed server_SQL of the start-up table
    QString CentroDistribucion = QStringLiteral("       "); // always 7 characters
    QString servidor;
    QString usuario;
    QString contrasena;
    QString puerto;    // kept as text; the connection converts it
    double tamano = 0; // largest document, in KB of 1024 bytes
    double resolucion_BN = 0;
    double resolucion_RGB = 0;
    QString Ruta;
};
