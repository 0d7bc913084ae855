#include "capture/PasoHoja.h"

#include "components/escaner/EscanerTwain.h"

bool PasoHoja::deshacer()
{
    if (!escaner_)
        return false;
    switch (clase_) {
    case Clase::Quitada:
        if (escaner_->ReponerPagina(apartada_, posicion_) != 1)
            return false;
        apartada_.clear();
        return true;
    case Clase::Girada:
        return escaner_->GirarPagina(posicion_, 4 - dato_) == 1;
    case Clase::Movida:
        return escaner_->MoverPagina(posicion_, dato_) == 1;
    case Clase::EnBlanco:
        posicion_ = escaner_->RestaurarPaginaQuitada();
        return posicion_ >= 0;
    }
    return false;
}

PasoDeshacer::Efecto PasoHoja::efecto() const
{
    switch (clase_) {
    case Clase::Quitada:
    case Clase::EnBlanco:
        return {Efecto::Repuesta, posicion_, 0};
    case Clase::Girada:
        return {Efecto::Girada, posicion_, 0};
    case Clase::Movida:
        break;
    }
    return {Efecto::Movida, dato_, posicion_};
}

void PasoHoja::soltar()
{
    if (escaner_ && !apartada_.isEmpty())
        escaner_->OlvidarPagina(apartada_);
    apartada_.clear();
}
