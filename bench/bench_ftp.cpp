// Upload and download of one 50 MB file through ClienteFtpCurl against the curl command-line tool,
// both on the same pyftpdlib server on loopback. Prints medians of several rounds and the ratios.
// Usage: bench_ftp [MB] [rounds]
#include "components/ftp/ClienteFtpCurl.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QString kUsuario = QStringLiteral("bench");
const QString kClave = QStringLiteral("bench");

// The bench links no Qt Network: plain sockets on 127.0.0.1.
int conectarLocal(quint16 puerto, bool escuchar)
{
    const int zocalo = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in direccion{};
    direccion.sin_family = AF_INET;
    direccion.sin_port = htons(puerto);
    direccion.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* generica = reinterpret_cast<const sockaddr*>(&direccion);
    const int resultado = escuchar ? ::bind(zocalo, generica, sizeof direccion)
                                   : ::connect(zocalo, generica, sizeof direccion);
    if (resultado != 0) {
        ::close(zocalo);
        return -1;
    }
    return zocalo;
}

quint16 puertoLibre()
{
    for (int intento = 0; intento < 200; ++intento) {
        const auto candidato =
            static_cast<quint16>(QRandomGenerator::global()->bounded(20000, 32700));
        if (const int zocalo = conectarLocal(candidato, true); zocalo >= 0) {
            ::close(zocalo);
            return candidato;
        }
    }
    return 0;
}

bool esperarSaludo(quint16 puerto, QProcess& servidor)
{
    const QDeadlineTimer plazo(10000);
    while (!plazo.hasExpired() && servidor.state() == QProcess::Running) {
        if (const int zocalo = conectarLocal(puerto, false); zocalo >= 0) {
            char saludo[4] = {};
            const bool listo =
                ::recv(zocalo, saludo, 3, MSG_WAITALL) == 3 && QByteArray(saludo, 3) == "220";
            ::close(zocalo);
            if (listo)
                return true;
        }
        servidor.waitForFinished(100);
    }
    return false;
}

double mediana(std::vector<double> valores)
{
    std::sort(valores.begin(), valores.end());
    return valores[valores.size() / 2];
}

double medir(const std::function<bool()>& paso)
{
    QElapsedTimer reloj;
    reloj.start();
    if (!paso()) {
        std::fprintf(stderr, "falló un paso de la medición\n");
        std::exit(1);
    }
    return static_cast<double>(reloj.nsecsElapsed()) / 1e9;
}

bool curlCli(const QStringList& argumentos)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"), argumentos);
    return curl.waitForFinished(120000) && curl.exitStatus() == QProcess::NormalExit &&
           curl.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int megas = argc > 1 ? std::atoi(argv[1]) : 50;
    const int rondas = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir carpeta;
    QDir(carpeta.path()).mkpath(QStringLiteral("raiz"));
    const QString raiz = carpeta.filePath(QStringLiteral("raiz"));
    const QString local = carpeta.filePath(QStringLiteral("local.bin"));
    {
        QList<quint32> palabras(static_cast<qsizetype>(megas) * 1024 * 1024 / 4);
        QRandomGenerator(1).fillRange(palabras.data(), palabras.size());
        QFile archivo(local);
        if (!archivo.open(QIODevice::WriteOnly) ||
            archivo.write(reinterpret_cast<const char*>(palabras.constData()),
                          palabras.size() * 4) != palabras.size() * 4)
            return 1;
    }

    const quint16 puerto = puertoLibre();
    QProcess servidor;
    servidor.setStandardOutputFile(QProcess::nullDevice());
    servidor.setStandardErrorFile(QProcess::nullDevice());
    servidor.start(QStringLiteral("/usr/bin/python3"),
                   {"-m", "pyftpdlib", "-i", "127.0.0.1", "-p", QString::number(puerto), "-w", "-d",
                    raiz, "-u", kUsuario, "-P", kClave});
    if (!servidor.waitForStarted(5000) || !esperarSaludo(puerto, servidor)) {
        std::fprintf(stderr, "el servidor FTP no arrancó\n");
        return 1;
    }
    const QString base =
        QStringLiteral("ftp://%1:%2@127.0.0.1:%3/").arg(kUsuario, kClave).arg(puerto);

    std::vector<double> subidaPropia, bajadaPropia, subidaCurl, bajadaCurl;
    for (int ronda = 0; ronda < rondas; ++ronda) {
        ClienteFtpCurl cliente;
        cliente.FijarServidor(QStringLiteral("127.0.0.1"));
        cliente.FijarUsuario(kUsuario);
        cliente.FijarContrasena(kClave);
        cliente.FijarPuerto(puerto);
        // Each measured operation connects and disconnects, as the curl tool does per call.
        subidaPropia.push_back(medir([&] {
            return cliente.Conectar() == 1 &&
                   cliente.EnviarArchivo(local, QStringLiteral("propio.bin")) == 1 &&
                   cliente.Desconectar() == 1;
        }));
        subidaCurl.push_back(medir([&] {
            return curlCli({"-sS", "-T", local, base + "curl.bin"});
        }));
        bajadaPropia.push_back(medir([&] {
            return cliente.Conectar() == 1 &&
                   cliente.RecibirArchivo(QStringLiteral("propio.bin"),
                                          carpeta.filePath(QStringLiteral("propio.bin"))) == 1 &&
                   cliente.Desconectar() == 1;
        }));
        bajadaCurl.push_back(medir([&] {
            return curlCli(
                {"-sS", "-o", carpeta.filePath(QStringLiteral("curl.bin")), base + "curl.bin"});
        }));
    }
    if (QFile(carpeta.filePath(QStringLiteral("propio.bin"))).size() != QFile(local).size())
        return 1;
    servidor.kill();
    servidor.waitForFinished();

    const auto fila = [](const char* nombre, const std::vector<double>& propio,
                         const std::vector<double>& curl) {
        std::printf("| %-8s | %7.3f s | %7.3f s | %5.2f× |\n", nombre, mediana(propio),
                    mediana(curl), mediana(propio) / mediana(curl));
    };
    std::printf("%d MB, %d rondas (medianas)\n\n", megas, rondas);
    std::printf("| operación | ClienteFtpCurl | curl | razón |\n|---|---|---|---|\n");
    fila("subida", subidaPropia, subidaCurl);
    fila("bajada", bajadaPropia, bajadaCurl);
    return 0;
}
