#pragma once

#include <QColor>
#include <QSet>
#include <QString>
#include <QVariant>

class QTableWidget;
struct TipoDocumento;
class Registros;

// The case-file grid as the list fills it from its record set: one column per query column,
// headed and keyed by the alias, one row per case file in the order received. Flags are shown
// as "Sí"/"No"; every cell keeps the value as read (a database Null included).
class RejillaExpedientes
{
public:
    explicit RejillaExpedientes(QTableWidget& rejilla);

    // Keeps the columns (and their headers) and drops the rows.
    void vaciarFilas();
    // Empties the grid completely and fills it from the current row of the record set to its
    // end.
    void llenar(Registros& registros);
    // A document not flagged whose pages wait in the outbox reads "En espera", neither Sí nor
    // No. `clave` is the folio's column.
    // `espera` names the waiting documents as on the image server ("10662N.tif").
    void marcarEnEspera(const QString& clave, const QSet<QString>& espera);

    int filas() const;
    // 0-based column of a key (alias), without regard to case; -1 when there is none.
    int columna(const QString& clave) const;
    // The cell of a 1-based row in a keyed column: as shown, and as read.
    QString texto(int fila, const QString& clave) const;
    QVariant valor(int fila, const QString& clave) const;

    static const QColor& colorFilaNon();

private:
    void presentar();

    QTableWidget& r_;
};
