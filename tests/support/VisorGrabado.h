#pragma once

#include "app/Visor.h"

#include <QStringList>

// Keeps the files the program asked the desktop to open.
class VisorGrabado : public Visor
{
public:
    void abrir(const QString& archivo) override { abiertos << archivo; }
    QStringList abiertos;
};
