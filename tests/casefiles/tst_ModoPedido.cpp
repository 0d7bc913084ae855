#include "app/FrmEscaneo.h"
#include "casefiles/ListaExpedientes.h"
#include "casefiles/TipoDocumento.h"
#include "support/VentanaPrueba.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

namespace {
const QString kAsignado =
    QStringLiteral("informacion|Expediente Asignado Correctamente!|Asignación de Pedido");

QString consultaPedido(const char* pedido)
{
    return QStringLiteral("SELECT C.Cliente'Cliente',C.Nombre_cliente'Nombre',c.rfc'RFC', "
                          "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                          "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion',p.clave_pedido "
                          "FROM Clientes C  JOIN pedidos_clientes p ON c.cliente = p.cliente  "
                          "WHERE p.pedido =") +
           QLatin1String(pedido);
}

QString asignacion(const char* pedido, int folio)
{
    return QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET Pedido=%1,estado_actual='Asignado' "
                          "WHERE expediente = %2  and estado_actual='Capturado'")
        .arg(QLatin1String(pedido))
        .arg(folio);
}

// Sale 12345 (GDL-012345) of customer 1234, whose case files are 500 'Capturado' and 470
// assigned to sale 9001; sale 20000 of customer 777, whose only case file is assigned; customer
// 555 has a captured case file 510 of its own. Every working file exists before the start.
class Escenario
{
public:
    Escenario()
    {
        BaseDatosPrueba& bd = p.bd();
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.servidorImagenes({});
        BaseDatosPrueba::Cliente cliente;
        for (const auto& [numero, nombre] :
             {std::pair{1234, "Pérez Gómez Juan"}, {777, "Luna Ríos Ana"}, {555, "Soto Paz Eva"}}) {
            cliente.numero = numero;
            cliente.nombre = QString::fromUtf8(nombre);
            bd.cliente(cliente);
        }
        bd.venta(12345, 1234, QStringLiteral("S01"), QStringLiteral("GDL-012345"));
        bd.venta(9001, 1234, QStringLiteral("S01"), QStringLiteral("V-9001"));
        bd.venta(20000, 777, QStringLiteral("S01"), QStringLiteral("GDL-020000"));
        expediente(470, 1234, "Asignado", 9001, "2024-01-10");
        expediente(500, 1234, "Capturado", {}, "2024-03-05");
        expediente(490, 777, "Asignado", 20000, "2024-02-01");
        expediente(510, 555, "Capturado", {}, "2024-02-02");
        for (const TipoDocumento& tipo : TipoDocumento::todos())
            QFile(tipo.archivoTrabajo()).open(QIODevice::WriteOnly);
    }

    void expediente(int folio, int cliente, const char* estado, const QVariant& pedido,
                    const char* fecha)
    {
        p.bd().conexion().ejecutar(
            QStringLiteral("INSERT INTO Expedientes_ZR (expediente, Cliente, sucursal, fecha,"
                           " Pedido, estado_actual) VALUES (?, ?, 'S01', ?, ?, ?)"),
            {folio, cliente, QString::fromLatin1(fecha) + QStringLiteral(" 10:00:00.000"), pedido,
             QString::fromLatin1(estado)});
    }

    ListaExpedientes& lista() { return *p.ventana().findChild<ListaExpedientes*>(); }
    // "pedido|estado" of a case file as the database holds it.
    QString fila(int folio)
    {
        return p.bd()
            .valor(QStringLiteral("SELECT ifnull(Pedido, 'nulo') || '|' || estado_actual"
                                  " FROM Expedientes_ZR WHERE expediente = ?"),
                   {folio})
            .toString();
    }
    // Folios of the list, in its order.
    QString folios()
    {
        auto* r = p.control<QTableWidget>("iExpedientes");
        QStringList lista;
        for (int f = 0; f < r->rowCount(); ++f)
            lista << r->item(f, 0)->text();
        return lista.join(QLatin1Char(','));
    }
    void elegirFolio(int folio)
    {
        const int fila = folios().split(QLatin1Char(',')).indexOf(QString::number(folio));
        QVERIFY(fila >= 0);
        lista().iExpedientes_Click(fila + 1);
    }
    bool asignable() { return p.control<QPushButton>("CmdAsignar")->isEnabled(); }

    VentanaPrueba p;
};
} // namespace

// Order mode on the real window offscreen over the embedded database: the start with a sale
// number and the assignment of a captured case file to that sale.
class PruebaModoPedido : public QObject
{
    Q_OBJECT

private slots:
    void arranque_data()
    {
        QTest::addColumn<QString>("pedido");
        QTest::addColumn<bool>("encontrado");
        QTest::addColumn<QStringList>("encabezado"); // number, name, RFC, telephone, address
        QTest::addColumn<QString>("etiqueta");
        QTest::addColumn<QString>("folios");
        QTest::addColumn<double>("folio");
        QTest::addColumn<QStringList>("cajas");
        QTest::addColumn<QString>("destino");
        const QString domicilio =
            QStringLiteral("HIDALGO 10, COL. CENTRO, GUADALAJARA, JALISCO, C.P. 44100");
        QTest::newRow("expediente capturado")
            << "12345" << true
            << QStringList{"1234", "Pérez Gómez Juan", "PELJ800101AB1", "3312345678", domicilio}
            << "Pedido a Asignar:GDL-012345"
            << "500,470" << 500.0 << QStringList{} << "Expediente 500";
        QTest::newRow("sin expediente capturado")
            << "20000" << true
            << QStringList{"777", "Luna Ríos Ana", "PELJ800101AB1", "3312345678", domicilio}
            << "Pedido a Asignar:GDL-020000"
            << "490" << 0.0
            << QStringList{QStringLiteral("error|No existe Expediente por Asignar|Verifique con "
                                          "tienda la documentación/numero de cliente usado")}
            << "Expediente nuevo de LUNA RÍOS ANA";
        QTest::newRow("pedido no localizado")
            << "99999" << false << QStringList{"", "", "", "", ""} << "Pedido a Asignar:"
            << "" << 0.0
            << QStringList{QStringLiteral(
                   "error|Error Grave Pedido NO localizado, reportelo a Sistemas|Error")}
            << "Ningún cliente elegido";
        QTest::newRow("pedido negativo")
            << "-5" << false << QStringList{"", "", "", "", ""} << "Pedido a Asignar:"
            << "" << 0.0
            << QStringList{QStringLiteral(
                   "error|Error Grave Pedido NO localizado, reportelo a Sistemas|Error")}
            << "Ningún cliente elegido";
    }

    void arranque()
    {
        QFETCH(QString, pedido);
        QFETCH(bool, encontrado);
        QFETCH(QStringList, encabezado);
        QFETCH(QString, etiqueta);
        QFETCH(QString, folios);
        QFETCH(double, folio);
        QFETCH(QStringList, cajas);
        QFETCH(QString, destino);
        Escenario e;
        VentanaPrueba& p = e.p;

        QVERIFY(p.cargar(pedido));

        QCOMPARE(p.global.PedidoAAsignar, pedido.toDouble());
        QCOMPARE(p.mensajes.resumen(), cajas);
        auto* tabs = p.control<QTabWidget>("TabScan");
        QCOMPARE(tabs->isEnabled(), encontrado);
        QCOMPARE(tabs->currentIndex(), 0);
        QStringList cabecera;
        for (const char* nombre :
             {"TxtNumero", "TxtCliente", "TxtRFC", "TxtTelefono", "TxtDomicilio"})
            cabecera << p.control<QLineEdit>(nombre)->text();
        QCOMPARE(cabecera, encabezado);
        QCOMPARE(p.control<QLabel>("LblPedido")->text(), etiqueta);
        QCOMPARE(e.folios(), folios);
        QCOMPARE(e.asignable(), folio > 0);
        QCOMPARE(p.ventana().sesion().FolioActual, folio);
        QCOMPARE(p.control<QLabel>("LblDestino")->text(), destino);
        QVERIFY(p.global.EstadoExpediente.isEmpty());
        // The working files belong to whatever customer came before; a sale not found leaves
        // them alone, as a plain start does.
        QCOMPARE(QFile::exists(QStringLiteral("expedienteD.tif")), !encontrado);

        const QStringList enviadas = p.sentencias();
        QVERIFY(enviadas.contains(consultaPedido(qPrintable(pedido))));
        const QString busqueda =
            QStringLiteral("SELECT expediente FROM BRAX.dbo.Expedientes_ZR WHERE Cliente = %1  "
                           "and estado_actual='Capturado'")
                .arg(encabezado.first());
        QCOMPARE(enviadas.contains(busqueda), encontrado);
    }

    void asignar_data()
    {
        QTest::addColumn<int>("cliente");     // chosen with the customer button first; 0: none
        QTest::addColumn<int>("elegido");     // row picked before the press; 0: none
        QTest::addColumn<int>("actualizado"); // folio of the update sent; 0: none
        QTest::addColumn<QString>("filas");   // 500 480 460 470 510 after the press
        QTest::addColumn<QString>("caja");
        const QString sinCambio = QStringLiteral(
            "nulo|Capturado nulo|Capturado 12345| Asignado 9001|Asignado nulo|Capturado");
        const QString rechazo = QStringLiteral("error|Elija en la lista un expediente del cliente "
                                               "de la venta para asignarlo; no se asignó ningún "
                                               "expediente.|Asignación de Pedido");
        QTest::newRow("encontrado al iniciar")
            << 0 << 0 << 500
            << "12345|Asignado nulo|Capturado 12345| Asignado 9001|Asignado nulo|Capturado"
            << kAsignado;
        QTest::newRow("otra fila capturada")
            << 0 << 480 << 480
            << "nulo|Capturado 12345|Asignado 12345| Asignado 9001|Asignado nulo|Capturado"
            << kAsignado;
        // Already tied to this very sale: it stays so, and that is what the user is told.
        QTest::newRow("ya asignado a esta venta") << 0 << 460 << 460 << sinCambio << kAsignado;
        // Nothing tied to the sale: the user is told so, and the button stays for the right one.
        QTest::newRow("fila asignada a otra venta")
            << 0 << 470 << 470 << sinCambio
            << "error|El expediente 470 no se asignó a la venta: está en estado Asignado y solo "
               "se asigna un expediente Capturado.|Asignación de Pedido";
        QTest::newRow("expediente de otro cliente") << 555 << 510 << 0 << sinCambio << rechazo;
        QTest::newRow("cliente elegido sin fila") << 1234 << 0 << 0 << sinCambio << rechazo;
    }

    void asignar()
    {
        QFETCH(int, cliente);
        QFETCH(int, elegido);
        QFETCH(int, actualizado);
        QFETCH(QString, filas);
        QFETCH(QString, caja);
        Escenario e;
        VentanaPrueba& p = e.p;
        QVERIFY(p.cargar(QStringLiteral("12345")));
        // Captured or assigned on another workstation after this one listed the case files.
        e.expediente(480, 1234, "Capturado", {}, "2024-06-01");
        e.expediente(460, 1234, " Asignado", 12345, "2024-06-02");
        e.lista().CargarExpedientes();
        if (cliente) {
            e.lista().mostrarBusqueda = [&p, cliente] {
                p.global.ClienteSeleccionado.NumeroCliente = cliente;
            };
            p.clic("CmdCLientes");
        }
        if (elegido)
            e.elegirFolio(elegido);
        const int antes = p.sentencias().size();

        p.clic("CmdAsignar");

        QCOMPARE(p.mensajes.resumen(), QStringList{caja});
        QStringList estados;
        for (const int folio : {500, 480, 460, 470, 510})
            estados << e.fila(folio);
        QCOMPARE(estados.join(QLatin1Char(' ')), filas);
        const QStringList enviadas = p.sentencias().mid(antes);
        QCOMPARE(enviadas.filter(QStringLiteral("UPDATE")),
                 actualizado ? QStringList{asignacion("12345", actualizado)} : QStringList{});
        const bool exito = caja == kAsignado;
        QCOMPARE(e.asignable(), !exito);
        if (!exito)
            return;
        // The list was read again and shows the sale on the assigned case file.
        auto* r = p.control<QTableWidget>("iExpedientes");
        const int fila = e.folios().split(QLatin1Char(',')).indexOf(QString::number(actualizado));
        QCOMPARE(r->item(fila, 3)->text(), QStringLiteral("GDL-012345"));
        QCOMPARE(r->item(fila, 13)->text().trimmed(), QStringLiteral("Asignado"));
        QCOMPARE(p.control<QLabel>("LblDestino")->text(),
                 QStringLiteral("Expediente %1 (venta GDL-012345)").arg(actualizado));
    }

    void falloDeBaseDeDatos_seMuestraYElBotonQueda()
    {
        Escenario e;
        VentanaPrueba& p = e.p;
        QVERIFY(p.cargar(QStringLiteral("12345")));
        p.bd().conexion().ejecutar(QStringLiteral("DROP TABLE Expedientes_ZR"));

        p.clic("CmdAsignar");

        const QStringList cajas = p.mensajes.resumen();
        QVERIFY2(cajas.size() == 1 && cajas.first().startsWith(QStringLiteral("error|Error ")),
                 qPrintable(cajas.join(QLatin1Char('\n'))));
        QVERIFY(e.asignable());
        QVERIFY(p.ventana().isVisible());
    }
};

QTEST_MAIN(PruebaModoPedido)
#include "tst_ModoPedido.moc"
