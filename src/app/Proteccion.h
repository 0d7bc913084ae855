#pragma once

#include <functional>

class Mensajes;

// Runs one handler. A failure of the database, a component or the platform (ErrorSistema) ends
// that handler only: it is shown in a critical box with its number and description, and the
// window stays usable with the pages it holds. Returns false when the handler failed.
bool EjecutarProtegido(Mensajes& mensajes, const std::function<void()>& manejador);
