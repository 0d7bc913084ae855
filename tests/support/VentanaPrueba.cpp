#include "support/VentanaPrueba.h"

#include "app/FrmEscaneo.h"
#include "components/escaner/EscanerNoDisponible.h"
#include "components/ftp/ClienteFtpNoDisponible.h"
#include "main/Armado.h"

#include <QCloseEvent>
#include <QDir>

VentanaPrueba::VentanaPrueba(const QString& sucursal)
    : bd_(sucursal), carpetaAnterior_(QDir::currentPath()),
      ftp_(std::make_unique<ClienteFtpNoDisponible>())
{
    QDir::setCurrent(trabajo_.path());
    conexion.fijarTraza([this](const QString& texto, const QVariantList& valores) {
        sentencias_.append({texto, valores});
    });
    entorno.ConexionBD = &conexion;
    entorno.mensajes = &mensajes;
    entorno.visor = &visor;
    entorno.FTP = ftp_.get();
    entorno.crearEscaner = [] { return std::make_unique<EscanerNoDisponible>(); };
    entorno.carpetaArranque = bd_.carpeta();
    // Never the user's own search history.
    entorno.archivoHistorial = QDir(bd_.carpeta()).filePath(QStringLiteral("DirLogFact.ini"));
    // Nor the user's settings.
    entorno.archivoAjustes = QDir(bd_.carpeta()).filePath(QStringLiteral("ajustes.ini"));
}

VentanaPrueba::~VentanaPrueba()
{
    ventana_.reset();
    QDir::setCurrent(carpetaAnterior_);
}

bool VentanaPrueba::cargar(const QString& lineaComandos)
{
    ventana_ = std::make_unique<FrmEscaneo>(global, entorno);
    Armado::armar(*ventana_);
    if (antesDeCargar)
        antesDeCargar(*ventana_);
    if (!ventana_->Form_Load(lineaComandos))
        return false;
    ventana_->show();
    return QTest::qWaitForWindowExposed(ventana_.get());
}

bool VentanaPrueba::cerrar()
{
    return ventana_->close();
}

QStringList VentanaPrueba::sentencias() const
{
    QStringList textos;
    for (const auto& sentencia : sentencias_)
        textos << sentencia.texto;
    return textos;
}

QWidget* VentanaPrueba::ventanaWidget() const
{
    return ventana_.get();
}
