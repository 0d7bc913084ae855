#pragma once

#include <QString>
#include <QTemporaryDir>

// A private SANE configuration with only the test backend, activated for this process. Create one
// before the first sane_init of a test (initTestCase): SANE reads SANE_CONFIG_DIR once.
class ConfigSanePrueba
{
public:
    ConfigSanePrueba();
    bool valida() const { return valida_; }
    QString carpeta() const { return dir_.path(); }
    // A fresh folder for a component's recovery spool.
    QString nuevaCarpetaRecuperacion();

private:
    QTemporaryDir dir_;
    bool valida_ = false;
    int carpetas_ = 0;
};
