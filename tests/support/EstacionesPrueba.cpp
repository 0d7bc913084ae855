#include "support/EstacionesPrueba.h"

#include "support/estacion/HojaMarcada.h"

#include <QDir>

namespace {
const QString kEstacion =
    QStringLiteral(EXPEDIENTES_BINARIOS_DIR "/tests/support/estacion/estacion_envio");

QString remota(const ServidorFtpPrueba& servidor)
{
    return servidor.raiz() + QStringLiteral("/gdl");
}
} // namespace

bool EstacionesPrueba::preparar()
{
    if (!bd.valida() || !servidor.iniciar() || !QDir().mkpath(remota(servidor)))
        return false;
    bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
    BaseDatosPrueba::Cliente cliente;
    cliente.numero = kCliente;
    cliente.nombre = QStringLiteral("MORALES IBARRA ROSA");
    bd.cliente(cliente);
    return true;
}

double EstacionesPrueba::expedienteConDocumento(int marca)
{
    const double folio = bd.expediente(kCliente);
    EscritorTiff::escribirArchivo(QDir(remota(servidor)).filePath(NumeroPlano(folio) + "N.tif"),
                                  hojaMarcada(marca), 200);
    bd.conexion().ejecutar(
        QStringLiteral("UPDATE Expedientes_ZR SET imagen_NOTA = 1 WHERE expediente = %1")
            .arg(NumeroPlano(folio)));
    return folio;
}

void EstacionesPrueba::lanzar(double folio, const QList<int>& marcas, const QString& falla)
{
    QStringList lista;
    for (int marca : marcas)
        lista << QString::number(marca);
    auto proceso = std::make_unique<QProcess>();
    proceso->start(kEstacion,
                   {"--base",     bd.rutaBase(),
                    "--servidor", "127.0.0.1",
                    "--puerto",   QString::number(servidor.puerto()),
                    "--usuario",  servidor.usuario(),
                    "--clave",    servidor.contrasena(),
                    "--ruta",     "/gdl",
                    "--datos",    carpetas_.filePath(QString::number(procesos_.size() + 1)),
                    "--cliente",  NumeroPlano(kCliente),
                    "--folio",    NumeroPlano(folio),
                    "--tipo",     "N",
                    "--marcas",   lista.join(QLatin1Char(',')),
                    "--falla",    falla});
    procesos_.push_back(std::move(proceso));
}

bool EstacionesPrueba::esperar(QString* error)
{
    bool todas = true;
    for (std::size_t i = folios_.size(); i < procesos_.size(); ++i) {
        QProcess& proceso = *procesos_[i];
        const bool termino = proceso.waitForFinished(180000);
        const QString salida = QString::fromUtf8(proceso.readAllStandardOutput());
        folios_ << salida.section(QLatin1Char(' '), 1, 1);
        if (!termino || proceso.exitStatus() != QProcess::NormalExit || proceso.exitCode() != 0) {
            todas = false;
            if (error)
                *error += QStringLiteral("estación %1: %2 %3\n")
                              .arg(i + 1)
                              .arg(salida, QString::fromUtf8(proceso.readAllStandardError()));
        }
    }
    return todas;
}

QMap<QString, QList<int>> EstacionesPrueba::documentos() const
{
    QMap<QString, QList<int>> documentos;
    const QDir carpeta(remota(servidor));
    for (const QString& archivo : carpeta.entryList({QStringLiteral("*.tif")}, QDir::Files))
        documentos.insert(archivo, marcasDe(carpeta.filePath(archivo)));
    return documentos;
}

bool EstacionesPrueba::marcado(const QString& folio)
{
    return bd.valor(QStringLiteral("SELECT imagen_NOTA FROM Expedientes_ZR WHERE expediente = ?"),
                    {folio})
               .toInt() == 1;
}
