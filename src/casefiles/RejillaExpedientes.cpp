#include "casefiles/RejillaExpedientes.h"

#include "app/ConexionBaseDatos.h"
#include "app/Registros.h"
#include "casefiles/TipoDocumento.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

namespace {
const QString kClaveVenta = QStringLiteral("Venta");
const QString kClavePrestamo = QStringLiteral("Prestamo");

bool esBandera(const QString& clave)
{
    if (clave.compare(kClavePrestamo, Qt::CaseInsensitive) == 0)
        return true;
    for (const TipoDocumento& tipo : TipoDocumento::todos())
        if (clave.compare(QString::fromUtf8(tipo.columnaLista), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString textoDe(const QVariant& valor, bool bandera)
{
    if (bandera)
        return TipoDocumento::activa(valor) ? QStringLiteral("Sí") : QStringLiteral("No");
    if (valor.isNull())
        return {};
    // Folios may come back as floating numbers from some drivers: 10234, never 10234.0.
    if (valor.typeId() == QMetaType::Double || valor.typeId() == QMetaType::Float)
        return NumeroPlano(valor.toDouble());
    return valor.toString();
}
} // namespace

RejillaExpedientes::RejillaExpedientes(QTableWidget& rejilla) : r_(rejilla) {}

const QColor& RejillaExpedientes::colorFilaNon()
{
    static const QColor amarilloClaro(255, 255, 200);
    return amarilloClaro;
}

void RejillaExpedientes::vaciarFilas()
{
    r_.setRowCount(0);
}

void RejillaExpedientes::llenar(Registros& registros)
{
    r_.setSortingEnabled(false);
    r_.clear();
    r_.setRowCount(0);
    const int columnas = registros.columnas();
    r_.setColumnCount(columnas);
    QList<bool> banderas;
    for (int i = 0; i < columnas; ++i) {
        const QString clave = registros.nombreColumna(i);
        auto* encabezado = new QTableWidgetItem(clave);
        encabezado->setData(Qt::UserRole, clave);
        r_.setHorizontalHeaderItem(i, encabezado);
        banderas << esBandera(clave);
    }
    for (int fila = 0; !registros.eof(); registros.siguiente(), ++fila) {
        r_.insertRow(fila);
        for (int i = 0; i < columnas; ++i) {
            const QVariant valor = registros.campo(i);
            auto* celda = new QTableWidgetItem(textoDe(valor, banderas.at(i)));
            celda->setData(Qt::UserRole, valor);
            r_.setItem(fila, i, celda);
        }
    }
    presentar();
}

void RejillaExpedientes::marcarEnEspera(const QString& clave, const QSet<QString>& espera)
{
    const int folios = columna(clave);
    if (folios < 0 || espera.isEmpty())
        return;
    for (const TipoDocumento& tipo : TipoDocumento::todos()) {
        const int i = columna(QString::fromUtf8(tipo.columnaLista));
        for (int fila = 0; i >= 0 && fila < r_.rowCount(); ++fila) {
            QTableWidgetItem* celda = r_.item(fila, i);
            if (celda && !TipoDocumento::activa(celda->data(Qt::UserRole)) &&
                espera.contains(
                    tipo.nombreRemoto(r_.item(fila, folios)->data(Qt::UserRole).toDouble())))
                celda->setText(QStringLiteral("En espera"));
        }
    }
}

void RejillaExpedientes::presentar()
{
    QHeaderView* encabezado = r_.horizontalHeader();
    encabezado->setStretchLastSection(false);
    for (int i = 0; i < r_.columnCount(); ++i)
        encabezado->setSectionResizeMode(i, QHeaderView::Interactive);
    // Every column to its contents and header: past the seventh the grid's default width cut
    // "Estado Expediente" and pushed it out of a full-width window.
    for (int i = 0; i < r_.columnCount(); ++i)
        r_.resizeColumnToContents(i);

    // Light yellow and white rows, set on the cells so every style shows them alike.
    r_.setAlternatingRowColors(false);
    for (int fila = 0; fila < r_.rowCount(); ++fila)
        for (int i = 0; i < r_.columnCount(); ++i)
            r_.item(fila, i)->setBackground(fila % 2 == 0 ? colorFilaNon() : QColor(Qt::white));

    // The sale column takes what is left of the grid's width, never less than its contents.
    const int venta = columna(kClaveVenta);
    if (venta < 0)
        return;
    int ocupado = 0;
    for (int i = 0; i < r_.columnCount(); ++i)
        if (i != venta)
            ocupado += r_.columnWidth(i);
    // The row numbers' column widens to its new rows only at the next layout: the viewport
    // narrows by that much then.
    const QHeaderView* numeros = r_.verticalHeader();
    const int ensanche =
        numeros->isVisible() ? std::max(0, numeros->sizeHint().width() - numeros->width()) : 0;
    const int restante = r_.viewport()->width() - ensanche - ocupado;
    if (restante > r_.columnWidth(venta))
        r_.setColumnWidth(venta, restante);
}

int RejillaExpedientes::filas() const
{
    return r_.rowCount();
}

int RejillaExpedientes::columna(const QString& clave) const
{
    for (int i = 0; i < r_.columnCount(); ++i) {
        const QTableWidgetItem* encabezado = r_.horizontalHeaderItem(i);
        if (encabezado &&
            encabezado->data(Qt::UserRole).toString().compare(clave, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString RejillaExpedientes::texto(int fila, const QString& clave) const
{
    const int i = columna(clave);
    const QTableWidgetItem* celda = i < 0 ? nullptr : r_.item(fila - 1, i);
    return celda ? celda->text() : QString();
}

QVariant RejillaExpedientes::valor(int fila, const QString& clave) const
{
    const int i = columna(clave);
    const QTableWidgetItem* celda = i < 0 ? nullptr : r_.item(fila - 1, i);
    return celda ? celda->data(Qt::UserRole) : QVariant();
}
