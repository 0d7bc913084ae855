#include "components/escaner/DialogoAjustesSane.h"

#include "components/escaner/OpcionesSane.h"
#include "components/escaner/TextosSane.h"
#include "components/escaner/TratamientoHojas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <sane/saneopts.h>

DialogoAjustesSane::DialogoAjustesSane(OpcionesSane& opciones, TratamientoHojas* tratamiento,
                                       QWidget* padre)
    : QDialog(padre), opciones_(opciones), tratamiento_(tratamiento), formulario_(new QFormLayout)
{
    setWindowTitle(QStringLiteral("Ajustes del Escaner"));
    agregar(SANE_NAME_SCAN_SOURCE, QStringLiteral("Origen:"));
    // Scanners that feed both sides from one source say so in a mode of their own.
    agregar("adf-mode", QStringLiteral("Alimentador:"));
    agregarTratamiento();
    agregar(SANE_NAME_SCAN_MODE, QStringLiteral("Modo:"));
    agregar(SANE_NAME_BIT_DEPTH, QStringLiteral("Bits por muestra:"));
    agregar(SANE_NAME_SCAN_RESOLUTION, QStringLiteral("Resolución (ppp):"));
    agregar(SANE_NAME_SCAN_TL_X, QStringLiteral("Izquierda:"));
    agregar(SANE_NAME_SCAN_TL_Y, QStringLiteral("Arriba:"));
    agregar(SANE_NAME_SCAN_BR_X, QStringLiteral("Derecha:"));
    agregar(SANE_NAME_SCAN_BR_Y, QStringLiteral("Abajo:"));
    agregar(SANE_NAME_BRIGHTNESS, QStringLiteral("Brillo:"));
    agregar(SANE_NAME_CONTRAST, QStringLiteral("Contraste:"));
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Escanear"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(botones, &QDialogButtonBox::accepted, this, [this] {
        aplicar();
        accept();
    });
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* capas = new QVBoxLayout(this);
    capas->addLayout(formulario_);
    capas->addWidget(botones);
}

void DialogoAjustesSane::agregar(const char* nombre, const QString& etiqueta)
{
    const SANE_Option_Descriptor* d = opciones_.descriptor(nombre);
    if (!d || !SANE_OPTION_IS_SETTABLE(d->cap))
        return;
    QWidget* widget = nullptr;
    std::function<void()> aplicar;
    if (d->type == SANE_TYPE_STRING) {
        // Shown in the catalogue's words, given back to the device in its own.
        auto* combo = new QComboBox(this);
        for (const QString& valor : opciones_.textosPermitidos(nombre))
            combo->addItem(TextosSane::traducido(valor.toUtf8().constData()), valor);
        combo->setCurrentIndex(combo->findData(opciones_.texto(nombre).value_or(QString())));
        aplicar = [this, nombre, combo] {
            opciones_.fijarTexto(nombre, combo->currentData().toString());
        };
        widget = combo;
    } else if (!opciones_.numerosPermitidos(nombre).isEmpty()) {
        auto* combo = new QComboBox(this);
        for (double v : opciones_.numerosPermitidos(nombre))
            combo->addItem(QString::number(v), v);
        combo->setCurrentText(QString::number(opciones_.numero(nombre).value_or(0)));
        aplicar = [this, nombre, combo] {
            opciones_.fijarNumero(nombre, combo->currentData().toDouble());
        };
        widget = combo;
    } else if (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) {
        auto* numero = new QDoubleSpinBox(this);
        const auto rango = opciones_.rango(nombre);
        numero->setDecimals(d->type == SANE_TYPE_FIXED ? 1 : 0);
        numero->setRange(rango ? rango->minimo : -1e6, rango ? rango->maximo : 1e6);
        if (rango && rango->paso > 0)
            numero->setSingleStep(rango->paso);
        if (d->unit == SANE_UNIT_MM)
            numero->setSuffix(QStringLiteral(" mm"));
        numero->setValue(opciones_.numero(nombre).value_or(0));
        aplicar = [this, nombre, numero] { opciones_.fijarNumero(nombre, numero->value()); };
        widget = numero;
    } else {
        return;
    }
    widget->setObjectName(QString::fromLatin1(nombre));
    widget->setToolTip(QStringList{TextosSane::traducido(d->title), TextosSane::traducido(d->desc)}
                           .join(QLatin1Char('\n'))
                           .trimmed());
    widget->setEnabled(SANE_OPTION_IS_ACTIVE(d->cap));
    formulario_->addRow(etiqueta, widget);
    controles_.append({nombre, widget, std::move(aplicar)});
}

void DialogoAjustesSane::agregarTratamiento()
{
    if (!tratamiento_)
        return;
    quitarBlancas_ = new QCheckBox(QStringLiteral("Quitar hojas en blanco"), this);
    quitarBlancas_->setObjectName(QStringLiteral("QuitarBlancas"));
    quitarBlancas_->setChecked(tratamiento_->quitarBlancas);
    enderezar_ = new QCheckBox(QStringLiteral("Enderezar hojas"), this);
    enderezar_->setObjectName(QStringLiteral("EnderezarHojas"));
    enderezar_->setChecked(tratamiento_->enderezar);
    formulario_->addRow(QString(), quitarBlancas_);
    formulario_->addRow(QString(), enderezar_);
}

void DialogoAjustesSane::aplicar()
{
    // Controls were added source and mode first: those decide which depths and areas the device
    // then accepts.
    for (const Control& c : controles_)
        c.aplicar();
    if (tratamiento_) {
        tratamiento_->quitarBlancas = quitarBlancas_->isChecked();
        tratamiento_->enderezar = enderezar_->isChecked();
    }
}

QWidget* DialogoAjustesSane::control(const char* nombre) const
{
    for (const Control& c : controles_) {
        if (qstrcmp(c.nombre, nombre) == 0)
            return c.widget;
    }
    return nullptr;
}

bool DialogoAjustesSane::mostrar(QWidget* padre, OpcionesSane& opciones,
                                 TratamientoHojas& tratamiento)
{
    DialogoAjustesSane dialogo(opciones, &tratamiento, padre);
    return dialogo.exec() == QDialog::Accepted;
}
