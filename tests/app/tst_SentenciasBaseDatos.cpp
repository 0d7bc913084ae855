#include "app/ConexionBaseDatos.h"
#include "support/BaseDatosPrueba.h"

#include <QTest>

// Every statement the program sends, as the program writes it (texts bound as "?"), run on
// the embedded database through the adapter and checked against seeded rows. Each bound
// text carries something awkward: an apostrophe, Ñ/Á, a wildcard, a statement separator.
namespace {

const QString S = QStringLiteral(
    "SELECT C.Cliente'Cliente',C.Nombre_cliente'Nombre',brax.dbo.tiene_huellas(c.cliente)'Huella "
    "Registrada',c.rfc'RFC', BRAX.dbo.clasificacion_credito_cliente (C.Cliente,1) "
    "'Clasificación', ");
const QString kCentro = QStringLiteral("GDL    "); // as CargarConfiguracion holds it
const QString kSucursal = QStringLiteral("S'01");
const QString kVenta = QStringLiteral("V'01; DROP TABLE facturas_clientes");

struct Caso
{
    const char* nombre;
    QString sentencia;
    QVariantList valores;
    // A query is checked by its own rows; any other statement by the rows of `comprobacion`
    // ("REGRESA_FOLIO": the procedure's answer after the statement).
    QString comprobacion;
    // Fields rendered, by name; empty: a header line with every column, then every column.
    QStringList campos;
    QString esperado;
};

void sembrar(BaseDatosPrueba& bd)
{
    bd.sucursal(kSucursal, QStringLiteral("GDL"));
    bd.sucursal(QStringLiteral("S03"), QStringLiteral("MTY"), QStringLiteral("Monterrey Centro"));
    bd.servidorImagenes({});
    BaseDatosPrueba::ServidorImagenes mty;
    mty.centro = QStringLiteral("MTY");
    bd.servidorImagenes(mty);

    BaseDatosPrueba::Cliente c;
    c.numero = 100001;
    c.nombre = QStringLiteral("O'HARA PEÑA JUAN");
    c.sucursal = kSucursal;
    c.rfc = QStringLiteral("OAPJ800101AB1");
    c.huellas = true;
    c.calle = QStringLiteral("5 DE MAYO");
    bd.cliente(c);
    c.numero = 100002;
    c.nombre = QStringLiteral("NUÑEZ ÁLVAREZ MARÍA");
    c.rfc = QStringLiteral("NUAM900202XY2");
    c.huellas = false;
    c.clasificacion = QStringLiteral("C");
    c.calle = QStringLiteral("AV. 100% MEXICANO");
    bd.cliente(c);
    c.numero = 100003;
    c.nombre = QStringLiteral("ÁLVAREZ O'HARA ANA");
    c.sucursal = QStringLiteral("S03");
    c.telefono = QStringLiteral("8112345678");
    bd.cliente(c);

    bd.venta(500001, 100001, kSucursal, QStringLiteral("GDL-000001"), QStringLiteral("Surtido"),
             kVenta);
    bd.venta(500002, 100003, QStringLiteral("S03"), QStringLiteral("MTY-000001"),
             QStringLiteral("Pendiente"), kVenta);
    bd.conexion().ejecutar(QStringLiteral(
        "INSERT INTO Expedientes_ZR (expediente, Cliente, sucursal, fecha, es_prestamo, Pedido,"
        " estado_actual, imagen_NOTA) VALUES"
        " (10234, 100001, 'S''01', '2024-03-05 10:00:00.000', 0, NULL, 'Capturado', 0),"
        " (10235, 100001, 'S''01', '2024-04-06 11:00:00.000', 1, 500001, 'Asignado', 1)"));
}

QString fila(const Registros& r, const QStringList& campos)
{
    QStringList valores;
    if (campos.isEmpty()) {
        for (int i = 0; i < r.columnas(); ++i)
            valores << (r.campo(i).isNull() ? QStringLiteral("<nulo>") : r.campo(i).toString());
    } else {
        for (const QString& campo : campos)
            valores << (r.campo(campo).isNull() ? QStringLiteral("<nulo>")
                                                : r.campo(campo).toString());
    }
    return valores.join(QLatin1Char('|'));
}

QString mostrar(Registros r, const QStringList& campos)
{
    QStringList lineas;
    if (campos.isEmpty()) {
        QStringList cabecera;
        for (int i = 0; i < r.columnas(); ++i)
            cabecera << r.nombreColumna(i);
        lineas << cabecera.join(QLatin1Char('|'));
    }
    for (; !r.eof(); r.siguiente())
        lineas << fila(r, campos);
    return lineas.join(QLatin1Char('\n'));
}

QList<Caso> casos()
{
    const QString n = NumeroPlano(100001);
    const QString banderas = QStringLiteral(
        "SELECT imagen_solicitud, imagen_IFE, imagen_TALON, imagen_CARTA, imagen_NOTA,"
        " imagen_ENTREGA, imagen_EXTRA FROM Expedientes_ZR WHERE expediente = 10234");
    const QString alta = QStringLiteral("INSERT INTO  BRAX.dbo.Expedientes_ZR( Cliente,sucursal, "
                                        "fecha,es_prestamo) VALUES (") +
                         NumeroPlano(100002) + QStringLiteral(",?,GETDATE(),?)");
    const QString asignar = QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET Pedido=") +
                            NumeroPlano(500001) +
                            QStringLiteral(",estado_actual='Asignado' WHERE expediente = ");
    const QString detalleCliente =
        QStringLiteral("100001|O'HARA PEÑA JUAN|SI|OAPJ800101AB1|A|3312345678|5 DE MAYO 10, COL. "
                       "CENTRO, GUADALAJARA, JALISCO, C.P. 44100");
    const QString cabecera =
        QStringLiteral("Cliente|Nombre|Huella Registrada|RFC|Clasificación|Telefono|Direccion\n");

    QList<Caso> lista = {
        {"sucursal",
         QStringLiteral("SELECT centro_distribucion,tasa_iva,nombre_sucursal FROM sucursales "
                        "where sucursal=?"),
         {kSucursal},
         {},
         {},
         QStringLiteral("centro_distribucion|tasa_iva|nombre_sucursal\n"
                        "GDL|0.16|Guadalajara Centro")},
        {"servidor de imagenes",
         QStringLiteral("SELECT a.* from brax.dbo.acceso_ftp_ZR a Join sucursales s ON "
                        "a.centro_distribucion=s.centro_distribucion  WHERE s.sucursal=?"),
         {kSucursal},
         {},
         {"direccion_local", "direccion_remota", "usuario", "contrasena", "puerto", "tamano",
          "resolucion_BN", "resolucion_RGB", "Ruta"},
         QStringLiteral("127.0.0.1|192.0.2.7|imagenes|imagenes|2121|2048|200|150|/gdl")},
        {"lista de expedientes",
         QStringLiteral(
             "SELECT e.expediente 'Expediente', erp_qor.dbo.fecha_corta(e.fecha) 'Fecha', "
             "ERP_QOR.dbo.nombre_sucursal(e.sucursal) 'Sucursal', p.clave_pedido 'Venta', "
             "e.es_prestamo'Prestamo', p.estado_actual 'Estado Venta', e.imagen_solicitud "
             "'Solicitud', e.imagen_talon 'Recibo Pago', e.imagen_IFE 'Identificación', "
             "e.imagen_carta 'C.Sindicato', e.imagen_nota 'Nota Venta', e.imagen_extra 'Extras', "
             "e.imagen_entrega 'Entrega', e.estado_actual 'Estado Expediente' FROM "
             "BRAX.dbo.expedientes_ZR E LEFT JOIN Pedidos_clientes P ON e.pedido = p.pedido WHERE "
             "e.cliente = ") +
             n + QStringLiteral(" order by e.fecha DESC "),
         {},
         {},
         {},
         QStringLiteral("Expediente|Fecha|Sucursal|Venta|Prestamo|Estado Venta|Solicitud|Recibo "
                        "Pago|Identificación|C.Sindicato|Nota Venta|Extras|Entrega|Estado "
                        "Expediente\n"
                        "10235|06/04/2024|Guadalajara "
                        "Centro|GDL-000001|1|Surtido|0|0|0|0|1|0|0|Asignado\n"
                        "10234|05/03/2024|Guadalajara "
                        "Centro|<nulo>|0|<nulo>|0|0|0|0|0|0|0|Capturado")},
        {"expediente por folio",
         QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE expediente = ") +
             NumeroPlano(10235) + QStringLiteral(" "),
         {},
         {},
         {"EXPEDIENTE", "Imagen_NOTA", "Imagen_TALON", "estado_actual"},
         QStringLiteral("10235|1|0|Asignado")},
        {"expedientes capturados del cliente",
         QStringLiteral("SELECT * FROM BRAX.dbo.Expedientes_ZR WHERE Cliente = ") + n +
             QStringLiteral("  and estado_actual='Capturado'"),
         {},
         {},
         {"expediente"},
         QStringLiteral("10234")},
        {"cliente del pedido",
         QStringLiteral("SELECT C.Cliente'Cliente',C.Nombre_cliente'Nombre',c.rfc'RFC', "
                        "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                        "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion',p.clave_pedido "
                        "FROM Clientes C  JOIN pedidos_clientes p ON c.cliente = p.cliente  "
                        "WHERE p.pedido =") +
             NumeroPlano(500001),
         {},
         {},
         {},
         QStringLiteral("Cliente|Nombre|RFC|Telefono|Direccion|clave_pedido\n100001|O'HARA PEÑA "
                        "JUAN|OAPJ800101AB1|3312345678|5 DE MAYO 10, COL. CENTRO, GUADALAJARA, "
                        "JALISCO, C.P. 44100|GDL-000001")},
        {"folio capturado del cliente",
         QStringLiteral("SELECT expediente FROM BRAX.dbo.Expedientes_ZR WHERE Cliente = ") + n +
             QStringLiteral("  and estado_actual='Capturado'"),
         {},
         {},
         {},
         QStringLiteral("expediente\n10234")},
        {"asignar capturado",
         asignar + NumeroPlano(10234) + QStringLiteral("  and estado_actual='Capturado'"),
         {},
         QStringLiteral("SELECT Pedido, estado_actual FROM Expedientes_ZR ORDER BY expediente"),
         {},
         QStringLiteral("Pedido|estado_actual\n500001|Asignado\n500001|Asignado")},
        {"asignar ya asignado no cambia",
         QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET Pedido=") + NumeroPlano(500002) +
             QStringLiteral(",estado_actual='Asignado' WHERE expediente = ") + NumeroPlano(10235) +
             QStringLiteral("  and estado_actual='Capturado'"),
         {},
         QStringLiteral("SELECT Pedido FROM Expedientes_ZR WHERE expediente = 10235"),
         {},
         QStringLiteral("Pedido\n500001")},
        {"alta de expediente",
         alta,
         {kSucursal, QStringLiteral("1")},
         QStringLiteral("SELECT Cliente, sucursal, es_prestamo, estado_actual, Pedido,"
                        " imagen_solicitud + imagen_IFE + imagen_TALON + imagen_CARTA +"
                        " imagen_NOTA + imagen_ENTREGA + imagen_EXTRA 'banderas',"
                        " fecha_corta(fecha) = strftime('%d/%m/%Y','now','localtime') 'hoy'"
                        " FROM Expedientes_ZR WHERE expediente > 10235"),
         {},
         QStringLiteral("Cliente|sucursal|es_prestamo|estado_actual|Pedido|banderas|hoy\n"
                        "100002|S'01|1|Capturado|<nulo>|0|1")},
        {"REGRESA_FOLIO tras el alta",
         alta,
         {kSucursal, QStringLiteral("0")},
         QStringLiteral("REGRESA_FOLIO"),
         {},
         QStringLiteral("10236")},
        // Customer search: own centre, then all centres, for each mode.
        {"buscar nombre centro",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM Clientes "
                            "C join sucursales s on c.sucursal=s.sucursal WHERE Nombre_Cliente "
                            "like ? and s.centro_distribucion=? order by Nombre_Cliente"),
         {QStringLiteral("%O'HARA%"), kCentro},
         {},
         {},
         cabecera + detalleCliente},
        {"buscar direccion centro",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C "
                            "join sucursales s on c.sucursal=s.sucursal JOIN domicilios d on "
                            "c.cliente = d.clave WHERE d.direccion like ? and d.tabla='Clientes' "
                            "and s.centro_distribucion=? order by Nombre_Cliente"),
         {QStringLiteral("%AV. 100% MEX%"), kCentro},
         {},
         {"Cliente", "Clasificación", "Huella Registrada"},
         QStringLiteral("100002|C|NO")},
        {"buscar numero cliente centro",
         S +
             QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C "
                            "join sucursales s on c.sucursal=s.sucursal WHERE Cliente = ") +
             n + QStringLiteral(" and s.centro_distribucion=? order by Nombre_Cliente"),
         {kCentro},
         {},
         {},
         cabecera + detalleCliente},
        {"buscar venta centro",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) "
                            "'Telefono',BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) "
                            "'Direccion'FROM Clientes c join facturas_clientes f    on f.cliente  "
                            "= c.cliente join sucursales s on f.sucursal = s.sucursal WHERE "
                            "f.venta = ? and s.centro_distribucion=? order by Nombre_Cliente"),
         {kVenta, kCentro},
         {},
         {"Cliente", "Telefono"},
         QStringLiteral("100001|3312345678")},
        {"buscar nombre todos",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C "
                            " WHERE Nombre_Cliente like ?"),
         {QStringLiteral("%O'HARA%")},
         {},
         {"Cliente"},
         QStringLiteral("100001\n100003")},
        {"buscar direccion todos",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM Clientes "
                            "C  JOIN domicilios d on c.cliente = d.clave WHERE d.direccion like ? "
                            "and d.tabla='Clientes' order by Nombre_Cliente"),
         {QStringLiteral("%100%MEXICANO%")},
         {},
         {"Nombre"},
         QStringLiteral("ÁLVAREZ O'HARA ANA\nNUÑEZ ÁLVAREZ MARÍA")},
        {"buscar numero cliente todos",
         S +
             QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C "
                            " WHERE Cliente = ") +
             NumeroPlano(100003),
         {},
         {},
         {"Cliente", "Telefono"},
         QStringLiteral("100003|8112345678")},
        {"buscar venta todos",
         S + QStringLiteral(
                 "ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                 "BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM Clientes C "
                 "join facturas_clientes f on f.cliente  = c.cliente WHERE f.venta = ? "
                 "order by Nombre_Cliente "),
         {kVenta},
         {},
         {"Cliente"},
         QStringLiteral("100003\n100001")},
        // Wildcards stay wildcards (as on the server); a statement in the text stays a text.
        {"buscar con comodin _",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C "
                            " WHERE Nombre_Cliente like ?"),
         {QStringLiteral("%o'hara pe_a%")},
         {},
         {"Cliente"},
         QStringLiteral("100001")},
        {"buscar con acentos en minusculas",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C "
                            " WHERE Nombre_Cliente like ?"),
         {QStringLiteral("%nuñez álvarez%")},
         {},
         {"Cliente"},
         QStringLiteral("100002")},
        {"buscar con sentencia en el texto",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax(C.Cliente) 'Direccion' FROM Clientes C "
                            " WHERE Nombre_Cliente like ?"),
         {QStringLiteral("%'; DROP TABLE Clientes; --%")},
         {},
         {"Cliente"},
         QString()},
        {"buscar en otro centro no encuentra",
         S + QStringLiteral("ERP_QOR.dbo.telefono_cliente (C.Cliente) 'Telefono', "
                            "BRAX.dbo.Domicilio_lineal_Brax (C.Cliente) 'Direccion' FROM Clientes "
                            "C join sucursales s on c.sucursal=s.sucursal WHERE Nombre_Cliente "
                            "like ? and s.centro_distribucion=? order by Nombre_Cliente"),
         {QStringLiteral("%ÁLVAREZ O'HARA%"), kCentro},
         {},
         {"Cliente"},
         QString()},
    };
    const char* const columnas[] = {"imagen_solicitud", "imagen_IFE",  "imagen_TALON",
                                    "imagen_CARTA",     "imagen_NOTA", "imagen_ENTREGA",
                                    "imagen_EXTRA"};
    for (int i = 0; i < 7; ++i) {
        QStringList esperado(7, QStringLiteral("0"));
        esperado[i] = QStringLiteral("1");
        lista.append({columnas[i],
                      QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET %1 = 1 WHERE expediente= ")
                              .arg(QLatin1String(columnas[i])) +
                          NumeroPlano(10234),
                      {},
                      banderas,
                      {},
                      esperado.join(QLatin1Char('|'))});
        lista.last().esperado.prepend(QStringLiteral(
            "imagen_solicitud|imagen_IFE|imagen_TALON|imagen_CARTA|imagen_NOTA|imagen_ENTREGA|"
            "imagen_EXTRA\n"));
    }
    return lista;
}

} // namespace

class PruebaSentenciasBaseDatos : public QObject
{
    Q_OBJECT

private slots:
    void sentencia_data()
    {
        QTest::addColumn<int>("indice");
        const QList<Caso> lista = casos();
        for (int i = 0; i < lista.size(); ++i)
            QTest::newRow(lista.at(i).nombre) << i;
    }
    void sentencia()
    {
        QFETCH(int, indice);
        const Caso caso = casos().at(indice);
        BaseDatosPrueba bd;
        sembrar(bd);
        bd.limpiarSentencias();
        ConexionBaseDatos& c = bd.conexion();
        QString obtenido;
        if (caso.sentencia.startsWith(QLatin1String("SELECT"))) {
            obtenido = mostrar(c.consultar(caso.sentencia, caso.valores), caso.campos);
        } else {
            c.ejecutar(caso.sentencia, caso.valores);
            obtenido = caso.comprobacion == QLatin1String("REGRESA_FOLIO")
                           ? c.regresaFolio().toString()
                           : mostrar(c.consultar(caso.comprobacion), caso.campos);
        }
        QCOMPARE(obtenido, caso.esperado);
        // The trace sees the statement as written, before the adapter touched it.
        QCOMPARE(bd.sentencias().first().texto, caso.sentencia);
        QCOMPARE(bd.sentencias().first().valores, caso.valores);
    }
};

QTEST_GUILESS_MAIN(PruebaSentenciasBaseDatos)
#include "tst_SentenciasBaseDatos.moc"
