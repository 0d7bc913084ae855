#include "app/CifrarTexto.h"
#include "app/Windows1252.h"

#include <QTest>

namespace {
QString deHex(const QByteArray& hex)
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
    // Enciphered values computed apart from this code, from the algorithm as written (text and
    // key repeated to a common length, 17 passes over the whole working text). The
    // workstations' tables hold such values, so they must never change.
    void vectoresFijos_data()
    {
        QTest::addColumn<QString>("claro");
        QTest::addColumn<QByteArray>("cifrado");
        QTest::newRow("vacio") << "" << QByteArray();
        QTest::newRow("demo") << "demo" << QByteArray("fded6dd5");
        QTest::newRow("blanco dentro") << "Secreto 2024" << QByteArray("eced63d832416f4287a7bade");
        QTest::newRow("acentos") << QString::fromUtf8("Contraseña Ñandú")
                                 << QByteArray("dcf76eda3f2e738747d8a87c3f3bdb50");
        QTest::newRow("32 caracteres")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"
            << QByteArray("daca43aa1213476a9ec1d3f62b1bc6a5c80e0f43bb67dff1ae05740fba66238a");
        // The 33rd character goes with the first key character again.
        QTest::newRow("33 caracteres")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456"
            << QByteArray("daca43aa1213476a9ec1d3f62b1bc6a5c80e0f43bb67dff1ae05740fba66238acf");
        QTest::newRow("70 caracteres, codigos altos")
            << deHex("4142434445464748494a4b4c4d4e4f505152535455565758595a5b5c5d5e5f60616263"
                     "6465666768696a6b6c6d6e6f707172737475767778797a7b7c7d7e7f80818283848586")
            << QByteArray("daca43aa1213476a9ec1d3f62b1bc6a5c80e0f43bb67dff1ae059f3ae5914eb5faea63ca"
                          "3233678abee1f3174b3be6c5e82e2f63db87ff12ce25bf5a06b16ed51b0b83ea5253");
        // Key characters 3 and 7 ('K', 'Z') are multiples of 15: 17 passes leave them as they were.
        QTest::newRow("blanco al final") << "ab " << QByteArray("faea20");
        // 171 + 'T'(84) = 255: the first pass lands exactly on 255.
        QTest::newRow("paso por 255") << deHex("ab") << QByteArray("45");
    }
    void vectoresFijos()
    {
        QFETCH(QString, claro);
        QFETCH(QByteArray, cifrado);
        QCOMPARE(aHex(CifrarTexto(claro, true)), cifrado);
        QCOMPARE(CifrarTexto(deHex(cifrado), false), claro);
    }

    // Wrapping at 255 makes 0 and 255 one residue: every code comes back but 255, which
    // comes back as 0.
    void idaYVuelta()
    {
        QByteArray codigos;
        for (int c = 0; c < 300; ++c)
            codigos.append(char(c % 255));
        const QString texto = Windows1252::decodificar(codigos);
        QCOMPARE(CifrarTexto(CifrarTexto(texto, true), false), texto);
        QCOMPARE(aHex(CifrarTexto(CifrarTexto(deHex("ff41"), true), false)), QByteArray("0041"));
    }

    // Every byte survives decoding and encoding, the five undefined ones included; a character
    // without a code becomes one '?', even outside the BMP.
    void windows1252()
    {
        QByteArray todos;
        for (int c = 0; c < 256; ++c)
            todos.append(char(c));
        const QString texto = Windows1252::decodificar(todos);
        QCOMPARE(Windows1252::codificar(texto), todos);
        QCOMPARE(texto.mid(0x80, 2), QString::fromUtf8("\u20ac\u0081"));
        QCOMPARE(texto.at(0x9F), QChar(0x0178));
        const QString ajeno = QString::fromUtf8("a\u0080\u65e5\U0001F600b");
        QCOMPARE(Windows1252::codificar(ajeno), QByteArray("a???b"));
        QVERIFY(!Windows1252::representable(ajeno) && Windows1252::representable(texto));
    }
};

QTEST_APPLESS_MAIN(tst_CifrarTexto)
#include "tst_CifrarTexto.moc"
