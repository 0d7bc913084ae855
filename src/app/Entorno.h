#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class ClienteFtp;
class ConexionBaseDatos;
class EscanerTwain;
class Mensajes;
class Visor;

// Everything the program talks to. main() builds the real one (EntornoReal); tests build
// theirs with a temporary database, recorders and a local FTP server. Nothing here is owned.
struct Entorno
{
    ConexionBaseDatos* ConexionBD = nullptr;
    Mensajes* mensajes = nullptr;
    Visor* visor = nullptr;
    ClienteFtp* FTP = nullptr;
    // Creates the scanning component when the window loads.
    std::function<std::unique_ptr<EscanerTwain>()> crearEscaner;
    // Folder of the start-up table.
    QString carpetaArranque;
    // History of the customer search texts; empty for the platform's usual place.
    QString archivoHistorial;
    // Settings kept between runs (the window's geometry); empty for the platform's usual place.
    QString archivoAjustes;
    // The outbox's first pause between tries; it doubles at every failure up to ten minutes.
    std::chrono::milliseconds pausaSalida{30000};
};
