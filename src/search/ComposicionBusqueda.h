#pragma once

#include <QString>
#include <QVariantList>

// How the customer search looks for the text: Option1 to Option4 of the dialog.
enum class ModoBusqueda
{
    Nombre,        // Option1
    Direccion,     // Option2
    NumeroCliente, // Option3
    NumeroVenta,   // Option4
};

// OpcCentros: cleared searches the branch's own distribution centre only.
enum class AlcanceCentros
{
    CentroPropio,
    TodosLosCentros,
};

// A statement with its values bound in order to its "?" marks.
struct SentenciaBusqueda
{
    QString texto;
    QVariantList valores;
};

// The validation of the search text and the statement of each mode and scope. The statement
// texts are the ones the central database has always received; the search text and the centre
// travel as bound values, so no text the user types can change the statement.
class ComposicionBusqueda
{
public:
    // At least two blank-separated words (a line end and a tab count as a blank).
    static bool TieneDosPalabras(const QString& texto);
    // Whether the text, as typed (untrimmed), may be searched in that mode. The name and
    // address modes need two words; the number modes a non-empty text, and the customer number
    // must be made of digits (a pasted text is not filtered by the keyboard).
    static bool textoAceptable(const QString& texto, ModoBusqueda modo);
    // The statement for an accepted text, searching textoBuscado(texto); the centre is always
    // sent as its 7 characters.
    static SentenciaBusqueda componer(ModoBusqueda modo, AlcanceCentros alcance,
                                      const QString& texto, const QString& centro);
    // Leading and trailing blanks removed (blanks only, as the statements have always done).
    static QString recortarBlancos(const QString& texto);
    // The text as it is searched and kept in the history: a line end (CR LF, CR or LF) and a
    // tab, which only a paste brings into the box, become one blank; other control characters
    // are dropped; then the blanks at both ends are removed.
    static QString textoBuscado(const QString& texto);
};
