// Upload and download of one file through ClienteFtpCurl against the curl command-line tool, both
// on the same pyftpdlib server on loopback (the tests' server), plain or with explicit TLS.
// Prints medians of several rounds and the ratios.
// Usage: bench_ftp [MB] [rounds] [tls]
#include "ComunBench.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "support/ServidorFtpPrueba.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

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
    const bool tls = argc > 3 && std::strcmp(argv[3], "tls") == 0;

    QTemporaryDir carpeta;
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

    ServidorFtpPrueba servidor(tls ? ServidorFtpPrueba::Tipo::Tls
                                   : ServidorFtpPrueba::Tipo::Normal);
    if (!servidor.iniciar()) {
        std::fprintf(stderr, "el servidor FTP no arrancó: %s\n", qPrintable(servidor.error()));
        return 1;
    }
    const QString base = QStringLiteral("ftp://127.0.0.1:%1/").arg(servidor.puerto());
    // The tool is told the login apart from the address, as the password has a blank; over TLS
    // it skips the check the client replaces with the key it recorded on first use.
    QStringList opciones{QStringLiteral("-sS"), QStringLiteral("--user"),
                         servidor.usuario() + QLatin1Char(':') + servidor.contrasena()};
    if (tls)
        opciones << QStringLiteral("--ssl-reqd") << QStringLiteral("-k");
    const QString llaves = carpeta.filePath(QStringLiteral("llaves"));
    const auto configurar = [&](ClienteFtpCurl& cliente) {
        servidor.configurar(cliente);
        cliente.FijarPoliticaTls(tls ? ClienteFtp::PoliticaTls::Obligatorio
                                     : ClienteFtp::PoliticaTls::Nunca);
        cliente.FijarArchivoLlaves(llaves);
    };
    {
        // The first TLS connection records the server's key: not a cost of every transfer.
        ClienteFtpCurl primera;
        configurar(primera);
        if (primera.Conectar() != 1 || primera.Desconectar() != 1)
            return 1;
    }

    // Every round writes new files on both ends, outside the timing it removes them: both
    // tools then pay the same for the file system, whatever it does with replaced files.
    std::vector<double> subidaPropia, bajadaPropia, subidaCurl, bajadaCurl;
    for (int ronda = 0; ronda < rondas; ++ronda) {
        const QString propio = QStringLiteral("propio%1.bin").arg(ronda);
        const QString deCurl = QStringLiteral("curl%1.bin").arg(ronda);
        ClienteFtpCurl cliente;
        configurar(cliente);
        // Each measured operation connects and disconnects, as the curl tool does per call.
        subidaPropia.push_back(ComunBench::medir([&] {
            return cliente.Conectar() == 1 && cliente.EnviarArchivo(local, propio) == 1 &&
                   cliente.Desconectar() == 1;
        }));
        subidaCurl.push_back(ComunBench::medir([&] {
            return curlCli(opciones + QStringList{QStringLiteral("-T"), local, base + deCurl});
        }));
        bajadaPropia.push_back(ComunBench::medir([&] {
            return cliente.Conectar() == 1 &&
                   cliente.RecibirArchivo(propio, carpeta.filePath(propio)) == 1 &&
                   cliente.Desconectar() == 1;
        }));
        bajadaCurl.push_back(ComunBench::medir([&] {
            return curlCli(opciones + QStringList{QStringLiteral("-o"), carpeta.filePath(deCurl),
                                                  base + deCurl});
        }));
        for (const QString& nombre : {propio, deCurl}) {
            if (QFile(carpeta.filePath(nombre)).size() != QFile(local).size())
                return 1;
            QFile::remove(carpeta.filePath(nombre));
            QFile::remove(servidor.raiz() + QLatin1Char('/') + nombre);
        }
    }

    const auto fila = [](const char* nombre, const std::vector<double>& propio,
                         const std::vector<double>& curl) {
        std::printf("| %-8s | %7.3f s | %7.3f s | %5.2f× |\n", nombre, ComunBench::mediana(propio),
                    ComunBench::mediana(curl),
                    ComunBench::mediana(propio) / ComunBench::mediana(curl));
    };
    std::printf("%d MB, %d rondas (medianas)%s\n\n", megas, rondas, tls ? ", TLS" : "");
    std::printf("| operación | ClienteFtpCurl | curl | razón |\n|---|---|---|---|\n");
    fila("subida", subidaPropia, subidaCurl);
    fila("bajada", bajadaPropia, bajadaCurl);
    return 0;
}
