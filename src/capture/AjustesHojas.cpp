#include "capture/AjustesHojas.h"

#include <QLoggingCategory>
#include <QSettings>
#include <memory>

Q_LOGGING_CATEGORY(lcAjustesHojas, "expedientes.scan.ajustes")

namespace {
const QString kUmbral = QStringLiteral("hojas/umbralBlanco");

std::unique_ptr<QSettings> ajustes(const QString& archivo)
{
    if (archivo.isEmpty())
        return std::make_unique<QSettings>();
    return std::make_unique<QSettings>(archivo, QSettings::IniFormat);
}

QString clave(const QString& letra, const char* nombre)
{
    return QStringLiteral("hojas/%1/%2").arg(letra, QLatin1String(nombre));
}
} // namespace

TratamientoHojas AjustesHojas::leer(const QString& archivoAjustes, const QString& letra)
{
    const auto guardados = ajustes(archivoAjustes);
    TratamientoHojas tratamiento;
    const bool porOmision = letra != QLatin1String("S") && letra != QLatin1String("D");
    tratamiento.quitarBlancas =
        guardados->value(clave(letra, "quitarBlancas"), porOmision).toBool();
    tratamiento.enderezar = guardados->value(clave(letra, "enderezar"), false).toBool();
    if (guardados->contains(kUmbral)) {
        bool numero = false;
        const double umbral = guardados->value(kUmbral).toDouble(&numero);
        // A fraction of the page; anything else would drop every page or none.
        if (numero && umbral > 0 && umbral < 0.1)
            tratamiento.umbralBlanco = umbral;
        else
            qCWarning(lcAjustesHojas)
                << "umbral de hoja en blanco no valido, se usa" << TratamientoHojas::kUmbralBlanco
                << "en lugar de" << guardados->value(kUmbral).toString();
    }
    return tratamiento;
}

void AjustesHojas::guardar(const QString& archivoAjustes, const QString& letra,
                           const TratamientoHojas& tratamiento)
{
    const auto guardados = ajustes(archivoAjustes);
    guardados->setValue(clave(letra, "quitarBlancas"), tratamiento.quitarBlancas);
    guardados->setValue(clave(letra, "enderezar"), tratamiento.enderezar);
}
