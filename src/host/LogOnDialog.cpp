#include "LogOnDialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "Dialect.h"
#include "HostHelp.h"

LogOnDialog::LogOnDialog(IDllMessageCon &messages, TCheck check, TOperatorSource operators, QWidget *parent)
    : QDialog(parent), FMessages(messages), FCheck(std::move(check)), FOperators(std::move(operators))
{
    setObjectName(QStringLiteral("frmLogOn"));
    setWindowTitle(QStringLiteral("登录"));

    auto *lblTitle = new QLabel(QStringLiteral("Orvane 系统维护"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    edtDataBase = new QLineEdit(this);
    edtDataBase->setObjectName(QStringLiteral("edtDataBase"));
    edtDataBase->setMinimumWidth(320);
    btnBrowse = new QToolButton(this);
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    btnBrowse->setText(QStringLiteral("…"));
    cbOperator = new QComboBox(this);
    cbOperator->setObjectName(QStringLiteral("cbOperator"));
    cbOperator->setEditable(true);
    cbOperator->setInsertPolicy(QComboBox::NoInsert);
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setMaxLength(30);
    dtpLogOnDate = new QDateEdit(QDate::currentDate(), this);
    dtpLogOnDate->setObjectName(QStringLiteral("dtpLogOnDate"));
    dtpLogOnDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpLogOnDate->setCalendarPopup(true);
    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *dataBaseRow = new QHBoxLayout;
    dataBaseRow->addWidget(edtDataBase, 1);
    dataBaseRow->addWidget(btnBrowse);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("账套："), dataBaseRow);
    form->addRow(QStringLiteral("操作员："), cbOperator);
    form->addRow(QStringLiteral("密码："), edtPassword);
    form->addRow(QStringLiteral("登录日期："), dtpLogOnDate);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(edtDataBase, &QLineEdit::editingFinished, this, &LogOnDialog::LoadOperators);
    connect(btnBrowse, &QToolButton::clicked, this, &LogOnDialog::btnBrowseClick);
    connect(btnOK, &QPushButton::clicked, this, &LogOnDialog::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void LogOnDialog::SetRequest(const TLogOnRequest &request)
{
    edtDataBase->setText(request.DataBase);
    LoadOperators();
    const int index = cbOperator->findData(request.Operator);
    if (index >= 0)
        cbOperator->setCurrentIndex(index);
    else
        cbOperator->setEditText(request.Operator);
    edtPassword->setText(request.Password);
    if (request.LogOnDate.isValid())
        dtpLogOnDate->setDate(request.LogOnDate);
    if (!request.Operator.isEmpty())
        edtPassword->setFocus();
}

TLogOnRequest LogOnDialog::Request() const
{
    TLogOnRequest r;
    r.DataBase = edtDataBase->text().trimmed();
    // A picked operator is known by id; a typed one is passed as typed (an id or a user code).
    const QString text = cbOperator->currentText().trimmed();
    const int index = cbOperator->findText(text);
    r.Operator = index >= 0 ? cbOperator->itemData(index).toString() : text;
    r.Password = edtPassword->text();
    r.LogOnDate = dtpLogOnDate->date();
    return r;
}

void LogOnDialog::LoadOperators()
{
    const QString path = edtDataBase->text().trimmed();
    if (path == FOperatorsOf)
        return;
    FOperatorsOf = path;
    const QString typed = cbOperator->currentText();
    cbOperator->clear();
    // A server account set (postgresql://...) is asked for its operators like a file.
    if (FOperators && !path.isEmpty() && (accountdb::isServerLocation(path) || QFileInfo::exists(path)))
        for (const auto &[id, text] : FOperators(path))
            cbOperator->addItem(text, id);
    cbOperator->setEditText(typed);
}

void LogOnDialog::btnBrowseClick()
{
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择账套"), QFileInfo(edtDataBase->text()).path(),
                                     QStringLiteral("账套文件 (*.orv);;所有文件 (*)"));
    if (file.isEmpty())
        return;
    edtDataBase->setText(file);
    LoadOperators();
}

void LogOnDialog::btnOKClick()
{
    LoadOperators();
    const TLogOnRequest request = Request();
    QString error;
    if (request.DataBase.isEmpty())
        error = NoDataBaseText();
    else if (!accountdb::isServerLocation(request.DataBase) && !QFileInfo(request.DataBase).isFile())
        error = MissingDataBaseText();
    else if (request.Operator.isEmpty())
        error = NoOperatorText();
    else if (FCheck && !FCheck(request, &error) && error.isEmpty())
        error = QStringLiteral("登录失败。");
    if (error.isEmpty()) {
        accept();
        return;
    }
    FMessages.ShowErrorMsg(error);
    edtPassword->clear();
    edtPassword->setFocus();
}

void LogOnDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(QDir(HostHelp::HelpFolder()).filePath(QStringLiteral("登录.htm"))));
        return;
    }
    QDialog::keyPressEvent(event);
}
