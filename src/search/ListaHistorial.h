#pragma once

#include "search/ListaTextos.h"

#include <QStringList>
#include <vector>

// The earlier search texts (MSFlexGrid1): row 0 is empty, then the lines of the history file
// in file order, then what was recorded during this opening of the dialog. Never shown.
class ListaHistorial : public ListaTextos
{
public:
    ListaHistorial();

    int filas() const override { return int(entradas_.size()); }
    QString texto(int fila, int columna) const override;
    void fijarPrimeraFilaVisible(int fila) override { primeraVisible_ = fila; }
    int primeraQueEmpiezaCon(const QString& inicio, int columna) const override;
    int primeraFilaVisible() const { return primeraVisible_; }

    // Back to the single empty row 0.
    void reiniciar();
    void agregar(const QString& entrada);
    // Exact comparison: an entry that differs only in letter case is another entry.
    bool contiene(const QString& entrada) const { return entradas_.contains(entrada); }

    // Loads the file after row 0. A missing file is created empty (with its folder); a file
    // that cannot be read leaves the list as it is. False when the file could not be read or
    // created.
    bool cargar(const QString& archivo);
    // Appends one line ended by CR LF. Best effort: false when it failed, nothing else. An
    // entry with a control character is not written (a line end in it would make two entries
    // of it).
    static bool anexar(const QString& archivo, const QString& entrada);

private:
    QStringList entradas_;
    // The entries with their letter case folded, kept beside them: the completion compares
    // every entry on every keystroke, and folding them once keeps that under a millisecond.
    QStringList plegadas_;
    // Their first folded character side by side in memory, so most entries are ruled out
    // without reaching their text.
    std::vector<char16_t> iniciales_;
    int primeraVisible_ = 0;
};
