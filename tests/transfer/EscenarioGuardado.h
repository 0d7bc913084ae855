#pragma once

#include "app/ErrorSistema.h"
#include "app/FrmEscaneo.h"
#include "casefiles/ListaExpedientes.h"
#include "components/escaner/EscanerSane.h"
#include "components/ftp/ClienteFtpCurl.h"
#include "components/tiff/EscritorTiff.h"
#include "support/ConfigSanePrueba.h"
#include "support/EscanerGuionado.h"
#include "support/ServidorFtpPrueba.h"
#include "support/VentanaPrueba.h"
#include "transfer/DocumentosEnEspera.h"
#include "transfer/EnvioDocumento.h"
#include "transfer/GuardadoDocumento.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

using namespace std::chrono_literals;

// What the saving tests share: the FTP client they watch, pages, and the scenario.
inline constexpr double kCliente = 700;

// The real client, counting uploads, with a hook inside the upload and an error on demand.
class ClienteFtpPrueba : public ClienteFtpCurl
{
public:
    ClienteFtpPrueba() { FijarLimitesTiempo(3s, 3s); }
    int EnviarArchivo(const QString& local, const QString& remoto) override
    {
        ++envios;
        if (duranteEnvio)
            duranteEnvio();
        if (lanzar)
            throw ErrorSistema(-2147220991, QStringLiteral("Transferencia interrumpida"));
        return ClienteFtpCurl::EnviarArchivo(local, remoto);
    }
    int envios = 0;
    bool lanzar = false;
    std::function<void()> duranteEnvio;
};

inline QByteArray leer(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<no existe>");
}

inline QImage hoja(int i = 0)
{
    QImage imagen(170 + i, 220, QImage::Format_Mono);
    imagen.fill(1);
    for (int y = 10; y < 200; y += 7)
        for (int x = 10; x < 150; ++x)
            imagen.setPixel(x, y, 0);
    return imagen;
}

// A branch whose image server runs on loopback and customer 700 without case files; the window
// is loaded with the customer chosen (folio 0). The client outlives the window.
struct Escenario
{
    ClienteFtpPrueba ftp;
    ServidorFtpPrueba servidor;
    std::unique_ptr<ConfigSanePrueba> sane;
    ConfigSanePrueba* saneCompartida = nullptr;
    VentanaPrueba p;
    EscanerGuionado* escaner = nullptr;

    bool preparar(double tamano = 2048, bool conSane = false)
    {
        if (!servidor.iniciar() || !QDir(servidor.raiz()).mkpath(QStringLiteral("gdl")))
            return false;
        p.bd().sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        // The branch's rows point at the loopback server, as the outbox's sender reads them.
        BaseDatosPrueba::ServidorImagenes fila;
        fila.direccion_local = fila.direccion_remota = QStringLiteral("127.0.0.1");
        fila.usuario = servidor.usuario();
        fila.contrasena = servidor.contrasena();
        fila.puerto = QString::number(servidor.puerto());
        fila.tamano = tamano;
        fila.resolucion_BN = 50;
        p.bd().servidorImagenes(fila);
        BaseDatosPrueba::Cliente cliente;
        cliente.numero = kCliente;
        cliente.nombre = QStringLiteral("RUIZ SOTO ANA");
        p.bd().cliente(cliente);
        if (conSane) {
            // SANE reads its configuration once a process: later scenarios share the first.
            if (!saneCompartida)
                sane = std::make_unique<ConfigSanePrueba>();
            const QString carpeta =
                (saneCompartida ? *saneCompartida : *sane).nuevaCarpetaRecuperacion();
            p.entorno.crearEscaner = [carpeta] { return std::make_unique<EscanerSane>(carpeta); };
        } else {
            p.entorno.crearEscaner = [this] {
                auto nuevo = std::make_unique<EscanerGuionado>();
                escaner = nuevo.get();
                return nuevo;
            };
        }
        p.entorno.FTP = &ftp;
        if (!p.cargar())
            return false;
        servidor.configurar(p.global.ConfigServidorImagenes, QStringLiteral("/gdl"));
        elegirCliente();
        p.control<QTabWidget>("TabScan")->setCurrentIndex(1);
        return true;
    }
    void elegirCliente()
    {
        auto* lista = p.ventana().findChild<ListaExpedientes*>();
        lista->mostrarBusqueda = [this] {
            p.global.ClienteSeleccionado = {kCliente, QStringLiteral("RUIZ SOTO ANA"),
                                            QStringLiteral("RUSA800101AB1"),
                                            QStringLiteral("HIDALGO 10"), QStringLiteral("33")};
        };
        p.clic("CmdCLientes");
    }
    void escanear(int paginas = 1)
    {
        if (escaner) {
            EscanerGuionado::Tanda tanda;
            for (int i = 0; i < paginas; ++i)
                tanda.paginas << hoja(i);
            escaner->tandas.enqueue(tanda);
        }
        p.clic("B_Acquire");
    }
    GuardadoDocumento& guardado() { return *p.ventana().findChild<GuardadoDocumento*>(); }
    DocumentosEnEspera& espera() { return *p.ventana().findChild<DocumentosEnEspera*>(); }
    SesionCaptura& sesion() { return p.ventana().sesion(); }
    QString remoto(const QString& nombre) const
    {
        return servidor.raiz() + QStringLiteral("/gdl/") + nombre;
    }
    QStringList remotos() const
    {
        return QDir(servidor.raiz() + QStringLiteral("/gdl")).entryList(QDir::Files);
    }
    QVariant valor(const QString& consulta) { return p.bd().valor(consulta); }
    int filas() { return valor(QStringLiteral("SELECT COUNT(*) FROM Expedientes_ZR")).toInt(); }
    QVariant bandera(const char* columna)
    {
        return valor(QStringLiteral("SELECT %1 FROM Expedientes_ZR WHERE expediente = %2")
                         .arg(QLatin1String(columna), NumeroPlano(sesion().FolioActual)));
    }
    bool visible(const char* marca) { return !p.control<QWidget>(marca)->isHidden(); }
    QString destino() { return p.control<QLabel>("LblDestino")->text(); }
    // The cell under a header in the row the case-file list has selected; "-" with none.
    QString elegida(const QString& encabezado)
    {
        auto* lista = p.control<QTableWidget>("iExpedientes");
        const QList<QTableWidgetItem*> celdas = lista->selectedItems();
        for (int c = 0; !celdas.isEmpty() && c < lista->columnCount(); ++c)
            if (lista->horizontalHeaderItem(c)->text() == encabezado)
                return lista->item(celdas.first()->row(), c)->text();
        return QStringLiteral("-");
    }
    QString estatus() { return p.control<QLabel>("LblEstatus")->text(); }
    int paginas() { return p.ventana().VSTwain1()->NumeroPaginas(); }
    int veces(const QString& inicio)
    {
        int n = 0;
        for (const QString& s : p.sentencias())
            n += s.startsWith(inicio) ? 1 : 0;
        return n;
    }
    // The state a save that went ahead leaves, whatever became of the upload.
    void verificarReinicio()
    {
        QCOMPARE(p.control<QPushButton>("BUpload")->text(), QStringLiteral("&Guardar"));
        QVERIFY(!p.control<QPushButton>("BUpload")->isEnabled());
        QVERIFY(!p.control<QPushButton>("B_Acquire")->isEnabled());
        QVERIFY(p.control<QGroupBox>("FrmDocumentos")->isEnabled());
        QVERIFY(p.control<QPushButton>("CmdCLientes")->isEnabled());
        QCOMPARE(p.control<QLineEdit>("TextImgCounter")->text(), QStringLiteral("0"));
        QCOMPARE(paginas(), 0);
        // The viewer shows no page as if it were still held.
        QCOMPARE(p.control<QLabel>("LabelImageNum")->text(), QStringLiteral("Sin Imagen"));
        QVERIFY(!p.control<QPushButton>("BDelete")->isEnabled());
        QVERIFY(!p.global.CambiosPendientes);
        QVERIFY(!QApplication::overrideCursor());
    }

    // The state a save that did not store the document leaves: the pages held for another try.
    void verificarRetenidas(int hojas)
    {
        QCOMPARE(p.control<QPushButton>("BUpload")->text(), QStringLiteral("&Guardar"));
        QVERIFY(p.control<QPushButton>("BUpload")->isEnabled());
        QVERIFY(p.control<QPushButton>("CmdCLientes")->isEnabled());
        QCOMPARE(p.control<QLineEdit>("TextImgCounter")->text(), QString::number(hojas));
        QCOMPARE(paginas(), hojas);
        QVERIFY(p.global.CambiosPendientes);
        QVERIFY(!QApplication::overrideCursor());
    }
};

inline const QString kInsert =
    QStringLiteral("INSERT INTO  BRAX.dbo.Expedientes_ZR( Cliente,sucursal, fecha,es_prestamo) "
                   "VALUES (700,?,GETDATE(),?)");
inline const QString kUpdate = QStringLiteral("UPDATE BRAX.dbo.Expedientes_ZR SET ");
inline const QString kCajaSubida =
    QStringLiteral("error|No se pudo Guardar el Expediente, favor de reintentarlo!!|No se puede "
                   "Conectar con el servidor de Imagenes");
