#pragma once

#include <QAbstractListModel>
#include <QImage>
#include <QList>
#include <QThreadPool>
#include <QTimer>
#include <functional>

class EscanerTwain;

// One small picture per page the scanning component holds, in its order, for the strip beside
// the page. The pages stay in the component; each row keeps only its thumbnail, made when the
// strip first shows it, off the UI thread from the page's file (a thumbnail is a few kilobytes
// of grey, so hundreds of pages cost little). The viewer says what changed: rows follow the
// component by position.
class ModeloMiniaturas : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int kLado = 96;        // longest side of a thumbnail, in pixels
    static constexpr int kMargenFila = 8;   // room above and below a thumbnail in its row
    static constexpr int kAnchoNumero = 24; // room for the page number beside it

    explicit ModeloMiniaturas(std::function<EscanerTwain*()> escaner, QObject* parent = nullptr);
    ~ModeloMiniaturas() override;

    int rowCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    // A thumbnail dropped elsewhere: the component moves the page through `mover`.
    bool moveRows(const QModelIndex& origen, int fila, int cuantas, const QModelIndex& destino,
                  int filaDestino) override;
    std::function<bool(int desde, int hasta)> mover;

    // Rows for pages that arrived at the end, or all rows anew when the count moved otherwise.
    void sincronizar();
    void quitada(int posicion);
    void repuesta(int posicion);
    void girada(int posicion);
    void movida(int desde, int hasta);
    // True while rows are being inserted, removed or moved: a view moving its current row
    // then is following the change, not the user.
    bool cambiando() const { return cambiando_; }
    // Waits for the thumbnails being made (tests and benchmarks).
    void esperar();
    // Thumbnails made so far.
    int hechas() const;

    // The thumbnail of a page: grey, smoothed, its longest side kLado.
    static QImage miniatura(const QImage& pagina);

private:
    struct Fila
    {
        quint64 id = 0;
        QImage miniatura;
        bool pedida = false;
    };
    Fila nuevaFila() { return Fila{++siguiente_, {}, false}; }
    void pedir(int fila) const;
    void recibir(quint64 id, const QImage& miniatura);

    std::function<EscanerTwain*()> escaner_;
    mutable QList<Fila> filas_;
    quint64 siguiente_ = 0;
    mutable QThreadPool hilos_;
    QImage vacia_;
    mutable QTimer despues_;
    bool cambiando_ = false;
};
