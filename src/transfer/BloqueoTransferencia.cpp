#include "transfer/BloqueoTransferencia.h"

#include "app/CierreRetenido.h"
#include "app/ContextoVentana.h"
#include "casefiles/TipoDocumento.h"

#include <QEvent>
#include <QMainWindow>
#include <QTabBar>
#include <QTabWidget>

QList<QWidget*> BloqueoTransferencia::controles(ContextoVentana& c)
{
    QStringList nombres{QStringLiteral("CmdCLientes"),    QStringLiteral("iExpedientes"),
                        QStringLiteral("CmdAsignar"),     QStringLiteral("chkPrestamo"),
                        QStringLiteral("B_Acquire"),      QStringLiteral("BUpload"),
                        QStringLiteral("B_SelectSource"), QStringLiteral("BDelete")};
    for (const TipoDocumento& tipo : TipoDocumento::todos())
        nombres << QLatin1String(tipo.opcion) << QLatin1String(tipo.marcaPresente);
    QList<QWidget*> lista;
    for (const QString& nombre : nombres)
        if (auto* control = c.ventana.findChild<QWidget*>(nombre))
            lista << control;
    // The tab bar only: disabling the tab widget would disable every page under it.
    if (auto* pestanas = c.ventana.findChild<QTabWidget*>(QStringLiteral("TabScan")))
        if (auto* barra = pestanas->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly))
            lista << barra;
    return lista;
}

BloqueoTransferencia::BloqueoTransferencia(ContextoVentana& c)
    : cierre_(std::make_unique<CierreRetenido>(c.ventana))
{
    for (QWidget* control : controles(c)) {
        estados_.append({control, !control->testAttribute(Qt::WA_ForceDisabled)});
        control->setEnabled(false);
    }
}

BloqueoTransferencia::~BloqueoTransferencia()
{
    for (const Estado& estado : estados_)
        if (estado.control)
            estado.control->setEnabled(estado.habilitado);
    // The filter removes itself from the window when it is destroyed.
}
