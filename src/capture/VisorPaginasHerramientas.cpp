// The tools beside the page: thumbnails, zoom, turning, moving, undo, the size and the keys.
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/SesionCaptura.h"
#include "capture/DiarioPaginas.h"
#include "capture/LienzoPagina.h"
#include "capture/ModeloMiniaturas.h"
#include "capture/PasoHoja.h"
#include "capture/VisorPaginas.h"
#include "components/escaner/EscanerTwain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace {
constexpr const char* kHerramientas[] = {"BGirarIzquierda", "BGirarDerecha", "BGirar180",
                                         "BAcercar", "BAlejar"};
}

void VisorPaginas::conectarHerramientas()
{
    tira_.setModel(miniaturas_);
    tira_.setViewMode(QListView::ListMode);
    tira_.setFlow(QListView::TopToBottom);
    tira_.setIconSize(QSize(ModeloMiniaturas::kLado, ModeloMiniaturas::kLado));
    // Every row the same size: the strip never measures hundreds of thumbnails.
    tira_.setUniformItemSizes(true);
    tira_.setSelectionMode(QAbstractItemView::SingleSelection);
    tira_.setDragDropMode(QAbstractItemView::InternalMove);
    tira_.setDefaultDropAction(Qt::MoveAction);
    tira_.setDropIndicatorShown(true);
    miniaturas_->mover = [this](int desde, int hasta) { return MoverPagina(desde, hasta); };
    connect(tira_.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& indice) {
                if (!siguiendo_ && !miniaturas_->cambiando() && indice.isValid() &&
                    indice.row() != c_.sesion.PaginaActual)
                    VerPagina(indice.row());
            });

    auto boton = [this](const char* nombre) {
        return &ControlVentana<QToolButton>(c_.ventana, nombre);
    };
    connect(boton("BGirarDerecha"), &QToolButton::clicked, this, [this] { GirarPagina(1); });
    connect(boton("BGirarIzquierda"), &QToolButton::clicked, this, [this] { GirarPagina(3); });
    connect(boton("BGirar180"), &QToolButton::clicked, this, [this] { GirarPagina(2); });
    connect(boton("BDeshacer"), &QToolButton::clicked, this, [this] { Deshacer(); });
    connect(boton("BAcercar"), &QToolButton::clicked, this, [this] { lienzo_->acercar(1); });
    connect(boton("BAlejar"), &QToolButton::clicked, this, [this] { lienzo_->acercar(-1); });
    auto& zoom = ControlVentana<QComboBox>(c_.ventana, "CmbZoom");
    connect(&zoom, &QComboBox::activated, this, [this](int opcion) {
        if (opcion == 0)
            lienzo_->fijarModo(LienzoPagina::Modo::AjustarPagina);
        else if (opcion == 1)
            lienzo_->fijarModo(LienzoPagina::Modo::AjustarAncho);
        else
            lienzo_->fijarEscala(1.0);
    });
    // The list names the fitted modes and 100 %; any other scale shows as its percentage.
    connect(lienzo_, &LienzoPagina::escalaCambiada, this, [this, &zoom] {
        const QSignalBlocker bloqueo(zoom);
        const double escala = lienzo_->escala();
        if (lienzo_->modo() == LienzoPagina::Modo::AjustarPagina)
            zoom.setCurrentIndex(0);
        else if (lienzo_->modo() == LienzoPagina::Modo::AjustarAncho)
            zoom.setCurrentIndex(1);
        else if (qAbs(escala - 1.0) < 0.005)
            zoom.setCurrentIndex(2);
        else {
            zoom.setPlaceholderText(QString::number(qRound(escala * 100)) + QStringLiteral(" %"));
            zoom.setCurrentIndex(-1);
        }
    });
}

void VisorPaginas::conectarTeclado()
{
    // On the scanning tab, wherever the focus is in it (a text field keeps its own keys).
    QWidget* pestana = &ControlVentana<QWidget>(c_.ventana, "Image1");
    while (pestana->parentWidget() && !pestana->parentWidget()->inherits("QStackedWidget"))
        pestana = pestana->parentWidget();
    const auto tecla = [this, pestana](QKeySequence secuencia, const char* boton) {
        auto* atajo = new QShortcut(secuencia, pestana);
        atajo->setContext(Qt::WidgetWithChildrenShortcut);
        connect(atajo, &QShortcut::activated, this,
                [this, boton] { ControlVentana<QAbstractButton>(c_.ventana, boton).click(); });
    };
    tecla(Qt::Key_PageDown, "BNext");
    tecla(Qt::Key_Right, "BNext");
    tecla(Qt::Key_PageUp, "BPrev");
    tecla(Qt::Key_Left, "BPrev");
    tecla(Qt::Key_Delete, "BDelete");
    tecla(QKeySequence::Undo, "BDeshacer");
    tecla(Qt::Key_Plus, "BAcercar");
    tecla(QKeySequence::ZoomIn, "BAcercar");
    tecla(Qt::Key_Minus, "BAlejar");
    tecla(QKeySequence::ZoomOut, "BAlejar");
}

bool VisorPaginas::libre() const
{
    return c_.VSTwain1 && c_.VSTwain1->NumeroPaginas() > 0 && !c_.VSTwain1->escaneando();
}

void VisorPaginas::actualizar()
{
    EscanerTwain* escaner = c_.VSTwain1.get();
    miniaturas_->sincronizar();
    const int paginas = escaner ? escaner->NumeroPaginas() : 0;
    const int actual = c_.sesion.PaginaActual;
    {
        siguiendo_ = true;
        const QModelIndex indice = miniaturas_->index(actual, 0);
        if (indice.isValid() && paginas > 0) {
            tira_.selectionModel()->setCurrentIndex(indice, QItemSelectionModel::ClearAndSelect);
            tira_.scrollTo(indice);
        } else {
            tira_.selectionModel()->clear();
        }
        siguiendo_ = false;
    }
    for (const char* nombre : kHerramientas)
        habilitar(nombre, paginas > 0);
    ControlVentana<QWidget>(c_.ventana, "CmbZoom").setEnabled(paginas > 0);
    habilitar("BDeshacer", !deshacer_.vacia());
    medidor_.actualizar(escaner, c_.global.ConfigServidorImagenes.tamano);
}

void VisorPaginas::VerPagina(int posicion)
{
    if (!c_.VSTwain1 || posicion < 0 || posicion >= c_.VSTwain1->NumeroPaginas())
        return;
    const int ultima = c_.VSTwain1->NumeroPaginas() - 1;
    c_.sesion.PaginaActual = qint16(posicion);
    MostrarPagina(posicion, kTerminacionPaso);
    habilitar("BPrev", posicion > 0);
    habilitar("BNext", posicion < ultima);
    // A page held again after the last one was removed can be saved and removed once more.
    if (!c_.VSTwain1->escaneando()) {
        habilitar("BUpload", true);
        habilitar("BDelete", true);
    }
}

void VisorPaginas::GirarPagina(int cuartos)
{
    if (!libre())
        return;
    EscanerTwain& escaner = *c_.VSTwain1;
    const int actual = c_.sesion.PaginaActual;
    if (escaner.GirarPagina(actual, cuartos) != 1) {
        c_.entorno.mensajes->MensajeSimple(escaner.TextoError());
        return;
    }
    deshacer_.apilar(std::make_unique<PasoHoja>(PasoHoja::girada(escaner, actual, cuartos)));
    miniaturas_->girada(actual);
    VerPagina(actual);
}

bool VisorPaginas::MoverPagina(int desde, int hasta)
{
    if (!libre() || desde == hasta)
        return false;
    EscanerTwain& escaner = *c_.VSTwain1;
    if (escaner.MoverPagina(desde, hasta) != 1) {
        c_.entorno.mensajes->MensajeSimple(escaner.TextoError());
        return false;
    }
    deshacer_.apilar(std::make_unique<PasoHoja>(PasoHoja::movida(escaner, desde, hasta)));
    miniaturas_->movida(desde, hasta);
    VerPagina(hasta);
    return true;
}

void VisorPaginas::apilar(std::unique_ptr<PasoDeshacer> paso)
{
    deshacer_.apilar(std::move(paso));
    actualizar();
}

void VisorPaginas::OlvidarApartadas()
{
    deshacer_.vaciar();
    if (c_.VSTwain1)
        c_.VSTwain1->OlvidarPaginasQuitadas();
    actualizar();
}

void VisorPaginas::Deshacer()
{
    EscanerTwain* escaner = c_.VSTwain1.get();
    if (!escaner || escaner->escaneando() || deshacer_.vacia())
        return;
    bool hecho = false;
    const std::unique_ptr<PasoDeshacer> paso = deshacer_.deshacer(&hecho);
    if (!hecho) {
        c_.entorno.mensajes->MensajeSimple(escaner->TextoError());
        actualizar();
        return;
    }
    const PasoDeshacer::Efecto efecto = paso->efecto();
    switch (efecto.tipo) {
    case PasoDeshacer::Efecto::Repuesta:
        miniaturas_->repuesta(efecto.posicion);
        // Held again: the journal records whose it is, as for a page that arrives.
        diario_.abrir();
        diario_.revisar();
        ControlVentana<QLineEdit>(c_.ventana, "TextImgCounter")
            .setText(QString::number(escaner->NumeroPaginas()));
        break;
    case PasoDeshacer::Efecto::Girada:
        miniaturas_->girada(efecto.posicion);
        break;
    case PasoDeshacer::Efecto::Movida:
        miniaturas_->movida(efecto.desde, efecto.posicion);
        break;
    }
    VerPagina(efecto.posicion);
}
