#pragma once

#include "app/ConexionBaseDatos.h"
#include "app/Entorno.h"
#include "app/Global.h"
#include "support/BaseDatosPrueba.h"
#include "support/MensajesGrabados.h"
#include "support/VisorGrabado.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class FrmEscaneo;

// The real main window, offscreen, over a temporary start-up folder and embedded database
// (seeded by the test before cargar()), a temporary working directory and recorders for the
// message boxes and the viewer. The scanner and the FTP client are the unavailable stand-ins
// unless the test puts others in entorno before cargar().
class VentanaPrueba
{
public:
    explicit VentanaPrueba(const QString& sucursal = QStringLiteral("S01"));
    ~VentanaPrueba();

    BaseDatosPrueba& bd() { return bd_; }
    // Runs the load sequence with the given command line and shows the window.
    bool cargar(const QString& lineaComandos = {});
    FrmEscaneo& ventana() { return *ventana_; }
    QString carpetaTrabajo() const { return trabajo_.path(); }

    template <class T> T* control(const char* nombre) const
    {
        T* encontrado = ventanaWidget()->findChild<T*>(QLatin1String(nombre));
        if (!encontrado)
            qFatal("No existe el control %s", nombre);
        return encontrado;
    }
    void clic(const char* nombre) const
    {
        QTest::mouseClick(control<QAbstractButton>(nombre), Qt::LeftButton);
    }
    // Asks the window to close, as the user would; true when it closed.
    bool cerrar();
    // The window goes without its close sequence, as in a crash; cargar() starts another.
    void descartarVentana() { ventana_.reset(); }
    // Statements the window sent, as it wrote them.
    QStringList sentencias() const;

    Global global;
    MensajesGrabados mensajes;
    VisorGrabado visor;
    ConexionBaseDatos conexion{QStringLiteral("ConexionBD-prueba")};
    Entorno entorno;
    // Runs after the features are attached and before the load sequence.
    std::function<void(FrmEscaneo&)> antesDeCargar;

private:
    QWidget* ventanaWidget() const;

    BaseDatosPrueba bd_;
    QTemporaryDir trabajo_;
    QString carpetaAnterior_;
    std::unique_ptr<ClienteFtp> ftp_;
    QList<BaseDatosPrueba::Sentencia> sentencias_;
    std::unique_ptr<FrmEscaneo> ventana_;
};
