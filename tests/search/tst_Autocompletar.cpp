#include "search/BusquedaPrueba.h"

namespace {
const QByteArray kEjemplo = "PEREZ GOMEZ JUAN\r\nPEREZ LOPEZ ANA\r\n";

// Leaving the box the way the user does: the focus moves to the next control.
void salir(BusquedaPrueba& p)
{
    p.control<QWidget>("cmdBuscar")->setFocus(Qt::TabFocusReason);
    QVERIFY(!p.texto()->hasFocus());
}

void volver(BusquedaPrueba& p)
{
    p.texto()->setFocus(Qt::TabFocusReason);
}
} // namespace

// Completion of the search text from the history, and the history file itself, driven through
// the dialog's text box key by key.
class PruebaAutocompletar : public QObject
{
    Q_OBJECT

private slots:
    void ejemplo_teclaPorTecla_data()
    {
        QTest::addColumn<QString>("teclas");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("seleccion");
        QTest::addColumn<int>("fila");
        const auto caso = [](const char* nombre, const char* teclas, const char* texto,
                             const char* seleccion, int fila) {
            QTest::newRow(nombre) << QString::fromUtf8(teclas) << QString::fromUtf8(texto)
                                  << QString::fromUtf8(seleccion) << fila;
        };
        caso("P", "P", "PEREZ GOMEZ JUAN", "EREZ GOMEZ JUAN", 1);
        caso("PERE", "PERE", "PEREZ GOMEZ JUAN", "Z GOMEZ JUAN", 1);
        caso("PEREZ y blanco", "PEREZ ", "PEREZ GOMEZ JUAN", "GOMEZ JUAN", 1);
        caso("PEREZ L", "PEREZ L", "PEREZ LOPEZ ANA", "OPEZ ANA", 2);
        caso("todo escrito", "PEREZ LOPEZ ANA", "PEREZ LOPEZ ANA", "", 2);
        caso("minusculas", "perez l", "PEREZ LOPEZ ANA", "OPEZ ANA", 2);
        caso("sin coincidencia", "PEREZ X", "PEREZ X", "", 1);
        caso("blanco inicial", " P", " P", "", 0);
    }

    void ejemplo_teclaPorTecla()
    {
        QFETCH(QString, teclas);
        QFETCH(QString, texto);
        QFETCH(QString, seleccion);
        QFETCH(int, fila);
        BusquedaPrueba p;
        p.escribirHistorial(kEjemplo);
        QVERIFY(p.abrir());
        QTest::keyClicks(p.texto(), teclas);
        QCOMPARE(p.texto()->text(), texto);
        QCOMPARE(p.texto()->selectedText(), seleccion);
        if (!seleccion.isEmpty())
            QCOMPARE(p.texto()->selectionEnd(), int(texto.size()));
        QCOMPARE(p.dialogo->historial().primeraFilaVisible(), fila);
        QVERIFY(!p.global.Borrando);
    }

    void entradaConOtrasMayusculas_muestraLaDeLaLista()
    {
        BusquedaPrueba p;
        p.escribirHistorial("Perez Gomez Juan\r\n");
        QVERIFY(p.abrir());
        QTest::keyClicks(p.texto(), QStringLiteral("PE"));
        QCOMPARE(p.texto()->text(), QStringLiteral("Perez Gomez Juan"));
        QCOMPARE(p.texto()->selectedText(), QStringLiteral("rez Gomez Juan"));
    }

    void borrar_noVuelveACompletarHastaLaSiguienteTecla_data()
    {
        QTest::addColumn<int>("tecla");
        QTest::newRow("retroceso") << int(Qt::Key_Backspace);
        QTest::newRow("suprimir") << int(Qt::Key_Delete);
    }

    void borrar_noVuelveACompletarHastaLaSiguienteTecla()
    {
        QFETCH(int, tecla);
        BusquedaPrueba p;
        p.escribirHistorial(kEjemplo);
        QVERIFY(p.abrir());
        QTest::keyClicks(p.texto(), QStringLiteral("PEREZ "));
        QCOMPARE(p.texto()->selectedText(), QStringLiteral("GOMEZ JUAN"));
        QTest::keyClick(p.texto(), Qt::Key(tecla));
        QCOMPARE(p.texto()->text(), QStringLiteral("PEREZ "));
        QVERIFY(!p.texto()->hasSelectedText());
        QVERIFY(!p.global.Borrando); // spent by the change it announced
        QTest::keyClick(p.texto(), Qt::Key_G);
        QCOMPARE(p.texto()->text(), QStringLiteral("PEREZ GOMEZ JUAN"));
        QCOMPARE(p.texto()->selectedText(), QStringLiteral("OMEZ JUAN"));
    }

    void borrarSinEfecto_soloCuandoHayTexto()
    {
        BusquedaPrueba p;
        p.escribirHistorial(kEjemplo);
        QVERIFY(p.abrir());
        // Backspace in an empty box announces nothing: the next key completes.
        QTest::keyClick(p.texto(), Qt::Key_Backspace);
        QVERIFY(!p.global.Borrando);
        QTest::keyClick(p.texto(), Qt::Key_P);
        QCOMPARE(p.texto()->text(), QStringLiteral("PEREZ GOMEZ JUAN"));

        // Backspace at the start of a text deletes nothing but stays announced, so the next
        // key is not completed.
        p.texto()->setText(QStringLiteral("EREZ"));
        p.texto()->setCursorPosition(0);
        QTest::keyClick(p.texto(), Qt::Key_Backspace);
        QVERIFY(p.global.Borrando);
        QTest::keyClick(p.texto(), Qt::Key_P);
        QCOMPARE(p.texto()->text(), QStringLiteral("PEREZ"));
        QVERIFY(!p.global.Borrando);
    }

    void registro_alSalirDelCuadro()
    {
        BusquedaPrueba p;
        p.escribirHistorial("PEREZ GOMEZ JUAN\r\n");
        QVERIFY(p.abrir());

        p.texto()->setText(QStringLiteral("  NUÑEZ ÁLVAREZ  "));
        salir(p);
        QCOMPARE(p.texto()->text(), QStringLiteral("NUÑEZ ÁLVAREZ"));
        // Equal to an entry: nothing more.
        volver(p);
        p.texto()->setText(QStringLiteral("PEREZ GOMEZ JUAN"));
        salir(p);
        // Only blanks: trimmed to nothing, nothing recorded.
        volver(p);
        p.texto()->setText(QStringLiteral("    "));
        salir(p);
        QCOMPARE(p.texto()->text(), QString());
        // Another letter case is another entry (it stays as written only right after a
        // deleting key; otherwise the completion gives it the entry's case).
        volver(p);
        p.global.Borrando = true;
        p.texto()->setText(QStringLiteral("perez gomez juan"));
        QCOMPARE(p.texto()->text(), QStringLiteral("perez gomez juan"));
        salir(p);

        QCOMPARE(p.historialEnDisco(), QStringLiteral("PEREZ GOMEZ JUAN\r\nNUÑEZ ÁLVAREZ\r\n"
                                                      "perez gomez juan\r\n")
                                           .toUtf8());
        QCOMPARE(p.dialogo->historial().filas(), 4);
        QCOMPARE(p.dialogo->historial().texto(3, 0), QStringLiteral("perez gomez juan"));
    }

    void numero_seRegistraYCompletaEnLaSiguienteApertura()
    {
        BusquedaPrueba p;
        QVERIFY(p.abrir());
        p.control<QAbstractButton>("Option3")->click();
        volver(p);
        QTest::keyClicks(p.texto(), QStringLiteral("1234"));
        salir(p);
        QCOMPARE(p.historialEnDisco(), QByteArray("1234\r\n"));

        p.dialogo.reset();
        QVERIFY(p.abrir());
        p.control<QAbstractButton>("Option3")->click();
        volver(p);
        QTest::keyClicks(p.texto(), QStringLiteral("12"));
        QCOMPARE(p.texto()->text(), QStringLiteral("1234"));
        QCOMPARE(p.texto()->selectedText(), QStringLiteral("34"));
    }

    void lineaVacia_esUnaEntradaQueNuncaCoincide()
    {
        BusquedaPrueba p;
        p.escribirHistorial("A B\r\n\r\nC D\r\nE F");
        QVERIFY(p.abrir());
        const ListaHistorial& lista = p.dialogo->historial();
        QCOMPARE(lista.filas(), 5);
        QCOMPARE(lista.texto(2, 0), QString());
        QCOMPARE(lista.texto(4, 0), QStringLiteral("E F"));
        QTest::keyClick(p.texto(), Qt::Key_C);
        QCOMPARE(p.texto()->text(), QStringLiteral("C D"));
        QCOMPARE(lista.primeraFilaVisible(), 3);
    }

    void ultimaLineaSinFin_laEntradaNuevaNoSePega()
    {
        BusquedaPrueba p;
        p.escribirHistorial("PEREZ GOMEZ JUAN");
        QVERIFY(p.abrir());
        p.texto()->setText(QStringLiteral("ANA LOPEZ"));
        salir(p);
        QCOMPARE(p.historialEnDisco(), QByteArray("PEREZ GOMEZ JUAN\r\nANA LOPEZ\r\n"));
    }

    void archivoFaltante_seCreaVacio()
    {
        BusquedaPrueba p;
        p.entorno.archivoHistorial = p.carpeta.filePath(QStringLiteral("nueva/DirLogFact.ini"));
        QVERIFY(p.abrir());
        QCOMPARE(p.historialEnDisco(), QByteArray());
        QCOMPARE(p.dialogo->historial().filas(), 1);
        QCOMPARE(p.dialogo->ArchivoHistorial(), p.entorno.archivoHistorial);
    }

    void archivoIlegible_historialVacioYLaBusquedaSigue()
    {
        BusquedaPrueba p;
        p.sembrar();
        // A folder where the file should be: it can be neither read nor appended to.
        QVERIFY(QDir(p.carpeta.path()).mkdir(QStringLiteral("DirLogFact.ini")));
        QVERIFY(p.abrir());
        QCOMPARE(p.dialogo->historial().filas(), 1);
        p.buscar("Option1", true, QStringLiteral("PEREZ GOMEZ"));
        QCOMPARE(p.grid()->rowCount(), 2);
        // The text still joins the list of this opening.
        QCOMPARE(p.dialogo->historial().filas(), 2);
        QCOMPARE(p.dialogo->historial().texto(1, 0), QStringLiteral("PEREZ GOMEZ"));
        QVERIFY(p.mensajes.cajas().isEmpty());
    }

    void recortarAlSalir_noDevuelveLoBorrado()
    {
        BusquedaPrueba p;
        p.escribirHistorial("ANA LOPEZ GARCIA\r\n");
        QVERIFY(p.abrir());
        QTest::keyClicks(p.texto(), QStringLiteral("ANA LOPEZ "));
        QCOMPARE(p.texto()->selectedText(), QStringLiteral("GARCIA"));
        QTest::keyClick(p.texto(), Qt::Key_Backspace);
        QCOMPARE(p.texto()->text(), QStringLiteral("ANA LOPEZ "));
        salir(p);
        QCOMPARE(p.texto()->text(), QStringLiteral("ANA LOPEZ"));
        QCOMPARE(p.historialEnDisco(), QByteArray("ANA LOPEZ GARCIA\r\nANA LOPEZ\r\n"));
    }
};

QTEST_MAIN(PruebaAutocompletar)
#include "tst_Autocompletar.moc"
