#include "app/Registros.h"

#include "app/CausaBaseDatos.h"

#include <QSqlRecord>

namespace {
// What ADO reports for a provider error without a number of its own (E_FAIL).
constexpr int kErrorSinNumero = -2147467259;
} // namespace

Registros::Registros(QSqlQuery consulta) : consulta_(std::move(consulta))
{
    enFila_ = consulta_.next();
    if (!enFila_ && consulta_.lastError().isValid())
        throw error(consulta_.lastError());
}

bool Registros::eof() const
{
    return !enFila_;
}

bool Registros::siguiente()
{
    if (!enFila_)
        return false;
    enFila_ = consulta_.next();
    if (!enFila_ && consulta_.lastError().isValid())
        throw error(consulta_.lastError());
    return enFila_;
}

int Registros::columnas() const
{
    return consulta_.record().count();
}

QString Registros::nombreColumna(int posicion) const
{
    if (posicion < 0 || posicion >= columnas())
        throw ErrorSistema(kErrorSinNumero,
                           QStringLiteral("No existe la columna %1 en el resultado").arg(posicion));
    return consulta_.record().fieldName(posicion);
}

QVariant Registros::campo(int posicion) const
{
    if (posicion < 0 || posicion >= columnas())
        throw ErrorSistema(kErrorSinNumero,
                           QStringLiteral("No existe la columna %1 en el resultado").arg(posicion));
    if (!enFila_)
        throw ErrorSistema(kErrorSinNumero,
                           QStringLiteral("No hay registro actual: fin del resultado"));
    const QVariant valor = consulta_.value(posicion);
    // A database Null comes back typed; callers test isNull()/isValid() alike.
    return valor.isNull() ? QVariant() : valor;
}

QVariant Registros::campo(const QString& nombre) const
{
    const QSqlRecord registro = consulta_.record();
    for (int i = 0; i < registro.count(); ++i) {
        if (registro.fieldName(i).compare(nombre, Qt::CaseInsensitive) == 0)
            return campo(i);
    }
    throw ErrorSistema(kErrorSinNumero,
                       QStringLiteral("No existe el campo '%1' en el resultado").arg(nombre));
}

void Registros::cerrar()
{
    consulta_.finish();
    consulta_ = QSqlQuery();
    enFila_ = false;
}

ErrorSistema Registros::error(const QSqlError& error)
{
    bool esNumero = false;
    int numero = error.nativeErrorCode().toInt(&esNumero);
    if (!esNumero || numero == 0)
        numero = kErrorSinNumero;
    QString descripcion = error.databaseText().trimmed();
    if (descripcion.isEmpty())
        descripcion = error.text().trimmed();
    if (descripcion.isEmpty())
        descripcion = QStringLiteral("Error de base de datos sin descripción");
    return ErrorSistema(numero, descripcion, QStringLiteral("Base de datos"),
                        CausaBaseDatos::de(error));
}
