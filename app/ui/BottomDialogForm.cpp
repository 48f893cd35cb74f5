#include "app/ui/BottomDialogForm.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TBaseFormVRQ_BottomDialogForm::TBaseFormVRQ_BottomDialogForm(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , TBaseFormVRQ_Common(this)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("ClientArea"));
    layout->addWidget(m_clientArea, 1);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setSpacing(5);
    m_buttonRow->addStretch(1);
    layout->addLayout(m_buttonRow);

    btnOk = MakeButton(tr("OK"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = MakeButton(tr("&Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QPushButton *TBaseFormVRQ_BottomDialogForm::MakeButton(const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setFixedSize(kButtonWidth, kButtonHeight);
    m_buttonRow->addWidget(button);
    return button;
}

void TBaseFormVRQ_BottomDialogForm::setVisible(bool visible)
{
    if (visible)
        RestorePlacement();
    QDialog::setVisible(visible);
}

void TBaseFormVRQ_BottomDialogForm::done(int result)
{
    if (!FormClose())
        return;
    QDialog::done(result);
}
