#pragma once

#include "capture/PasoDeshacer.h"

#include <deque>
#include <memory>

// The last changes to the pages held, most recent on top, for Ctrl+Z. Any kind of step goes in;
// the oldest falls off past the limit, and all go when the pages are saved or discarded.
class PilaDeshacer
{
public:
    explicit PilaDeshacer(int limite = 20) : limite_(limite) {}
    ~PilaDeshacer() { vaciar(); }
    PilaDeshacer(const PilaDeshacer&) = delete;
    PilaDeshacer& operator=(const PilaDeshacer&) = delete;

    void apilar(std::unique_ptr<PasoDeshacer> paso);
    bool vacia() const { return pasos_.empty(); }
    int cantidad() const { return int(pasos_.size()); }
    // Takes the top step off and undoes it; null when there is none. A step that could not be
    // undone is dropped too: trying again would not change the outcome.
    std::unique_ptr<PasoDeshacer> deshacer(bool* hecho);
    void vaciar();

private:
    int limite_;
    std::deque<std::unique_ptr<PasoDeshacer>> pasos_;
};
