#include "capture/PilaDeshacer.h"

void PilaDeshacer::apilar(std::unique_ptr<PasoDeshacer> paso)
{
    pasos_.push_back(std::move(paso));
    while (int(pasos_.size()) > limite_) {
        pasos_.front()->soltar();
        pasos_.pop_front();
    }
}

std::unique_ptr<PasoDeshacer> PilaDeshacer::deshacer(bool* hecho)
{
    *hecho = false;
    if (pasos_.empty())
        return nullptr;
    std::unique_ptr<PasoDeshacer> paso = std::move(pasos_.back());
    pasos_.pop_back();
    *hecho = paso->deshacer();
    if (!*hecho)
        paso->soltar();
    return paso;
}

void PilaDeshacer::vaciar()
{
    for (auto& paso : pasos_)
        paso->soltar();
    pasos_.clear();
}
