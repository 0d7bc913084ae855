// The outbox draining (see bench/README.md): 50 documents of 3 bilevel letter pages each wait
// in the outbox and its sender, in its own thread, stores and flags them; against the same 50
// sends one after another on the calling thread, as 50 presses of Guardar make them. Meanwhile
// the calling thread (the window's) runs its event loop with a 1 ms timer and lists the outbox
// at every report of the sender, as the status area does; its longest gap is measured.
//   bench_bandeja [documentos=50] [hojas=3] [rondas=3]
#include "ComunBench.h"
#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "app/Mensajes.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "components/tiff/EscritorTiff.h"
#include "support/BaseDatosPrueba.h"
#include "support/ServidorFtpPrueba.h"
#include "transfer/BandejaSalida.h"
#include "transfer/ConexionImagenes.h"
#include "transfer/EnvioDocumento.h"
#include "transfer/EnvioSalida.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

namespace {
class MensajesBench : public Mensajes
{
public:
    void MensajeError(const QString& mensaje, const QString& titulo) override
    {
        std::fprintf(stderr, "error: %s | %s\n", qPrintable(titulo), qPrintable(mensaje));
    }
    void MensajeInformacion(const QString&, const QString&) override {}
    bool Pregunta(const QString&, const QString&) override { return true; }
    void MensajeSimple(const QString&) override {}
};

// A letter page at 300 dpi, bilevel, with lines of "text": about what a scanned form weighs.
QString escribirHoja(const QString& carpeta, int i)
{
    QImage lienzo(2550, 3300, QImage::Format_RGB32);
    lienzo.fill(Qt::white);
    QPainter pintor(&lienzo);
    for (int y = 300; y < 3000; y += 60)
        for (int x = 250; x < 2300; x += 40 + (x * y + i) % 37)
            pintor.fillRect(x, y, 20 + (x + y + i) % 17, 28, Qt::black);
    pintor.end();
    const QImage hoja = lienzo.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    const QString ruta = QDir(carpeta).filePath(QStringLiteral("hoja%1.tif").arg(i));
    EscritorTiff::escribirArchivo(ruta, hoja, 300);
    return ruta;
}

struct Ronda
{
    double guardar = 0;
    double bandeja = 0;
    qint64 hueco = 0;
};

Ronda correr(int documentos, const QStringList& hojas)
{
    BaseDatosPrueba bd;
    ServidorFtpPrueba servidor;
    if (!bd.valida() || !servidor.iniciar() ||
        !QDir(servidor.raiz()).mkpath(QStringLiteral("gdl"))) {
        std::fprintf(stderr, "no se pudo preparar: %s\n", qPrintable(servidor.error()));
        std::exit(1);
    }
    bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
    BaseDatosPrueba::Cliente cliente;
    cliente.numero = 4711;
    cliente.nombre = QStringLiteral("MORALES IBARRA ROSA");
    bd.cliente(cliente);
    DatosServidorImagenes config;
    servidor.configurar(config, QStringLiteral("/gdl"));
    config.tamano = 1e6;
    config.sucursal = QStringLiteral("S01");
    QTemporaryDir trabajo;
    const auto lote = [&] {
        Lote uno;
        uno.cliente.NumeroCliente = 4711;
        uno.cliente.NombreCliente = cliente.nombre;
        uno.folio = bd.expediente(4711);
        uno.tipo = QStringLiteral("N");
        return uno;
    };
    Ronda r;

    // 50 presses of Guardar, one after another: the same send, on this thread.
    {
        // A connection as the program opens it (the fixture's own skips the disk's syncs).
        ConexionBaseDatos conexion(QStringLiteral("guardar"));
        conexion.abrir(bd.cadenaConexion(), bd.carpeta());
        ClienteFtpCurl ftp;
        MensajesBench mensajes;
        EnvioDocumento envio({conexion, ftp, mensajes, [&] {
                                  ConexionImagenes::abrir(ftp, config, {});
                                  return true;
                              }});
        std::vector<Lote> lotes;
        for (int i = 0; i < documentos; ++i)
            lotes.push_back(lote());
        // The window's journal records the lote at every step, as the outbox does its own.
        const QString diario = QDir(trabajo.path()).filePath(QStringLiteral("diario"));
        QDir().mkpath(diario);
        QElapsedTimer reloj;
        reloj.start();
        for (Lote& uno : lotes) {
            const QString archivo =
                QDir(trabajo.path()).filePath(QStringLiteral("expedienteN.tif"));
            QFile::remove(archivo);
            EnvioDocumento::Pedido pedido{
                uno,
                [&] { uno.escribir(diario, nullptr); },
                archivo,
                config.tamano,
                config.sucursal,
                false,
                [&](const QString& destino) {
                    for (const QString& hoja : hojas)
                        if (!EscritorTiff::agregarPaginaTiff(destino, hoja))
                            return false;
                    return true;
                },
                [] { return true; }};
            if (!envio.enviar(pedido)) {
                std::fprintf(stderr, "un guardado falló\n");
                std::exit(1);
            }
            // The pages let go: the journal's record goes for good.
            Lote::borrar(diario);
        }
        r.guardar = reloj.elapsed() / 1000.0;
    }

    // The same in the outbox, drained by its sender while this thread keeps its event loop.
    BandejaSalida bandeja(QDir(trabajo.path()).filePath(QStringLiteral("salida")));
    for (int i = 0; i < documentos; ++i) {
        QString error;
        if (bandeja
                .poner(
                    lote(), int(hojas.size()),
                    [&](int posicion, const QString& archivo, QString*) {
                        return QFile::copy(hojas[posicion], archivo);
                    },
                    &error)
                .isEmpty()) {
            std::fprintf(stderr, "no se pudo poner: %s\n", qPrintable(error));
            std::exit(1);
        }
    }
    bd.conexion().cerrar();
    RemitenteSalida::Ajustes ajustes;
    ajustes.cadenaConexion = bd.cadenaConexion();
    ajustes.carpetaArranque = bd.carpeta();
    ajustes.servidor = config;
    ajustes.carpetaSalida = bandeja.carpeta();
    EnvioSalida salida(ajustes, nullptr);
    QEventLoop ciclo;
    QElapsedTimer ultimo;
    QTimer latido;
    latido.setInterval(1);
    QObject::connect(&latido, &QTimer::timeout,
                     [&] { r.hueco = std::max(r.hueco, ultimo.restart()); });
    // What the status area does at every report.
    const auto revisar = [&] {
        if (bandeja.cuantas() == 0)
            ciclo.quit();
    };
    QObject::connect(&salida, &EnvioSalida::registrado, revisar);
    QObject::connect(&salida, &EnvioSalida::cambio, revisar);
    QElapsedTimer reloj;
    reloj.start();
    ultimo.start();
    latido.start();
    salida.enviarAhora();
    ciclo.exec();
    r.bandeja = reloj.elapsed() / 1000.0;
    salida.detener();
    return r;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication aplicacion(argc, argv);
    const int documentos = argc > 1 ? std::atoi(argv[1]) : 50;
    const int paginas = argc > 2 ? std::atoi(argv[2]) : 3;
    const int rondas = argc > 3 ? std::atoi(argv[3]) : 3;
    QTemporaryDir carpeta;
    QStringList hojas;
    for (int i = 0; i < paginas; ++i)
        hojas << escribirHoja(carpeta.path(), i);
    std::printf("%d documentos de %d hojas (%lld bytes la primera)\n", documentos, paginas,
                QFileInfo(hojas.first()).size());
    std::printf("ronda  %d Guardar  bandeja  razón  hueco más largo del hilo de la ventana\n",
                documentos);
    std::vector<double> razones;
    qint64 hueco = 0;
    for (int ronda = 1; ronda <= rondas; ++ronda) {
        const Ronda r = correr(documentos, hojas);
        razones.push_back(r.bandeja / r.guardar);
        hueco = std::max(hueco, r.hueco);
        std::printf("%5d  %7.2f s  %6.2f s  %4.2f×  %lld ms\n", ronda, r.guardar, r.bandeja,
                    razones.back(), r.hueco);
    }
    std::printf("mediana de la razón: %.2f× (meta ≤ 1.1×); hueco más largo: %lld ms (meta < 50 "
                "ms)\n",
                ComunBench::mediana(razones), hueco);
    return 0;
}
