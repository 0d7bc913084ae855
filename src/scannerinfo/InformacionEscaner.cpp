#include "scannerinfo/InformacionEscaner.h"

#include "app/ContextoVentana.h"
#include "app/Entorno.h"
#include "app/Proteccion.h"
#include "components/escaner/EscanerTwain.h"
#include "scannerinfo/FrmCaracteristicas.h"

#include <QAbstractButton>
#include <QMainWindow>

InformacionEscaner::InformacionEscaner(ContextoVentana& contexto, QObject* parent)
    : QObject(parent), c(contexto)
{
    // Found by name: the form's generated header belongs to the window's own library.
    auto* boton = c.ventana.findChild<QAbstractButton*>(QStringLiteral("B_GetSourceInfo"));
    Q_ASSERT(boton);
    if (boton)
        connect(boton, &QAbstractButton::clicked, this, &InformacionEscaner::B_GetSourceInfo_Click);
}

void InformacionEscaner::B_GetSourceInfo_Click()
{
    EjecutarProtegido(*c.entorno.mensajes, [&] {
        // The component exists once the window has loaded; before that there is nothing to ask.
        if (!c.VSTwain1)
            return;
        FrmCaracteristicas ventana(*c.VSTwain1, *c.entorno.mensajes, &c.ventana);
        ventana.Form_Load();
        ventana.exec();
    });
}
