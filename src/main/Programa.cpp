#include "main/Programa.h"

#include "app/ErrorSistema.h"
#include "app/FrmEscaneo.h"
#include "components/EscrituraDurable.h"
#include "main/Armado.h"
#include "main/CopiaUnica.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

QString Programa::prepararCarpetaTrabajo()
{
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                            QStringLiteral("/trabajo");
    // Customers' documents pass through it: nobody else's account may read them.
    if (!EscrituraDurable::crearCarpeta(carpeta) || !QDir::setCurrent(carpeta))
        throw ErrorSistema(0, QStringLiteral("No se pudo preparar la carpeta de trabajo %1")
                                  .arg(QDir::toNativeSeparators(carpeta)));
    return carpeta;
}

QString Programa::lineaComandos(const QStringList& argumentos)
{
    return argumentos.mid(1).join(QLatin1Char(' '));
}

int Programa::ejecutar(Global& global, Entorno& entorno, const QString& lineaComandos,
                       CopiaUnica* copia)
{
    FrmEscaneo ventana(global, entorno);
    Armado::armar(ventana);
    if (copia)
        QObject::connect(copia, &CopiaUnica::llamada, &ventana, [&ventana] {
            ventana.setWindowState((ventana.windowState() & ~Qt::WindowMinimized) |
                                   Qt::WindowActive);
            ventana.show();
            ventana.raise();
            ventana.activateWindow();
        });
    if (!ventana.Form_Load(lineaComandos))
        return 1;
    ventana.show();
    return QApplication::exec();
}
