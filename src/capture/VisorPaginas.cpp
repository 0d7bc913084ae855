#include "capture/VisorPaginas.h"

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
#include "components/escaner/EscanerTwain.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

VisorPaginas::VisorPaginas(ContextoVentana& c, DiarioPaginas& diario, QObject* parent)
    : QObject(parent), c_(c), diario_(diario),
      lienzo_(new LienzoPagina(ControlVentana<QLabel>(c_.ventana, "Image1"), this)),
      miniaturas_(new ModeloMiniaturas([this] { return c_.VSTwain1.get(); }, this)),
      tira_(ControlVentana<QListView>(c_.ventana, "ListaMiniaturas")),
      medidor_(ControlVentana<QLabel>(c_.ventana, "LblTamano"))
{
    connect(&ControlVentana<QPushButton>(c_.ventana, "BNext"), &QPushButton::clicked, this,
            [this] { BNext_Click(); });
    connect(&ControlVentana<QPushButton>(c_.ventana, "BPrev"), &QPushButton::clicked, this,
            [this] { BPrev_Click(); });
    connect(&ControlVentana<QPushButton>(c_.ventana, "BDelete"), &QPushButton::clicked, this,
            [this] { BDelete_Click(); });
    // Stored or discarded pages are gone for good: their steps go with them, and with none
    // held the viewer no longer shows one as if it were.
    connect(&diario_, &DiarioPaginas::hojasSoltadas, this, [this] {
        if (diario_.hojas() == 0)
            return Reiniciar();
        deshacer_.vaciar();
        actualizar();
    });
    conectarHerramientas();
    conectarTeclado();
    actualizar();
}

void VisorPaginas::habilitar(const char* boton, bool habilitado)
{
    ControlVentana<QAbstractButton>(c_.ventana, boton).setEnabled(habilitado);
}

QString VisorPaginas::etiqueta(int posicion, const QString& terminacion) const
{
    EscanerTwain& escaner = *c_.VSTwain1;
    return QStringLiteral("Imagen ") + QString::number(posicion) + QStringLiteral(" (") +
           QString::number(escaner.AnchoPagina(posicion)) + QStringLiteral(" x ") +
           QString::number(escaner.AltoPagina(posicion)) + QStringLiteral(" x ") +
           QString::number(escaner.BitsPorPixel(posicion)) + terminacion;
}

void VisorPaginas::MostrarPagina(int posicion, const QString& terminacion)
{
    lienzo_->mostrar(c_.VSTwain1->ImagenPagina(posicion));
    ControlVentana<QLabel>(c_.ventana, "LabelImageNum").setText(etiqueta(posicion, terminacion));
    actualizar();
}

void VisorPaginas::Reiniciar()
{
    ControlVentana<QLabel>(c_.ventana, "LabelImageNum").setText(QStringLiteral("Sin Imagen"));
    lienzo_->vaciar();
    const int paginas = c_.VSTwain1 ? c_.VSTwain1->NumeroPaginas() : 0;
    ControlVentana<QLineEdit>(c_.ventana, "TextImgCounter").setText(QString::number(paginas));
    for (const char* boton : {"BPrev", "BNext", "BUpload", "BDelete"})
        habilitar(boton, false);
    c_.sesion.PaginaActual = 0;
    deshacer_.vaciar();
    actualizar();
}

void VisorPaginas::BNext_Click()
{
    if (!c_.VSTwain1)
        return;
    const int ultima = qint16(c_.VSTwain1->NumeroPaginas()) - 1;
    qint16& actual = c_.sesion.PaginaActual;
    if (actual < ultima) {
        ++actual;
        MostrarPagina(actual, kTerminacionPaso);
    }
    if (actual == ultima)
        habilitar("BNext", false);
    if (actual > 0)
        habilitar("BPrev", true);
}

void VisorPaginas::BPrev_Click()
{
    if (!c_.VSTwain1)
        return;
    const int ultima = qint16(c_.VSTwain1->NumeroPaginas()) - 1;
    qint16& actual = c_.sesion.PaginaActual;
    if (actual >= 1 && actual <= ultima) {
        --actual;
        MostrarPagina(actual, kTerminacionPaso);
    }
    if (actual == 0)
        habilitar("BPrev", false);
    if (ultima > actual)
        habilitar("BNext", true);
}

void VisorPaginas::BDelete_Click()
{
    EscanerTwain* escaner = c_.VSTwain1.get();
    // Positions move while a scan still adds pages: the page shown might not be the one removed.
    if (!escaner || escaner->escaneando())
        return;
    qint16& actual = c_.sesion.PaginaActual;
    // Kept aside rather than deleted, so that Ctrl+Z can put it back where it was.
    const QString apartada = escaner->ApartarPagina(actual);
    if (apartada.isEmpty()) {
        c_.entorno.mensajes->MensajeSimple(escaner->TextoError());
        return;
    }
    deshacer_.apilar(std::make_unique<PasoHoja>(PasoHoja::quitada(*escaner, actual, apartada)));
    miniaturas_->quitada(actual);
    const qint16 paginas = qint16(escaner->NumeroPaginas());
    ControlVentana<QLineEdit>(c_.ventana, "TextImgCounter").setText(QString::number(paginas));
    if (paginas <= actual)
        actual = qint16(paginas - 1);
    auto& etiquetaPagina = ControlVentana<QLabel>(c_.ventana, "LabelImageNum");
    if (paginas != 0) {
        lienzo_->mostrar(escaner->ImagenPagina(actual));
        etiquetaPagina.setText(etiqueta(actual, kTerminacionQuitar));
    } else {
        lienzo_->vaciar();
        etiquetaPagina.clear();
        for (const char* boton : {"BPrev", "BNext", "BUpload", "BDelete"})
            habilitar(boton, false);
    }
    diario_.revisar();
    actualizar();
}
