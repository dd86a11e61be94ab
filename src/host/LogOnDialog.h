#pragma once
// The host's log-on dialog: account-set file, operator, password and log-on date. 确定 hands the
// entries to the check the main window supplies (open the account set, check the password in the
// database); a refusal shows its text and the dialog stays open with the password cleared.

#include <QDate>
#include <QDialog>
#include <functional>
#include <utility>

#include "QuillInterfaces.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QToolButton;

struct TLogOnRequest
{
    QString DataBase;
    QString Operator; // operator id or user code as entered or picked
    QString Password;
    QDate LogOnDate;
};

// Operators of an account set: id and the text the list shows.
using TOperatorList = QList<std::pair<QString, QString>>;

class LogOnDialog : public QDialog
{
    Q_OBJECT
public:
    using TCheck = std::function<bool(const TLogOnRequest &, QString *error)>;
    using TOperatorSource = std::function<TOperatorList(const QString &dataBase)>;

    LogOnDialog(IDllMessageCon &messages, TCheck check, TOperatorSource operators, QWidget *parent = nullptr);

    void SetRequest(const TLogOnRequest &request);
    TLogOnRequest Request() const;

    // Texts of the refusals the dialog decides itself.
    static QString NoDataBaseText() { return QStringLiteral("请选择账套文件。"); }
    static QString MissingDataBaseText() { return QStringLiteral("账套文件不存在。"); }
    static QString NoOperatorText() { return QStringLiteral("请输入操作员。"); }

protected:
    // F1: the log-on page of the help.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void LoadOperators();
    void btnBrowseClick();
    void btnOKClick();

    IDllMessageCon &FMessages;
    TCheck FCheck;
    TOperatorSource FOperators;
    QString FOperatorsOf; // the account set whose operators the list holds

    QLineEdit *edtDataBase;
    QToolButton *btnBrowse;
    QComboBox *cbOperator;
    QLineEdit *edtPassword;
    QDateEdit *dtpLogOnDate;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
