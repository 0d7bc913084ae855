#include "components/ftp/ClienteFtpCurl.h"

#include "components/MotivoSistema.h"
#include "components/ftp/TemporalesFtp.h"

#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryFile>
#include <cstdio>

#include <cerrno>
#include <mutex>

Q_LOGGING_CATEGORY(registroFtp, "expedientes.ftp")

namespace {

constexpr int kExito = 1;
constexpr int kFallo = 0;

constexpr long kBloqueTransferencia = 64 * 1024;

void inicializarCurl()
{
    // curl_global_init is not thread-safe; the first client does it once for the process.
    static std::once_flag unaVez;
    std::call_once(unaVez, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t descartar(char*, size_t tamano, size_t cuantos, void*)
{
    return tamano * cuantos;
}

size_t leerArchivo(char* destino, size_t tamano, size_t cuantos, void* archivo)
{
    const qint64 leidos =
        static_cast<QFile*>(archivo)->read(destino, static_cast<qint64>(tamano * cuantos));
    return leidos < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(leidos);
}

// The local end of a download, with the errno of a write that failed.
struct Destino
{
    QTemporaryFile& archivo;
    int error = 0;
};

size_t escribirArchivo(char* origen, size_t tamano, size_t cuantos, void* datos)
{
    auto& destino = *static_cast<Destino*>(datos);
    const qint64 total = static_cast<qint64>(tamano * cuantos);
    errno = 0;
    if (destino.archivo.write(origen, total) == total)
        return static_cast<size_t>(total);
    // Taken here, on the transfer's thread, before anything else can change it.
    destino.error = errno != 0 ? errno : EIO;
    // A short count makes libcurl stop with CURLE_WRITE_ERROR.
    return 0;
}

// errno of a failed file step, with what Qt still knows when errno was lost.
int errorDe(const QFileDevice& archivo, int codigo)
{
    if (codigo != 0)
        return codigo;
    return archivo.error() == QFileDevice::ResourceError ? ENOSPC : 0;
}

} // namespace

ClienteFtpCurl::ClienteFtpCurl(QObject* parent) : ClienteFtp(parent)
{
    inicializarCurl();
    connect(&m_ejecutor, &ClienteFtpEjecutor::avance, this, &ClienteFtp::AvanceTransferencia);
}

ClienteFtpCurl::~ClienteFtpCurl()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
}

void ClienteFtpCurl::FijarLimitesTiempo(std::chrono::seconds conexion,
                                        std::chrono::seconds estancado)
{
    m_segundosConexion = static_cast<long>(conexion.count());
    m_segundosEstancado = static_cast<long>(estancado.count());
    m_ejecutor.fijarEstancamiento(estancado);
}

int ClienteFtpCurl::Conectar()
{
    const QString accion =
        QStringLiteral("No se pudo conectar con el servidor de imágenes %1").arg(servidor());
    if (m_ejecutor.ocupado())
        return fallar(accion + QStringLiteral(": hay otra transferencia en curso"));
    cerrar();
    m_servidorUrl = ClienteFtpRuta::parteServidor(servidor());
    if (m_servidorUrl.isEmpty())
        return fallar(accion + QStringLiteral(": la dirección del servidor no es válida"));
    if (puerto() < 1 || puerto() > 65535)
        return fallar(accion + QStringLiteral(": el puerto %1 no es válido").arg(puerto()));
    // USER and PASS travel as command lines too.
    if (!ClienteFtpRuta::errorDeNombre(usuario() + contrasena()).isEmpty())
        return fallar(accion +
                      QStringLiteral(": el usuario o la contraseña llevan saltos de línea"));
    m_puertoUrl = puerto();
    // The session keeps the account it logged in with; new settings wait for the next Conectar.
    m_usuarioUtf8 = usuario().toUtf8();
    m_contrasenaUtf8 = contrasena().toUtf8();
    m_directorio = {};
    m_directorioFallido.clear();
    m_curl = curl_easy_init();
    if (!m_curl)
        return fallar(accion + QStringLiteral(": libcurl no pudo iniciarse"));
    if (!iniciarSesion(accion)) {
        cerrar();
        return kFallo;
    }
    m_conectado = true;
    qCInfo(registroFtp) << "Conectado a" << servidor() << "puerto" << m_puertoUrl << "como"
                        << usuario();
    barrer(m_directorio);
    return exito();
}

int ClienteFtpCurl::CambiarDirectorioRemoto(const QString& directorio)
{
    const QString accion =
        QStringLiteral("No se pudo entrar al directorio remoto %1").arg(directorio);
    if (!listo(accion))
        return kFallo;
    if (const QString error = ClienteFtpRuta::errorDeNombre(directorio); !error.isEmpty()) {
        m_directorioFallido = directorio;
        return fallar(accion + QStringLiteral(": ") + error);
    }
    const Directorio nuevo = ClienteFtpRuta::aplicar(m_directorio, directorio);
    preparar(nuevo);
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    if (const CURLcode codigo = ejecutar(); codigo != CURLE_OK) {
        m_directorioFallido = directorio;
        return fallarCurl(accion, codigo);
    }
    m_directorio = nuevo;
    m_directorioFallido.clear();
    barrer(nuevo);
    return exito();
}

int ClienteFtpCurl::EnviarArchivo(const QString& local, const QString& remoto)
{
    const QString accion = QStringLiteral("No se pudo enviar %1 como %2").arg(local, remoto);
    Directorio directorio;
    QString archivo;
    if (!listo(accion) || !resolver(remoto, directorio, archivo, accion))
        return kFallo;
    QFile origen(local);
    errno = 0;
    if (!origen.open(QIODevice::ReadOnly))
        return fallarLocal(accion + QStringLiteral(": no se pudo abrir el archivo local"), errno,
                           origen.errorString());
    const qint64 bytesLocales = origen.size();

    // The stored file is only ever replaced by a complete copy: upload under a temporary name,
    // check it, then rename it over the target.
    const QString temporal = TemporalesFtp::nombre(archivo, "subiendo");
    const TemporalesFtp::EnCurso enCurso(temporal);
    preparar(directorio, temporal);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, leerArchivo);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, &origen);
    curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bytesLocales));
    if (const CURLcode codigo = ejecutar(Avance::Subida, &origen); codigo != CURLE_OK) {
        fallarCurl(accion, codigo);
        curl_off_t enviados = 0;
        curl_easy_getinfo(m_curl, CURLINFO_SIZE_UPLOAD_T, &enviados);
        siSeInterrumpio(static_cast<qint64>(enviados));
        quitarTemporal(directorio, temporal);
        return kFallo;
    }
    qint64 bytesRemotos = -1;
    if (const CURLcode codigo = tamano(directorio, temporal, bytesRemotos); codigo != CURLE_OK) {
        fallarCurl(accion, codigo);
        quitarTemporal(directorio, temporal);
        return kFallo;
    }
    if (bytesRemotos != bytesLocales) {
        // The data connection closed before the end: the server kept only part of it.
        fallar(accion + QStringLiteral(": el servidor recibió %1 de %2 bytes")
                            .arg(bytesRemotos)
                            .arg(bytesLocales),
               Falla::Interrumpida);
        quitarTemporal(directorio, temporal);
        return kFallo;
    }
    if (!colocar(directorio, temporal, archivo, accion)) {
        quitarTemporal(directorio, temporal);
        return kFallo;
    }
    if (const CURLcode codigo = tamano(directorio, archivo, bytesRemotos); codigo != CURLE_OK)
        return fallarCurl(accion, codigo);
    if (bytesRemotos != bytesLocales)
        return fallar(accion + QStringLiteral(": el archivo guardado tiene %1 bytes y no %2")
                                   .arg(bytesRemotos)
                                   .arg(bytesLocales));
    return exito(true);
}

int ClienteFtpCurl::RecibirArchivo(const QString& remoto, const QString& local)
{
    const QString accion = QStringLiteral("No se pudo recibir %1 en %2").arg(remoto, local);
    Directorio directorio;
    QString archivo;
    if (!listo(accion) || !resolver(remoto, directorio, archivo, accion))
        return kFallo;
    // Written beside the target and renamed over it once whole; removed unless renamed. It is
    // not synced to disk, which took a third of a large transfer: the working file is only the
    // server's copy, and every start fetches it again before using it.
    QTemporaryFile destino(local + QStringLiteral(".XXXXXX"));
    errno = 0;
    if (!destino.open())
        return fallarLocal(accion + QStringLiteral(": no se pudo crear el archivo local"),
                           errorDe(destino, errno), destino.errorString());
    Destino escritura{destino};
    preparar(directorio, archivo);
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, escribirArchivo);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &escritura);
    if (const CURLcode codigo = ejecutar(Avance::Bajada); codigo != CURLE_OK) {
        if (escritura.error != 0)
            return fallarLocal(accion + QStringLiteral(": no se pudo escribir el archivo local"),
                               escritura.error, destino.errorString());
        fallarCurl(accion, codigo);
        curl_off_t recibidos = 0;
        curl_easy_getinfo(m_curl, CURLINFO_SIZE_DOWNLOAD_T, &recibidos);
        siSeInterrumpio(static_cast<qint64>(recibidos));
        return kFallo;
    }
    curl_off_t esperados = -1;
    curl_off_t recibidos = 0;
    curl_easy_getinfo(m_curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &esperados);
    curl_easy_getinfo(m_curl, CURLINFO_SIZE_DOWNLOAD_T, &recibidos);
    if (esperados >= 0 && esperados != recibidos) {
        return fallar(accion + QStringLiteral(": llegaron %1 de %2 bytes")
                                   .arg(static_cast<qint64>(recibidos))
                                   .arg(static_cast<qint64>(esperados)),
                      Falla::Interrumpida);
    }
    // A full disk can cut a buffered write short without the write or the commit failing:
    // what reached the disk is what counts before the file takes the target's name.
    errno = 0;
    if (!destino.flush() || destino.size() != static_cast<qint64>(recibidos)) {
        const int codigo = errorDe(destino, errno);
        return fallarLocal(accion + QStringLiteral(": no se pudo guardar el archivo local"),
                           codigo != 0 ? codigo : ENOSPC, destino.errorString());
    }
    if (std::rename(QFile::encodeName(destino.fileName()).constData(),
                    QFile::encodeName(local).constData()) != 0)
        return fallarLocal(accion + QStringLiteral(": no se pudo guardar el archivo local"), errno,
                           QString());
    destino.setAutoRemove(false);
    return exito(true);
}

int ClienteFtpCurl::BorrarArchivoRemoto(const QString& remoto)
{
    const QString accion = QStringLiteral("No se pudo borrar %1 del servidor").arg(remoto);
    Directorio directorio;
    QString archivo;
    if (!listo(accion) || !resolver(remoto, directorio, archivo, accion))
        return kFallo;
    const CURLcode codigo = borrar(directorio, archivo);
    if (codigo == CURLE_OK)
        return exito();
    fallarCurl(accion, codigo);
    // The caller wants the file gone; a file that was never there already is. SIZE also fails
    // on a folder, so a folder of that name is told apart by entering it.
    qint64 bytes = -1;
    if (codigo != CURLE_QUOTE_ERROR ||
        tamano(directorio, archivo, bytes) != CURLE_REMOTE_FILE_NOT_FOUND)
        return kFallo;
    const QString motivo = m_ultimoError;
    preparar(ClienteFtpRuta::aplicar(directorio, archivo));
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    if (ejecutar() == CURLE_OK) {
        m_ultimoError = motivo;
        return kFallo;
    }
    return exito();
}

int ClienteFtpCurl::Desconectar()
{
    if (m_ejecutor.ocupado())
        return fallar(QStringLiteral("No se pudo desconectar: hay otra transferencia en curso"));
    cerrar();
    return exito();
}

bool ClienteFtpCurl::listo(const QString& accion)
{
    if (m_ejecutor.ocupado())
        fallar(accion + QStringLiteral(": hay otra transferencia en curso"));
    else if (!m_conectado)
        fallar(accion + QStringLiteral(": no hay conexión con el servidor de imágenes"));
    else if (!m_directorioFallido.isEmpty())
        fallar(
            accion +
            QStringLiteral(": no se pudo entrar al directorio remoto %1").arg(m_directorioFallido));
    else
        return true;
    return false;
}

bool ClienteFtpCurl::resolver(const QString& remoto, Directorio& directorio, QString& archivo,
                              const QString& accion)
{
    if (const QString error = ClienteFtpRuta::errorDeNombre(remoto); !error.isEmpty()) {
        fallar(accion + QStringLiteral(": ") + error);
        return false;
    }
    if (!ClienteFtpRuta::separar(m_directorio, remoto, directorio, archivo)) {
        fallar(accion + QStringLiteral(": falta el nombre del archivo remoto"));
        return false;
    }
    return true;
}

void ClienteFtpCurl::preparar(const Directorio& directorio, const QString& archivo)
{
    // A reset keeps the live connection; every call then states all the options it relies on.
    curl_easy_reset(m_curl);
    m_bufferError[0] = '\0';
    const QByteArray direccion =
        ClienteFtpRuta::url(m_servidorUrl, m_puertoUrl, directorio, archivo);
    curl_easy_setopt(m_curl, CURLOPT_URL, direccion.constData());
    curl_easy_setopt(m_curl, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, m_usuarioUtf8.constData());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, m_contrasenaUtf8.constData());
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_bufferError);
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_USE_SSL, m_nivelTls);
    if (m_sinVerificar || !m_llaveFijada.isEmpty()) {
        // The recorded key stands in for the authority the certificate lacks.
        curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(m_curl, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (!m_llaveFijada.isEmpty())
        curl_easy_setopt(m_curl, CURLOPT_PINNEDPUBLICKEY, m_llaveFijada.constData());
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, m_segundosConexion);
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, m_segundosEstancado);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, m_segundosEstancado);
    curl_easy_setopt(m_curl, CURLOPT_TCP_KEEPALIVE, 1L);
    // Bigger blocks than libcurl's 16 KiB: fewer callbacks and writes per document, as the
    // curl tool does.
    curl_easy_setopt(m_curl, CURLOPT_BUFFERSIZE, kBloqueTransferencia);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD_BUFFERSIZE, kBloqueTransferencia);
    // The FTP dialogue on stderr, for diagnosing a branch's server by hand.
    if (qEnvironmentVariableIsSet("EXPEDIENTES_FTP_TRAZA"))
        curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L);
    // Without a callback libcurl writes what it reads (and SIZE replies) to stdout.
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, descartar);
}

CURLcode ClienteFtpCurl::ejecutar(Avance avance, const QIODevice* origen)
{
    const CURLcode codigo = m_ejecutor.ejecutar(m_curl, avance);
    if (codigo == CURLE_OK || !m_conectado || !sesionCaida(codigo) ||
        (origen && origen->pos() != 0))
        return codigo;
    qCInfo(registroFtp) << "El servidor cerró la sesión inactiva; se vuelve a conectar";
    m_bufferError[0] = '\0';
    curl_easy_setopt(m_curl, CURLOPT_FRESH_CONNECT, 1L);
    return m_ejecutor.ejecutar(m_curl, avance);
}

bool ClienteFtpCurl::sesionCaida(CURLcode codigo) const
{
    long nuevas = -1;
    long respuesta = 0;
    curl_off_t subidos = 0;
    curl_off_t bajados = 0;
    curl_easy_getinfo(m_curl, CURLINFO_NUM_CONNECTS, &nuevas);
    curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &respuesta);
    curl_easy_getinfo(m_curl, CURLINFO_SIZE_UPLOAD_T, &subidos);
    curl_easy_getinfo(m_curl, CURLINFO_SIZE_DOWNLOAD_T, &bajados);
    // Only a kept connection can have been dropped behind libcurl's back.
    if (nuevas != 0 || subidos + bajados > 0 || m_ejecutor.seDetuvo())
        return false;
    // libcurl reports the server's goodbye as a timeout; a server that merely stopped answering
    // is not asked twice.
    return respuesta == 421 || codigo == CURLE_SEND_ERROR || codigo == CURLE_RECV_ERROR ||
           codigo == CURLE_GOT_NOTHING;
}

CURLcode ClienteFtpCurl::comandos(const Directorio& directorio, const QList<QByteArray>& lista)
{
    // POSTQUOTE runs after libcurl entered the URL's directory, so plain names are enough.
    curl_slist* ordenes = nullptr;
    for (const QByteArray& orden : lista)
        ordenes = curl_slist_append(ordenes, orden.constData());
    preparar(directorio);
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_curl, CURLOPT_POSTQUOTE, ordenes);
    const CURLcode codigo = ejecutar();
    curl_easy_setopt(m_curl, CURLOPT_POSTQUOTE, nullptr);
    curl_slist_free_all(ordenes);
    return codigo;
}

CURLcode ClienteFtpCurl::renombrar(const Directorio& directorio, const QString& de,
                                   const QString& a)
{
    return comandos(directorio, {"RNFR " + de.toUtf8(), "RNTO " + a.toUtf8()});
}

CURLcode ClienteFtpCurl::borrar(const Directorio& directorio, const QString& archivo)
{
    return comandos(directorio, {"DELE " + archivo.toUtf8()});
}

CURLcode ClienteFtpCurl::tamano(const Directorio& directorio, const QString& archivo, qint64& bytes)
{
    preparar(directorio, archivo);
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    const CURLcode codigo = ejecutar();
    curl_off_t longitud = -1;
    if (codigo == CURLE_OK)
        curl_easy_getinfo(m_curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &longitud);
    bytes = longitud;
    return codigo;
}

bool ClienteFtpCurl::colocar(const Directorio& directorio, const QString& temporal,
                             const QString& archivo, const QString& accion)
{
    CURLcode codigo = renombrar(directorio, temporal, archivo);
    if (codigo == CURLE_OK)
        return true;
    fallarCurl(accion, codigo);
    const QString motivo = m_ultimoError;
    qint64 bytes = -1;
    if (codigo != CURLE_QUOTE_ERROR || tamano(directorio, archivo, bytes) != CURLE_OK) {
        m_ultimoError = motivo;
        return false;
    }
    // The server will not rename over an existing file. The stored one is moved aside rather
    // than deleted, so it can be put back if the new one still cannot take its place.
    qCInfo(registroFtp) << "El servidor no reemplaza al renombrar; se aparta" << archivo;
    const QString respaldo = TemporalesFtp::nombre(archivo, "anterior");
    if (codigo = renombrar(directorio, archivo, respaldo); codigo != CURLE_OK) {
        fallarCurl(accion, codigo);
        return false;
    }
    if (codigo = renombrar(directorio, temporal, archivo); codigo != CURLE_OK) {
        fallarCurl(accion, codigo);
        const QString error = m_ultimoError;
        if (renombrar(directorio, respaldo, archivo) != CURLE_OK)
            qCCritical(registroFtp) << "El archivo guardado quedó como" << respaldo;
        m_ultimoError = error;
        return false;
    }
    if (borrar(directorio, respaldo) != CURLE_OK)
        qCWarning(registroFtp) << "No se pudo borrar la copia anterior" << respaldo;
    return true;
}

void ClienteFtpCurl::cerrar()
{
    m_ejecutor.cerrarConexiones();
    if (m_curl)
        curl_easy_cleanup(m_curl);
    m_curl = nullptr;
    m_conectado = false;
}

int ClienteFtpCurl::fallar(const QString& texto, Falla falla)
{
    m_ultimoError = texto;
    m_falla = falla;
    m_errorLocal = 0;
    qCWarning(registroFtp).noquote() << texto;
    return kFallo;
}

int ClienteFtpCurl::fallarLocal(const QString& texto, int codigo, const QString& alternativa)
{
    fallar(QStringLiteral("%1 (%2)").arg(texto, MotivoSistema::texto(codigo, alternativa)),
           Falla::Local);
    m_errorLocal = codigo;
    return kFallo;
}

void ClienteFtpCurl::siSeInterrumpio(qint64 bytesMovidos)
{
    // Before any byte moved the server refused or never answered: that stays its failure.
    if (bytesMovidos > 0)
        m_falla = Falla::Interrumpida;
}

int ClienteFtpCurl::fallarCurl(const QString& accion, CURLcode codigo)
{
    QString detalle = m_bufferError[0] != '\0' ? QString::fromUtf8(m_bufferError)
                                               : QString::fromUtf8(curl_easy_strerror(codigo));
    if (m_ejecutor.seDetuvo())
        detalle = QStringLiteral("la transferencia no avanzó en %1 s")
                      .arg(m_ejecutor.estancamiento().count());
    return fallar(QStringLiteral("%1: %2 (libcurl %3)").arg(accion, detalle).arg(int(codigo)),
                  codigo == CURLE_REMOTE_FILE_NOT_FOUND ? Falla::NoExiste : Falla::Servidor);
}

int ClienteFtpCurl::exito(bool transferencia)
{
    if (transferencia)
        m_ejecutor.anunciarFin();
    m_ultimoError.clear();
    m_falla = Falla::Ninguna;
    m_errorLocal = 0;
    return kExito;
}
