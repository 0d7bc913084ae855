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

namespace {
using Tipo = MensajesGrabados::Tipo;

void crearArchivo(const QString& nombre)
{
    QFile archivo(nombre);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.write("II*\0", 4);
}

// Puts the scanning tab in the state a picked case file leaves it in: one option checked,
// chkPrestamo ticked and disabled, every present mark shown.
void ensuciarPestana(VentanaPrueba& p)
{
    p.control<QWidget>("TabScan")->setEnabled(true); // as a chosen customer leaves it
    p.control<QRadioButton>("OpcNota")->setChecked(true);
    p.control<QCheckBox>("chkPrestamo")->setChecked(true);
    p.control<QCheckBox>("chkPrestamo")->setEnabled(false);
    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        p.control<QLabel>(tipo.marcaPresente)->setVisible(true);
        p.control<QLabel>(tipo.marcaFalta)->setVisible(false);
    }
}

void verificarPestanaLimpia(VentanaPrueba& p)
{
    QVERIFY(!p.control<QCheckBox>("chkPrestamo")->isChecked());
    QVERIFY(p.control<QCheckBox>("chkPrestamo")->isEnabled());
    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        QVERIFY2(!p.control<QRadioButton>(tipo.opcion)->isChecked(), tipo.opcion);
        QVERIFY2(p.control<QLabel>(tipo.marcaPresente)->isHidden(), tipo.marcaPresente);
        QVERIFY2(!p.control<QLabel>(tipo.marcaFalta)->isHidden(), tipo.marcaFalta);
    }
}
} // namespace

// The clean-up of the working files and of the scanning tab, on the real window offscreen.
class PruebaArchivosTrabajo : public QObject
{
    Q_OBJECT

private slots:
    void limpiar_borraLosSieteYReiniciaSinEjecutarOpciones_data()
    {
        QTest::addColumn<QString>("presentes");
        QTest::addColumn<bool>("enGrupo"); // the options also belong to an exclusive group
        QTest::newRow("ninguno") << "" << false;
        QTest::newRow("algunos") << "CS" << false;
        QTest::newRow("todos, opciones en grupo") << "SIRCNED" << true;
    }

    void limpiar_borraLosSieteYReiniciaSinEjecutarOpciones()
    {
        QFETCH(QString, presentes);
        QFETCH(bool, enGrupo);
        VentanaPrueba p;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        QVERIFY(p.cargar());
        auto* archivos = p.ventana().findChild<ArchivosTrabajo*>();
        QVERIFY(archivos);

        for (const QChar letra : presentes)
            crearArchivo(TipoDocumento::porLetra(letra)->archivoTrabajo());
        const QStringList ajenos{QStringLiteral("expedienteX.tif"), QStringLiteral("otro.tif"),
                                 QStringLiteral("1234C.tif")};
        for (const QString& ajeno : ajenos)
            crearArchivo(ajeno);
        QButtonGroup grupo;
        for (const TipoDocumento& tipo : TipoDocumento::todos())
            if (enGrupo)
                grupo.addButton(p.control<QRadioButton>(tipo.opcion));
        ensuciarPestana(p);
        p.ventana().sesion().LetraActual = QStringLiteral("N");
        p.ventana().sesion().DocumentoExiste = true;
        p.control<QPushButton>("B_Acquire")->setEnabled(true);
        int senales = 0;
        for (const TipoDocumento& tipo : TipoDocumento::todos()) {
            auto* opcion = p.control<QRadioButton>(tipo.opcion);
            connect(opcion, &QAbstractButton::toggled, this, [&] { ++senales; });
            connect(opcion, &QAbstractButton::clicked, this, [&] { ++senales; });
        }
        connect(&grupo, &QButtonGroup::buttonToggled, this, [&] { ++senales; });

        archivos->LimpiarArchivosTrabajo();

        for (const TipoDocumento& tipo : TipoDocumento::todos())
            QVERIFY2(!QFile::exists(tipo.archivoTrabajo()), qPrintable(tipo.archivoTrabajo()));
        for (const QString& ajeno : ajenos)
            QVERIFY2(QFile::exists(ajeno), qPrintable(ajeno));
        verificarPestanaLimpia(p);
        QCOMPARE(senales, 0);
        // No option handler ran behind the clean-up, and what it does not own is untouched.
        QCOMPARE(p.ventana().sesion().LetraActual, QStringLiteral("N"));
        QVERIFY(p.ventana().sesion().DocumentoExiste);
        QVERIFY(p.control<QPushButton>("B_Acquire")->isEnabled());
        QVERIFY(p.visor.abiertos.isEmpty());
        QVERIFY(p.mensajes.cajas().isEmpty());

        // The options are exclusive again afterwards.
        p.control<QRadioButton>("OpcSolicitud")->setChecked(true);
        p.control<QRadioButton>("OpcCarta")->setChecked(true);
        QVERIFY(!p.control<QRadioButton>("OpcSolicitud")->isChecked());
    }

    void limpiar_archivoQueNoSeBorra_avisaYSigue()
    {
        VentanaPrueba p;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        p.bd().servidorImagenes({});
        QVERIFY(p.cargar());
        crearArchivo(QStringLiteral("expedienteC.tif"));
        crearArchivo(QStringLiteral("expedienteS.tif"));
        // A non-empty folder under a working file's name cannot be removed, even by root.
        QVERIFY(QDir().mkpath(QStringLiteral("expedienteE.tif/dentro")));
        ensuciarPestana(p);

        p.ventana().findChild<ArchivosTrabajo*>()->LimpiarArchivosTrabajo();

        QCOMPARE(p.mensajes.cajas().size(), 1);
        QCOMPARE(p.mensajes.cajas().first().tipo, Tipo::Error);
        QVERIFY2(p.mensajes.cajas().first().mensaje.contains(QStringLiteral("expedienteE.tif")),
                 qPrintable(p.mensajes.resumen().join(QLatin1Char('\n'))));
        QVERIFY(!QFile::exists(QStringLiteral("expedienteC.tif")));
        QVERIFY(!QFile::exists(QStringLiteral("expedienteS.tif")));
        verificarPestanaLimpia(p);
    }
};

QTEST_MAIN(PruebaArchivosTrabajo)
#include "tst_ArchivosTrabajo.moc"
