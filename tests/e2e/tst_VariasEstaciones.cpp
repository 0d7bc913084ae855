#include "support/BaseDatosPrueba.h"
#include "support/ServidorFtpPrueba.h"
#include "support/estacion/HojaMarcada.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

namespace {
constexpr double kCliente = 4711;
const QString kEstacion =
    QStringLiteral(EXPEDIENTES_BINARIOS_DIR "/tests/support/estacion/estacion_envio");
} // namespace

// Several workstations of a branch, each a process of its own with its own folder, save at once
// on one embedded database and one FTP server, through the program's own send. Every page is
// marked with its workstation, so the stored documents show each page ending up exactly once:
// none lost, none twice, none under another case file, whatever the order of the saves, a
// workstation waiting for another, or a transfer cut on either side of the server storing it.
class PruebaVariasEstaciones : public QObject
{
    Q_OBJECT

private slots:
    void guardanALaVez_data()
    {
        QTest::addColumn<int>("estaciones");
        QTest::addColumn<bool>("mismo"); // all to one stored document, or each to a new case file
        QTest::addColumn<QStringList>("fallas");
        QTest::newRow("dos estaciones, un documento") << 2 << true << QStringList{"perdida"};
        QTest::newRow("seis estaciones, un documento")
            << 6 << true << QStringList{"perdida", "corte", "", "perdida"};
        QTest::newRow("seis estaciones, expedientes nuevos")
            << 6 << false << QStringList{"perdida", "corte"};
    }
    void guardanALaVez()
    {
        QFETCH(int, estaciones);
        QFETCH(bool, mismo);
        QFETCH(QStringList, fallas);
        BaseDatosPrueba bd;
        QVERIFY(bd.valida());
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        BaseDatosPrueba::Cliente cliente;
        cliente.numero = kCliente;
        cliente.nombre = QStringLiteral("MORALES IBARRA ROSA");
        bd.cliente(cliente);
        ServidorFtpPrueba servidor;
        QVERIFY2(servidor.iniciar(), qPrintable(servidor.error()));
        const QDir remota(servidor.raiz() + QStringLiteral("/gdl"));
        QVERIFY(remota.mkpath(QStringLiteral(".")));
        // The document the shared saves add to: one page, marked 0, stored and flagged.
        double folio = 0;
        if (mismo) {
            folio = bd.expediente(kCliente);
            QVERIFY(EscritorTiff::escribirArchivo(remota.filePath(NumeroPlano(folio) + "N.tif"),
                                                  hojaMarcada(0), 200));
            bd.conexion().ejecutar(
                QStringLiteral("UPDATE Expedientes_ZR SET imagen_NOTA = 1 WHERE expediente = %1")
                    .arg(NumeroPlano(folio)));
        }

        QTemporaryDir carpetas;
        std::vector<std::unique_ptr<QProcess>> procesos;
        QList<int> esperadas = mismo ? QList<int>{0} : QList<int>{};
        for (int i = 1; i <= estaciones; ++i) {
            const QList<int> marcas{i * 10 + 1, i * 10 + 2};
            esperadas << marcas;
            auto proceso = std::make_unique<QProcess>();
            proceso->setProcessChannelMode(QProcess::SeparateChannels);
            proceso->start(
                kEstacion,
                {"--base", bd.rutaBase(), "--servidor", "127.0.0.1", "--puerto",
                 QString::number(servidor.puerto()), "--usuario", servidor.usuario(), "--clave",
                 servidor.contrasena(), "--ruta", "/gdl", "--datos",
                 carpetas.filePath(QString::number(i)), "--cliente", NumeroPlano(kCliente),
                 "--folio", NumeroPlano(folio), "--tipo", "N", "--marcas",
                 QStringLiteral("%1,%2").arg(marcas[0]).arg(marcas[1]), "--falla",
                 fallas.value(i - 1)});
            procesos.push_back(std::move(proceso));
        }
        QStringList folios;
        for (auto& proceso : procesos) {
            QVERIFY(proceso->waitForFinished(120000));
            const QString salida = QString::fromUtf8(proceso->readAllStandardOutput());
            QVERIFY2(proceso->exitCode() == 0,
                     qPrintable(salida + QString::fromUtf8(proceso->readAllStandardError())));
            folios << salida.section(QLatin1Char(' '), 1, 1);
        }

        // Every page once, in the document of its case file, and every document flagged.
        QList<int> guardadas;
        for (const QString& archivo : remota.entryList({"*.tif"}, QDir::Files))
            guardadas << marcasDe(remota.filePath(archivo));
        std::sort(guardadas.begin(), guardadas.end());
        std::sort(esperadas.begin(), esperadas.end());
        QCOMPARE(guardadas, esperadas);
        folios.removeDuplicates();
        QCOMPARE(folios.size(), mismo ? 1 : estaciones);
        for (const QString& uno : folios) {
            QCOMPARE(bd.valor(QStringLiteral("SELECT imagen_NOTA FROM Expedientes_ZR WHERE "
                                             "expediente = %1")
                                  .arg(uno))
                         .toInt(),
                     1);
            if (!mismo) // a new case file holds its own workstation's pages and no others
                QCOMPARE(marcasDe(remota.filePath(uno + "N.tif")).size(), 2);
        }
        QCOMPARE(bd.valor(QStringLiteral("SELECT COUNT(*) FROM bloqueos_documento")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(PruebaVariasEstaciones)
#include "tst_VariasEstaciones.moc"
