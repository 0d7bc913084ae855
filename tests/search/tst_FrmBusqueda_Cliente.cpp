#include "search/BusquedaPrueba.h"

#include <QHeaderView>
#include <QRadioButton>

namespace {
using Tipo = MensajesGrabados::Tipo;

const QString S = QStringLiteral(
    "SELECT C.Cliente'Cliente',C.Nombre_cliente'Nombre',brax.dbo.tiene_huellas(c.cliente)'Huella "
    "Registrada',c.rfc'RFC', BRAX.dbo.clasificacion_credito_cliente (C.Cliente,1) "
    "'Clasificación', ");
const QString kCentro = QStringLiteral("GDL    ");
const QString kVerifique =
    QStringLiteral("Verifique los datos Capturados,si busca por nombre se requiere especificar los "
                   "2 apellidos del cliente para la busqueda!!");
const QString kNoExiste =
    QStringLiteral("No existen Clientes que coincidan con el criterio de busqueda...");

QStringList resumen(const MensajesGrabados& m)
{
    return m.resumen();
}
} // namespace

// The search dialog driven offscreen: what it sends to the database, what it shows and what
// it hands back.
class PruebaFrmBusqueda_Cliente : public QObject
{
    Q_OBJECT

private slots:
    void alAbrir_estadoInicialYFoco()
    {
        BusquedaPrueba p;
        QVERIFY(p.abrir());
        QCOMPARE(p.dialogo->windowTitle(), QStringLiteral("Busqueda de Clientes"));
        QVERIFY(p.control<QRadioButton>("Option1")->isChecked());
        QVERIFY(!p.control<QCheckBox>("OpcCentros")->isChecked());
        QCOMPARE(p.control<QAbstractButton>("cmdBuscar")->text(), QStringLiteral("&Buscar"));
        QVERIFY(p.texto()->text().isEmpty());
        QCOMPARE(p.grid()->rowCount(), 0);

        QStringList orden;
        QWidget* w = p.texto();
        for (int i = 0; i < 7; ++i) {
            w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus))
                w = w->nextInFocusChain();
            orden << w->objectName();
        }
        QCOMPARE(orden, QStringList({"cmdBuscar", "Option1", "Option2", "Option3", "OpcCentros",
                                     "Option4", "Grid1"}));
    }

    void ochoSentencias_textoValoresYFilas_data()
    {
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<bool>("todos");
        QTest::addColumn<QString>("buscado");
        QTest::addColumn<QString>("sentencia");
        QTest::addColumn<QVariantList>("valores");
        QTest::addColumn<QStringList>("clientes");

        const QString propioNombre = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', BRAX.dbo.Domicilio_lineal_Brax "
            "(C.Cliente) 'Direccion' FROM Clientes C join sucursales s on c.sucursal=s.sucursal "
            "WHERE Nombre_Cliente like ? and s.centro_distribucion=? order by Nombre_Cliente");
        const QString propioDireccion = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C join "
            "sucursales s on c.sucursal=s.sucursal JOIN domicilios d on c.cliente = d.clave "
            "WHERE d.direccion like ? and d.tabla='Clientes' and s.centro_distribucion=? order by "
            "Nombre_Cliente");
        const QString propioNumero = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C join "
            "sucursales s on c.sucursal=s.sucursal WHERE Cliente = ? and "
            "s.centro_distribucion=? order by Nombre_Cliente");
        const QString propioVenta = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono',BRAX.dbo.Domicilio_lineal_Brax "
            "(C.Cliente) 'Direccion'FROM Clientes c join facturas_clientes f    on f.cliente  = "
            "c.cliente join sucursales s on f.sucursal = s.sucursal WHERE f.venta = ? and "
            "s.centro_distribucion=? order by Nombre_Cliente");
        const QString todosNombre = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C  WHERE "
            "Nombre_Cliente like ?");
        const QString todosDireccion = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', BRAX.dbo.Domicilio_lineal_Brax "
            "(C.Cliente) 'Direccion' FROM Clientes C  JOIN domicilios d on c.cliente = d.clave "
            "WHERE d.direccion like ? and d.tabla='Clientes' order by Nombre_Cliente");
        const QString todosNumero = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C  WHERE "
            "Cliente = ?");
        const QString todosVenta = QStringLiteral(
            "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', BRAX.dbo.Domicilio_lineal_Brax "
            "(C.Cliente) 'Direccion' FROM Clientes C join facturas_clientes f on f.cliente  = "
            "c.cliente WHERE f.venta = ? order by Nombre_Cliente ");

        // Customers 101 and 7 belong to centre GDL, 303 to MTY.
        QTest::newRow("nombre, centro propio")
            << "Option1" << false << "PEREZ GOMEZ" << S + propioNombre
            << QVariantList{"%PEREZ GOMEZ%", kCentro} << QStringList{"7"};
        QTest::newRow("nombre, blancos alrededor")
            << "Option1" << false << "   PEREZ LOPEZ  " << S + propioNombre
            << QVariantList{"%PEREZ LOPEZ%", kCentro} << QStringList{"101"};
        QTest::newRow("direccion, centro propio")
            << "Option2" << false << "HIDALGO 10" << S + propioDireccion
            << QVariantList{"%HIDALGO 10%", kCentro} << QStringList{"101"};
        QTest::newRow("numero cliente, un digito")
            << "Option3" << false << "7" << S + propioNumero << QVariantList{7LL, kCentro}
            << QStringList{"7"};
        QTest::newRow("numero cliente, blancos alrededor")
            << "Option3" << false << " 101 " << S + propioNumero << QVariantList{101LL, kCentro}
            << QStringList{"101"};
        QTest::newRow("numero venta, un digito") << "Option4" << false << "8" << S + propioVenta
                                                 << QVariantList{"8", kCentro} << QStringList{"7"};
        QTest::newRow("nombre, todos") << "Option1" << true << "PEREZ GOMEZ" << S + todosNombre
                                       << QVariantList{"%PEREZ GOMEZ%"} << QStringList{"303", "7"};
        QTest::newRow("direccion, todos (por nombre)")
            << "Option2" << true << "HIDALGO 10" << S + todosDireccion
            << QVariantList{"%HIDALGO 10%"} << QStringList{"303", "101"};
        QTest::newRow("numero cliente, todos") << "Option3" << true << "303" << S + todosNumero
                                               << QVariantList{303LL} << QStringList{"303"};
        QTest::newRow("numero venta, todos") << "Option4" << true << "500002" << S + todosVenta
                                             << QVariantList{"500002"} << QStringList{"303"};
        QTest::newRow("pegado con fines de linea y controles")
            << "Option1" << false << QStringLiteral("\nPEREZ\r\nGOMEZ\t\x1b") + QChar(0)
            << S + propioNombre << QVariantList{"%PEREZ GOMEZ%", kCentro} << QStringList{"7"};
        QTest::newRow("acentos y apostrofo")
            << "Option1" << true << "O'HARA NUÑEZ" << S + todosNombre
            << QVariantList{"%O'HARA NUÑEZ%"} << QStringList{"404"};
    }

    void ochoSentencias_textoValoresYFilas()
    {
        QFETCH(QString, opcion);
        QFETCH(bool, todos);
        QFETCH(QString, buscado);
        QFETCH(QString, sentencia);
        QFETCH(QVariantList, valores);
        QFETCH(QStringList, clientes);

        BusquedaPrueba p;
        p.sembrar();
        QVERIFY(p.abrir());
        p.buscar(opcion.toLatin1().constData(), todos, buscado);

        QVERIFY2(p.mensajes.cajas().isEmpty(), qPrintable(resumen(p.mensajes).join('\n')));
        QCOMPARE(p.envios.size(), 1);
        QCOMPARE(p.envios[0].texto, sentencia);
        QCOMPARE(p.envios[0].valores, valores);
        // The history keeps what was searched, on a line of its own.
        QString registrado = valores.first().toString();
        if (registrado.startsWith(u'%'))
            registrado = registrado.mid(1, registrado.size() - 2);
        QCOMPARE(p.historialEnDisco(), registrado.toUtf8() + "\r\n");
        QCOMPARE(p.envios[0].rotulo, QStringLiteral("Espere..."));
        QVERIFY(p.envios[0].espera);
        QCOMPARE(p.control<QAbstractButton>("cmdBuscar")->text(), QStringLiteral("&Buscar"));
        QVERIFY(!QApplication::overrideCursor());

        QStringList cabeceras;
        for (int c = 0; c < p.grid()->columnCount(); ++c)
            cabeceras << p.grid()->horizontalHeaderItem(c)->text();
        QCOMPARE(cabeceras, QStringList({"Cliente", "Nombre", "Huella Registrada", "RFC",
                                         "Clasificación", "Telefono", "Direccion"}));
        // Ten rows and every whole header in view without the user resizing; the seeded
        // addresses are wider than what is left for them.
        QCoreApplication::processEvents();
        QVERIFY(p.grid()->viewport()->height() >=
                10 * p.grid()->verticalHeader()->defaultSectionSize());
        const QHeaderView* cabecera = p.grid()->horizontalHeader();
        for (int c = 0; c < cabecera->count(); ++c) {
            const int inicio = cabecera->sectionViewportPosition(c);
            QVERIFY2(inicio >= 0 &&
                         inicio + cabecera->sectionSize(c) <= cabecera->viewport()->width(),
                     qPrintable(cabeceras.at(c)));
            QVERIFY2(cabecera->sectionSize(c) >= cabecera->sectionSizeHint(c),
                     qPrintable(cabeceras.at(c)));
        }
        QStringList obtenidos = p.columna(QStringLiteral("Cliente"));
        if (todos && opcion == QLatin1String("Option1")) // no ordering clause
            std::sort(obtenidos.begin(), obtenidos.end(),
                      [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
        QCOMPARE(obtenidos, clientes);
    }

    void textoRechazado_mensajeYNingunaSentencia_data()
    {
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<QString>("buscado");
        for (const char* opcion : {"Option1", "Option2", "Option3", "Option4"})
            QTest::addRow("%s vacio", opcion) << opcion << "";
        const auto caso = [](const char* nombre, const char* opcion, const char* texto) {
            QTest::newRow(nombre) << QString::fromLatin1(opcion) << QString::fromUtf8(texto);
        };
        caso("nombre de una palabra", "Option1", "   ANA  ");
        caso("nombre solo blancos", "Option1", "     ");
        caso("direccion de una palabra", "Option2", "HIDALGO");
        caso("numero cliente con letras", "Option3", "12A");
        caso("numero cliente con signo", "Option3", "-5");
        caso("numero cliente con sentencia", "Option3", "1; DELETE FROM Clientes");
    }

    void textoRechazado_mensajeYNingunaSentencia()
    {
        QFETCH(QString, opcion);
        QFETCH(QString, buscado);
        BusquedaPrueba p;
        p.sembrar();
        QVERIFY(p.abrir());
        p.buscar(opcion.toLatin1().constData(), false, buscado);

        QCOMPARE(p.mensajes.cajas().size(), 1);
        QCOMPARE(p.mensajes.cajas()[0].tipo, Tipo::Error);
        QCOMPARE(p.mensajes.cajas()[0].mensaje, kVerifique);
        QCOMPARE(p.mensajes.cajas()[0].titulo, QStringLiteral("Error de Captura"));
        QVERIFY(p.envios.isEmpty());
        QCOMPARE(p.control<QAbstractButton>("cmdBuscar")->text(), QStringLiteral("&Buscar"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void textosIncomodos_sinErrorNiCambiosEnDatos_data()
    {
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<bool>("todos");
        QTest::addColumn<QString>("buscado");
        const QStringList textos = {
            QStringLiteral("O'HARA D'ANGELO"),
            QStringLiteral("100% _ %%"),
            QStringLiteral("'; DROP TABLE Clientes; --"),
            QStringLiteral("x' OR '1'='1"),
            QStringLiteral("NUÑEZ ÁLVAREZ ü"),
            QStringLiteral("[A-Z]% \\' \""),
            QStringLiteral("AB ").repeated(3000),
            QStringLiteral("9").repeated(40),
        };
        for (const char* opcion : {"Option1", "Option2", "Option3", "Option4"})
            for (bool todos : {false, true})
                for (int i = 0; i < textos.size(); ++i)
                    QTest::addRow("%s %s #%d", opcion, todos ? "todos" : "propio", i)
                        << opcion << todos << textos.at(i);
    }

    void textosIncomodos_sinErrorNiCambiosEnDatos()
    {
        QFETCH(QString, opcion);
        QFETCH(bool, todos);
        QFETCH(QString, buscado);

        BusquedaPrueba p;
        p.sembrar();
        const auto huella = [&p] {
            return p.bd
                .valor(QStringLiteral("SELECT (SELECT count(*) FROM Clientes) || '/' || (SELECT "
                                      "count(*) FROM sucursales) || '/' || (SELECT count(*) FROM "
                                      "facturas_clientes) || '/' || (SELECT group_concat("
                                      "Nombre_cliente) FROM Clientes)"))
                .toString();
        };
        const QString antes = huella();
        QVERIFY(p.abrir());
        p.buscar(opcion.toLatin1().constData(), todos, buscado);

        for (const auto& caja : p.mensajes.cajas())
            QVERIFY2(caja.mensaje == kNoExiste || caja.mensaje == kVerifique,
                     qPrintable(caja.mensaje));
        QCOMPARE(p.mensajes.cajas().size(), 1); // every one of these texts finds nobody
        QCOMPARE(huella(), antes);
        QCOMPARE(p.control<QAbstractButton>("cmdBuscar")->text(), QStringLiteral("&Buscar"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void sinFilas_mensajeYRejillaSinLasFilasAnteriores()
    {
        BusquedaPrueba p;
        p.sembrar();
        QVERIFY(p.abrir());
        p.buscar("Option1", true, QStringLiteral("PEREZ GOMEZ"));
        QCOMPARE(p.grid()->rowCount(), 2);
        const QRect celda = p.grid()->visualRect(p.grid()->model()->index(0, 1));

        p.buscar("Option1", true, QStringLiteral("NADIE NADIE"));
        QCOMPARE(p.mensajes.cajas().size(), 1);
        QCOMPARE(p.mensajes.cajas()[0].tipo, Tipo::Error);
        QCOMPARE(p.mensajes.cajas()[0].mensaje, kNoExiste);
        QCOMPARE(p.mensajes.cajas()[0].titulo, QStringLiteral("No Existe Cliente"));
        QCOMPARE(p.grid()->rowCount(), 0);
        QCOMPARE(p.control<QAbstractButton>("cmdBuscar")->text(), QStringLiteral("&Buscar"));

        // A double click where the first row was picks nobody.
        QTest::mouseClick(p.grid()->viewport(), Qt::LeftButton, {}, celda.center());
        QTest::mouseDClick(p.grid()->viewport(), Qt::LeftButton, {}, celda.center());
        QVERIFY(p.dialogo->isVisible());
        QCOMPARE(p.global.ClienteSeleccionado.NumeroCliente, 0.0);

        // The next search that finds rows shows them and they can be picked.
        p.buscar("Option1", true, QStringLiteral("PEREZ GOMEZ"));
        const QStringList nombres = p.columna(QStringLiteral("Nombre"));
        const int fila = int(nombres.indexOf(QStringLiteral("PEREZ GOMEZ LUIS")));
        QVERIFY(fila >= 0);
        const QRect suya = p.grid()->visualRect(p.grid()->model()->index(fila, 1));
        QTest::mouseClick(p.grid()->viewport(), Qt::LeftButton, {}, suya.center());
        QTest::mouseDClick(p.grid()->viewport(), Qt::LeftButton, {}, suya.center());
        QCOMPARE(p.dialogo->result(), int(QDialog::Accepted));
        QVERIFY(!p.dialogo->isVisible());
        const DatosCliente& c = p.global.ClienteSeleccionado;
        QCOMPARE(c.NumeroCliente, 303.0);
        QCOMPARE(c.NombreCliente, QStringLiteral("PEREZ GOMEZ LUIS"));
        QCOMPARE(c.RfcCliente, QStringLiteral("RFC303"));
        QCOMPARE(c.TelefonoCliente, QStringLiteral("33303"));
        QCOMPARE(c.DomicilioCliente,
                 QStringLiteral("HIDALGO 10, COL. CENTRO, GUADALAJARA, JALISCO, C.P. 44100"));
    }

    void filaCeroONegativa_noCambianNada()
    {
        BusquedaPrueba p;
        p.sembrar();
        p.global.ClienteSeleccionado.NumeroCliente = 55;
        p.global.ClienteSeleccionado.NombreCliente = QStringLiteral("ANTERIOR");
        QVERIFY(p.abrir());
        p.buscar("Option1", true, QStringLiteral("PEREZ GOMEZ"));
        QCOMPARE(p.grid()->rowCount(), 2);
        for (int fila : {0, -1, -32768, 3}) {
            p.dialogo->Grid1_DblClick(fila, 1);
            QVERIFY(p.dialogo->isVisible());
            QCOMPARE(p.global.ClienteSeleccionado.NumeroCliente, 55.0);
            QCOMPARE(p.global.ClienteSeleccionado.NombreCliente, QStringLiteral("ANTERIOR"));
        }
        // A double click on the header is row 0 too.
        QTest::mouseDClick(p.grid()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                           QPoint(5, 5));
        QVERIFY(p.dialogo->isVisible());
        QCOMPARE(p.global.ClienteSeleccionado.NumeroCliente, 55.0);
    }

    void enterEnLaRejilla_eligeLaFilaActualConNombreRecortado()
    {
        BusquedaPrueba p;
        p.sembrar();
        p.cliente(909, QStringLiteral("  ROJAS RUIZ EVA   "), QStringLiteral("S01"),
                  QStringLiteral("ALLENDE"));
        QVERIFY(p.abrir());
        p.buscar("Option1", false, QStringLiteral("ROJAS RUIZ"));
        QCOMPARE(p.grid()->rowCount(), 1);
        p.grid()->setFocus();
        p.grid()->setCurrentCell(0, 3);
        QTest::keyClick(p.grid(), Qt::Key_Return);
        QCOMPARE(p.dialogo->result(), int(QDialog::Accepted));
        QCOMPARE(p.global.ClienteSeleccionado.NumeroCliente, 909.0);
        QCOMPARE(p.global.ClienteSeleccionado.NombreCliente, QStringLiteral("ROJAS RUIZ EVA"));
        QCOMPARE(p.envios.size(), 1); // Enter did not search again
    }

    void teclas_mayusculasONumerosSegunModoYEnterPasaAlBoton()
    {
        BusquedaPrueba p;
        QVERIFY(p.abrir());
        const auto teclear = [&p](const QString& texto) {
            for (const QChar letra : texto) {
                const auto tecla = Qt::Key(letra.toUpper().unicode());
                QTest::sendKeyEvent(QTest::Press, p.texto(), tecla, QString(letra), {});
                QTest::sendKeyEvent(QTest::Release, p.texto(), tecla, QString(letra), {});
            }
        };
        teclear(QStringLiteral("pérez ñ1"));
        QCOMPARE(p.texto()->text(), QStringLiteral("PÉREZ Ñ1"));

        for (const char* opcion : {"Option3", "Option4"}) {
            p.control<QAbstractButton>(opcion)->click();
            p.texto()->setFocus();
            p.texto()->clear();
            teclear(QStringLiteral("a1 -2.b3"));
            QCOMPARE(p.texto()->text(), QStringLiteral("123"));
            // Delete reaches the box as X11 reports it, with the character 127.
            p.texto()->setCursorPosition(0);
            QTest::sendKeyEvent(QTest::Press, p.texto(), Qt::Key_Delete, QString(QChar(0x7f)), {});
            QCOMPARE(p.texto()->text(), QStringLiteral("23"));
        }
        p.control<QAbstractButton>("Option2")->click();
        p.texto()->setFocus();
        p.texto()->clear();
        teclear(QStringLiteral("av"));
        QCOMPARE(p.texto()->text(), QStringLiteral("AV"));

        QTest::keyClick(p.texto(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), p.control<QWidget>("cmdBuscar"));
        QCOMPARE(p.texto()->text(), QStringLiteral("AV"));
        QVERIFY(p.envios.isEmpty());
        QVERIFY(p.mensajes.cajas().isEmpty());
    }

    void falloDeLaBase_mensajeYDialogoUsable()
    {
        BusquedaPrueba p;
        p.sembrar();
        QVERIFY(p.abrir());
        p.buscar("Option1", true, QStringLiteral("PEREZ GOMEZ"));
        QCOMPARE(p.grid()->rowCount(), 2);
        p.bd.conexion().cerrar();
        p.buscar("Option1", true, QStringLiteral("PEREZ LOPEZ"));
        QCOMPARE(p.mensajes.cajas().size(), 1);
        QVERIFY2(p.mensajes.cajas()[0].mensaje.startsWith(QStringLiteral("Error 3704")),
                 qPrintable(p.mensajes.cajas()[0].mensaje));
        QCOMPARE(p.grid()->rowCount(), 2);
        QCOMPARE(p.control<QAbstractButton>("cmdBuscar")->text(), QStringLiteral("&Buscar"));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(p.dialogo->isVisible());
    }
};

QTEST_MAIN(PruebaFrmBusqueda_Cliente)
#include "tst_FrmBusqueda_Cliente.moc"
