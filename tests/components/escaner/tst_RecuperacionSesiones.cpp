#include "components/escaner/EscanerSane.h"
#include "support/ConfigSanePrueba.h"
#include "support/HojasAbandonadas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

// Which session folders of the recovery spool the SANE component offers, cleans up or refuses
// to touch. Taking pages over is tested from the window.
class TstRecuperacionSesiones : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(sane_.valida());
        QVERIFY(HojasAbandonadas::preparar(sane_));
    }

    void sesionesDeLaCarpeta()
    {
        QTemporaryDir base, fuera;
        const qint64 propio = QCoreApplication::applicationPid();
        const QDateTime ahora = QDateTime::currentDateTime();
        const QDateTime antes(QDate(2020, 1, 2), QTime(3, 4, 5));
        QProcess otroPrograma;
        otroPrograma.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
        QVERIFY(otroPrograma.waitForStarted());
        // Dead, but not yet reaped by its parent.
        const pid_t zombi = fork();
        if (zombi == 0)
            _exit(0);
        auto estado = [zombi] {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(zombi));
            const QByteArray linea = stat.open(QIODevice::ReadOnly) ? stat.readAll() : "";
            return linea.mid(linea.lastIndexOf(')') + 2, 1);
        };
        QTRY_COMPARE(estado(), QByteArray("Z"));
        auto dejar = [&](qint64 pid, const QDateTime& fecha) {
            return HojasAbandonadas::dejar(base.path(), pid, fecha);
        };

        struct Caso
        {
            const char* que;
            QString carpeta;
            bool ofrecida;
            bool queda;
        };
        QList<Caso> casos{
            {"proceso terminado", dejar(HojasAbandonadas::pidTerminado(), ahora.addSecs(-9)), true,
             true},
            {"este programa, en marcha", dejar(propio, ahora), false, true},
            {"pid tomado después por otra ejecución", dejar(propio, antes), true, true},
            {"pid tomado por otro programa", dejar(otroPrograma.processId(), ahora.addSecs(5)),
             true, true},
            {"proceso muerto sin recoger", dejar(zombi, ahora.addSecs(5)), true, true},
            {"fuera de la carpeta",
             HojasAbandonadas::dejar(fuera.path(), HojasAbandonadas::pidTerminado()), false, true},
        };
        // Its pages stored or discarded, only the window's record of them left.
        const QString vacia = dejar(HojasAbandonadas::pidTerminado(), antes.addDays(1));
        for (const QString& nombre : QDir(vacia).entryList(QDir::Files))
            QVERIFY(QFile::remove(QDir(vacia).filePath(nombre)));
        QFile registro(QDir(vacia).filePath(QStringLiteral("lote.ini")));
        QVERIFY(registro.open(QIODevice::WriteOnly));
        registro.close();
        casos.append({"sin hojas: se limpia", vacia, false, false});
        // Only pages dropped as blank: nothing held to offer.
        const QString quitadas = dejar(HojasAbandonadas::pidTerminado(), antes.addDays(2));
        QVERIFY(QDir(quitadas).mkdir(QStringLiteral("quitadas")));
        for (const QString& nombre : QDir(quitadas).entryList({QStringLiteral("*.tif")}))
            QVERIFY(QDir(quitadas).rename(nombre, QStringLiteral("quitadas/") + nombre));
        casos.append({"solo hojas quitadas: se limpia", quitadas, false, false});
        const QString respaldo = QDir(base.path()).filePath(QStringLiteral("sesion-respaldo"));
        QVERIFY(QDir().rename(dejar(HojasAbandonadas::pidTerminado(), ahora), respaldo));
        casos.append({"nombre que no es de sesión", respaldo, false, true});

        EscanerSane escaner(base.path());
        QStringList ofrecidas;
        for (const SesionRecuperable& sesion : escaner.SesionesRecuperables()) {
            ofrecidas << QDir::cleanPath(sesion.carpeta);
            QCOMPARE(sesion.paginas, 3);
        }
        // Oldest first, so that pages of several runs come back in the order they were scanned.
        QCOMPARE(ofrecidas.size(), 4);
        QCOMPARE(ofrecidas.first(), QDir::cleanPath(casos[2].carpeta));
        for (const Caso& caso : casos) {
            QVERIFY2(!caso.carpeta.isEmpty(), caso.que);
            QVERIFY2(ofrecidas.contains(QDir::cleanPath(caso.carpeta)) == caso.ofrecida, caso.que);
            QVERIFY2(QFileInfo::exists(caso.carpeta) == caso.queda, caso.que);
            if (caso.ofrecida || !caso.queda)
                continue;
            // Asked by name all the same, a folder not offered is neither taken nor deleted.
            QCOMPARE(escaner.RecuperarPaginas(caso.carpeta), 0);
            QVERIFY2(escaner.CodigoError() != 0, caso.que);
            QCOMPARE(escaner.DescartarPaginas(caso.carpeta), 0);
            QCOMPARE(QDir(caso.carpeta).entryList(QDir::Files).size(), 3);
        }
        QCOMPARE(escaner.NumeroPaginas(), 0);
        waitpid(zombi, nullptr, 0);
        otroPrograma.kill();
        otroPrograma.waitForFinished();
    }

private:
    ConfigSanePrueba sane_;
};

QTEST_MAIN(TstRecuperacionSesiones)
#include "tst_RecuperacionSesiones.moc"
