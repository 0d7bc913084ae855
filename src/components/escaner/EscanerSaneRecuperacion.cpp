// Pages left on disk by a run that ended without closing: the part of EscanerSane that lists,
// takes over and deletes the session folders of the recovery spool.
#include "components/escaner/CarpetaRecuperacion.h"
#include "components/escaner/EscanerSane.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcEscaner)

QString EscanerSane::CarpetaPaginas()
{
    QString error;
    if (!spool_.preparar(&error)) {
        fallar(ErrorArchivo, error);
        return {};
    }
    return spool_.carpetaSesion();
}

QList<SesionRecuperable> EscanerSane::SesionesRecuperables()
{
    limpiar();
    return CarpetaRecuperacion::listar(spool_.carpetaBase(), spool_.carpetaSesion());
}

bool EscanerSane::sesionAjena(const QString& carpeta)
{
    // Checked again at the moment of acting: the folder may belong to a run started since, and
    // nothing outside the recovery folder is ever touched.
    if (CarpetaRecuperacion::esRecuperable(spool_.carpetaBase(), carpeta, spool_.carpetaSesion()))
        return true;
    fallar(ErrorValor,
           QStringLiteral("La carpeta %1 no guarda hojas de una sesión terminada.").arg(carpeta));
    return false;
}

int EscanerSane::RecuperarPaginas(const QString& carpeta)
{
    limpiar();
    if (escaneando_) {
        fallar(ErrorOcupado, QStringLiteral("Espere a que termine el escaneo."));
        return 0;
    }
    if (!sesionAjena(carpeta))
        return 0;
    QString error;
    if (!spool_.preparar(&error)) {
        fallar(ErrorArchivo, error);
        return 0;
    }
    QStringList danadas;
    bool completa = false;
    const int tomadas = spool_.absorber(carpeta, &danadas, &completa);
    qCInfo(lcEscaner) << "recuperadas" << tomadas << "hojas de" << carpeta;
    QStringList problemas;
    if (!danadas.isEmpty()) {
        QStringList nombres;
        for (const QString& ruta : std::as_const(danadas))
            nombres << QFileInfo(ruta).fileName();
        const QString donde = QDir::toNativeSeparators(QFileInfo(danadas.first()).absolutePath());
        const QString cuantas =
            danadas.size() == 1
                ? QStringLiteral("1 hoja dañada no se pudo leer; se conserva")
                : QStringLiteral("%1 hojas dañadas no se pudieron leer; se conservan")
                      .arg(danadas.size());
        problemas << QStringLiteral("%1 aparte en la carpeta %2 (%3).")
                         .arg(cuantas, donde, nombres.join(QStringLiteral(", ")));
    }
    if (!completa)
        problemas << QStringLiteral("Algunas hojas no se pudieron pasar a la sesión actual; "
                                    "siguen en %1 y se ofrecerán al volver a iniciar.")
                         .arg(QDir::toNativeSeparators(carpeta));
    if (!problemas.isEmpty())
        fallar(ErrorArchivo, problemas.join(QLatin1Char(' ')));
    return tomadas;
}

int EscanerSane::DescartarPaginas(const QString& carpeta)
{
    limpiar();
    if (!sesionAjena(carpeta))
        return 0;
    if (!QDir(carpeta).removeRecursively()) {
        fallar(ErrorArchivo, QStringLiteral("No se pudo eliminar la carpeta de recuperación %1.")
                                 .arg(QDir::toNativeSeparators(carpeta)));
        return 0;
    }
    qCInfo(lcEscaner) << "descartada" << carpeta;
    return 1;
}
