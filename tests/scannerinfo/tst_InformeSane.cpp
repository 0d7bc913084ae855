#include "components/escaner/EscanerSane.h"
#include "scannerinfo/InformeCaracteristicas.h"
#include "support/ConfigSanePrueba.h"
#include "support/MensajesGrabados.h"

#include <QTest>
#include <memory>

// The characteristics report of SANE's test scanner, read for real.
class PruebaInformeSane : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        config_ = std::make_unique<ConfigSanePrueba>();
        QVERIFY(config_->valida());
    }

    void escanerDePrueba_informeCompleto()
    {
        EscanerSane escaner(config_->nuevaCarpetaRecuperacion());
        QVERIFY(escaner.AbrirSesionTwain());
        const QString nombre = escaner.NombreFuente(escaner.FuenteActual());
        QVERIFY(!nombre.isEmpty());
        MensajesGrabados m;

        const QString informe = InformeCaracteristicas(escaner, m);
        QVERIFY2(m.cajas().isEmpty(), qPrintable(m.resumen().join('\n')));
        QVERIFY(
            informe.startsWith(QStringLiteral("======================================\r\n\r\n") +
                               "Device name: " + nombre + "\r\n\r\n"));
        QVERIFY(informe.contains(QStringLiteral("\r\nCurrent resolution: ")));
        QVERIFY(informe.contains(
            QStringLiteral("\r\nSupported resolutions: min = 1 dpi, max = 1200 dpi")));
        QVERIFY(informe.contains(QStringLiteral("\r\nDevice capabilities:\r\n\r\n")));
        QVERIFY(informe.contains(QStringLiteral("\r\nICAP_XRESOLUTION\t")));
        QVERIFY(informe.endsWith(QStringLiteral("\r\n\r\n")));

        // Closed at the end: a second report opens the source again and reads the same.
        QCOMPARE(InformeCaracteristicas(escaner, m), informe);
    }

private:
    std::unique_ptr<ConfigSanePrueba> config_;
};

QTEST_GUILESS_MAIN(PruebaInformeSane)
#include "tst_InformeSane.moc"
