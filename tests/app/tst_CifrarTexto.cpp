#include "app/CifrarTexto.h"
#include "app/Windows1252.h"

#include <QTest>

namespace {

QString deHex(const char* hex)
{
    return Windows1252::decodificar(QByteArray::fromHex(hex));
}

QByteArray aHex(const QString& texto)
{
    return Windows1252::codificar(texto).toHex();
}

} // namespace

class tst_CifrarTexto : public QObject
{
    Q_OBJECT

private slots:
    // Enciphered values computed apart from this code, straight from the algorithm as written
    // (text and key repeated to a common length, 17 passes over the whole working text). They
    // are what the workstations' tables hold, so they must never change.
    void vectoresFijos_data()
    {
        QTest::addColumn<QString>("claro");
        QTest::addColumn<QByteArray>("cifrado");
        QTest::newRow("demo") << "demo" << QByteArray("fded6dd5");
        QTest::newRow("sucursal") << "S01" << QByteArray("ecb831");
        QTest::newRow("blanco dentro") << "Secreto 2024" << QByteArray("eced63d832416f4287a7bade");
        QTest::newRow("acentos y euro") << QString::fromUtf8("Contraseña Ñandú")
                                        << QByteArray("dcf76eda3f2e738747d8a87c3f3bdb50");
        QTest::newRow("32 caracteres")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"
            << QByteArray("daca43aa1213476a9ec1d3f62b1bc6a5c80e0f43bb67dff1ae05740fba66238a");
        QTest::newRow("33 caracteres")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456"
            << QByteArray("daca43aa1213476a9ec1d3f62b1bc6a5c80e0f43bb67dff1ae05740fba66238acf");
        QTest::newRow("70 caracteres, codigos altos")
            << deHex("4142434445464748494a4b4c4d4e4f505152535455565758595a5b5c5d5e5f60616263"
                     "6465666768696a6b6c6d6e6f707172737475767778797a7b7c7d7e7f80818283848586")
            << QByteArray("daca43aa1213476a9ec1d3f62b1bc6a5c80e0f43bb67dff1ae059f3ae5914eb5faea63ca"
                          "3233678abee1f3174b3be6c5e82e2f63db87ff12ce25bf5a06b16ed51b0b83ea5253");
        // Key characters 3 and 7 ('K' and 'Z') are multiples of 15: 17 passes leave them as
        // they were, so a blank there stays a blank.
        QTest::newRow("blanco al final") << "ab " << QByteArray("faea20");
    }
    void vectoresFijos()
    {
        QFETCH(QString, claro);
        QFETCH(QByteArray, cifrado);
        QCOMPARE(aHex(CifrarTexto(claro, true)), cifrado);
        QCOMPARE(CifrarTexto(Windows1252::decodificar(QByteArray::fromHex(cifrado)), false), claro);
    }

    void idaYVuelta_data()
    {
        QTest::addColumn<QString>("texto");
        QByteArray todos;
        for (int c = 0; c < 255; ++c)
            todos.append(char(c));
        QTest::newRow("un caracter") << "x";
        QTest::newRow("blancos dentro y alrededor") << "  a  b  ";
        QTest::newRow("codigos 0 a 254") << Windows1252::decodificar(todos);
        QTest::newRow("300 caracteres") << QString(300, u'z');
        QTest::newRow("comillas") << "O'Brien \"x\"";
    }
    void idaYVuelta()
    {
        QFETCH(QString, texto);
        const QString cifrado = CifrarTexto(texto, true);
        QCOMPARE(cifrado.size(), texto.size());
        QCOMPARE(CifrarTexto(cifrado, false), texto);
    }

    // The wrap at 255 makes 0 and 255 the same residue. Whatever passes through 255 on the way
    // comes back; only a text that starts with code 255 loses it, as 0.
    void borde255()
    {
        // 171 + 'T'(84) = 255: the first pass lands exactly on 255.
        const QString intermedio = deHex("ab");
        QCOMPARE(aHex(CifrarTexto(intermedio, true)), QByteArray("45"));
        QCOMPARE(CifrarTexto(CifrarTexto(intermedio, true), false), intermedio);

        const QString y = deHex("ff41");
        QCOMPARE(aHex(CifrarTexto(CifrarTexto(y, true), false)), QByteArray("0041"));
    }

    // The 33rd character is enciphered with the first key character again.
    void claveSeRepite()
    {
        const QString texto(33, u'x');
        const QString cifrado = CifrarTexto(texto, true);
        QCOMPARE(cifrado.at(32), cifrado.at(0));
        QCOMPARE(CifrarTexto(texto.left(32), true), cifrado.left(32));
        QVERIFY(cifrado.at(31) != cifrado.at(0));
    }

    void vacio()
    {
        QCOMPARE(CifrarTexto(QString(), true), QString());
        QCOMPARE(CifrarTexto(QString(), false), QString());
        QCOMPARE(CifrarCodigos(QByteArray(), true), QByteArray());
    }

    // Every byte survives decoding and encoding, the five undefined ones included; a
    // character without a code becomes one '?', even outside the BMP.
    void windows1252()
    {
        QByteArray todos;
        for (int c = 0; c < 256; ++c)
            todos.append(char(c));
        const QString texto = Windows1252::decodificar(todos);
        QCOMPARE(Windows1252::codificar(texto), todos);
        QVERIFY(Windows1252::representable(texto));
        QCOMPARE(texto.at(0x80), QChar(0x20AC));
        QCOMPARE(texto.at(0x9F), QChar(0x0178));
        QCOMPARE(texto.at(0x8D), QChar(0x008D));

        const QString ajeno = QString::fromUtf8("a\u0080\u65e5\U0001F600b");
        QCOMPARE(Windows1252::codificar(ajeno), QByteArray("a???b"));
        QVERIFY(!Windows1252::representable(ajeno));
        QCOMPARE(CifrarTexto(QString::fromUtf8("\u65e5"), true), CifrarTexto("?", true));
    }
};

QTEST_APPLESS_MAIN(tst_CifrarTexto)
#include "tst_CifrarTexto.moc"
