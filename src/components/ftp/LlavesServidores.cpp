#include "components/ftp/LlavesServidores.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

LlavesServidores::LlavesServidores(QString archivo) : m_archivo(std::move(archivo)) {}

QString LlavesServidores::clave(const QByteArray& servidorUrl, int puerto)
{
    return QString::fromLatin1(servidorUrl).toLower() + QLatin1Char(':') + QString::number(puerto);
}

QByteArray LlavesServidores::llave(const QString& clave) const
{
    for (const Linea& linea : leer()) {
        if (linea.clave == clave)
            return linea.llave;
    }
    return {};
}

bool LlavesServidores::registrar(const QString& clave, const QByteArray& llave, QString& error)
{
    QList<Linea> lineas = leer();
    lineas.removeIf([&](const Linea& linea) { return linea.clave == clave; });
    lineas.append({clave, llave});
    return escribir(lineas, error);
}

bool LlavesServidores::olvidar(const QString& clave, bool& habia, QString& error)
{
    QList<Linea> lineas = leer();
    habia = lineas.removeIf([&](const Linea& linea) { return linea.clave == clave; }) > 0;
    return !habia || escribir(lineas, error);
}

QList<LlavesServidores::Linea> LlavesServidores::leer() const
{
    QList<Linea> lineas;
    QFile archivo(m_archivo);
    if (!archivo.open(QIODevice::ReadOnly | QIODevice::Text))
        return lineas;
    while (!archivo.atEnd()) {
        const QList<QByteArray> partes = archivo.readLine().simplified().split(' ');
        if (partes.size() == 2 && partes.at(1).startsWith("sha256//"))
            lineas.append({QString::fromUtf8(partes.at(0)), partes.at(1)});
    }
    return lineas;
}

bool LlavesServidores::escribir(const QList<Linea>& lineas, QString& error) const
{
    QDir().mkpath(QFileInfo(m_archivo).absolutePath());
    QSaveFile archivo(m_archivo);
    if (archivo.open(QIODevice::WriteOnly | QIODevice::Text)) {
        for (const Linea& linea : lineas)
            archivo.write(linea.clave.toUtf8() + ' ' + linea.llave + '\n');
        if (archivo.commit())
            return true;
    }
    error = QStringLiteral("no se pudo escribir %1 (%2)")
                .arg(QDir::toNativeSeparators(m_archivo), archivo.errorString());
    return false;
}
