#pragma once

#include "app/Entorno.h"
#include "app/Global.h"
#include "search/FrmBusqueda_Cliente.h"
#include "support/BaseDatosPrueba.h"
#include "support/MensajesGrabados.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The search dialog, offscreen, over a seeded embedded database (centre "GDL" padded to 7
// characters), a message recorder and a history file in a temporary folder. Every statement
// is recorded with the button caption and the pointer shown while it ran.
class BusquedaPrueba
{
public:
    struct Envio
    {
        QString texto;
        QVariantList valores;
        QString rotulo;
        bool espera = false;
    };

    BusquedaPrueba()
    {
        global.ConfigServidorImagenes.CentroDistribucion = QStringLiteral("GDL    ");
        entorno.ConexionBD = &bd.conexion();
        entorno.mensajes = &mensajes;
        entorno.archivoHistorial = carpeta.filePath(QStringLiteral("DirLogFact.ini"));
        bd.conexion().fijarTraza([this](const QString& texto, const QVariantList& valores) {
            if (!dialogo)
                return; // seeding
            const QCursor* cursor = QApplication::overrideCursor();
            envios.append({texto, valores, control<QAbstractButton>("cmdBuscar")->text(),
                           cursor && cursor->shape() == Qt::WaitCursor});
        });
    }

    // Branches S01 and S02 in centre GDL, S03 in MTY; customers on both centres; two sales.
    void sembrar()
    {
        bd.sucursal(QStringLiteral("S01"), QStringLiteral("GDL"));
        bd.sucursal(QStringLiteral("S02"), QStringLiteral("GDL"), QStringLiteral("Zapopan"));
        bd.sucursal(QStringLiteral("S03"), QStringLiteral("MTY"), QStringLiteral("Monterrey"));
        cliente(101, QStringLiteral("PEREZ LOPEZ ANA"), QStringLiteral("S01"),
                QStringLiteral("HIDALGO"));
        cliente(7, QStringLiteral("PEREZ GOMEZ JUAN"), QStringLiteral("S02"),
                QStringLiteral("JUAREZ"));
        cliente(303, QStringLiteral("PEREZ GOMEZ LUIS"), QStringLiteral("S03"),
                QStringLiteral("HIDALGO"));
        cliente(404, QStringLiteral("O'HARA NUÑEZ MARÍA"), QStringLiteral("S01"),
                QStringLiteral("MORELOS"));
        bd.venta(500001, 101, QStringLiteral("S01"), QStringLiteral("V-500001"));
        bd.venta(500002, 303, QStringLiteral("S03"), QStringLiteral("V-500002"));
        bd.venta(8, 7, QStringLiteral("S02"), QStringLiteral("V-8"));
    }

    void cliente(double numero, const QString& nombre, const QString& sucursal,
                 const QString& calle)
    {
        BaseDatosPrueba::Cliente c;
        c.numero = numero;
        c.nombre = nombre;
        c.sucursal = sucursal;
        c.calle = calle;
        c.rfc = QStringLiteral("RFC%1").arg(numero);
        c.telefono = QStringLiteral("33%1").arg(numero);
        bd.cliente(c);
    }

    void escribirHistorial(const QByteArray& contenido)
    {
        QFile archivo(entorno.archivoHistorial);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write(contenido);
    }
    QByteArray historialEnDisco() const
    {
        QFile archivo(entorno.archivoHistorial);
        return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray("<no existe>");
    }

    // Opens the dialog (shown, not modal, so the test keeps driving it) and waits for the
    // start-up timer to put the focus in the search text.
    bool abrir()
    {
        dialogo = std::make_unique<FrmBusqueda_Cliente>(global, entorno);
        dialogo->show();
        dialogo->activateWindow();
        if (!QTest::qWaitForWindowActive(dialogo.get()))
            return false;
        return QTest::qWaitFor([this] { return texto()->hasFocus(); });
    }

    template <class T> T* control(const char* nombre) const
    {
        T* encontrado = dialogo->findChild<T*>(QLatin1String(nombre));
        if (!encontrado)
            qFatal("No existe el control %s", nombre);
        return encontrado;
    }
    QLineEdit* texto() const { return control<QLineEdit>("TxtNombre"); }
    QTableWidget* grid() const { return control<QTableWidget>("Grid1"); }

    // Picks the mode and scope and presses the button, the text set as a paste would.
    void buscar(const char* opcion, bool todos, const QString& buscado)
    {
        control<QAbstractButton>(opcion)->click();
        control<QCheckBox>("OpcCentros")->setChecked(todos);
        texto()->setText(buscado);
        QTest::mouseClick(control<QAbstractButton>("cmdBuscar"), Qt::LeftButton);
    }

    // A column of the grid by its header, top to bottom.
    QStringList columna(const QString& cabecera) const
    {
        QStringList valores;
        for (int c = 0; c < grid()->columnCount(); ++c) {
            if (grid()->horizontalHeaderItem(c)->text() != cabecera)
                continue;
            for (int r = 0; r < grid()->rowCount(); ++r)
                valores << grid()->item(r, c)->text();
        }
        return valores;
    }

    QTemporaryDir carpeta;
    BaseDatosPrueba bd;
    Global global;
    MensajesGrabados mensajes;
    Entorno entorno;
    QList<Envio> envios;
    std::unique_ptr<FrmBusqueda_Cliente> dialogo;
};
