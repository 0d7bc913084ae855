#include "DocumentosDemo.h"

#include "app/ConexionBaseDatos.h"
#include "app/ErrorSistema.h"
#include "casefiles/TipoDocumento.h"
#include "components/tiff/EscritorTiff.h"

#include <QDir>
#include <QImage>
#include <array>

namespace {

constexpr int kPpp = 100;
constexpr int kAncho = 850; // letter size at 100 dpi
constexpr int kAlto = 1100;

// A 5×7 dot font for the few characters a demo page prints: the folio and the type's letter.
const std::array<const char*, 7>* glifo(QChar letra)
{
    static const std::array<const char*, 7> digitos[] = {
        {"01110", "10001", "10011", "10101", "11001", "10001", "01110"},
        {"00100", "01100", "00100", "00100", "00100", "00100", "01110"},
        {"01110", "10001", "00001", "00010", "00100", "01000", "11111"},
        {"11111", "00010", "00100", "00010", "00001", "10001", "01110"},
        {"00010", "00110", "01010", "10010", "11111", "00010", "00010"},
        {"11111", "10000", "11110", "00001", "00001", "10001", "01110"},
        {"00110", "01000", "10000", "11110", "10001", "10001", "01110"},
        {"11111", "00001", "00010", "00100", "01000", "01000", "01000"},
        {"01110", "10001", "10001", "01110", "10001", "10001", "01110"},
        {"01110", "10001", "10001", "01111", "00001", "00010", "01100"},
    };
    static const std::array<std::pair<char, std::array<const char*, 7>>, 7> letras{{
        {'S', {"01111", "10000", "10000", "01110", "00001", "00001", "11110"}},
        {'I', {"01110", "00100", "00100", "00100", "00100", "00100", "01110"}},
        {'R', {"11110", "10001", "10001", "11110", "10100", "10010", "10001"}},
        {'C', {"01110", "10001", "10000", "10000", "10000", "10001", "01110"}},
        {'N', {"10001", "11001", "10101", "10011", "10001", "10001", "10001"}},
        {'E', {"11111", "10000", "10000", "11110", "10000", "10000", "11111"}},
        {'D', {"11110", "10001", "10001", "10001", "10001", "10001", "11110"}},
    }};
    if (letra.isDigit())
        return &digitos[letra.digitValue()];
    for (const auto& [caracter, forma] : letras)
        if (letra == QLatin1Char(caracter))
            return &forma;
    return nullptr;
}

void rellenar(QImage& pagina, int x, int y, int ancho, int alto)
{
    for (int fila = y; fila < y + alto; ++fila)
        for (int columna = x; columna < x + ancho; ++columna)
            pagina.setPixel(columna, fila, 1);
}

void escribirTexto(QImage& pagina, const QString& texto, int x, int y, int punto)
{
    for (const QChar letra : texto) {
        if (const auto* forma = glifo(letra)) {
            for (int fila = 0; fila < 7; ++fila)
                for (int columna = 0; columna < 5; ++columna)
                    if ((*forma)[fila][columna] == '1')
                        rellenar(pagina, x + columna * punto, y + fila * punto, punto, punto);
        }
        x += 6 * punto;
    }
}

// A form-like page: a frame, a title bar and ruled lines; each document adds the stored file's
// name in large characters, so the user sees which document came back.
QImage formulario()
{
    QImage imagen(kAncho, kAlto, QImage::Format_Mono);
    imagen.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    imagen.fill(0);
    rellenar(imagen, 40, 40, kAncho - 80, 3);
    rellenar(imagen, 40, kAlto - 43, kAncho - 80, 3);
    rellenar(imagen, 40, 40, 3, kAlto - 80);
    rellenar(imagen, kAncho - 43, 40, 3, kAlto - 80);
    rellenar(imagen, 40, 40, kAncho - 80, 60);
    for (int y = 320; y < kAlto - 100; y += 45)
        rellenar(imagen, 80, y, kAncho - 160, 1);
    imagen.setDotsPerMeterX(qRound(kPpp / 0.0254));
    imagen.setDotsPerMeterY(qRound(kPpp / 0.0254));
    return imagen;
}

QImage pagina(const QString& nombre)
{
    static const QImage base = formulario();
    QImage imagen = base.copy();
    escribirTexto(imagen, nombre, 80, 160, 12);
    return imagen;
}

void borrarDocumentosAnteriores(const QString& carpetaImagenes)
{
    QDir raiz(carpetaImagenes);
    for (const QString& centro : raiz.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QDir carpeta(raiz.filePath(centro));
        for (const QString& archivo : carpeta.entryList({QStringLiteral("*.tif")}, QDir::Files))
            carpeta.remove(archivo);
    }
}

} // namespace

void DocumentosDemo::escribir(ConexionBaseDatos& ConexionBD, const QString& carpetaImagenes)
{
    borrarDocumentosAnteriores(carpetaImagenes);
    QString columnas;
    for (const TipoDocumento& tipo : TipoDocumento::todos())
        columnas += QStringLiteral(", e.") + QLatin1String(tipo.columnaBandera);
    Registros filas = ConexionBD.consultar(
        QStringLiteral("SELECT e.expediente, a.Ruta") + columnas +
        QStringLiteral(" FROM Expedientes_ZR e JOIN sucursales s ON e.sucursal = s.sucursal"
                       " JOIN acceso_ftp_ZR a ON a.centro_distribucion = s.centro_distribucion"));
    for (; !filas.eof(); filas.siguiente()) {
        const double folio = filas.campo(0).toDouble();
        const QString carpeta = carpetaImagenes + filas.campo(1).toString();
        for (const TipoDocumento& tipo : TipoDocumento::todos()) {
            if (!TipoDocumento::activa(filas.campo(QLatin1String(tipo.columnaBandera))))
                continue;
            const QString nombre = tipo.nombreRemoto(folio);
            QString error;
            if (!QDir().mkpath(carpeta) ||
                !EscritorTiff::escribirArchivo(carpeta + QLatin1Char('/') + nombre,
                                               pagina(nombre.chopped(4)), kPpp, &error))
                throw ErrorSistema(75, QStringLiteral("No se pudo escribir el documento de "
                                                      "demostración %1: %2")
                                           .arg(nombre, error));
        }
    }
}
