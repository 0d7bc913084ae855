#include "app/AdaptadorSQLite.h"

#include <QRegularExpression>

QString AdaptadorSQLite::adaptar(const QString& sentencia)
{
    // Identifier characters before ".dbo." (\b keeps "x.dbo." inside a longer name intact).
    static const QRegularExpression calificador(
        QStringLiteral(R"(\b[A-Za-z_][A-Za-z0-9_]*\.dbo\.)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString& adaptada = sentencia;
    // Only outside quoted literals: a text in quotes is data, not a name.
    QString resultado;
    resultado.reserve(adaptada.size());
    qsizetype inicio = 0;
    bool enTexto = false;
    for (qsizetype i = 0; i <= adaptada.size(); ++i) {
        const bool fin = i == adaptada.size();
        if (fin || adaptada.at(i) == QLatin1Char('\'')) {
            QString tramo = adaptada.mid(inicio, i - inicio + (fin ? 0 : 1));
            if (!enTexto)
                tramo.remove(calificador);
            resultado += tramo;
            inicio = i + 1;
            enTexto = !enTexto;
        }
    }
    return resultado;
}

bool AdaptadorSQLite::creaExpediente(const QString& sentenciaAdaptada)
{
    static const QRegularExpression alta(QStringLiteral(R"(^\s*INSERT\s+INTO\s+Expedientes_ZR\b)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return alta.match(sentenciaAdaptada).hasMatch();
}
