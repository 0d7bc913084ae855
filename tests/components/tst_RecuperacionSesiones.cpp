#include "components/EscanerSane.h"
#include "components/EscritorTiff.h"
#include "support/ConfigSanePrueba.h"
#include "support/HojasAbandonadas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <memory>

namespace {
bool escribir(const QString& ruta, const QByteArray& datos)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly) && archivo.write(datos) == datos.size();
}

QStringList tifs(const QString& carpeta)
{
    return QDir(carpeta).entryList({QStringLiteral("*.tif")}, QDir::Files, QDir::Name);
}
} // namespace

// The recovery side of the SANE component: which session folders are offered, and the
// pages taken over or deleted.
class TstRecuperacionSesiones : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void sesionesOfrecidas();
    void recuperaEnOrden();
    void hojaDanadaSeOmite();
    void rechazaCarpetasAjenas_data();
    void rechazaCarpetasAjenas();
    void descartaSesionTerminada();

private:
    std::unique_ptr<ConfigSanePrueba> sane_;
    std::unique_ptr<QTemporaryDir> base_;
};

void TstRecuperacionSesiones::initTestCase()
{
    sane_ = std::make_unique<ConfigSanePrueba>();
    QVERIFY(sane_->valida());
    QVERIFY(HojasAbandonadas::preparar(*sane_));
    const auto hojas = HojasAbandonadas::hojas();
    QCOMPARE(hojas.size(), 3);
    // Their order is checked by their sizes and depths: those must differ.
    QVERIFY(hojas[0].tamano != hojas[1].tamano && hojas[1].tamano != hojas[2].tamano);
    QCOMPARE(hojas[0].bits, 1);
    QCOMPARE(hojas[1].bits, 24);
    QCOMPARE(hojas[2].bits, 8);
}

void TstRecuperacionSesiones::init()
{
    base_ = std::make_unique<QTemporaryDir>();
    QVERIFY(base_->isValid());
}

void TstRecuperacionSesiones::sesionesOfrecidas()
{
    const qint64 propio = QCoreApplication::applicationPid();
    const QDateTime ahora = QDateTime::currentDateTime();
    QProcess otroPrograma;
    otroPrograma.start(QStringLiteral("/bin/sleep"), {QStringLiteral("30")});
    QVERIFY(otroPrograma.waitForStarted());

    struct Caso
    {
        const char* que;
        QString carpeta;
        bool ofrecida;
        bool queda;
    };
    const QString base = base_->path();
    QList<Caso> casos{
        {"proceso terminado", HojasAbandonadas::dejar(base, HojasAbandonadas::pidTerminado()), true,
         true},
        {"este programa, en marcha", HojasAbandonadas::dejar(base, propio, ahora), false, true},
        {"pid ocupado después por otra ejecución",
         HojasAbandonadas::dejar(base, propio, QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5))), true,
         true},
        {"pid ocupado por otro programa",
         HojasAbandonadas::dejar(base, otroPrograma.processId(), ahora.addSecs(5)), true, true},
    };
    // Only saved pages, or nothing at all, left by a run that is gone: cleaned up unasked.
    const QString guardadas = HojasAbandonadas::dejar(base, HojasAbandonadas::pidTerminado(),
                                                      QDateTime(QDate(2021, 5, 6), QTime(7, 8, 9)));
    for (const QString& nombre : tifs(guardadas))
        QVERIFY(QFile::rename(QDir(guardadas).filePath(nombre),
                              QDir(guardadas).filePath(nombre.chopped(4) + "-guardada.tif")));
    casos.append({"solo hojas guardadas", guardadas, false, false});
    const QString vacia = QDir(base).filePath(HojasAbandonadas::nombreSesion(
        HojasAbandonadas::pidTerminado(), QDateTime(QDate(2021, 5, 6), QTime(7, 8, 10))));
    QVERIFY(QDir().mkpath(vacia));
    casos.append({"vacía", vacia, false, false});
    const QString otraCosa = QDir(base).filePath(QStringLiteral("sesion-respaldo"));
    QVERIFY(QDir().mkpath(otraCosa));
    QVERIFY(escribir(QDir(otraCosa).filePath(QStringLiteral("000001.tif")), "x"));
    casos.append({"nombre que no es de sesión", otraCosa, false, true});

    EscanerSane escaner(base);
    const QList<SesionRecuperable> sesiones = escaner.SesionesRecuperables();
    QStringList ofrecidas;
    for (const SesionRecuperable& sesion : sesiones) {
        ofrecidas << QDir::cleanPath(sesion.carpeta);
        QCOMPARE(sesion.paginas, 3);
    }
    for (const Caso& caso : casos) {
        QVERIFY2(!caso.carpeta.isEmpty(), caso.que);
        QVERIFY2(ofrecidas.contains(QDir::cleanPath(caso.carpeta)) == caso.ofrecida, caso.que);
        QVERIFY2(QFileInfo::exists(caso.carpeta) == caso.queda, caso.que);
    }
    QCOMPARE(ofrecidas.size(), 3);
    // Oldest first, so that several sessions come back in the order they were scanned.
    QCOMPARE(QFileInfo(ofrecidas.first()).fileName(),
             HojasAbandonadas::nombreSesion(propio, QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5))));
    QCOMPARE(tifs(casos[1].carpeta).size(), 3);
    otroPrograma.kill();
    otroPrograma.waitForFinished();
}

void TstRecuperacionSesiones::recuperaEnOrden()
{
    const QString carpeta =
        HojasAbandonadas::dejar(base_->path(), HojasAbandonadas::pidTerminado());
    QVERIFY(!carpeta.isEmpty());
    EscanerSane escaner(base_->path());
    QCOMPARE(escaner.RecuperarPaginas(carpeta), 3);
    QCOMPARE(escaner.CodigoError(), 0);
    QCOMPARE(escaner.NumeroPaginas(), 3);
    const auto hojas = HojasAbandonadas::hojas();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(QSize(escaner.AnchoPagina(i), escaner.AltoPagina(i)), hojas[i].tamano);
        QCOMPARE(escaner.BitsPorPixel(i), hojas[i].bits);
        QCOMPARE(escaner.ImagenPagina(i).size(), hojas[i].tamano);
        QCOMPARE(escaner.ImagenPagina(i).depth(), hojas[i].bits);
    }
    // Taken over, not copied: another crash offers them once, from this run's folder.
    QVERIFY(!QFileInfo::exists(carpeta));
    QCOMPARE(tifs(escaner.CarpetaSesion()).size(), 3);
    QVERIFY(escaner.SesionesRecuperables().isEmpty());
    // They save like freshly scanned pages.
    const QString archivo = QDir(base_->path()).filePath(QStringLiteral("expedienteS.tif"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(escaner.GuardarPagina(i, archivo), 1);
    QCOMPARE(EscritorTiff::contarPaginas(archivo), 3);
}

void TstRecuperacionSesiones::hojaDanadaSeOmite()
{
    const QString carpeta =
        HojasAbandonadas::dejar(base_->path(), HojasAbandonadas::pidTerminado());
    QVERIFY(!carpeta.isEmpty());
    // Cut short as by a crash in the middle of writing it.
    const QString segunda = QDir(carpeta).filePath(QStringLiteral("000002.tif"));
    QFile archivo(segunda);
    QVERIFY(archivo.open(QIODevice::ReadOnly));
    const QByteArray principio = archivo.read(64);
    archivo.close();
    QVERIFY(escribir(segunda, principio));

    EscanerSane escaner(base_->path());
    QCOMPARE(escaner.RecuperarPaginas(carpeta), 2);
    QVERIFY(escaner.CodigoError() != 0);
    QVERIFY2(escaner.TextoError().contains(QLatin1String("000002.tif")),
             qPrintable(escaner.TextoError()));
    const auto hojas = HojasAbandonadas::hojas();
    QCOMPARE(QSize(escaner.AnchoPagina(0), escaner.AltoPagina(0)), hojas[0].tamano);
    QCOMPARE(QSize(escaner.AnchoPagina(1), escaner.AltoPagina(1)), hojas[2].tamano);
    QCOMPARE(escaner.BitsPorPixel(1), hojas[2].bits);
    QVERIFY(!QFileInfo::exists(carpeta));
    QCOMPARE(tifs(escaner.CarpetaSesion()).size(), 2);
}

void TstRecuperacionSesiones::rechazaCarpetasAjenas_data()
{
    QTest::addColumn<QString>("cual");
    QTest::newRow("sesión de este programa en marcha") << "viva";
    QTest::newRow("fuera de la carpeta de recuperación") << "fuera";
    QTest::newRow("nombre que no es de sesión") << "nombre";
    QTest::newRow("no existe") << "inexistente";
}

void TstRecuperacionSesiones::rechazaCarpetasAjenas()
{
    QFETCH(QString, cual);
    QTemporaryDir fuera;
    const QString base = base_->path();
    QString carpeta;
    if (cual == "viva") {
        carpeta = HojasAbandonadas::dejar(base, QCoreApplication::applicationPid(),
                                          QDateTime::currentDateTime());
    } else if (cual == "fuera") {
        carpeta = HojasAbandonadas::dejar(fuera.path(), HojasAbandonadas::pidTerminado());
    } else if (cual == "nombre") {
        carpeta = HojasAbandonadas::dejar(base, HojasAbandonadas::pidTerminado());
        const QString otro = QDir(base).filePath(QStringLiteral("respaldo"));
        QVERIFY(QDir().rename(carpeta, otro));
        carpeta = otro;
    } else {
        carpeta = QDir(base).filePath(HojasAbandonadas::nombreSesion(
            HojasAbandonadas::pidTerminado(), QDateTime::currentDateTime().addSecs(-60)));
    }
    QVERIFY(!carpeta.isEmpty());
    const QStringList antes = tifs(carpeta);

    EscanerSane escaner(base);
    QCOMPARE(escaner.RecuperarPaginas(carpeta), 0);
    QVERIFY(escaner.CodigoError() != 0);
    QVERIFY(!escaner.TextoError().isEmpty());
    QCOMPARE(escaner.DescartarPaginas(carpeta), 0);
    QVERIFY(escaner.CodigoError() != 0);
    QCOMPARE(escaner.NumeroPaginas(), 0);
    QCOMPARE(tifs(carpeta), antes);
}

void TstRecuperacionSesiones::descartaSesionTerminada()
{
    const QString carpeta =
        HojasAbandonadas::dejar(base_->path(), HojasAbandonadas::pidTerminado());
    EscanerSane escaner(base_->path());
    QCOMPARE(escaner.SesionesRecuperables().size(), 1);
    QCOMPARE(escaner.DescartarPaginas(carpeta), 1);
    QCOMPARE(escaner.CodigoError(), 0);
    QVERIFY(!QFileInfo::exists(carpeta));
    QVERIFY(escaner.SesionesRecuperables().isEmpty());
    QCOMPARE(escaner.NumeroPaginas(), 0);
}

QTEST_MAIN(TstRecuperacionSesiones)
#include "tst_RecuperacionSesiones.moc"
