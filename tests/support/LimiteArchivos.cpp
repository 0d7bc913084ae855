#include "support/LimiteArchivos.h"

#include <csignal>

LimiteArchivos::LimiteArchivos(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
    getrlimit(RLIMIT_FSIZE, &antes_);
    rlimit nuevo = antes_;
    nuevo.rlim_cur = bytes;
    valido_ = setrlimit(RLIMIT_FSIZE, &nuevo) == 0;
}

LimiteArchivos::~LimiteArchivos()
{
    setrlimit(RLIMIT_FSIZE, &antes_);
}
