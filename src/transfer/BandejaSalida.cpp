#include "transfer/BandejaSalida.h"

#include "components/EscrituraDurable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBandeja, "expedientes.ftp.salida")

namespace {
const QString kNueva = QStringLiteral(".nueva-");
const QString kDocumento = QStringLiteral("documento.tif");

QString nombreHoja(int posicion)
{
    return QStringLiteral("hoja-%1.tif").arg(posicion + 1, 4, 10, QLatin1Char('0'));
}

bool borrarCarpeta(const QString& carpeta)
{
    const QDir dir(carpeta);
    bool bien = true;
    for (const QString& nombre : dir.entryList(QDir::Files | QDir::Hidden))
        bien = QFile::remove(dir.filePath(nombre)) && bien;
    return QDir().rmdir(carpeta) && bien;
}
} // namespace

QString BandejaSalida::poner(
    Lote lote, int hojas,
    const std::function<bool(int posicion, const QString& archivo, QString* error)>& escribirHoja,
    QString* error)
{
    static int cuenta = 0;
    const QString nombre =
        QStringLiteral("%1-%2-%3")
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")))
            .arg(QCoreApplication::applicationPid())
            .arg(++cuenta, 4, 10, QLatin1Char('0'));
    const QString armando = QDir(carpeta_).filePath(kNueva + nombre);
    const QString destino = QDir(carpeta_).filePath(nombre);
    if (!EscrituraDurable::crearCarpeta(armando, error))
        return {};
    bool bien = true;
    for (int posicion = 0; bien && posicion < hojas; ++posicion)
        bien = EscrituraDurable::escribir(
            QDir(armando).filePath(nombreHoja(posicion)),
            [&](const QString& ruta, QString* motivo) {
                // The writer makes the page's file itself.
                QFile::remove(ruta);
                return escribirHoja(posicion, ruta, motivo) &&
                       QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner);
            },
            error);
    lote.espera = QDateTime::currentDateTime().toString(Qt::ISODate);
    // Put in at the rename: before it the folder is no lote of the outbox.
    if (bien && lote.escribir(armando, error) &&
        EscrituraDurable::renombrar(armando, destino, error))
        return destino;
    borrarCarpeta(armando);
    return {};
}

QList<BandejaSalida::Espera> BandejaSalida::esperas() const
{
    QList<Espera> esperas;
    const QDir dir(carpeta_);
    for (const QString& nombre : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString carpeta = dir.filePath(nombre);
        const std::optional<Lote> lote = Lote::leer(carpeta);
        if (!lote)
            continue;
        Espera espera{carpeta, *lote, {}};
        for (const QString& hoja :
             QDir(carpeta).entryList({QStringLiteral("hoja-*.tif")}, QDir::Files, QDir::Name))
            espera.hojas << QDir(carpeta).filePath(hoja);
        esperas << espera;
    }
    return esperas;
}

int BandejaSalida::cuantas() const
{
    const QDir dir(carpeta_);
    int n = 0;
    for (const QString& nombre : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        n += QFile::exists(dir.filePath(nombre + QLatin1Char('/') + QLatin1String(Lote::kArchivo)))
                 ? 1
                 : 0;
    return n;
}

void BandejaSalida::limpiar() const
{
    const QDir dir(carpeta_);
    for (const QString& nombre :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
        const QString carpeta = dir.filePath(nombre);
        // Put in half-way: its pages are still held where they came from.
        if (nombre.startsWith(kNueva)) {
            borrarCarpeta(carpeta);
            continue;
        }
        // Its lote goes first when it is stored or discarded: what is left is nobody's. A lote
        // that cannot be read is kept, pages and all, for support to look at.
        if (!QFile::exists(QDir(carpeta).filePath(QLatin1String(Lote::kArchivo))))
            borrarCarpeta(carpeta);
        else if (!Lote::leer(carpeta))
            qCWarning(lcBandeja) << "sin lote legible, se conserva:" << carpeta;
    }
}

bool BandejaSalida::quitar(const QString& carpetaLote, bool paraSiempre)
{
    // The lote goes first: a cut half-way leaves pages no outbox lote claims. A stored lote is
    // recorded registrada already: should a cut bring it back, its next try finds it stored and
    // removes it again, so nothing here needs to wait for the disk.
    const QString lote = QDir(carpetaLote).filePath(QLatin1String(Lote::kArchivo));
    if (paraSiempre ? !Lote::borrar(carpetaLote) : (QFile::exists(lote) && !QFile::remove(lote)))
        return false;
    const bool bien = borrarCarpeta(carpetaLote);
    if (paraSiempre)
        EscrituraDurable::sincronizarCarpeta(QFileInfo(carpetaLote).absolutePath());
    return bien;
}

bool BandejaSalida::registrar(const QString& carpetaLote, const Lote& lote)
{
    return lote.escribir(carpetaLote, nullptr);
}

QString BandejaSalida::documento(const QString& carpetaLote)
{
    return QDir(carpetaLote).filePath(kDocumento);
}
