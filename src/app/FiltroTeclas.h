#pragma once

#include <QObject>

// Keystroke filters for line edits. Only typed characters pass through them: text pasted
// through the context menu is not filtered, so whoever reads the text still validates it.
class FiltroTeclas : public QObject
{
    Q_OBJECT
public:
    enum class Modo
    {
        Mayusculas,
        Numerica
    };

    explicit FiltroTeclas(Modo modo, QObject* parent = nullptr);
    // Puts a filter on the widget; the filter lives as long as the widget.
    static FiltroTeclas* instalar(QObject* editor, Modo modo);

    void fijarModo(Modo modo) { modo_ = modo; }
    Modo modo() const { return modo_; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Modo modo_;
    bool reenviando_ = false;
};

// The character code of a key press, rewritten in place; 0 means the key is dropped.
// Enter (13) becomes 0: the filter then moves the focus on as a Tab would.
void TeclaMayusculas(int& KeyAscii);
void TeclaNumerica(int& KeyAscii);
