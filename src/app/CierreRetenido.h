#pragma once

#include <QEvent>
#include <QObject>

// Refuses to close the window for as long as the scope lives. Scans and transfers keep the event
// loop turning inside their call; closing the window then would destroy it, and the component,
// under the running call.
class CierreRetenido : public QObject
{
public:
    explicit CierreRetenido(QObject& ventana) : ventana_(ventana)
    {
        ventana_.installEventFilter(this);
    }
    ~CierreRetenido() override { ventana_.removeEventFilter(this); }
    CierreRetenido(const CierreRetenido&) = delete;
    CierreRetenido& operator=(const CierreRetenido&) = delete;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (objeto == &ventana_ && evento->type() == QEvent::Close) {
            evento->ignore();
            return true;
        }
        return QObject::eventFilter(objeto, evento);
    }

private:
    QObject& ventana_;
};
