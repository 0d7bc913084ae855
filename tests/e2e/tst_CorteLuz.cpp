#include "PuestoPrueba.h"

#include "capture/ModeloMiniaturas.h"
#include "capture/VisorPaginas.h"
#include "components/tiff/LectorTiff.h"

#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

// A power cut at the branch, through the real window: the program's data folder lies on an ext4
// file system of its own (an image on a loop device), which is shut down without flushing its
// log, unmounted and mounted again; that leaves on the disk exactly what a power cut would. The
// database and the image server are elsewhere, as at a branch. Every page the window showed
// arrived is then offered again with its customer, case file, type and order, or is stored and
// flagged; none is damaged.
namespace {
// The file system's "going down" request (ext4 takes XFS's number); with the log left as it is,
// nothing written since the last commit reaches the disk.
constexpr unsigned long kApagar = _IOR('X', 125, std::uint32_t);
constexpr std::uint32_t kSinVaciarDiario = 2;

bool correr(const QString& programa, const QStringList& argumentos, QString* salida = nullptr)
{
    QProcess proceso;
    proceso.setProcessChannelMode(QProcess::MergedChannels);
    proceso.start(programa, argumentos);
    const bool bien = proceso.waitForFinished(30000) &&
                      proceso.exitStatus() == QProcess::NormalExit && proceso.exitCode() == 0;
    if (salida)
        *salida = QString::fromLocal8Bit(proceso.readAll()).trimmed();
    return bien;
}

// An ext4 file system of 64 MB on a loop device, mounted on a temporary folder.
class DiscoPrueba
{
public:
    DiscoPrueba()
    {
        if (geteuid() != 0) {
            motivo_ = QStringLiteral("montar un disco de prueba requiere root");
            return;
        }
        const QString imagen = dir_.filePath(QStringLiteral("disco.img"));
        QString salida;
        if (!QDir().mkpath(punto()) ||
            !correr(QStringLiteral("truncate"),
                    {QStringLiteral("-s"), QStringLiteral("64M"), imagen}, &salida) ||
            !correr(QStringLiteral("mkfs.ext4"),
                    {QStringLiteral("-q"), QStringLiteral("-F"), imagen}, &salida)) {
            motivo_ = QStringLiteral("no se pudo crear el sistema de archivos: ") + salida;
            return;
        }
        if (!correr(QStringLiteral("losetup"),
                    {QStringLiteral("-f"), QStringLiteral("--show"), imagen}, &salida)) {
            motivo_ = QStringLiteral("no hay un dispositivo loop libre: ") + salida;
            return;
        }
        dispositivo_ = salida;
        if (!montar())
            motivo_ = QStringLiteral("no se pudo montar %1: %2").arg(dispositivo_, error_);
    }
    ~DiscoPrueba()
    {
        // A failed row may have left something open on it: detached all the same, so that
        // runs do not pile up mounted images.
        if (montado_ && !correr(QStringLiteral("umount"), {punto()}))
            correr(QStringLiteral("umount"), {QStringLiteral("-l"), punto()});
        if (!dispositivo_.isEmpty())
            correr(QStringLiteral("losetup"), {QStringLiteral("-d"), dispositivo_});
    }
    DiscoPrueba(const DiscoPrueba&) = delete;
    DiscoPrueba& operator=(const DiscoPrueba&) = delete;

    bool listo() const { return montado_; }
    QString motivo() const { return motivo_; }
    QString punto() const { return dir_.filePath(QStringLiteral("montado")); }
    QString error() const { return error_; }

    // The power goes: from here on nothing reaches the disk.
    bool cortar()
    {
        const int carpeta = ::open(QFile::encodeName(punto()).constData(), O_RDONLY | O_DIRECTORY);
        std::uint32_t modo = kSinVaciarDiario;
        const bool cortado = carpeta >= 0 && ::ioctl(carpeta, kApagar, &modo) == 0;
        if (!cortado)
            error_ = QStringLiteral("el sistema de archivos no se dejó apagar: ") +
                     QString::fromLocal8Bit(std::strerror(errno));
        if (carpeta >= 0)
            ::close(carpeta);
        return cortado;
    }
    // The program gone, the disk is mounted again as at the next start. Nothing may be held
    // open on it.
    bool volver()
    {
        montado_ = !correr(QStringLiteral("umount"), {punto()}, &error_);
        return !montado_ && montar();
    }

private:
    bool montar()
    {
        montado_ = correr(QStringLiteral("mount"), {dispositivo_, punto()}, &error_);
        return montado_;
    }

    QTemporaryDir dir_;
    QString dispositivo_;
    QString motivo_;
    QString error_;
    bool montado_ = false;
};

// The viewer the save opens once the image server has the document.
class VisorCorte : public Visor
{
public:
    void abrir(const QString&) override
    {
        if (alAbrir)
            alAbrir();
    }
    std::function<void()> alAbrir;
};

// The moment of the cut.
enum class Momento
{
    Llegada,    // the pages shown, nothing else done
    Giro,       // right after the second page was turned
    Movimiento, // right after the last page was dragged to the front
    Quitar,     // right after the second page was removed
    Deshacer,   // right after that removal was undone
    EnEnvio,    // the pages in the working file, the upload under way
    Enviado,    // the document on the server, its flag not set yet
    Llegado,    // the document on the server, the upload's answer not back yet
    Marcado,    // the flag set, the pages not yet let go
    Guardado,   // after a save that went ahead
    EnEspera,   // after a save that put the document in the outbox, the server away
};

} // namespace

Q_DECLARE_METATYPE(Momento)

class PruebaCorteLuz : public QObject
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

    void nadaSePierde_data()
    {
        QTest::addColumn<Momento>("momento");
        QTest::addColumn<bool>("alimentador");
        QTest::addColumn<int>("hojas"); // held when the power goes
        QTest::newRow("una hoja llegada") << Momento::Llegada << false << 1;
        QTest::newRow("diez hojas del alimentador") << Momento::Llegada << true << 10;
        QTest::newRow("tras girar") << Momento::Giro << false << 3;
        QTest::newRow("tras arrastrar") << Momento::Movimiento << false << 3;
        QTest::newRow("tras quitar") << Momento::Quitar << false << 2;
        QTest::newRow("tras deshacer") << Momento::Deshacer << false << 3;
        QTest::newRow("guardando: escritas, enviando") << Momento::EnEnvio << false << 3;
        QTest::newRow("guardando: enviado") << Momento::Enviado << false << 3;
        QTest::newRow("guardando: en el servidor, sin respuesta") << Momento::Llegado << false << 3;
        QTest::newRow("guardando: marcado") << Momento::Marcado << false << 3;
        QTest::newRow("guardado") << Momento::Guardado << false << 3;
        QTest::newRow("en espera de envío") << Momento::EnEspera << false << 3;
    }
    void nadaSePierde()
    {
        QFETCH(Momento, momento);
        QFETCH(bool, alimentador);
        QFETCH(int, hojas);
        DiscoPrueba disco;
        if (!disco.listo())
            QSKIP(qPrintable(disco.motivo()));
        // Declared before the workstation: the window may still call them while it goes.
        std::function<void()> cortar = [] {};
        bool cortado = false; // once: the next start runs the same steps
        VisorCorte visorCorte;
        PuestoPrueba e(*sane_);
        QVERIFY2(e.preparar(), qPrintable(e.servidor.error()));
        e.mudarDatos(disco.punto());
        const QString trabajo = QDir::currentPath();
        const double folio = e.p.bd().expediente(kCliente);
        const QString remoto = e.remoto(NumeroPlano(folio) + QStringLiteral("N.tif"));

        e.escanearNota(0, folio);
        if (alimentador) {
            e.fuente(kFeeder);
            e.p.clic("B_Acquire");
        } else {
            // Pictures told apart, so that their order shows.
            const QStringList dibujos{QStringLiteral("Grid"), QStringLiteral("Color pattern"),
                                      QStringLiteral("Solid black")};
            for (int i = 0; i < qMax(hojas, momento == Momento::Quitar ? 3 : 1); ++i) {
                QCOMPARE(e.escaner().Opciones().fijarTexto("test-picture", dibujos[i]),
                         SANE_STATUS_GOOD);
                e.p.clic("B_Acquire");
            }
        }
        QVERIFY2(e.cajas().isEmpty(), qPrintable(e.cajas().join('\n')));
        auto& visor = *e.p.ventana().findChild<VisorPaginas*>();
        switch (momento) {
        case Momento::Giro:
            visor.VerPagina(1);
            e.p.clic("BGirarDerecha");
            break;
        case Momento::Movimiento:
            QVERIFY(visor.miniaturas().moveRow({}, 2, {}, 0));
            break;
        case Momento::Quitar:
        case Momento::Deshacer:
            visor.VerPagina(1);
            e.p.clic("BDelete");
            if (momento == Momento::Deshacer) {
                e.p.clic("BDeshacer");
            }
            break;
        default:
            break;
        }
        QCOMPARE(e.paginas(), hojas);
        QCOMPARE(e.texto("TextImgCounter"), QString::number(hojas));
        // The pages as the window has them; what the disk keeps must read the same.
        QList<QImage> vistas;
        for (int i = 0; i < hojas; ++i)
            vistas << LectorTiff::leer(e.escaner().ArchivoPagina(i))
                          .convertToFormat(QImage::Format_RGB32);

        // The power goes at the row's moment; what the program does after that reaches neither
        // the disk nor, for an upload under way, the image server.
        cortar = [&] {
            if (std::exchange(cortado, true))
                return;
            QVERIFY2(disco.cortar(), qPrintable(disco.error()));
            if (momento == Momento::EnEnvio)
                e.servidor.matar();
        };
        QMetaObject::Connection enEnvio;
        if (momento == Momento::EnEnvio)
            enEnvio = connect(&e.ftp, &ClienteFtp::AvanceTransferencia, this, [&] { cortar(); });
        if (momento == Momento::Llegado)
            e.ftp.trasEnvio = [&](int resultado) {
                cortar();
                return resultado;
            };
        if (momento == Momento::Enviado) {
            visorCorte.alAbrir = [&] { cortar(); };
            e.p.entorno.visor = &visorCorte;
        }
        if (momento == Momento::Marcado)
            e.p.conexion.fijarTraza([&](const QString& sentencia, const QVariantList&) {
                if (sentencia.contains(QLatin1String("imagen_NOTA")) &&
                    sentencia.startsWith(QLatin1String("UPDATE"), Qt::CaseInsensitive))
                    cortar();
            });
        const bool guardar = momento >= Momento::EnEnvio;
        if (momento == Momento::EnEspera)
            e.servidor.matar();
        if (guardar) {
            e.p.clic("BUpload");
            QVERIFY(cortado || momento >= Momento::Guardado);
        }
        if (momento == Momento::EnEspera)
            e.verificarEnEspera(1);
        disconnect(enEnvio);
        e.ftp.trasEnvio = nullptr;
        cortar();
        if (momento == Momento::EnEnvio || momento == Momento::EnEspera) {
            // Not from the disk about to be unmounted: the server would keep it busy.
            QDir::setCurrent(QDir::tempPath());
            QVERIFY(e.servidor.reiniciar());
            QDir::setCurrent(trabajo);
        }

        e.p.mensajes.limpiar();
        e.p.mensajes.responder(true); // the offer
        QVERIFY2(e.caerYArrancar([&] {
            QDir::setCurrent(QDir::tempPath());
            const bool vuelto = disco.volver();
            QDir::setCurrent(trabajo);
            return vuelto;
        }),
                 qPrintable(disco.error()));
        // Offered whole, with their owner and in their order; or stored and flagged already.
        if (momento < Momento::Enviado) {
            QCOMPARE(e.p.mensajes.cajas().size(), 1);
            const QString oferta = e.p.mensajes.cajas().first().mensaje;
            QVERIFY2(oferta.contains(QStringLiteral(" del cliente 4711 %1 (expediente %2, Nota "
                                                    "Venta)")
                                         .arg(kNombre, NumeroPlano(folio))),
                     qPrintable(oferta));
            QVERIFY2(oferta.startsWith(QStringLiteral("Se encontr")) &&
                         oferta.contains(QStringLiteral(" %1 hoja").arg(hojas)),
                     qPrintable(oferta));
            QCOMPARE(e.paginas(), hojas);
            for (int i = 0; i < hojas; ++i)
                QVERIFY2(LectorTiff::leer(e.escaner().ArchivoPagina(i))
                                 .convertToFormat(QImage::Format_RGB32) == vistas[i],
                         qPrintable(QStringLiteral("hoja %1").arg(i + 1)));
            e.p.mensajes.limpiar();
            e.p.clic("BUpload");
        }
        // The outbox kept it through the cut, and sends it now.
        if (momento == Momento::EnEspera)
            QVERIFY(e.enviarEspera());
        QVERIFY2(e.cajas().isEmpty(), qPrintable(e.cajas().join('\n')));
        QCOMPARE(e.paginas(), 0);
        QCOMPARE(e.columna(QStringLiteral("imagen_NOTA"), folio).toInt(), 1);
        QCOMPARE(EscritorTiff::contarPaginas(remoto), hojas);
        for (int i = 0; i < hojas; ++i)
            QVERIFY2(LectorTiff::leer(remoto, i).convertToFormat(QImage::Format_RGB32) == vistas[i],
                     qPrintable(QStringLiteral("hoja guardada %1").arg(i + 1)));
        QVERIFY(e.escaner().SesionesRecuperables().isEmpty());
    }
};

QTEST_MAIN(PruebaCorteLuz)
#include "tst_CorteLuz.moc"
