#include "capture/Escaneo.h"

#include "app/CierreRetenido.h"
#include "app/ContextoVentana.h"
#include "app/ControlVentana.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "app/Mensajes.h"
#include "app/Proteccion.h"
#include "app/RelojArena.h"
#include "app/SesionCaptura.h"
#include "capture/AjusteAutomatico.h"
#include "capture/AjustesHojas.h"
#include "capture/DiarioPaginas.h"
#include "capture/PasoHoja.h"
#include "capture/VisorPaginas.h"
#include "components/escaner/EscanerTwain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>

Q_LOGGING_CATEGORY(lcEscaneo, "expedientes.scan.ventana")

Escaneo::Escaneo(ContextoVentana& c, VisorPaginas& visor, DiarioPaginas& diario, QObject* parent)
    : QObject(parent), c_(c), visor_(visor), diario_(diario)
{
    connect(&control<QComboBox>("Combo1"), &QComboBox::currentIndexChanged, this,
            [this] { Combo1_Click(); });
    connect(&control<QPushButton>("B_SelectSource"), &QPushButton::clicked, this,
            [this] { B_SelectSource_Click(); });
    connect(&control<QPushButton>("B_Acquire"), &QPushButton::clicked, this,
            [this] { B_Acquire_Click(); });
}

template <class T> T& Escaneo::control(const char* nombre) const
{
    return ControlVentana<T>(c_.ventana, nombre);
}

void Escaneo::IniciarEscaner()
{
    EscanerTwain& escaner = *c_.VSTwain1;
    connect(&escaner, &EscanerTwain::PostScan, this, [this](int flag) { VSTwain1_PostScan(flag); });
    if (escaner.AbrirSesionTwain() != 0) {
        c_.sesion.EscanerListo = true;
        escaner.FijarAjusteSesion(100);
        control<QCheckBox>("ChkShowUI").setChecked(escaner.MostrarDialogo() != 0);
        auto& fuentes = control<QComboBox>("Combo1");
        {
            // Filling the list must not move the component's source; the selection below does.
            const QSignalBlocker bloqueo(fuentes);
            fuentes.clear();
            for (int posicion = 0; posicion < escaner.NumeroFuentes(); ++posicion)
                fuentes.addItem(escaner.NombreFuente(posicion), posicion);
            fuentes.setCurrentIndex(-1);
        }
        fuentes.setCurrentIndex(fuentes.findData(escaner.FuenteActual()));
    } else {
        qCInfo(lcEscaneo) << "sin acceso al escaner:" << escaner.TextoError();
    }
    const bool listo = c_.sesion.EscanerListo;
    control<QPushButton>("B_SelectSource").setEnabled(listo);
    control<QPushButton>("B_GetSourceInfo").setEnabled(listo);
    control<QCheckBox>("ChkShowUI").setEnabled(listo);
    visor_.Reiniciar();
}

void Escaneo::AjustarTipo()
{
    if (!c_.VSTwain1 || !c_.sesion.EscanerListo || c_.VSTwain1->escaneando())
        return;
    AjusteAutomatico::porLetra(c_.sesion.LetraActual)
        .aplicar(*c_.VSTwain1, c_.global.ConfigServidorImagenes);
}

void Escaneo::Combo1_Click()
{
    const auto& fuentes = control<QComboBox>("Combo1");
    if (fuentes.currentIndex() < 0 || !c_.VSTwain1)
        return;
    c_.VSTwain1->FijarFuenteActual(fuentes.currentData().toInt());
}

void Escaneo::B_SelectSource_Click()
{
    EscanerTwain& escaner = *c_.VSTwain1;
    escaner.ElegirFuente();
    const int actual = escaner.FuenteActual();
    auto& fuentes = control<QComboBox>("Combo1");
    for (int entrada = 0; entrada < fuentes.count(); ++entrada)
        if (fuentes.itemData(entrada).toInt() == actual)
            fuentes.setCurrentIndex(entrada);
}

void Escaneo::B_Acquire_Click()
{
    // A press while the scan runs (the event loop turns inside it) must not start another.
    if (!c_.VSTwain1 || c_.VSTwain1->escaneando())
        return;
    EjecutarProtegido(*c_.entorno.mensajes, [this] { escanear(); });
}

void Escaneo::escanear()
{
    EscanerTwain& escaner = *c_.VSTwain1;
    auto& boton = control<QPushButton>("B_Acquire");
    // Taken while the scan runs. The save and removal buttons stay off until it ends (the
    // pages they would act on are not all there yet); the type frame, the customer button and
    // the case-file list stay off while pages are held, and come back if it brought none.
    QList<QPair<QWidget*, bool>> tomados;
    for (const char* nombre :
         {"BUpload", "BDelete", "FrmDocumentos", "CmdCLientes", "iExpedientes"})
        tomados.append({&control<QWidget>(nombre), control<QWidget>(nombre).isEnabled()});
    const auto restaurar = qScopeGuard([this, &boton, tomados] {
        boton.setText(QStringLiteral("&Escanear"));
        diario_.revisar();
        const bool hayPaginas = c_.VSTwain1 && c_.VSTwain1->NumeroPaginas() > 0;
        for (const auto& [control, antes] : tomados) {
            const bool deHojas = control->objectName().startsWith(QLatin1Char('B'));
            control->setEnabled(hayPaginas ? deHojas : antes);
        }
    });
    RelojArena reloj;
    control<QGroupBox>("FrmDocumentos").setEnabled(false);
    boton.setText(QStringLiteral("Escaneando..."));
    c_.global.CambiosPendientes = true;
    control<QPushButton>("CmdCLientes").setEnabled(false);
    control<QTableWidget>("iExpedientes").setEnabled(false);
    control<QPushButton>("BUpload").setEnabled(false);
    control<QPushButton>("BDelete").setEnabled(false);
    // Pages dropped before a new lote belong to a document done with or left behind.
    if (!diario_.abierto())
        escaner.OlvidarPaginasQuitadas();
    // Recorded before the first page reaches the disk: whose the pages are survives a crash.
    diario_.abrir();

    if (control<QCheckBox>("ChkShowUI").isChecked()) {
        escaner.AbrirSesionTwain();
        escaner.FijarMostrarDialogo(false);
        escaner.FijarIndicadorAutomatico(true);
        escaner.AbrirFuente();
        escaner.FijarAjusteInicial(6);
        escaner.FijarLimiteAutomatico(10);
        AjusteAutomatico::porLetra(c_.sesion.LetraActual)
            .aplicar(escaner, c_.global.ConfigServidorImagenes);
    } else {
        escaner.FijarMostrarDialogo(true);
    }
    const QString& letra = c_.sesion.LetraActual;
    const TratamientoHojas elegido = AjustesHojas::leer(c_.entorno.archivoAjustes, letra);
    escaner.FijarTratamiento(elegido);
    quitadasAntes_ = escaner.PaginasQuitadas();
    CierreRetenido cierre(c_.ventana);
    escaner.Escanear();
    // The source's dialog may have changed them: they stay for the next scan of this type.
    if (escaner.Tratamiento() != elegido)
        AjustesHojas::guardar(c_.entorno.archivoAjustes, letra, escaner.Tratamiento());
}

void Escaneo::mostrarQuitadas()
{
    const int quitadas = c_.VSTwain1->PaginasQuitadas() - quitadasAntes_;
    if (quitadas <= 0)
        return;
    // Each one a step of its own: Ctrl+Z brings them back one by one, last first.
    for (int i = 0; i < quitadas; ++i)
        visor_.apilar(std::make_unique<PasoHoja>(PasoHoja::enBlanco(*c_.VSTwain1)));
    ControlVentana<QLabel>(c_.ventana, "LblEstatus")
        .setText(quitadas == 1
                     ? QStringLiteral("Se quitó 1 hoja en blanco (Ctrl+Z la devuelve).")
                     : QStringLiteral("Se quitaron %1 hojas en blanco (Ctrl+Z las devuelve una a "
                                      "una).")
                           .arg(quitadas));
}

void Escaneo::VSTwain1_PostScan(int flag)
{
    EscanerTwain& escaner = *c_.VSTwain1;
    if (flag != 0) {
        if (escaner.CodigoError() != 0)
            c_.entorno.mensajes->MensajeSimple(escaner.TextoError());
        return;
    }
    mostrarQuitadas();
    const qint16 paginas = qint16(escaner.NumeroPaginas());
    control<QLineEdit>("TextImgCounter").setText(QString::number(paginas));
    if (paginas == 0)
        return;
    c_.sesion.PaginaActual = qint16(paginas - 1);
    visor_.MostrarPagina(c_.sesion.PaginaActual, VisorPaginas::kTerminacionPaso);
    if (c_.sesion.PaginaActual > 0)
        control<QPushButton>("BPrev").setEnabled(true);
    // During a scan the button state is given back when it ends (see escanear).
    if (!escaner.escaneando()) {
        control<QPushButton>("BUpload").setEnabled(true);
        control<QPushButton>("BDelete").setEnabled(true);
    }
}
