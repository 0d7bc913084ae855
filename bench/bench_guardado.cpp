// Saving 50 bilevel letter pages at 300 dpi (see bench/README.md): the work of one save, as the
// save button does it, against tiffcp -c g4 of the same pages plus the curl tool's upload.
//   bench_guardado [paginas=50] [rondas=5]
// Ours, per round: GuardarPagina of every held page into a fresh working file, its size, the
// INSERT of the case file and REGRESA_FOLIO on the embedded database, Conectar,
// CambiarDirectorioRemoto, EnviarArchivo (temporary name, size check, rename) and Desconectar on
// the loopback FTP server, and the flag UPDATE.
#include "ComunBench.h"
#include "app/ConexionBaseDatos.h"
#include "casefiles/SentenciasExpediente.h"
#include "casefiles/TipoDocumento.h"
#include "components/escaner/ConfigSaneDemo.h"
#include "components/escaner/EscanerSane.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "components/tiff/EscritorTiff.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sane/saneopts.h>
#include <vector>

namespace {
const QString kUsuario = QStringLiteral("bench");
const QString kClave = QStringLiteral("bench");

bool correr(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(programa, argumentos);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The same pages the window would hold: letter, 300 dpi, bilevel, from the test backend.
bool escanear(EscanerSane& escaner, int paginas)
{
    escaner.FijarResolucion(300);
    escaner.FijarTipoPixel(0);
    escaner.FijarUnidad(0);
    escaner.FijarTamanoPapel(3);
    if (!escaner.AbrirFuente())
        return false;
    escaner.Opciones().fijarTexto(SANE_NAME_SCAN_SOURCE,
                                  QStringLiteral("Automatic Document Feeder"));
    escaner.Opciones().fijarTexto("test-picture", QStringLiteral("Grid"));
    while (escaner.NumeroPaginas() < paginas) {
        escaner.Escanear();
        if (escaner.CodigoError() != 0)
            return false;
    }
    while (escaner.NumeroPaginas() > paginas)
        escaner.QuitarPagina(escaner.NumeroPaginas() - 1);
    return true;
}

// The bench links no Qt Network: a plain socket waits for the server's greeting.
bool saluda(quint16 puerto)
{
    const int zocalo = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in direccion{};
    direccion.sin_family = AF_INET;
    direccion.sin_port = htons(puerto);
    direccion.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    char saludo[4] = {};
    const bool listo =
        ::connect(zocalo, reinterpret_cast<const sockaddr*>(&direccion), sizeof direccion) == 0 &&
        ::recv(zocalo, saludo, 3, MSG_WAITALL) == 3 && QByteArray(saludo, 3) == "220";
    ::close(zocalo);
    return listo;
}

quint16 arrancarServidor(QProcess& servidor, const QString& raiz)
{
    for (int intento = 0; intento < 20; ++intento) {
        const quint16 puerto =
            quint16(20000 + (QDateTime::currentMSecsSinceEpoch() + intento * 97) % 12000);
        servidor.setStandardOutputFile(QProcess::nullDevice());
        servidor.setStandardErrorFile(QProcess::nullDevice());
        servidor.start(QStringLiteral("/usr/bin/python3"),
                       {"-m", "pyftpdlib", "-i", "127.0.0.1", "-p", QString::number(puerto), "-w",
                        "-d", raiz, "-u", kUsuario, "-P", kClave});
        if (!servidor.waitForStarted(5000))
            return 0;
        const QDeadlineTimer plazo(10000);
        while (!plazo.hasExpired() && servidor.state() == QProcess::Running) {
            if (saluda(puerto))
                return puerto;
            servidor.waitForFinished(100);
        }
        servidor.kill();
        servidor.waitForFinished();
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    ConfigSaneDemo::activar(dir.filePath(QStringLiteral("sane")));
    QApplication app(argc, argv);
    const int paginas = argc > 1 ? std::atoi(argv[1]) : 50;
    const int rondas = argc > 2 ? std::atoi(argv[2]) : 5;
    QDir(dir.path()).mkpath(QStringLiteral("raiz/gdl"));
    QDir::setCurrent(dir.path());

    EscanerSane escaner(dir.filePath(QStringLiteral("recuperacion")));
    if (!escaner.AbrirSesionTwain() || !escanear(escaner, paginas)) {
        std::fprintf(stderr, "no se pudo escanear: %s\n", qPrintable(escaner.TextoError()));
        return 1;
    }
    // The held pages, as they lie in the spool.
    const auto hojasRetenidas = [&escaner] {
        QStringList hojas;
        const QDir carpeta(escaner.CarpetaSesion());
        for (const QString& nombre : carpeta.entryList({QStringLiteral("*.tif")}, QDir::Files))
            hojas << carpeta.filePath(nombre);
        return hojas;
    };
    if (hojasRetenidas().size() != paginas) {
        std::fprintf(stderr, "la carpeta de recuperación no tiene %d hojas\n", paginas);
        return 1;
    }

    ConexionBaseDatos bd;
    bd.crear(QStringLiteral("Driver={SQL Server};Server=sqlite:expedientes.db;Database=erp_qor;"
                            "Uid=bench;Pwd=bench;"),
             dir.path());

    QProcess servidor;
    const quint16 puerto = arrancarServidor(servidor, dir.filePath(QStringLiteral("raiz")));
    if (!puerto) {
        std::fprintf(stderr, "el servidor FTP no arrancó\n");
        return 1;
    }
    const QString destino =
        QStringLiteral("ftp://%1:%2@127.0.0.1:%3/gdl/").arg(kUsuario, kClave).arg(puerto);
    const TipoDocumento& tipo = *TipoDocumento::porLetra(QStringLiteral("N"));
    const QString archivo = tipo.archivoTrabajo();
    ClienteFtpCurl ftp;
    ftp.FijarServidor(QStringLiteral("127.0.0.1"));
    ftp.FijarUsuario(kUsuario);
    ftp.FijarContrasena(kClave);
    ftp.FijarPuerto(puerto);

    std::vector<double> propio, ancla;
    qint64 bytesPropio = 0, bytesAncla = 0;
    for (int ronda = 0; ronda < rondas; ++ronda) {
        QFile::remove(archivo);
        propio.push_back(ComunBench::medir([&] {
            for (int i = 0; i < paginas; ++i)
                if (escaner.GuardarPagina(i, archivo) != 1)
                    return false;
            bytesPropio = QFileInfo(archivo).size();
            const Sentencia alta = SentenciasExpediente::crear(700, QStringLiteral("S01"), false);
            bd.ejecutar(alta.texto, alta.valores);
            const double folio = bd.regresaFolio().toDouble();
            const bool subido = ftp.Conectar() == 1 &&
                                (ftp.CambiarDirectorioRemoto(QStringLiteral("/gdl")), true) &&
                                ftp.EnviarArchivo(archivo, tipo.nombreRemoto(folio)) == 1;
            ftp.Desconectar();
            if (!subido)
                return false;
            const Sentencia marca = SentenciasExpediente::marcarDocumento(tipo, folio);
            bd.ejecutar(marca.texto, marca.valores);
            return true;
        }));
        const QString salidaTiffcp = dir.filePath(QStringLiteral("tiffcp.tif"));
        QFile::remove(salidaTiffcp);
        const QStringList hojas = hojasRetenidas();
        ancla.push_back(ComunBench::medir([&] {
            return correr(QStringLiteral("tiffcp"),
                          QStringList{QStringLiteral("-c"), QStringLiteral("g4")} + hojas +
                              QStringList{salidaTiffcp}) &&
                   correr(QStringLiteral("curl"),
                          {"-sS", "-T", salidaTiffcp, destino + QStringLiteral("curl.tif")});
        }));
        bytesAncla = QFileInfo(salidaTiffcp).size();
    }
    if (EscritorTiff::contarPaginas(archivo) != paginas)
        return 1;
    servidor.kill();
    servidor.waitForFinished();

    std::printf("%d hojas carta 300 ppp bitonales, %d rondas (medianas)\n\n", paginas, rondas);
    std::printf("| guardado | tiffcp -c g4 + curl | razón |\n|---|---|---|\n");
    std::printf("| %.3f s | %.3f s | %.2f× |\n", ComunBench::mediana(propio),
                ComunBench::mediana(ancla),
                ComunBench::mediana(propio) / ComunBench::mediana(ancla));
    std::printf("\narchivo: %lld bytes (tiffcp: %lld bytes)\n", static_cast<long long>(bytesPropio),
                static_cast<long long>(bytesAncla));
    return 0;
}
