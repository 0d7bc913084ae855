#include "BusquedaPrueba.h"
#include "search/ComposicionBusqueda.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// Pieces that have broken hand-built statements and LIKE patterns elsewhere: quotes, wildcards,
// comment and statement separators, brackets, escapes, control characters, accents, characters
// outside the basic plane, words of the seeded names.
const QStringList piezas = {"'",
                            "''",
                            "\"",
                            "%",
                            "_",
                            "--",
                            ";",
                            "[",
                            "]",
                            "[%]",
                            "^",
                            "\\",
                            "/*",
                            "*/",
                            "?",
                            ":v",
                            "@p",
                            "$1",
                            "{",
                            "}",
                            "(",
                            ")",
                            "\r\n",
                            "\t",
                            " ",
                            "  ",
                            "\n",
                            "\r",
                            "Ñ",
                            "ñ",
                            "ÁÉÍÓÚ",
                            "ü",
                            "€",
                            "ÿ",
                            "😀",
                            "用户",
                            "PEREZ",
                            "O'HARA",
                            "NUÑEZ",
                            "MARÍA",
                            "GOMEZ",
                            "0",
                            "123",
                            "1e309",
                            "-1",
                            "0x1F",
                            "NULL",
                            "null",
                            "DROP",
                            "'; DELETE FROM Clientes; --",
                            "' OR '1'='1",
                            "1; UPDATE Clientes SET "
                            "Nombre_cliente='X'"};

QString controles()
{
    QString texto;
    for (char16_t c = 0; c < 0x20; ++c)
        texto += QChar(c);
    return texto + QChar(0x7f) + QChar(0x85) + QChar(0x2028) + QChar(0xfeff);
}

// Fixed cases first, then random joins of pieces and code points; the same list on every run.
QStringList textosHostiles()
{
    QStringList textos = {QString(),
                          " ",
                          controles(),
                          QString(10000, u'A'),
                          QString(10000, u'%'),
                          QString(10000, u'\''),
                          QString(10000, u'9'),
                          QString(19, u'9'),
                          QString(5000, u'_') + " " + QString(4999, u'Ñ'),
                          QString(1, QChar(0xd800)) + " " + QString(1, QChar(0xdfff)),
                          "PEREZ GOMEZ",
                          "O'HARA NUÑEZ"};
    QRandomGenerator azar(20240305);
    while (textos.size() < 1000) {
        QString texto;
        const int partes = 1 + int(azar.bounded(12));
        for (int i = 0; i < partes; ++i) {
            if (azar.bounded(4) == 0)
                texto += QChar(char16_t(azar.bounded(0x20, 0xd7ff)));
            else
                texto += piezas.at(int(azar.bounded(piezas.size())));
            if (azar.bounded(3) == 0)
                texto += u' ';
        }
        if (azar.bounded(50) == 0)
            texto = texto.repeated(10000 / texto.size() + 1).left(10000);
        textos << texto;
    }
    return textos;
}

// Every row of every table of every attached database, hashed in table order.
QByteArray huellaDatos(const QSqlDatabase& base)
{
    QCryptographicHash huella(QCryptographicHash::Sha256);
    QSqlQuery bases(base);
    bases.exec("PRAGMA database_list");
    QStringList esquemas;
    while (bases.next())
        esquemas << bases.value(1).toString();
    for (const QString& esquema : esquemas) {
        QSqlQuery tablas(base);
        tablas.exec(QStringLiteral("SELECT name FROM \"%1\".sqlite_master WHERE type='table' "
                                   "ORDER BY name")
                        .arg(esquema));
        while (tablas.next()) {
            const QString tabla = tablas.value(0).toString();
            huella.addData((esquema + u'.' + tabla).toUtf8());
            QSqlQuery filas(base);
            filas.exec(
                QStringLiteral("SELECT * FROM \"%1\".\"%2\" ORDER BY rowid").arg(esquema, tabla));
            while (filas.next())
                for (int c = 0; c < filas.record().count(); ++c)
                    huella.addData(filas.value(c).toString().toUtf8() + '\x1f');
        }
    }
    return huella.result();
}

} // namespace

class tst_BusquedaHostil : public QObject
{
    Q_OBJECT

private slots:
    // Every text through the eight statements (four modes, two scopes) on the embedded
    // database: each runs and is read to its end without an error, and no row changes.
    void textosHostilesNoRompenNiCambianNada()
    {
        BusquedaPrueba p;
        p.sembrar();
        ConexionBaseDatos& conexion = p.bd.conexion();
        const QByteArray antes = huellaDatos(conexion.baseDatos());
        const QStringList textos = textosHostiles();
        QCOMPARE(textos.size(), 1000);

        int sentencias = 0;
        int filas = 0;
        for (const QString& texto : textos) {
            for (const auto modo : {ModoBusqueda::Nombre, ModoBusqueda::Direccion,
                                    ModoBusqueda::NumeroCliente, ModoBusqueda::NumeroVenta}) {
                for (const auto alcance :
                     {AlcanceCentros::CentroPropio, AlcanceCentros::TodosLosCentros}) {
                    const SentenciaBusqueda s =
                        ComposicionBusqueda::componer(modo, alcance, texto, "GDL    ");
                    try {
                        Registros r = conexion.consultar(s.texto, s.valores);
                        for (; !r.eof(); r.siguiente(), ++filas)
                            for (int c = 0; c < r.columnas(); ++c)
                                r.campo(c);
                    } catch (const ErrorSistema& error) {
                        QFAIL(qPrintable(
                            QStringLiteral("modo %1, alcance %2, texto %3: %4")
                                .arg(int(modo))
                                .arg(int(alcance))
                                .arg(texto.left(80).toHtmlEscaped(), error.descripcion())));
                    }
                    ++sentencias;
                }
            }
        }
        QCOMPARE(sentencias, 8000);
        // The generator joins seeded names and wildcards often enough to find customers; a
        // search that never matched would not have read any rows.
        QVERIFY(filas > 0);
        QCOMPARE(huellaDatos(conexion.baseDatos()), antes);
    }

    // An apostrophe in the name, typed in any letter case and with blanks around, does not hide
    // the customer.
    void nombresConComillasSeEncuentran()
    {
        BusquedaPrueba p;
        p.sembrar();
        for (const QString& texto :
             {QStringLiteral("O'HARA NUÑEZ"), QStringLiteral(" o'hara nuñez ")}) {
            const SentenciaBusqueda s = ComposicionBusqueda::componer(
                ModoBusqueda::Nombre, AlcanceCentros::TodosLosCentros, texto, "GDL    ");
            Registros r = p.bd.conexion().consultar(s.texto, s.valores);
            QVERIFY2(!r.eof(), qPrintable(texto));
            QCOMPARE(r.campo("Cliente").toInt(), 404);
        }
    }
};

QTEST_MAIN(tst_BusquedaHostil)
#include "tst_BusquedaHostil.moc"
