#include "search/ListaHistorial.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <QStringEncoder>

Q_LOGGING_CATEGORY(lcHistorial, "expedientes.search.historial")

namespace {

// Windows keeps the file in the ANSI code page, as it always was; elsewhere UTF-8.
#ifdef Q_OS_WIN
constexpr auto kCodificacion = QStringConverter::System;
#else
constexpr auto kCodificacion = QStringConverter::Utf8;
#endif

} // namespace

ListaHistorial::ListaHistorial()
{
    reiniciar();
}

QString ListaHistorial::texto(int fila, int columna) const
{
    if (columna != 0 || fila < 0 || fila >= entradas_.size())
        return {};
    return entradas_.at(fila);
}

void ListaHistorial::reiniciar()
{
    entradas_ = QStringList{QString()};
    primeraVisible_ = 0;
}

bool ListaHistorial::cargar(const QString& archivo)
{
    QFile file(archivo);
    if (!file.exists()) {
        QDir().mkpath(QFileInfo(archivo).absolutePath());
        if (!file.open(QIODevice::WriteOnly)) {
            qCWarning(lcHistorial) << "No se creó el historial" << archivo << file.errorString();
            return false;
        }
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcHistorial) << "No se leyó el historial" << archivo << file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        qCWarning(lcHistorial) << "No se leyó el historial" << archivo << file.errorString();
        return false;
    }
    if (bytes.isEmpty())
        return true;
    QStringDecoder decodificar(kCodificacion);
    const QString contenido = decodificar(bytes);
    QStringList lineas = contenido.split(QLatin1Char('\n'));
    // The line end after the last line does not make one more entry.
    if (contenido.endsWith(QLatin1Char('\n')))
        lineas.removeLast();
    for (QString& linea : lineas) {
        if (linea.endsWith(QLatin1Char('\r')))
            linea.chop(1);
        entradas_.append(linea);
    }
    return true;
}

bool ListaHistorial::anexar(const QString& archivo, const QString& entrada)
{
    QFile file(archivo);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        qCInfo(lcHistorial) << "No se anotó en el historial" << archivo << file.errorString();
        return false;
    }
    QByteArray linea;
    // A last line without its line end (the file edited by hand) would otherwise swallow the
    // new entry.
    if (file.size() > 0 && file.seek(file.size() - 1)) {
        char ultimo = 0;
        if (file.getChar(&ultimo) && ultimo != '\n')
            linea += "\r\n";
    }
    QStringEncoder codificar(kCodificacion);
    linea += codificar(entrada);
    linea += "\r\n";
    const bool escrito = file.write(linea) == linea.size();
    file.close();
    if (!escrito || file.error() != QFileDevice::NoError) {
        qCInfo(lcHistorial) << "No se anotó en el historial" << archivo << file.errorString();
        return false;
    }
    return true;
}
