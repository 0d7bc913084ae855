#include "search/ListaHistorial.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

Q_LOGGING_CATEGORY(lcHistorial, "expedientes.search.historial")

namespace {

// Windows keeps the file in the ANSI code page, as it always was; elsewhere UTF-8.
#ifdef Q_OS_WIN
constexpr auto kCodificacion = QStringConverter::System;
#else
constexpr auto kCodificacion = QStringConverter::Utf8;
#endif

// Letter by letter, as a comparison that ignores case folds them, so the length is kept.
QString plegar(const QString& texto)
{
    QString plegado(texto.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < texto.size(); ++i)
        plegado[i] = QChar(QChar::toCaseFolded(texto.at(i).unicode()));
    return plegado;
}

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
    entradas_.clear();
    plegadas_.clear();
    iniciales_.clear();
    agregar(QString());
    primeraVisible_ = 0;
}

void ListaHistorial::agregar(const QString& entrada)
{
    entradas_.append(entrada);
    plegadas_.append(plegar(entrada));
    iniciales_.push_back(entrada.isEmpty() ? u'\0' : plegadas_.last().at(0).unicode());
}

int ListaHistorial::primeraQueEmpiezaCon(const QString& inicio, int columna) const
{
    if (columna != 0)
        return -1;
    if (inicio.isEmpty())
        return entradas_.isEmpty() ? -1 : 0;
    const QString buscado = plegar(inicio);
    const char16_t inicial = buscado.at(0).unicode();
    const std::size_t total = iniciales_.size();
    for (std::size_t i = 0; i < total; ++i)
        if (iniciales_[i] == inicial && plegadas_.at(qsizetype(i)).startsWith(buscado))
            return int(i);
    return -1;
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
    // Line by line, each decoded on its own: a broken character at the end of one line reads
    // the same whether or not another line follows it.
    QStringDecoder decodificar(kCodificacion, QStringConverter::Flag::Stateless);
    QList<QByteArray> lineas = bytes.split('\n');
    // The line end after the last line does not make one more entry.
    if (bytes.endsWith('\n'))
        lineas.removeLast();
    for (QByteArray& linea : lineas) {
        if (linea.endsWith('\r'))
            linea.chop(1);
        agregar(decodificar(linea));
    }
    return true;
}

bool ListaHistorial::anexar(const QString& archivo, const QString& entrada)
{
    if (std::any_of(entrada.cbegin(), entrada.cend(),
                    [](QChar c) { return c.category() == QChar::Other_Control; })) {
        qCWarning(lcHistorial) << "No se anotó en el historial una entrada con caracteres de"
                                  " control";
        return false;
    }
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
