#pragma once

#include <QObject>

class QWidget;

// A single click on a case-file row opens the scanning tab at once. Clerks used to picking by
// double click would land the second click on whatever of that tab lies under the pointer (a
// document type, or a stored document's mark, whose double click offers to delete it); for the
// double-click interval after a click on the list, mouse presses elsewhere in its window are
// dropped. Times are the events' own, so events that come later than a person could double
// click pass untouched.
class TrabaDobleClic : public QObject
{
    Q_OBJECT
public:
    // lista: the viewport of the list whose clicks open the other tab.
    explicit TrabaDobleClic(QWidget& lista, QObject* parent = nullptr);

    // The click just released on the list picked a row.
    void armar();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void desarmar();

    QWidget& lista_;
    quint64 ultimoClic_ = 0; // timestamp of the last release on the list
    bool armada_ = false;
};
