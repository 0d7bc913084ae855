#include "PuestoPrueba.h"
#include "search/ComposicionBusqueda.h"

#include <QComboBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <sys/stat.h>

namespace {
// What SQL Server needs of each statement and the embedded database forgives: FreeTDS writes a
// bound marker as @Pn in place, so one that touches a word makes a longer variable name; and the
// case-file table lives in BRAX, not in the database the connection opens. Quoted literals are
// data and are left out. Returns the statements that fail, with the reason.
QStringList faltasParaElServidor(const QStringList& sentencias)
{
    static const QRegularExpression literal(QStringLiteral("'[^']*'"));
    static const QRegularExpression marcaPegada(QStringLiteral(R"(\w\?|\?\w)"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression sinBase(
        QStringLiteral(R"((?<!BRAX\.dbo\.)\b[Ee]xpedientes_ZR\b)"));
    QStringList faltas;
    for (const QString& sentencia : sentencias) {
        const QString codigo = QString(sentencia).remove(literal);
        if (codigo.contains(marcaPegada))
            faltas << QStringLiteral("marca pegada: ") + sentencia;
        if (codigo.contains(sinBase))
            faltas << QStringLiteral("sin BRAX.dbo.: ") + sentencia;
    }
    return faltas;
}

int modo(const QString& ruta)
{
    struct stat datos = {};
    return ::stat(QFile::encodeName(ruta).constData(), &datos) == 0 ? int(datos.st_mode & 07777)
                                                                    : -1;
}
} // namespace

// A capture as a branch does it, on real parts only: the customer found by name in the search
// dialog, a new case file with a feeder batch (a page removed on the way) and a second type,
// the stored document fetched back, and a later start in order mode that assigns the case
// file to the customer's sale; then every statement sent is held to what SQL Server needs.
// Once on the embedded database and once through QODBC.
class PruebaRecorridoCompleto : public QObject
{
    Q_OBJECT

    std::unique_ptr<ConfigSanePrueba> sane_;

private slots:
    void initTestCase()
    {
        sane_ = std::make_unique<ConfigSanePrueba>();
        QVERIFY(sane_->valida());
        QLocale::setDefault(QLocale::c());
    }

    void recorrido_data()
    {
        QTest::addColumn<bool>("odbc");
        QTest::newRow("base embebida") << false;
        QTest::newRow("odbc") << true;
    }

    void recorrido()
    {
        QFETCH(bool, odbc);
        if (odbc && !QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")))
            QSKIP("Sin el controlador QODBC de Qt");
        PuestoPrueba e(*sane_, odbc);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        // The pages are customers' papers: nobody else's, whatever the umask says.
        const mode_t mascara = ::umask(0);
        const auto reponerMascara = qScopeGuard([mascara] { ::umask(mascara); });

        // Start: nothing usable but the customer button.
        QVERIFY(e.arrancar());
        QCOMPARE(e.p.conexion.baseDatos().driverName(),
                 odbc ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE"));
        QVERIFY(!e.activo("TabScan"));
        QVERIFY(!e.activo("CmdAsignar"));
        QVERIFY(e.sesion().EscanerListo);
        QCOMPARE(e.p.control<QComboBox>("Combo1")->count(), 2);
        QCOMPARE(e.cajas(), QStringList{});

        // 1. The customer, by name, among two that match.
        QCOMPARE(e.buscarCliente(QStringLiteral("morales ibarra")), 2);
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.texto("TxtNumero"), QStringLiteral("4711"));
        QCOMPARE(e.texto("TxtCliente"), kNombre);
        QCOMPARE(e.texto("TxtRFC"), QStringLiteral("MOIR800101AB1"));
        QVERIFY(!e.texto("TxtDomicilio").isEmpty());
        QVERIFY(e.activo("TabScan"));
        QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 0);
        QCOMPARE(e.p.control<QTableWidget>("iExpedientes")->rowCount(), 0);
        QCOMPARE(e.p.global.EstadoExpediente, QStringLiteral("Capturado"));
        QCOMPARE(leerArchivo(e.p.entorno.archivoHistorial), QByteArray("MORALES IBARRA\r\n"));

        // 2. Folio 0 kept; type N: nothing stored for this customer yet.
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        e.p.clic("OpcNota");
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.texto("LblEstatus"), QStringLiteral("No Existe Documento Digitalizado"));
        QCOMPARE(e.sesion().FolioActual, 0.0);
        QVERIFY(!e.sesion().ExpedienteExiste);
        QVERIFY(e.activo("B_Acquire"));

        // 3. A feeder batch in automatic mode: ten bilevel pages at the branch's resolution.
        e.fuente(kFeeder);
        e.p.control<QCheckBox>("ChkShowUI")->setChecked(true);
        e.p.clic("B_Acquire");
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.paginas(), 10);
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("10"));
        QCOMPARE(e.escaner().BitsPorPixel(9), 1);
        QCOMPARE(e.escaner().Resolucion(), 50);
        const QString medida = QStringLiteral("%1 x %2 x 1")
                                   .arg(e.escaner().AnchoPagina(9))
                                   .arg(e.escaner().AltoPagina(9));
        QCOMPARE(e.texto("LabelImageNum"), QStringLiteral("Imagen 9 (%1 bpp )").arg(medida));
        QCOMPARE(e.texto("B_Acquire"), QStringLiteral("&Escanear"));
        QVERIFY(e.activo("BUpload") && e.activo("BDelete") && e.activo("BPrev"));
        QVERIFY(!e.activo("FrmDocumentos") && !e.activo("CmdCLientes"));
        QVERIFY(!e.activo("iExpedientes"));
        QVERIFY(e.p.global.CambiosPendientes);
        const QString sesion = e.escaner().CarpetaSesion();
        QCOMPARE(modo(sesion), 0700);
        QCOMPARE(modo(QDir(sesion).filePath(QStringLiteral("lote.ini"))), 0600);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(modo(e.escaner().ArchivoPagina(i)), 0600);

        // 4. Back two pages, forward one, and that page removed.
        e.p.clic("BPrev");
        e.p.clic("BPrev");
        QCOMPARE(e.sesion().PaginaActual, qint16(7));
        QVERIFY(e.activo("BNext"));
        e.p.clic("BNext");
        QCOMPARE(e.texto("LabelImageNum"), QStringLiteral("Imagen 8 (%1 bpp )").arg(medida));
        const QImage novena = e.escaner().ImagenPagina(9);
        e.p.clic("BDelete");
        QCOMPARE(e.paginas(), 9);
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("9"));
        QCOMPARE(e.sesion().PaginaActual, qint16(8));
        QCOMPARE(e.texto("LabelImageNum"), QStringLiteral("Imagen 8 (%1 bpp)").arg(medida));
        QCOMPARE(e.escaner().ImagenPagina(8), novena);

        // 5. Save: a new case file, its folio, the upload, the flag and the mark.
        e.p.clic("BUpload");
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.filas(), 1);
        const double folio = e.sesion().FolioActual;
        QVERIFY(folio > 0);
        QCOMPARE(e.valor(QStringLiteral("SELECT expediente FROM Expedientes_ZR")).toDouble(),
                 folio);
        QCOMPARE(e.columna(QStringLiteral("Cliente"), folio).toDouble(), kCliente);
        QCOMPARE(e.columna(QStringLiteral("sucursal"), folio).toString(), QStringLiteral("S01"));
        QCOMPARE(e.columna(QStringLiteral("estado_actual"), folio).toString(),
                 QStringLiteral("Capturado"));
        QCOMPARE(e.columna(QStringLiteral("es_prestamo"), folio).toString(), QStringLiteral("0"));
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 1);
        QCOMPARE(e.columna(QStringLiteral("imagen_solicitud"), folio).toInt(), 0);
        const QString nota = NumeroPlano(folio) + QStringLiteral("N.tif");
        QCOMPARE(e.remotos(), QStringList{nota});
        const QByteArray subido = leerArchivo(e.remoto(nota));
        QCOMPARE(subido, leerArchivo(QStringLiteral("expedienteN.tif")));
        QCOMPARE(EscritorTiff::contarPaginas(e.remoto(nota)), 9);
        QVERIFY(e.visible("nOK") && !e.visible("nFa"));
        QCOMPARE(e.texto("LblEstatus"), QStringLiteral("Expediente Guardado Correctamente!!: "));
        QCOMPARE(e.p.visor.abiertos, QStringList{QStringLiteral("expedienteN.tif")});
        QCOMPARE(e.p.control<QProgressBar>("ProgressBar1")->value(), 100);
        QCOMPARE(e.paginas(), 0);
        QCOMPARE(e.texto("TextImgCounter"), QStringLiteral("0"));
        QCOMPARE(e.texto("BUpload"), QStringLiteral("&Guardar"));
        QVERIFY(!e.activo("BUpload") && !e.activo("B_Acquire"));
        QVERIFY(e.activo("FrmDocumentos") && e.activo("CmdCLientes"));
        QVERIFY(!e.p.global.CambiosPendientes);
        // The new case file is named in the caption and listed, flag and all.
        QCOMPARE(e.p.ventana().windowTitle(),
                 QStringLiteral("Expediente Numero:%1 Venta:  ").arg(NumeroPlano(folio)));
        QCOMPARE(e.celda(folio, QStringLiteral("Nota Venta")), QStringLiteral("Sí"));

        // 6. Type S of the same case file: looked up by folio, nothing to fetch, one page.
        e.p.clic("OpcSolicitud");
        QCOMPARE(e.cajas(), QStringList{});
        QVERIFY(e.sesion().ExpedienteExiste && !e.sesion().DocumentoExiste);
        QVERIFY(e.activo("B_Acquire"));
        e.fuente(kPlana);
        e.p.clic("B_Acquire");
        QCOMPARE(e.paginas(), 1);
        e.p.clic("BUpload");
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.filas(), 1);
        QCOMPARE(e.columna(QStringLiteral("imagen_solicitud"), folio).toInt(), 1);
        const QString solicitud = NumeroPlano(folio) + QStringLiteral("S.tif");
        QCOMPARE(leerArchivo(e.remoto(solicitud)), leerArchivo(QStringLiteral("expedienteS.tif")));
        QVERIFY(e.visible("sOK") && e.visible("nOK"));
        int altas = 0;
        for (const QString& s : e.p.sentencias())
            altas += s.startsWith(QLatin1String("INSERT")) ? 1 : 0;
        QCOMPARE(altas, 1);

        // 7. The customer again: working files gone, folio back to 0, the case file listed.
        QCOMPARE(e.buscarCliente(QStringLiteral("morales ibarra rosa")), 1);
        QCOMPARE(e.cajas(), QStringList{});
        QVERIFY(!QFile::exists(QStringLiteral("expedienteN.tif")));
        QVERIFY(!QFile::exists(QStringLiteral("expedienteS.tif")));
        QCOMPARE(e.sesion().FolioActual, 0.0);
        QCOMPARE(e.p.control<QTabWidget>("TabScan")->currentIndex(), 0);
        QCOMPARE(e.p.control<QTableWidget>("iExpedientes")->rowCount(), 1);
        QCOMPARE(e.celda(folio, QStringLiteral("Nota Venta")), QStringLiteral("Sí"));
        QCOMPARE(e.celda(folio, QStringLiteral("Solicitud")), QStringLiteral("Sí"));
        QCOMPARE(e.celda(folio, QStringLiteral("Entrega")), QStringLiteral("No"));
        QCOMPARE(e.celda(folio, QStringLiteral("Estado Expediente")), QStringLiteral("Capturado"));
        QVERIFY(!e.visible("nOK") && e.visible("nFa"));

        // 8. Type N: the captured case file becomes current and its document comes back whole.
        e.p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        e.p.visor.abiertos.clear();
        e.p.clic("OpcNota");
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.sesion().FolioActual, folio);
        QVERIFY(e.sesion().ExpedienteExiste && e.sesion().DocumentoExiste);
        QCOMPARE(leerArchivo(QStringLiteral("expedienteN.tif")), subido);
        QCOMPARE(e.p.visor.abiertos, QStringList{QStringLiteral("expedienteN.tif")});
        QCOMPARE(e.texto("LblEstatus"), QStringLiteral("Expediente Recibido con Exito!!: ") + nota);
        QCOMPARE(e.archivosTrabajo(), QStringList{QStringLiteral("expedienteN.tif")});

        // 9. Closed, and started again in order mode with the customer's sale.
        QVERIFY(e.p.cerrar());
        QCOMPARE(e.cajas(), QStringList{});
        QVERIFY(e.arrancar(NumeroPlano(kPedido)));
        QCOMPARE(e.cajas(), QStringList{});
        QCOMPARE(e.texto("TxtNumero"), QStringLiteral("4711"));
        QCOMPARE(e.texto("TxtCliente"), kNombre);
        QCOMPARE(e.texto("LblPedido"), QStringLiteral("Pedido a Asignar:") + kClavePedido);
        QVERIFY(e.activo("TabScan") && e.activo("CmdAsignar"));
        QCOMPARE(e.sesion().FolioActual, folio);
        QVERIFY(e.archivosTrabajo().isEmpty());
        e.p.clic("CmdAsignar");
        QCOMPARE(e.cajas(), QStringList{QStringLiteral("informacion|Expediente Asignado "
                                                       "Correctamente!|Asignación de Pedido")});
        QVERIFY(!e.activo("CmdAsignar"));
        QCOMPARE(e.columna(QStringLiteral("Pedido"), folio).toDouble(), kPedido);
        QCOMPARE(e.columna(QStringLiteral("estado_actual"), folio).toString(),
                 QStringLiteral("Asignado"));
        QCOMPARE(e.celda(folio, QStringLiteral("Venta")), kClavePedido);
        QCOMPARE(e.celda(folio, QStringLiteral("Estado Expediente")), QStringLiteral("Asignado"));
        // Nothing else changed on the server or in the database.
        QCOMPARE(e.filas(), 1);
        QCOMPARE(e.remotos(), (QStringList{nota, solicitud}));
        QVERIFY(e.p.cerrar());

        // Everything sent on the way, and the search in the modes and scopes the road skips,
        // as SQL Server would receive it.
        QStringList enviadas = e.p.sentencias();
        for (const auto modo : {ModoBusqueda::Nombre, ModoBusqueda::Direccion,
                                ModoBusqueda::NumeroCliente, ModoBusqueda::NumeroVenta})
            for (const auto alcance :
                 {AlcanceCentros::CentroPropio, AlcanceCentros::TodosLosCentros})
                enviadas << ComposicionBusqueda::componer(modo, alcance, QStringLiteral("7"),
                                                          QStringLiteral("GDL"))
                                .texto;
        const QStringList faltas = faltasParaElServidor(enviadas);
        QVERIFY2(faltas.isEmpty(), qPrintable(faltas.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(PruebaRecorridoCompleto)
#include "tst_RecorridoCompleto.moc"
