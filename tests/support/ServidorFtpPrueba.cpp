#include "support/ServidorFtpPrueba.h"

#include "app/DatosServidorImagenes.h"
#include "components/ftp/ClienteFtp.h"
#include "support/RutasPrueba.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <signal.h>

namespace {

// pyftpdlib's own command line can neither refuse renames, slow transfers down, time idle
// sessions out nor offer TLS; this is that same server with those switches.
const char* const kServidorAjustado = R"(
import argparse, os, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
p = argparse.ArgumentParser()
for o in ('-i', '-p', '-d', '-u', '-P', '--tls'):
    p.add_argument(o)
p.add_argument('-w', action='store_true')
p.add_argument('--sin-reemplazo', action='store_true')
p.add_argument('--lento', action='store_true')
p.add_argument('--inactividad', type=float)
a = p.parse_args()
Base = FTPHandler
if a.tls:
    from OpenSSL import crypto
    from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler
    if not os.path.exists(a.tls):
        llave = crypto.PKey()
        llave.generate_key(crypto.TYPE_RSA, 2048)
        cert = crypto.X509()
        cert.get_subject().CN = a.i
        cert.set_serial_number(int.from_bytes(os.urandom(8), 'big'))
        cert.gmtime_adj_notBefore(-3600)
        cert.gmtime_adj_notAfter(86400)
        cert.set_issuer(cert.get_subject())
        cert.set_pubkey(llave)
        cert.sign(llave, 'sha256')
        with open(a.tls, 'wb') as f:
            f.write(crypto.dump_privatekey(crypto.FILETYPE_PEM, llave))
            f.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
    class Datos(TLS_DTPHandler):
        # libcurl starts the data connection's handshake before its transfer command; pyftpdlib
        # would read that as a hang-up.
        def readable(self):
            return self._ssl_accepting or TLS_DTPHandler.readable(self)
    Base = TLS_FTPHandler
    Base.certfile = a.tls
    Base.dtp_handler = Datos
class Manejador(Base):
    def ftp_AUTH(self, line):
        print('AUTH', line, flush=True)
        return Base.ftp_AUTH(self, line)
    def ftp_RNTO(self, path):
        if a.sin_reemplazo and os.path.exists(path):
            self.respond('550 Target exists.')
            return
        return Base.ftp_RNTO(self, path)
if a.inactividad:
    Manejador.timeout = a.inactividad
if a.lento:
    ThrottledDTPHandler.read_limit = ThrottledDTPHandler.write_limit = 24 * 1024 * 1024
    Manejador.dtp_handler = ThrottledDTPHandler
autorizador = DummyAuthorizer()
autorizador.add_user(a.u, a.P, a.d, perm='elradfmwMT')
Manejador.authorizer = autorizador
FTPServer((a.i, int(a.p)), Manejador).serve_forever()
)";

// Above Linux's ephemeral range (32768..60999), so no outgoing connection takes the port between
// a kill and the restart.
int puertoLibre()
{
    for (int intento = 0; intento < 200; ++intento) {
        const auto candidato =
            static_cast<quint16>(QRandomGenerator::global()->bounded(61000, 65500));
        QTcpServer prueba;
        if (prueba.listen(QHostAddress::LocalHost, candidato))
            return candidato;
    }
    return 0;
}

} // namespace

ServidorFtpPrueba::ServidorFtpPrueba(Tipo tipo) : m_tipo(tipo)
{
    QDir(m_carpeta.path()).mkpath(QStringLiteral("raiz"));
    m_proceso.setStandardOutputFile(m_carpeta.filePath(QStringLiteral("servidor.log")),
                                    QIODevice::Append);
    m_proceso.setStandardErrorFile(m_carpeta.filePath(QStringLiteral("servidor.log")),
                                   QIODevice::Append);
}

ServidorFtpPrueba::~ServidorFtpPrueba()
{
    matar();
}

QString ServidorFtpPrueba::raiz() const
{
    return m_carpeta.filePath(QStringLiteral("raiz"));
}

bool ServidorFtpPrueba::activo() const
{
    return m_proceso.state() == QProcess::Running;
}

bool ServidorFtpPrueba::iniciar()
{
    matar();
    // Another process may take the port between the probe and the server's bind: try again.
    for (int intento = 0; intento < 5; ++intento) {
        m_puerto = puertoLibre();
        if (m_puerto != 0 && arrancar())
            return true;
    }
    return false;
}

bool ServidorFtpPrueba::reiniciar()
{
    matar();
    // The killed server's socket may take a moment to be released.
    for (int intento = 0; intento < 20; ++intento) {
        if (arrancar())
            return true;
        QThread::msleep(100);
    }
    return false;
}

bool ServidorFtpPrueba::arrancar()
{
    QStringList argumentos;
    if (m_tipo == Tipo::Normal && m_inactividad <= 0)
        argumentos << QStringLiteral("-m") << QStringLiteral("pyftpdlib");
    else
        argumentos << QStringLiteral("-c") << QString::fromUtf8(kServidorAjustado);
    if (m_tipo == Tipo::Lento)
        argumentos << QStringLiteral("--lento");
    else if (m_tipo == Tipo::SinReemplazoAlRenombrar)
        argumentos << QStringLiteral("--sin-reemplazo");
    else if (m_tipo == Tipo::Tls)
        argumentos << QStringLiteral("--tls") << m_carpeta.filePath(QStringLiteral("servidor.pem"));
    if (m_inactividad > 0)
        argumentos << QStringLiteral("--inactividad") << QString::number(m_inactividad);
    argumentos << QStringLiteral("-i") << QStringLiteral("127.0.0.1") << QStringLiteral("-p")
               << QString::number(m_puerto) << QStringLiteral("-w") << QStringLiteral("-d")
               << raiz() << QStringLiteral("-u") << usuario() << QStringLiteral("-P")
               << contrasena();
    m_proceso.start(RutasPrueba::python(), argumentos);
    if (!m_proceso.waitForStarted(5000)) {
        m_error =
            QStringLiteral("No arrancó %1: %2").arg(RutasPrueba::python(), m_proceso.errorString());
        return false;
    }
    if (esperarSaludo())
        return true;
    matar();
    return false;
}

bool ServidorFtpPrueba::esperarSaludo()
{
    // Reading the "220" greeting proves it is our server listening, not whoever holds the port.
    const QDeadlineTimer plazo(10000);
    while (!plazo.hasExpired() && activo()) {
        QTcpSocket sonda;
        sonda.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(m_puerto));
        if (sonda.waitForConnected(500) && sonda.waitForReadyRead(2000) &&
            sonda.readLine().startsWith("220")) {
            sonda.write("QUIT\r\n");
            sonda.waitForBytesWritten(500);
            return true;
        }
        m_proceso.waitForFinished(100);
    }
    m_error = QStringLiteral("El servidor FTP no respondió en el puerto %1; ver %2")
                  .arg(m_puerto)
                  .arg(m_carpeta.filePath(QStringLiteral("servidor.log")));
    return false;
}

void ServidorFtpPrueba::cambiarLlave()
{
    QFile::remove(m_carpeta.filePath(QStringLiteral("servidor.pem")));
}

QString ServidorFtpPrueba::registro() const
{
    QFile archivo(m_carpeta.filePath(QStringLiteral("servidor.log")));
    return archivo.open(QIODevice::ReadOnly) ? QString::fromUtf8(archivo.readAll()) : QString();
}

void ServidorFtpPrueba::matar()
{
    if (m_proceso.state() == QProcess::NotRunning)
        return;
    reanudar(); // a stopped process cannot be reaped until it runs again
    m_proceso.kill();
    m_proceso.waitForFinished(5000);
}

void ServidorFtpPrueba::pausar()
{
    if (activo())
        ::kill(static_cast<pid_t>(m_proceso.processId()), SIGSTOP);
}

void ServidorFtpPrueba::reanudar()
{
    if (activo())
        ::kill(static_cast<pid_t>(m_proceso.processId()), SIGCONT);
}

void ServidorFtpPrueba::configurar(ClienteFtp& cliente) const
{
    cliente.FijarServidor(QStringLiteral("127.0.0.1"));
    cliente.FijarUsuario(usuario());
    cliente.FijarContrasena(contrasena());
    cliente.FijarPuerto(m_puerto);
}

void ServidorFtpPrueba::configurar(DatosServidorImagenes& config, const QString& ruta) const
{
    config.servidor = QStringLiteral("127.0.0.1");
    config.usuario = usuario();
    config.contrasena = contrasena();
    config.puerto = QString::number(m_puerto);
    config.Ruta = ruta;
}
