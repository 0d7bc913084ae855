#include "support/ConfigSanePrueba.h"

#include "components/escaner/ConfigSaneDemo.h"

#include <QDir>

ConfigSanePrueba::ConfigSanePrueba()
{
    valida_ = dir_.isValid() && ConfigSaneDemo::activar(dir_.filePath(QStringLiteral("sane")));
}

QString ConfigSanePrueba::nuevaCarpetaRecuperacion()
{
    return dir_.filePath(QStringLiteral("recuperacion-%1").arg(++carpetas_));
}
