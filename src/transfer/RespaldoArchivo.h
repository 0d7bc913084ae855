#pragma once

#include <QString>
#include <QTemporaryFile>

// The content of a working file before a save writes its pages into it. Unless the save is
// confirmed, the file is put back as it was when the respaldo goes (or removed when it did not
// exist): the pages stay held by the scanner, so a later save writes them again and must not
// find them in the file already.
class RespaldoArchivo
{
public:
    explicit RespaldoArchivo(const QString& archivo);
    ~RespaldoArchivo();
    RespaldoArchivo(const RespaldoArchivo&) = delete;
    RespaldoArchivo& operator=(const RespaldoArchivo&) = delete;

    // False when the copy could not be taken (the reason in error()).
    bool valido() const { return valido_; }
    QString error() const { return error_; }
    // The file keeps what was written.
    void confirmar() { confirmado_ = true; }
    // Puts the file back now; true when it is as it was.
    bool restaurar();

private:
    QString archivo_;
    bool existia_ = false;
    bool valido_ = false;
    bool confirmado_ = false;
    QString error_;
    QTemporaryFile copia_;
};
