#include "search/ComposicionBusqueda.h"

#include <QTest>

// Validation of the search text and the values each statement binds, without the dialog.
class PruebaComposicionBusqueda : public QObject
{
    Q_OBJECT

private slots:
    void TieneDosPalabras_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("dos");
        QTest::newRow("vacio") << "" << false;
        QTest::newRow("blancos") << "    " << false;
        QTest::newRow("una") << "ANA" << false;
        QTest::newRow("una entre blancos") << "  ANA   " << false;
        QTest::newRow("una entre tabuladores") << "\tANA\t" << false;
        QTest::newRow("una entre CR LF") << "\r\nANA\r\n" << false;
        QTest::newRow("dos") << "ANA LOPEZ" << true;
        QTest::newRow("dos con racha de blancos") << "  ANA     LOPEZ  " << true;
        QTest::newRow("dos con tabulador") << "ANA\tLOPEZ" << true;
        QTest::newRow("dos con CR LF") << "ANA\r\nLOPEZ" << true;
        QTest::newRow("LF solo") << "ANA\nLOPEZ" << true;
        QTest::newRow("CR solo") << "ANA\rLOPEZ" << true;
        QTest::newRow("escape no separa") << "ANA\x1bLOPEZ" << false;
        QTest::newRow("tres") << "PEREZ GOMEZ JUAN" << true;
    }

    void TieneDosPalabras()
    {
        QFETCH(QString, texto);
        QFETCH(bool, dos);
        QCOMPARE(ComposicionBusqueda::TieneDosPalabras(texto), dos);
    }

    void textoAceptable_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("aceptado");
        const int nombre = int(ModoBusqueda::Nombre);
        const int direccion = int(ModoBusqueda::Direccion);
        const int cliente = int(ModoBusqueda::NumeroCliente);
        const int venta = int(ModoBusqueda::NumeroVenta);
        for (int modo : {nombre, direccion, cliente, venta})
            QTest::addRow("vacio %d", modo) << modo << "" << false;
        QTest::newRow("nombre dos") << nombre << "ANA LOPEZ" << true;
        QTest::newRow("direccion dos") << direccion << "AV JUAREZ" << true;
        QTest::newRow("direccion una") << direccion << "JUAREZ" << false;
        QTest::newRow("cliente un digito") << cliente << "7" << true;
        QTest::newRow("cliente entre blancos") << cliente << "  7 " << true;
        QTest::newRow("cliente solo blancos") << cliente << "  " << false;
        QTest::newRow("cliente con letra") << cliente << "7A" << false;
        QTest::newRow("cliente dos numeros") << cliente << "7 8" << false;
        QTest::newRow("cliente digitos arabes") << cliente << "\u0663" << false;
        QTest::newRow("cliente muy largo") << cliente << QString(60, '9') << true;
        QTest::newRow("venta un digito") << venta << "8" << true;
        QTest::newRow("venta con letras") << venta << "A-8" << true;
        QTest::newRow("venta solo blancos") << venta << "  " << true;
    }

    void textoAceptable()
    {
        QFETCH(int, modo);
        QFETCH(QString, texto);
        QFETCH(bool, aceptado);
        QCOMPARE(ComposicionBusqueda::textoAceptable(texto, ModoBusqueda(modo)), aceptado);
    }

    void valoresLigados_data()
    {
        QTest::addColumn<int>("modo");
        QTest::addColumn<bool>("todos");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("centro");
        QTest::addColumn<QVariantList>("valores");
        const int nombre = int(ModoBusqueda::Nombre);
        const int cliente = int(ModoBusqueda::NumeroCliente);
        const int venta = int(ModoBusqueda::NumeroVenta);
        QTest::newRow("nombre recortado, comodines del usuario intactos")
            << nombre << false << "  O'HARA 100%_ "
            << "GDL    " << QVariantList{"%O'HARA 100%_%", "GDL    "};
        QTest::newRow("centro corto completado a 7") << nombre << false << "A B"
                                                     << "GDL" << QVariantList{"%A B%", "GDL    "};
        QTest::newRow("centro largo cortado a 7")
            << nombre << false << "A B"
            << "GUADALAJARA" << QVariantList{"%A B%", "GUADALA"};
        QTest::newRow("todos sin centro") << nombre << true << "A B"
                                          << "GDL    " << QVariantList{"%A B%"};
        QTest::newRow("cliente con ceros a la izquierda") << cliente << true << "007"
                                                          << "" << QVariantList{7LL};
        QTest::newRow("cliente de 18 digitos") << cliente << true << "123456789012345678"
                                               << "" << QVariantList{123456789012345678LL};
        QTest::newRow("cliente fuera de rango")
            << cliente << true << QString(25, '9') << "" << QVariantList{1e25};
        QTest::newRow("venta como texto") << venta << true << " 0500 "
                                          << "" << QVariantList{"0500"};
    }

    void valoresLigados()
    {
        QFETCH(int, modo);
        QFETCH(bool, todos);
        QFETCH(QString, texto);
        QFETCH(QString, centro);
        QFETCH(QVariantList, valores);
        const SentenciaBusqueda s = ComposicionBusqueda::componer(
            ModoBusqueda(modo),
            todos ? AlcanceCentros::TodosLosCentros : AlcanceCentros::CentroPropio, texto, centro);
        QCOMPARE(s.valores, valores);
        QCOMPARE(s.texto.count(QLatin1Char('?')), valores.size());
    }
};

QTEST_MAIN(PruebaComposicionBusqueda)
#include "tst_ComposicionBusqueda.moc"
