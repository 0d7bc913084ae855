#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// The scanner's own source dialog: the list of devices, the current one selected.
class DialogoFuente : public QDialog
{
    Q_OBJECT
public:
    DialogoFuente(const QStringList& nombres, int actual, QWidget* padre = nullptr);
    int eleccion() const;

    // Shows the dialog; the chosen position, or −1 when the user cancels.
    static int elegir(QWidget* padre, const QStringList& nombres, int actual);

private:
    QListWidget* lista_;
};
