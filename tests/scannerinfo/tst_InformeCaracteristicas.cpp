#include "scannerinfo/InformeCaracteristicas.h"
#include "support/EscanerGuionado.h"
#include "support/MensajesGrabados.h"

#include <QTest>

namespace {
using Respuesta = EscanerGuionado::Respuesta;
using Tipo = MensajesGrabados::Tipo;

const QString Separador = QStringLiteral("======================================");
const Respuesta RangoX{.contenedor = EscanerTwain::Rango,
                       .actual = 300,
                       .predeterminado = 200,
                       .minimo = 75,
                       .maximo = 1200,
                       .incremento = 1};

// A source whose every current value can be read and that declares no capability.
void fuenteLegible(EscanerGuionado& e)
{
    e.fuentes = {QStringLiteral("Escaner de prueba")};
    e.FijarUnidad(0);
    e.FijarTipoPixel(2);
    e.FijarResolucion(300);
    e.FijarTamanoPapel(3);
    e.unidadesSoportadas = {0, 1, 6};
    e.tamanosPapelSoportados = {3, 8};
    e.capacidadesDeclaradas = QList<int>{};
    e.llamadas.clear();
}

// The part of the report after its capability heading.
QString capacidadesDe(const QString& informe)
{
    const QString encabezado = QStringLiteral("Device capabilities:\r\n\r\n");
    const qsizetype i = informe.indexOf(encabezado);
    return i < 0 ? QStringLiteral("<sin encabezado>") : informe.mid(i + encabezado.size());
}
} // namespace

// The characteristics report against a scripted source: its exact text, the sections left
// out when a value cannot be read, and the capability lines.
class PruebaInformeCaracteristicas : public QObject
{
    Q_OBJECT

private slots:
    void informeCompleto_textoExacto()
    {
        EscanerGuionado e;
        fuenteLegible(e);
        e.capacidades[0x0101] = {
            {.contenedor = EscanerTwain::Enumeracion, .elementos = {0, 2}, .actual = 2}};
        e.capacidades[0x8001] = {
            {.contenedor = EscanerTwain::UnValor, .actual = 5, .texto = QStringLiteral("cinco")}};
        e.capacidades[0x1118] = {RangoX};
        e.capacidades[0x1122] = {
            {.contenedor = EscanerTwain::Arreglo, .elementos = {1, 3}, .actual = 3}};
        e.capacidadesDeclaradas = QList<int>{0x0101, 0x8001, 0x1118, 0x1122};
        MensajesGrabados m;

        const QString esperado = Separador +
                                 "\r\n\r\n"
                                 "Device name: Escaner de prueba\r\n\r\n"
                                 "Current unit of measure: inches\r\n"
                                 "Supported units of measure: inches centimeters  \r\n\r\n"
                                 "Current pixel type: RGB\r\n"
                                 "Supported pixel types: BW RGB \r\n\r\n"
                                 "Current resolution:  300 dpi\r\n"
                                 "Supported resolutions:  100  200  300 dpi\r\n\r\n"
                                 "Current page size: USLETTER\r\n"
                                 "Supported page sizes: USLETTER Other \r\n\r\n" +
                                 Separador +
                                 "\r\n\r\n"
                                 "Device capabilities:\r\n\r\n"
                                 "ICAP_PIXELTYPE\t E \t 2\t 2 0  2 \r\n\r\n"
                                 "Custom capability ( 32769)\t O \t 5\t'cinco'\r\n\r\n"
                                 "ICAP_XRESOLUTION\t R \t 300\t 200\t 75\t 1200\t 1\t\r\n\r\n"
                                 "ICAP_SUPPORTEDSIZES\t A \t 3\t 2 1  3 \r\n\r\n";
        QCOMPARE(InformeCaracteristicas(e, m), esperado);
        QVERIFY2(m.cajas().isEmpty(), qPrintable(m.resumen().join('\n')));
        QCOMPARE(e.llamadas, QStringList({"AbrirFuente", "CerrarFuente"}));
    }

    void resolucionesEnRango()
    {
        EscanerGuionado e;
        fuenteLegible(e);
        e.rangoResoluciones = EscanerGuionado::RangoResoluciones{75, 1200, 1};
        MensajesGrabados m;
        QVERIFY(InformeCaracteristicas(e, m).contains(
            "Current resolution:  300 dpi\r\n"
            "Supported resolutions: min = 75 dpi, max = 1200 dpi, step size = 1 dpi\r\n\r\n"));
    }

    // A current value that cannot be read: a plain box with the component's text, and that
    // section (both its lines) left out while the other three stay.
    void valorActualIlegible_data()
    {
        QTest::addColumn<QString>("lectura");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("seccion");
        QTest::newRow("unidad") << "Unidad"
                                << "Can't get current unit of measure: "
                                << "unit of measure: ";
        QTest::newRow("tipo de pixel") << "TipoPixel"
                                       << "Can't get current pixel type: "
                                       << "pixel type";
        QTest::newRow("resolucion") << "Resolucion"
                                    << "Can't get resolution: "
                                    << "resolution";
        QTest::newRow("tamano") << "TamanoPapel"
                                << "Can't get page size: "
                                << "page size";
    }

    void valorActualIlegible()
    {
        QFETCH(QString, lectura);
        QFETCH(QString, mensaje);
        QFETCH(QString, seccion);
        EscanerGuionado e;
        fuenteLegible(e);
        e.lecturasFallidas = {lectura};
        MensajesGrabados m;
        const QString informe = InformeCaracteristicas(e, m);

        QCOMPARE(m.cajas().size(), 1);
        QCOMPARE(m.cajas()[0].tipo, Tipo::Simple);
        QCOMPARE(m.cajas()[0].mensaje, mensaje + "No se pudo leer " + lectura + ".");
        QVERIFY(!informe.contains(seccion));
        QCOMPARE(informe.count(QStringLiteral("\r\nCurrent ")), 3);
        QCOMPARE(informe.count(QStringLiteral("\r\nSupported ")), 3);
        QVERIFY(informe.endsWith("Device capabilities:\r\n\r\n"));
        QCOMPARE(e.llamadas.last(), QStringLiteral("CerrarFuente"));
    }

    // A supported list that cannot be read prints its label only, without a box, and its
    // error does not blank the lists read after it.
    void listaIlegible_data()
    {
        QTest::addColumn<QString>("lectura");
        QTest::addColumn<QString>("linea");
        QTest::newRow("unidades") << "UnidadesSoportadas"
                                  << "Supported units of measure: ";
        QTest::newRow("tipos") << "TiposPixelSoportados"
                               << "Supported pixel types: ";
        QTest::newRow("resoluciones") << "ResolucionesSoportadas"
                                      << "Supported resolutions: ";
        QTest::newRow("tamanos") << "TamanosPapelSoportados"
                                 << "Supported page sizes: ";
    }

    void listaIlegible()
    {
        QFETCH(QString, lectura);
        QFETCH(QString, linea);
        EscanerGuionado e;
        fuenteLegible(e);
        e.lecturasFallidas = {lectura};
        MensajesGrabados m;
        const QString informe = InformeCaracteristicas(e, m);
        QVERIFY(informe.contains("\r\n" + linea + "\r\n\r\n"));
        QCOMPARE(informe.count(QStringLiteral(": \r\n")), 1);
        QVERIFY(m.cajas().isEmpty());
    }

    void capacidadNoSoportada_noAgregaNada()
    {
        EscanerGuionado e;
        fuenteLegible(e);
        e.capacidades[0x0101] = {{.contenedor = EscanerTwain::UnValor, .texto = "0"}};
        e.capacidadesDeclaradas = QList<int>{0x1023, 0x0101, 0x9999};
        MensajesGrabados m;
        QCOMPARE(capacidadesDe(InformeCaracteristicas(e, m)),
                 QStringLiteral("ICAP_PIXELTYPE\t O \t 0\t'0'\r\n\r\n"));
    }

    // Every container kind the source reports back gets its own line, in the order asked.
    void capacidadConDosTipos_dosLineas()
    {
        EscanerGuionado e;
        fuenteLegible(e);
        e.capacidades[0x1118] = {
            RangoX, {.contenedor = EscanerTwain::UnValor, .actual = 300, .texto = "300"}};
        e.capacidadesDeclaradas = QList<int>{0x1118};
        MensajesGrabados m;
        QCOMPARE(capacidadesDe(InformeCaracteristicas(e, m)),
                 QStringLiteral("ICAP_XRESOLUTION\t O \t 300\t'300'\r\n"
                                "ICAP_XRESOLUTION\t R \t 300\t 200\t 75\t 1200\t 1\t\r\n\r\n"));
    }

    // No capability list, whether empty or unreadable: the report ends with its heading and
    // the source is still closed.
    void sinListaDeCapacidades_data()
    {
        QTest::addColumn<bool>("legible");
        QTest::newRow("lista vacia") << true;
        QTest::newRow("lista ilegible") << false;
    }

    void sinListaDeCapacidades()
    {
        QFETCH(bool, legible);
        EscanerGuionado e;
        fuenteLegible(e);
        if (!legible)
            e.capacidadesDeclaradas.reset();
        MensajesGrabados m;
        QVERIFY(InformeCaracteristicas(e, m).endsWith(Separador +
                                                      "\r\n\r\nDevice capabilities:\r\n\r\n"));
        QCOMPARE(e.llamadas, QStringList({"AbrirFuente", "CerrarFuente"}));
    }

    // A source may declare any number of capabilities; none is dropped.
    void muchasCapacidades_todasInformadas()
    {
        EscanerGuionado e;
        fuenteLegible(e);
        QList<int> codigos;
        for (int i = 0; i < 300; ++i) {
            codigos << 0x8000 + i;
            e.capacidades[0x8000 + i] = {{.contenedor = EscanerTwain::UnValor, .actual = float(i)}};
        }
        e.capacidadesDeclaradas = codigos;
        MensajesGrabados m;
        const QString capacidades = capacidadesDe(InformeCaracteristicas(e, m));
        QCOMPARE(capacidades.count(QStringLiteral("Custom capability (")), 300);
        QVERIFY(capacidades.endsWith(
            QStringLiteral("Custom capability ( 33067)\t O \t 299\t''\r\n\r\n")));
    }

    void fuenteQueNoAbre_informeVacioSinCerrar()
    {
        EscanerGuionado e;
        fuenteLegible(e);
        e.abrir = 0;
        e.FijarError(9, QStringLiteral("El escáner está ocupado."));
        MensajesGrabados m;
        QVERIFY(InformeCaracteristicas(e, m).isEmpty());
        QCOMPARE(m.cajas().size(), 1);
        QCOMPARE(m.cajas()[0].tipo, Tipo::Simple);
        QCOMPARE(m.cajas()[0].mensaje,
                 QStringLiteral("Can't open Data Source: El escáner está ocupado."));
        QCOMPARE(e.llamadas, QStringList({"AbrirFuente"}));
    }
};

QTEST_APPLESS_MAIN(PruebaInformeCaracteristicas)
#include "tst_InformeCaracteristicas.moc"
