#pragma once

#include <QString>

class EscanerTwain;
class QLabel;

// The estimated size of the document the held pages make, against the branch's limit, so that
// the clerk removes pages before pressing Guardar: the spooled pages are the compressed pages
// the save copies into the file, so their sum is the file's size within a few hundred bytes.
class MedidorTamano
{
public:
    explicit MedidorTamano(QLabel& etiqueta);

    // limiteKB: the branch's limit (0 or less: none known). Hidden while no page is held.
    void actualizar(EscanerTwain* escaner, double limiteKB);
    bool excedido() const { return excedido_; }

    // "1,3 MB de 2 MB" in the regional number format; the size alone with no limit.
    static QString texto(qint64 bytes, double limiteKB);
    static qint64 bytesHojas(EscanerTwain& escaner);

private:
    QLabel& etiqueta_;
    QString ayuda_; // the form's tooltip, shown while within the limit
    bool excedido_ = false;
};
