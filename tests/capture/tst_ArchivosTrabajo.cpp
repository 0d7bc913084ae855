#include "app/FrmEscaneo.h"
#include "capture/ArchivosTrabajo.h"
#include "casefiles/TipoDocumento.h"
#include "support/VentanaPrueba.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

// The clean-up of the working files and of the scanning tab, on the real window offscreen.
class PruebaArchivosTrabajo : public QObject
{
    Q_OBJECT

private slots:
    void limpiar_data()
    {
        QTest::addColumn<QString>("presentes");
        QTest::addColumn<bool>("enGrupo");       // the options also belong to an exclusive group
        QTest::addColumn<QString>("imborrable"); // a working file that cannot be deleted
        QTest::newRow("ninguno") << "" << false << "";
        QTest::newRow("algunos") << "CS" << false << "";
        QTest::newRow("todos, opciones en grupo") << "SIRCNED" << true << "";
        QTest::newRow("uno no se borra") << "CS" << false << "E";
    }

    void limpiar()
    {
        QFETCH(QString, presentes);
        QFETCH(bool, enGrupo);
        QFETCH(QString, imborrable);
        VentanaPrueba p;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        QVERIFY(p.cargar());

        const QStringList ajenos{QStringLiteral("expedienteX.tif"), QStringLiteral("1234C.tif")};
        QStringList archivos = ajenos;
        for (const QChar letra : presentes)
            archivos << TipoDocumento::porLetra(letra)->archivoTrabajo();
        for (const QString& nombre : archivos) {
            QFile archivo(nombre);
            QVERIFY(archivo.open(QIODevice::WriteOnly));
        }
        // A non-empty folder under a working file's name cannot be removed, even by root.
        if (!imborrable.isEmpty())
            QVERIFY(QDir().mkpath(TipoDocumento::porLetra(imborrable)->archivoTrabajo() +
                                  QStringLiteral("/dentro")));

        // The state a picked case file leaves behind.
        QButtonGroup grupo;
        int senales = 0;
        for (const TipoDocumento& tipo : TipoDocumento::todos()) {
            auto* opcion = p.control<QRadioButton>(tipo.opcion);
            if (enGrupo)
                grupo.addButton(opcion);
            connect(opcion, &QAbstractButton::toggled, this, [&] { ++senales; });
            connect(opcion, &QAbstractButton::clicked, this, [&] { ++senales; });
            p.control<QLabel>(tipo.marcaPresente)->setVisible(true);
            p.control<QLabel>(tipo.marcaFalta)->setVisible(false);
        }
        p.control<QRadioButton>("OpcNota")->setChecked(true);
        connect(&grupo, &QButtonGroup::buttonToggled, this, [&] { ++senales; });
        p.control<QWidget>("TabScan")->setEnabled(true);
        p.control<QCheckBox>("chkPrestamo")->setChecked(true);
        p.control<QCheckBox>("chkPrestamo")->setEnabled(false);
        p.control<QPushButton>("B_Acquire")->setEnabled(true);
        p.ventana().sesion().LetraActual = QStringLiteral("N");
        senales = 0;

        p.ventana().findChild<ArchivosTrabajo*>()->LimpiarArchivosTrabajo();

        for (const TipoDocumento& tipo : TipoDocumento::todos()) {
            QCOMPARE(QFile::exists(tipo.archivoTrabajo()), tipo.letra == imborrable);
            QVERIFY2(!p.control<QRadioButton>(tipo.opcion)->isChecked(), tipo.opcion);
            QVERIFY2(p.control<QLabel>(tipo.marcaPresente)->isHidden(), tipo.marcaPresente);
            QVERIFY2(!p.control<QLabel>(tipo.marcaFalta)->isHidden(), tipo.marcaFalta);
        }
        for (const QString& ajeno : ajenos)
            QVERIFY2(QFile::exists(ajeno), qPrintable(ajeno));
        QVERIFY(!p.control<QCheckBox>("chkPrestamo")->isChecked());
        QVERIFY(p.control<QCheckBox>("chkPrestamo")->isEnabled());
        // No option handler ran behind the clean-up; what it does not own is untouched.
        QCOMPARE(senales, 0);
        QCOMPARE(p.ventana().sesion().LetraActual, QStringLiteral("N"));
        QVERIFY(p.control<QPushButton>("B_Acquire")->isEnabled());
        QVERIFY(p.visor.abiertos.isEmpty());
        const QStringList cajas = p.mensajes.resumen();
        QCOMPARE(cajas.size(), imborrable.isEmpty() ? 0 : 1);
        if (!imborrable.isEmpty())
            QVERIFY2(cajas.first().startsWith(QStringLiteral("error|")) &&
                         cajas.first().contains(QStringLiteral("expediente") + imborrable),
                     qPrintable(cajas.first()));

        // The options are exclusive again afterwards.
        p.control<QRadioButton>("OpcSolicitud")->setChecked(true);
        p.control<QRadioButton>("OpcCarta")->setChecked(true);
        QVERIFY(!p.control<QRadioButton>("OpcSolicitud")->isChecked());
    }
};

QTEST_MAIN(PruebaArchivosTrabajo)
#include "tst_ArchivosTrabajo.moc"
