#include "app/AjustesTls.h"
#include "app/ConexionBaseDatos.h"
#include "app/TablaArranque.h"
#include "casefiles/TipoDocumento.h"
#include "components/ftp/LlavesServidores.h"
#include "components/tiff/EscritorTiff.h"
#include "support/RutasPrueba.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Resultado
{
    int codigo = -1;
    QString salida;
    QString errores;
};

Resultado herramienta(const QStringList& argumentos)
{
    QProcess proceso;
    proceso.start(RutasPrueba::binarios() + "/tools/expedientes-arranque", argumentos);
    if (!proceso.waitForFinished(120000) || proceso.exitStatus() != QProcess::NormalExit)
        return {};
    return {proceso.exitCode(), QString::fromUtf8(proceso.readAllStandardOutput()),
            QString::fromUtf8(proceso.readAllStandardError())};
}

} // namespace

class tst_HerramientaArranque : public QObject
{
    Q_OBJECT

private slots:
    void escribirYMostrar()
    {
        QTemporaryDir carpeta;
        const QString contrasena = "Clave Ñ 2024";
        const Resultado escrito =
            herramienta({"escribir", "--dir", carpeta.path(), "--servidor", "sql01\\QOR",
                         "--usuario", "cajero", "--contrasena", contrasena, "--sucursal", "S02"});
        QVERIFY2(escrito.codigo == 0, qPrintable(escrito.errores));
        QCOMPARE(TablaArranque::LeerArranque(carpeta.path()).contrasena, contrasena);

        const Resultado mostrado = herramienta({"mostrar", "--dir", carpeta.path()});
        QVERIFY2(mostrado.codigo == 0, qPrintable(mostrado.errores));
        // Never the password.
        QCOMPARE(mostrado.salida, "server_SQL: sql01\\QOR\nusuario: cajero\nsucursal: S02\n");
        QVERIFY(!mostrado.errores.contains(contrasena));
    }

    // What the program reads: the policy it writes, and the one key it forgets (named as the
    // program records it, whatever the letter case).
    void politicaTlsYLlaves()
    {
        QTemporaryDir carpeta;
        const Resultado tls =
            herramienta({"tls", "--dir", carpeta.path(), "--politica", "obligatorio"});
        QVERIFY2(tls.codigo == 0, qPrintable(tls.errores));
        QString valor;
        QCOMPARE(AjustesTls::leer(AjustesTls::archivoEnCarpeta(carpeta.path()), valor),
                 ClienteFtp::PoliticaTls::Obligatorio);

        LlavesServidores llaves(AjustesTls::archivoLlavesEnCarpeta(carpeta.path()));
        QString error;
        QVERIFY(llaves.registrar("imagenes01:21", "sha256//uno=", error));
        QVERIFY(llaves.registrar("imagenes01:2121", "sha256//dos=", error));
        const Resultado olvido = herramienta({"olvidar-llave", "--dir", carpeta.path(),
                                              "--servidor", "IMAGENES01", "--puerto", "21"});
        QVERIFY2(olvido.codigo == 0, qPrintable(olvido.errores));
        QCOMPARE(llaves.llave("imagenes01:21"), QByteArray());
        QCOMPARE(llaves.llave("imagenes01:2121"), QByteArray("sha256//dos="));
    }

    // Every order is in the help, with an example that runs it, and in the manual page.
    void ayudaYManual()
    {
        const Resultado ayuda = herramienta({"--help"});
        QCOMPARE(ayuda.codigo, 0);
        QFile manual(RutasPrueba::fuentes() + "/docs/man/expedientes-arranque.1");
        QVERIFY(manual.open(QIODevice::ReadOnly));
        const QString pagina = QString::fromUtf8(manual.readAll());
        for (const QString orden :
             {"escribir", "mostrar", "crear-base", "iniciar-demo", "tls", "olvidar-llave"}) {
            QVERIFY2(ayuda.salida.contains("\n  " + orden + " --dir"), qPrintable(orden));
            QVERIFY2(ayuda.salida.contains("Ejemplo: expedientes-arranque " + orden + " --dir"),
                     qPrintable(orden));
            const QString roff = QString(orden).replace("-", "\\-");
            QVERIFY2(pagina.contains(".B " + roff + "\n"), qPrintable(orden));
            QVERIFY2(pagina.contains("expedientes\\-arranque " + roff + " \\-\\-dir"),
                     qPrintable(orden));
        }
    }

    // Wrong usage exits 2 with the usage text; a failure exits 1 and says why. "@" stands for
    // an empty temporary folder, which must stay empty.
    void fallos_data()
    {
        QTest::addColumn<QString>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("texto");
        const auto caso = [](const char* nombre, const QString& argumentos, int codigo,
                             const QString& texto) {
            QTest::newRow(nombre) << argumentos << codigo << texto;
        };
        const QString uso = "Uso:";
        caso("sin orden", "", 2, uso);
        caso("orden desconocida", "borrar --dir @", 2, uso);
        caso("falta opcion", "escribir --dir @ --servidor s --usuario u --contrasena c", 2, uso);
        caso("opcion ajena", "mostrar --dir @ --servidor s", 2, uso);
        caso("opcion desconocida", "mostrar --carpeta @", 2, uso);
        caso("argumento de sobra", "mostrar otro --dir @", 2, uso);
        caso("opcion sin valor", "mostrar --dir", 2, uso);
        caso("puerto no numerico", "iniciar-demo --dir @/d --puerto-ftp veintiuno", 2, uso);
        caso("puerto fuera de rango", "iniciar-demo --dir @/d --puerto-ftp 70000", 2, uso);
        caso("politica desconocida", "tls --dir @ --politica siempre", 2, uso);
        caso("puerto de llave fuera de rango", "olvidar-llave --dir @ --servidor s --puerto 0", 2,
             uso);
        caso("llave que no hay", "olvidar-llave --dir @ --servidor Srv --puerto 21", 1,
             "No hay llave registrada de srv:21");
        caso("sin carpeta", "mostrar --dir @/falta", 1,
             "No se encontró la carpeta de arranque @/falta");
        caso("sin tabla", "mostrar --dir @", 1,
             "No se encontró la tabla de arranque ARRANQUE en la carpeta @");
        caso("crear base sin tabla", "crear-base --dir @", 1,
             "No se encontró la tabla de arranque ARRANQUE en la carpeta @");
        // Its enciphered form ends in a blank that the table would drop.
        caso("contrasena imposible",
             "escribir --dir @ --servidor s --usuario u --contrasena ab_ --sucursal S01", 1,
             "No se puede guardar la contraseña");
    }
    void fallos()
    {
        QFETCH(QString, argumentos);
        QFETCH(int, codigo);
        QFETCH(QString, texto);
        QTemporaryDir raiz;
        QStringList lista = argumentos.split(' ', Qt::SkipEmptyParts);
        lista.replaceInStrings("@", raiz.path()).replaceInStrings("ab_", "ab ");
        const Resultado resultado = herramienta(lista);
        QCOMPARE(resultado.codigo, codigo);
        QVERIFY2(resultado.errores.contains(texto.replace("@", raiz.path())),
                 qPrintable(resultado.errores));
        QVERIFY(resultado.salida.isEmpty());
        QVERIFY(QDir(raiz.path()).isEmpty());
    }

    // The one way to a new embedded database: empty but for its schema, never over one that
    // exists, and only where the start-up table names an embedded one.
    void crearBase()
    {
        QTemporaryDir carpeta;
        TablaArranque::EscribirArranque(carpeta.path(), "sqlite:datos/base.db", "u", "c", "S01");
        QVERIFY(QDir(carpeta.path()).mkpath("datos"));
        const QString ruta = carpeta.filePath("datos/base.db");
        Resultado resultado = herramienta({"crear-base", "--dir", carpeta.path()});
        QVERIFY2(resultado.codigo == 0, qPrintable(resultado.errores));
        QVERIFY2(resultado.salida.contains(ruta), qPrintable(resultado.salida));
        {
            ConexionBaseDatos conexion(QStringLiteral("creada"));
            conexion.abrir(TablaArranque::LeerArranque(carpeta.path()).CadenaConexion,
                           carpeta.path());
            QCOMPARE(conexion.consultar("SELECT COUNT(*) FROM Clientes").campo(0).toInt(), 0);
            conexion.ejecutar("INSERT INTO sucursales (sucursal, centro_distribucion) VALUES "
                              "('S01', 'GDL')");
        }

        resultado = herramienta({"crear-base", "--dir", carpeta.path()});
        QCOMPARE(resultado.codigo, 1);
        QVERIFY2(resultado.errores.contains("ya existe"), qPrintable(resultado.errores));
        ConexionBaseDatos conexion(QStringLiteral("conservada"));
        conexion.abrir(TablaArranque::LeerArranque(carpeta.path()).CadenaConexion, carpeta.path());
        QCOMPARE(conexion.consultar("SELECT COUNT(*) FROM sucursales").campo(0).toInt(), 1);
        conexion.cerrar();

        TablaArranque::EscribirArranque(carpeta.path(), "sql01", "u", "c", "S01");
        resultado = herramienta({"crear-base", "--dir", carpeta.path()});
        QCOMPARE(resultado.codigo, 1);
        QVERIFY2(resultado.errores.contains("no nombra una base de datos embebida"),
                 qPrintable(resultado.errores));
    }

    void iniciarDemo()
    {
        QTemporaryDir raiz;
        const QString carpeta = raiz.filePath("demo");
        const auto contar = [&](const QString& sentencia) {
            ConexionBaseDatos conexion(QStringLiteral("demo"));
            conexion.abrir(TablaArranque::LeerArranque(carpeta).CadenaConexion, carpeta);
            const int filas = conexion.consultar(sentencia).campo(0).toInt();
            conexion.cerrar();
            return filas;
        };
        Resultado resultado =
            herramienta({"iniciar-demo", "--dir", carpeta, "--puerto-ftp", "2121"});
        QVERIFY2(resultado.codigo == 0, qPrintable(resultado.errores));
        const DatosArranque datos = TablaArranque::LeerArranque(carpeta);
        QCOMPARE(
            datos.CadenaConexion,
            "Driver={SQL Server};Server=sqlite:expedientes.db;Database=erp_qor;Uid=demo;Pwd=demo;");
        QCOMPARE(datos.sucursal, QStringLiteral("S01"));
        for (const char* centro : {"gdl", "mty", "cdmx"})
            QVERIFY(QDir(carpeta + "/imagenes/" + centro).exists());
        QCOMPARE(contar("SELECT COUNT(*) FROM sucursales WHERE sucursal = 'S01'"), 1);
        QCOMPARE(contar("SELECT COUNT(*) FROM acceso_ftp_ZR WHERE puerto = '2121'"), 3);
        // Every document flagged as stored is on the demo image server, and nothing else is.
        const int guardados = contar(
            "SELECT SUM(imagen_solicitud + imagen_IFE + imagen_TALON + imagen_CARTA + imagen_NOTA"
            " + imagen_ENTREGA + imagen_EXTRA) FROM Expedientes_ZR");
        QVERIFY(guardados > 0);
        QDirIterator documentos(carpeta + "/imagenes", {"*.tif"}, QDir::Files,
                                QDirIterator::Subdirectories);
        int archivos = 0;
        QString muestra;
        for (; documentos.hasNext(); ++archivos)
            muestra = documentos.next();
        QCOMPARE(archivos, guardados);
        QCOMPARE(EscritorTiff::contarPaginas(muestra), 1);
        const QString folio = QFileInfo(muestra).completeBaseName().chopped(1);
        const QString letra = QFileInfo(muestra).completeBaseName().right(1);
        const TipoDocumento* tipo = TipoDocumento::porLetra(letra);
        QVERIFY(tipo);
        QCOMPARE(contar(QStringLiteral("SELECT %1 FROM Expedientes_ZR WHERE expediente = %2")
                            .arg(QLatin1String(tipo->columnaBandera), folio)),
                 1);

        // A second run starts from a clean database: what was added meanwhile is gone.
        {
            ConexionBaseDatos conexion(QStringLiteral("demo"));
            conexion.abrir(datos.CadenaConexion, carpeta);
            conexion.ejecutar("CREATE TABLE marca (x INTEGER)");
        }
        resultado = herramienta({"iniciar-demo", "--dir", carpeta, "--puerto-ftp", "2122"});
        QVERIFY2(resultado.codigo == 0, qPrintable(resultado.errores));
        QCOMPARE(contar("SELECT COUNT(*) FROM sqlite_master WHERE name = 'marca'"), 0);
        QCOMPARE(contar("SELECT COUNT(*) FROM acceso_ftp_ZR WHERE puerto = '2122'"), 3);
    }
};

QTEST_GUILESS_MAIN(tst_HerramientaArranque)
#include "tst_HerramientaArranque.moc"
