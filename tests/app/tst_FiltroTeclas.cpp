#include "app/FiltroTeclas.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace {
// QTest::keyClicks only takes ASCII; the user also types á and ñ.
void teclear(QWidget* widget, const QString& texto)
{
    for (const QChar letra : texto) {
        const int tecla = letra.toUpper().unicode();
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key(tecla), QString(letra), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key(tecla), QString(letra), Qt::NoModifier);
    }
}
} // namespace

// The filters are driven through real key presses on a real line edit, as the user types.
class PruebaFiltroTeclas : public QObject
{
    Q_OBJECT

    struct Formulario
    {
        QWidget ventana;
        QLineEdit* texto = new QLineEdit;
        QPushButton* boton = new QPushButton(QStringLiteral("&Buscar"));
        FiltroTeclas* filtro = nullptr;

        explicit Formulario(FiltroTeclas::Modo modo)
        {
            auto* disposicion = new QVBoxLayout(&ventana);
            disposicion->addWidget(texto);
            disposicion->addWidget(boton);
            boton->setDefault(true);
            filtro = FiltroTeclas::instalar(texto, modo);
            ventana.show();
            ventana.activateWindow();
            texto->setFocus();
            QCoreApplication::processEvents();
        }
    };

private slots:
    void mayusculas_data()
    {
        QTest::addColumn<QString>("tecleado");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("letras") << "ana lopez"
                                << "ANA LOPEZ";
        QTest::newRow("acentos y eñe")
            << QStringLiteral("ñuñez álvarez") << QStringLiteral("ÑUÑEZ ÁLVAREZ");
        QTest::newRow("digitos y signos") << "calle 5 #12-b"
                                          << "CALLE 5 #12-B";
        QTest::newRow("ese aguda intacta") << QStringLiteral("ß") << QStringLiteral("ß");
        QTest::newRow("y con dieresis") << QStringLiteral("ÿ") << QStringLiteral("Ÿ");
        QTest::newRow("micro intacta") << QStringLiteral("µ") << QStringLiteral("µ");
    }

    void mayusculas()
    {
        QFETCH(QString, tecleado);
        QFETCH(QString, esperado);
        Formulario f(FiltroTeclas::Modo::Mayusculas);
        teclear(f.texto, tecleado);
        QCOMPARE(f.texto->text(), esperado);
    }

    void numerica_dejaSoloDigitosYRetroceso()
    {
        Formulario f(FiltroTeclas::Modo::Numerica);
        QTest::keyClicks(f.texto, QStringLiteral("12a-3.4 5"));
        QCOMPARE(f.texto->text(), QStringLiteral("12345"));
        QTest::keyClick(f.texto, Qt::Key_Backspace);
        QCOMPARE(f.texto->text(), QStringLiteral("1234"));
    }

    void numerica_descartaAtajosDelPortapapeles()
    {
        Formulario f(FiltroTeclas::Modo::Numerica);
        f.texto->setText(QStringLiteral("77"));
        f.texto->selectAll();
        QTest::keyClick(f.texto, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(f.texto, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(f.texto->text(), QStringLiteral("77"));
        QGuiApplication::clipboard()->setText(QStringLiteral("ABC"));
        QTest::keyClick(f.texto, Qt::Key_End);
        QTest::keyClick(f.texto, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.texto->text(), QStringLiteral("77"));
    }

    void mayusculas_dejaPegar()
    {
        // Only typed characters are filtered; pasted text is checked by whoever reads it.
        Formulario f(FiltroTeclas::Modo::Mayusculas);
        QGuiApplication::clipboard()->setText(QStringLiteral("minusculas"));
        QTest::keyClick(f.texto, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.texto->text(), QStringLiteral("minusculas"));
    }

    void retrocesoYSuprimir_pasanAmbos()
    {
        for (auto modo : {FiltroTeclas::Modo::Mayusculas, FiltroTeclas::Modo::Numerica}) {
            Formulario f(modo);
            f.texto->setText(QStringLiteral("123"));
            QTest::keyClick(f.texto, Qt::Key_Backspace);
            QCOMPARE(f.texto->text(), QStringLiteral("12"));
            // X11 sends Delete with the character 127.
            f.texto->setCursorPosition(0);
            QTest::sendKeyEvent(QTest::Click, f.texto, Qt::Key_Delete, QString(QChar(127)),
                                Qt::NoModifier);
            QCOMPARE(f.texto->text(), QStringLiteral("2"));
        }
    }

    void enter_pasaAlSiguienteControlSinPulsarElBoton()
    {
        for (auto modo : {FiltroTeclas::Modo::Mayusculas, FiltroTeclas::Modo::Numerica}) {
            Formulario f(modo);
            int pulsado = 0;
            connect(f.boton, &QPushButton::clicked, [&] { ++pulsado; });
            QTest::keyClicks(f.texto, QStringLiteral("12"));
            QTest::keyClick(f.texto, Qt::Key_Return);
            QCOMPARE(f.texto->text(), QStringLiteral("12"));
            QCOMPARE(pulsado, 0);
            QVERIFY(f.boton->hasFocus());
        }
    }

    void modoCambiaSobreLaMarcha()
    {
        Formulario f(FiltroTeclas::Modo::Numerica);
        QTest::keyClicks(f.texto, QStringLiteral("a1"));
        f.filtro->fijarModo(FiltroTeclas::Modo::Mayusculas);
        QTest::keyClicks(f.texto, QStringLiteral("b"));
        QCOMPARE(f.texto->text(), QStringLiteral("1B"));
    }

    void codigos()
    {
        // The routines on their own: a code of 0 stays 0, control codes stay as they are.
        int codigo = 0;
        TeclaMayusculas(codigo);
        QCOMPARE(codigo, 0);
        codigo = 22; // Ctrl+V
        TeclaMayusculas(codigo);
        QCOMPARE(codigo, 22);
        TeclaNumerica(codigo);
        QCOMPARE(codigo, 0);
        codigo = 13;
        TeclaNumerica(codigo);
        QCOMPARE(codigo, 0);
        codigo = '9';
        TeclaNumerica(codigo);
        QCOMPARE(codigo, int('9'));
    }
};

QTEST_MAIN(PruebaFiltroTeclas)
#include "tst_FiltroTeclas.moc"
