#pragma once

#include "support/BaseDatosPrueba.h"
#include "support/ServidorFtpPrueba.h"

#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// The workstations of a branch with no window: each a process of its own (estacion_envio) with
// its own folder, all on one embedded database and one FTP server on loopback, sending pages
// marked with their workstation through the program's own send.
class EstacionesPrueba
{
public:
    static constexpr double kCliente = 4711;

    // The database with the branch and customer 4711, and the server; false when either fails.
    bool preparar();
    // A case file whose N document is stored with one page of mark `marca`, and flagged.
    double expedienteConDocumento(int marca);
    // Starts a workstation that sends these pages to the N document of `folio` (0: a new case
    // file), its first upload failing as `falla` says (see estacion_envio).
    void lanzar(double folio, const QList<int>& marcas, const QString& falla = {});
    // Waits for every workstation started; false with what the failed ones said.
    bool esperar(QString* error);
    // The folio each workstation reported, in the order they were started.
    const QStringList& folios() const { return folios_; }
    // The marks of the pages of every stored document, by file name.
    QMap<QString, QList<int>> documentos() const;
    bool marcado(const QString& folio);

    BaseDatosPrueba bd;
    ServidorFtpPrueba servidor;

private:
    QTemporaryDir carpetas_;
    std::vector<std::unique_ptr<QProcess>> procesos_;
    QStringList folios_;
};
