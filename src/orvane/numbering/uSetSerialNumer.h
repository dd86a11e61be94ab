#pragma once
// Code and name of a new ("A") or renamed ("U") serial-number rule.

#include <QLineEdit>

#include "uQuillForm.h"

class QPushButton;

class TfrmSetSerialNumber : public TQuillForm
{
    Q_OBJECT
public:
    explicit TfrmSetSerialNumber(QWidget *parent = nullptr);

    QLineEdit *edtCode, *edtName;
    QPushButton *Butt_Save, *Butt_Cancel;
    QString FMode = QStringLiteral("A");
    int FID = 0;
    int FNewID = 0; // the id of the rule added in mode "A"

    void Butt_SaveClick();
};
