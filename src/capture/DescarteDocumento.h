#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

struct ContextoVentana;
struct TipoDocumento;

// Discarding a type's working file from its present mark: a double click on sOK, iOK, rOK, cOK
// and nOK (sOK_DblClick ... nOK_DblClick), a single click on eOK and dOK (eOK_Click, dOK_Click).
// The marks are labels, so the gestures are read through an event filter.
class DescarteDocumento : public QObject
{
    Q_OBJECT
public:
    DescarteDocumento(ContextoVentana& c, QObject* parent);

    // Deletes the working file, swaps the marks and clears DocumentoExiste; nothing without a
    // file. Only the local file goes: the stored copy and the case file's flag stay.
    void Marca_Descartar(const TipoDocumento& tipo);

    // Deletes a file; false with the reason when it could not. Tests replace it.
    std::function<bool(const QString& archivo, QString& motivo)> borrarArchivo;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    ContextoVentana& c_;
    QHash<QObject*, const TipoDocumento*> marcas_;
};
