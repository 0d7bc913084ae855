#include "capture/ModeloMiniaturas.h"

#include "components/escaner/EscanerTwain.h"
#include "components/tiff/LectorTiff.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScopedValueRollback>
#include <algorithm>

ModeloMiniaturas::ModeloMiniaturas(std::function<EscanerTwain*()> escaner, QObject* parent)
    : QAbstractListModel(parent), escaner_(std::move(escaner))
{
    // One thread: thumbnails are background work beside the scan and the save, never a race.
    hilos_.setMaxThreadCount(1);
    vacia_ = QImage(kLado * 17 / 22, kLado, QImage::Format_Grayscale8);
    vacia_.fill(236);
    despues_.setSingleShot(true);
    despues_.setInterval(300);
    connect(&despues_, &QTimer::timeout, this, [this] {
        if (!filas_.isEmpty())
            emit dataChanged(index(0), index(int(filas_.size()) - 1), {Qt::DecorationRole});
    });
}

ModeloMiniaturas::~ModeloMiniaturas()
{
    hilos_.clear();
    hilos_.waitForDone();
}

QImage ModeloMiniaturas::miniatura(const QImage& pagina)
{
    if (pagina.isNull())
        return {};
    // Grey before scaling: a bilevel page smoothed into grey reads better at this size than
    // its picked pixels, and takes a byte a pixel instead of four.
    const QImage gris = pagina.convertToFormat(QImage::Format_Grayscale8);
    return gris.scaled(kLado, kLado, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

int ModeloMiniaturas::rowCount(const QModelIndex& padre) const
{
    return padre.isValid() ? 0 : int(filas_.size());
}

QVariant ModeloMiniaturas::data(const QModelIndex& indice, int rol) const
{
    if (!indice.isValid() || indice.row() >= filas_.size())
        return {};
    const Fila& fila = filas_[indice.row()];
    switch (rol) {
    case Qt::DecorationRole:
        if (fila.miniatura.isNull() && !fila.pedida)
            pedir(indice.row());
        return fila.miniatura.isNull() ? vacia_ : fila.miniatura;
    case Qt::SizeHintRole:
        // One size for every row, whatever the shape of the thumbnail: the strip measures only
        // its last row, and a turned page dragged there made the upright ones overlap.
        return QSize(kLado + kAnchoNumero, kLado + kMargenFila);
    case Qt::DisplayRole:
        // Numbered as the page label numbers them.
        return QString::number(indice.row());
    case Qt::ToolTipRole:
        return QStringLiteral("Imagen %1: clic para verla, arrastre para cambiarla de lugar")
            .arg(indice.row());
    default:
        return {};
    }
}

Qt::ItemFlags ModeloMiniaturas::flags(const QModelIndex& indice) const
{
    // Dropped between thumbnails, never onto one.
    if (!indice.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

bool ModeloMiniaturas::moveRows(const QModelIndex& origen, int fila, int cuantas,
                                const QModelIndex& destino, int filaDestino)
{
    if (origen.isValid() || destino.isValid() || cuantas != 1 || fila < 0 ||
        fila >= filas_.size() || filaDestino < 0 || filaDestino > filas_.size())
        return false;
    // filaDestino is the row it goes before, counted before the move.
    const int hasta = filaDestino > fila ? filaDestino - 1 : filaDestino;
    if (hasta == fila || !mover || !mover(fila, hasta))
        return false;
    return true;
}

void ModeloMiniaturas::pedir(int fila) const
{
    EscanerTwain* escaner = escaner_();
    if (!escaner)
        return;
    // While a scan delivers pages the two cores are the device's and the compression's: the
    // strip asks again once it is over.
    if (escaner->escaneando()) {
        if (!despues_.isActive())
            despues_.start();
        return;
    }
    filas_[fila].pedida = true;
    const quint64 id = filas_[fila].id;
    const QString archivo = escaner->ArchivoPagina(fila);
    // A component that keeps its pages in memory hands them over decoded: only the scaling is
    // left for the thread.
    const QImage enMemoria = archivo.isEmpty() ? escaner->ImagenPagina(fila) : QImage();
    QPointer<ModeloMiniaturas> yo(const_cast<ModeloMiniaturas*>(this));
    hilos_.start([yo, id, archivo, enMemoria] {
        const QImage hecha = miniatura(archivo.isEmpty() ? enMemoria : LectorTiff::leer(archivo));
        QMetaObject::invokeMethod(
            yo.data(),
            [yo, id, hecha] {
                if (yo)
                    yo->recibir(id, hecha);
            },
            Qt::QueuedConnection);
    });
}

void ModeloMiniaturas::recibir(quint64 id, const QImage& miniatura)
{
    for (int fila = 0; fila < filas_.size(); ++fila) {
        if (filas_[fila].id != id)
            continue;
        // A page renamed by a move meanwhile is asked for again when it is shown.
        filas_[fila].pedida = !miniatura.isNull();
        filas_[fila].miniatura = miniatura;
        const QModelIndex i = index(fila);
        emit dataChanged(i, i, {Qt::DecorationRole});
        return;
    }
}

void ModeloMiniaturas::sincronizar()
{
    const QScopedValueRollback cambio(cambiando_, true);
    EscanerTwain* escaner = escaner_();
    const int paginas = escaner ? escaner->NumeroPaginas() : 0;
    if (paginas == filas_.size())
        return;
    if (paginas > filas_.size()) {
        beginInsertRows({}, int(filas_.size()), paginas - 1);
        while (filas_.size() < paginas)
            filas_.append(nuevaFila());
        endInsertRows();
        return;
    }
    beginResetModel();
    filas_.clear();
    for (int i = 0; i < paginas; ++i)
        filas_.append(nuevaFila());
    endResetModel();
}

void ModeloMiniaturas::quitada(int posicion)
{
    const QScopedValueRollback cambio(cambiando_, true);
    if (posicion < 0 || posicion >= filas_.size())
        return sincronizar();
    beginRemoveRows({}, posicion, posicion);
    filas_.removeAt(posicion);
    endRemoveRows();
}

void ModeloMiniaturas::repuesta(int posicion)
{
    const QScopedValueRollback cambio(cambiando_, true);
    if (posicion < 0 || posicion > filas_.size())
        return sincronizar();
    beginInsertRows({}, posicion, posicion);
    filas_.insert(posicion, nuevaFila());
    endInsertRows();
}

void ModeloMiniaturas::girada(int posicion)
{
    if (posicion < 0 || posicion >= filas_.size())
        return;
    filas_[posicion] = nuevaFila();
    const QModelIndex i = index(posicion);
    emit dataChanged(i, i, {Qt::DecorationRole});
}

void ModeloMiniaturas::movida(int desde, int hasta)
{
    const QScopedValueRollback cambio(cambiando_, true);
    if (desde == hasta || desde < 0 || hasta < 0 || desde >= filas_.size() ||
        hasta >= filas_.size())
        return;
    beginMoveRows({}, desde, desde, {}, hasta > desde ? hasta + 1 : hasta);
    filas_.move(desde, hasta);
    endMoveRows();
    // Numbers follow positions.
    emit dataChanged(index(qMin(desde, hasta)), index(qMax(desde, hasta)), {Qt::DisplayRole});
}

void ModeloMiniaturas::esperar()
{
    hilos_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

int ModeloMiniaturas::hechas() const
{
    return int(std::count_if(filas_.cbegin(), filas_.cend(),
                             [](const Fila& f) { return !f.miniatura.isNull(); }));
}
