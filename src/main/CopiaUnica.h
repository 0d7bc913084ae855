#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One copy of the program per user and workstation: two copies would share the working files
// and the journal of pages, and one would file its pages over the other's document. The first
// copy holds an exclusive lock on a file of the user's data folder for as long as it runs; the
// kernel lets go of it when the process ends however it ends, so a copy that crashed never keeps
// the next one out. A later copy asks the first to bring its window forward, and gives way.
class CopiaUnica : public QObject
{
    Q_OBJECT
public:
    // carpeta: the user's data folder (where the lock file lives).
    explicit CopiaUnica(const QString& carpeta, QObject* parent = nullptr);
    ~CopiaUnica() override;
    CopiaUnica(const CopiaUnica&) = delete;
    CopiaUnica& operator=(const CopiaUnica&) = delete;

    // This is the only copy running; otherwise another one holds the lock.
    bool primera() const { return descriptor_ >= 0; }
    // From a later copy: asks the first to show its window. False when it could not be reached.
    bool llamarPrimera();

signals:
    // In the first copy: a later one was started and gave way.
    void llamada();

private:
    QString nombreServidor() const;

    QString archivo_;
    int descriptor_ = -1;
    QLocalServer* servidor_ = nullptr;
};
