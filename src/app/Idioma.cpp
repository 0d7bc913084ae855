#include "app/Idioma.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QTranslator>
#include <clocale>

namespace {
Q_LOGGING_CATEGORY(lcIdioma, "expedientes.idioma")

bool espanol(const QByteArray& nombre)
{
    return nombre.startsWith("es") &&
           (nombre.size() == 2 || QByteArray("_.@:").contains(nombre[2]));
}

void mensajesEnEspanol()
{
    // gettext reads LANGUAGE before LC_MESSAGES, except under the plain C locale, which its
    // UTF-8 twin replaces for the messages only.
    const QByteArray lenguaje = qgetenv("LANGUAGE");
    const char* actual = std::setlocale(LC_MESSAGES, nullptr);
    const QByteArray mensajes = actual ? QByteArray(actual) : QByteArray();
    if (lenguaje.isEmpty() ? espanol(mensajes) : espanol(lenguaje))
        return;
    if (mensajes.isEmpty() || mensajes == "C" || mensajes == "POSIX")
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    qputenv("LANGUAGE", "es");
}
} // namespace

QLocale Idioma::instalar(QCoreApplication& aplicacion)
{
    mensajesEnEspanol();
    const QLocale sistema = QLocale::system();
    const QLocale idioma = sistema.language() == QLocale::Spanish
                               ? sistema
                               : QLocale(QLocale::Spanish, QLocale::Mexico);
    auto* traductor = new QTranslator(&aplicacion);
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (traductor->load(idioma, QStringLiteral("qtbase"), QStringLiteral("_"), carpeta)) {
        QCoreApplication::installTranslator(traductor);
    } else {
        qCWarning(lcIdioma) << "sin el catálogo de Qt en español en" << carpeta;
        delete traductor;
    }
    return idioma;
}
