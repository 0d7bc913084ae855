// A branch workstation with no window: it sends marked pages to one document through the
// program's own send (the class Guardar uses), pressing Guardar again after a failure as a clerk
// would, and answering Yes to "Desea Agregarlos?". Tests and benchmarks start several of these
// as separate processes on one embedded database and one FTP server.
//   estacion_envio --base <sqlite file> --servidor <host> --puerto <port> --usuario <user>
//                  --clave <password> --ruta <remote folder> --datos <own folder>
//                  --cliente <number> --folio <folio, 0 for a new case file> --tipo <letter>
//                  --marcas <m1,m2,...> [--falla perdida|corte] [--intentos <n>]
// --falla perdida: the first upload reaches the server but its answer is lost; corte: the first
// upload is cut before the server has it. Prints "registrado <folio> <tries>" and exits 0 once
// the document is stored and flagged; exits 1 when it never was, 2 on bad arguments.
#include "app/ConexionBaseDatos.h"
#include "app/DatosServidorImagenes.h"
#include "app/ErrorSistema.h"
#include "app/Mensajes.h"
#include "capture/Lote.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "support/estacion/HojaMarcada.h"
#include "transfer/ConexionImagenes.h"
#include "transfer/EnvioDocumento.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

using namespace std::chrono_literals;

namespace {
// The clerk reads every box (on stderr) and says Yes to every question.
class MensajesConsola : public Mensajes
{
public:
    void MensajeError(const QString& mensaje, const QString& titulo) override
    {
        decir("error", mensaje, titulo);
    }
    void MensajeInformacion(const QString& mensaje, const QString& titulo) override
    {
        decir("info", mensaje, titulo);
    }
    bool Pregunta(const QString& mensaje, const QString& titulo) override
    {
        decir("pregunta", mensaje, titulo);
        return true;
    }
    void MensajeSimple(const QString& mensaje) override { decir("aviso", mensaje, {}); }

private:
    static void decir(const char* tipo, const QString& mensaje, const QString& titulo)
    {
        std::fprintf(stderr, "%d %s|%s|%s\n", int(QCoreApplication::applicationPid()), tipo,
                     qPrintable(mensaje), qPrintable(titulo));
    }
};

// The real client, whose first upload can fail either side of the server storing the file.
class ClienteConFalla : public ClienteFtpCurl
{
public:
    QString falla;
    int EnviarArchivo(const QString& local, const QString& remoto) override
    {
        const QString esta = std::exchange(falla, QString());
        if (esta == QLatin1String("corte"))
            return 0;
        const int resultado = ClienteFtpCurl::EnviarArchivo(local, remoto);
        return esta == QLatin1String("perdida") ? 0 : resultado;
    }
};
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication aplicacion(argc, argv);
    QCommandLineParser opciones;
    for (const char* nombre : {"base", "servidor", "puerto", "usuario", "clave", "ruta", "datos",
                               "cliente", "folio", "tipo", "marcas", "falla", "intentos"})
        opciones.addOption({QString::fromLatin1(nombre), QString(), QStringLiteral("valor")});
    opciones.process(aplicacion);
    const auto valor = [&](const char* nombre) { return opciones.value(QLatin1String(nombre)); };
    if (valor("base").isEmpty() || valor("datos").isEmpty() || valor("marcas").isEmpty()) {
        std::fprintf(stderr, "faltan --base, --datos o --marcas\n");
        return 2;
    }

    ConexionBaseDatos bd(QStringLiteral("estacion"));
    ClienteConFalla ftp;
    ftp.FijarLimitesTiempo(10s, 10s);
    ftp.falla = valor("falla");
    DatosServidorImagenes config;
    config.servidor = valor("servidor");
    config.puerto = valor("puerto");
    config.usuario = valor("usuario");
    config.contrasena = valor("clave");
    config.Ruta = valor("ruta");
    const QDir datos(valor("datos"));
    const QString ajustes = datos.filePath(QStringLiteral("ajustes.ini"));
    MensajesConsola mensajes;
    EnvioDocumento envio({bd, ftp, mensajes, [&] {
                              ConexionImagenes::abrir(ftp, config, ajustes);
                              return true;
                          }});

    // The lote is kept in the workstation's own folder, so a run that died leaves it there.
    const QString carpetaLote = datos.filePath(QStringLiteral("lote"));
    const QString trabajo = datos.filePath(QStringLiteral("trabajo"));
    if (!QDir().mkpath(carpetaLote) || !QDir().mkpath(trabajo))
        return 2;
    Lote lote = Lote::leer(carpetaLote).value_or(Lote{});
    if (!lote.tieneCliente()) {
        lote.cliente.NumeroCliente = valor("cliente").toDouble();
        lote.folio = valor("folio").toDouble();
        lote.tipo = valor("tipo");
    }
    QList<int> marcas;
    for (const QString& marca : valor("marcas").split(QLatin1Char(',')))
        marcas << marca.toInt();
    EnvioDocumento::Pedido pedido{
        lote,
        [&] { lote.escribir(carpetaLote, nullptr); },
        QDir(trabajo).filePath(QStringLiteral("expediente%1.tif").arg(lote.tipo)),
        1e6,
        QStringLiteral("S01"),
        false,
        [&](const QString& archivo) {
            for (int marca : marcas)
                if (!EscritorTiff::agregarImagen(archivo, hojaMarcada(marca), 200))
                    return false;
            return true;
        },
        [] { return true; },
    };
    const int intentos = valor("intentos").isEmpty() ? 50 : valor("intentos").toInt();
    for (int intento = 1; intento <= intentos; ++intento) {
        try {
            if (!bd.abierta())
                bd.abrir(QStringLiteral("Server=sqlite:") +
                             QFileInfo(valor("base")).absoluteFilePath(),
                         datos.path());
            if (envio.enviar(pedido)) {
                Lote::borrar(carpetaLote);
                std::printf("registrado %s %d\n", qPrintable(NumeroPlano(lote.folio)), intento);
                return 0;
            }
        } catch (const ErrorSistema& error) {
            std::fprintf(stderr, "%d base de datos: %s\n", int(QCoreApplication::applicationPid()),
                         qPrintable(error.mensaje()));
        }
        // The clerk reads the message and presses Guardar again.
        QThread::msleep(50 + QRandomGenerator::global()->bounded(200));
    }
    return 1;
}
