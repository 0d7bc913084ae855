#pragma once

#include <sys/resource.h>

// A file-size limit on this process for as long as the object lives: writes past it fail
// with EFBIG, as on a full disk. Unlike permissions it binds root too, and it needs no mount.
// Processes started before it (the FTP server) are not bound.
class LimiteArchivos
{
public:
    explicit LimiteArchivos(rlim_t bytes);
    ~LimiteArchivos();
    LimiteArchivos(const LimiteArchivos&) = delete;
    LimiteArchivos& operator=(const LimiteArchivos&) = delete;
    bool valido() const { return valido_; }

private:
    rlimit antes_{};
    bool valido_ = false;
};
