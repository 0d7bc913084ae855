#include "components/ftp/ClienteFtpRuta.h"

#include <QUrl>

namespace ClienteFtpRuta {

QString errorDeNombre(const QString& nombre)
{
    for (const QChar c : nombre) {
        if (c == QChar('\r') || c == QChar('\n') || c == QChar('\0'))
            return QStringLiteral("el nombre «%1» lleva saltos de línea o caracteres nulos")
                .arg(QString(nombre)
                         .replace(QChar('\n'), QStringLiteral("\\n"))
                         .replace(QChar('\r'), QStringLiteral("\\r")));
    }
    return {};
}

Directorio aplicar(const Directorio& actual, const QString& cambio)
{
    Directorio resultado = actual;
    if (cambio.startsWith(QChar('/'))) {
        resultado.absoluto = true;
        resultado.segmentos.clear();
    }
    for (const QString& segmento : cambio.split(QChar('/'), Qt::SkipEmptyParts)) {
        if (segmento == QStringLiteral("."))
            continue;
        const bool puedeSubir =
            !resultado.segmentos.isEmpty() && resultado.segmentos.last() != QStringLiteral("..");
        if (segmento == QStringLiteral("..") && puedeSubir)
            resultado.segmentos.removeLast();
        else if (segmento == QStringLiteral("..") && resultado.absoluto)
            continue; // above the root is still the root
        else
            resultado.segmentos.append(segmento);
    }
    return resultado;
}

bool separar(const Directorio& actual, const QString& remoto, Directorio& directorio,
             QString& archivo)
{
    const int barra = remoto.lastIndexOf(QChar('/'));
    archivo = remoto.mid(barra + 1);
    if (archivo.isEmpty() || archivo == QStringLiteral(".") || archivo == QStringLiteral(".."))
        return false;
    directorio = barra < 0 ? actual : aplicar(actual, remoto.left(barra + 1));
    return true;
}

QByteArray parteServidor(const QString& servidor)
{
    const QString limpio = servidor.trimmed();
    if (limpio.isEmpty())
        return {};
    for (const QChar c : limpio) {
        if (c.isSpace() || QStringLiteral("/@?#\\[]").contains(c) || c.unicode() < 0x20)
            return {};
    }
    if (limpio.contains(QChar(':'))) // an IPv6 literal
        return '[' + limpio.toLatin1() + ']';
    return QUrl::toAce(limpio);
}

QByteArray url(const QByteArray& servidor, int puerto, const Directorio& directorio,
               const QString& archivo)
{
    QByteArray resultado = "ftp://" + servidor + ':' + QByteArray::number(puerto) + '/';
    // libcurl reads a leading %2F as "start from the root" instead of the login directory.
    if (directorio.absoluto)
        resultado += directorio.segmentos.isEmpty() ? "%2F/" : "%2F";
    for (const QString& segmento : directorio.segmentos)
        resultado += QUrl::toPercentEncoding(segmento) + '/';
    resultado += QUrl::toPercentEncoding(archivo);
    return resultado;
}

QString texto(const Directorio& directorio)
{
    const QString cuerpo = directorio.segmentos.join(QChar('/'));
    return directorio.absoluto ? QChar('/') + cuerpo
                               : (cuerpo.isEmpty() ? QStringLiteral(".") : cuerpo);
}

} // namespace ClienteFtpRuta
