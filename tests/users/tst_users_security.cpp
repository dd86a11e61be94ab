// Passwords, the change of operator and pass tokens: the three dialogs and the token windows driven by
// object name, their procedures, the token rule and the wait after wrong passwords at log-on, key files,
// and no clear-text password in the account-set file.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "../forms/tst_print_support.h"

#include "AccountDatabase.h"
#include "Kvggeneralgrid.h"
#include "TestAccountSet.h"
#include "Udlldbservice.h"
#include "procs/ProcsUsers.h"
#include "session/TokenReader.h"
#include "uChangeOpFrm.h"
#include "uChangePassFrm.h"
#include "uChangePrintPassFrm.h"
#include "uDllComm.h"
#include "uPassToken.h"
#include "uPassTokenBind.h"

namespace {

class TFakeTokenReader final : public ITokenReader
{
public:
    std::optional<TPassToken> Key;
    std::optional<TPassToken> Read(accountdb::AccountDatabase &) override { return Key; }
};

const QString kMissing = QStringLiteral("请插上安全钥匙后再操作。");
const QString kMismatch = QStringLiteral("安全钥匙不匹配，请插入正确的安全钥匙。");
const QString kWrong = QStringLiteral("密码错误，登录失败。");
const QString kThreeTimes = QStringLiteral("您已经三次密码出错，不能更换操作员。");

template <typename T> T *Child(QWidget *form, const char *name)
{
    T *child = form->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

void Type(QWidget *form, const char *edit, const QString &text)
{
    Child<QLineEdit>(form, edit)->setText(text);
}

void Click(QWidget *form, const char *button)
{
    Child<QPushButton>(form, button)->click();
}

} // namespace

class TestUsersSecurity : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void changeOperator_data();
    void changeOperator();
    void threeFailuresAcrossOperators();
    void administratorUnderComment();
    void changeOperatorEntry();
    void changePassword_data();
    void changePassword();
    void printPassword_data();
    void printPassword();
    void bindAndUnbind();
    void bindRefusals_data();
    void bindRefusals();
    void passTokenProcedure_data();
    void passTokenProcedure();
    void logOnWithToken_data();
    void logOnWithToken();
    void logOnWaitsAfterWrongPasswords();
    void logOnDelay_data();
    void logOnDelay();
    void keyFile_data();
    void keyFile();
    void noClearTextPassword();

private:
    void AddOperator(const QString &id, const QString &name, const QString &password);
    void Bind(const QString &id, const QString &code, int level);
    int CheckPassword(const QString &id, const QString &password);
    QStringList Events();
    std::unique_ptr<TfrmChangeOp> OpenChangeOp(const QString &name);

    std::unique_ptr<TestAccountSet> FAcct;
    TFakeTokenReader *FKey = nullptr;
};

void TestUsersSecurity::init()
{
    FAcct = std::make_unique<TestAccountSet>();
    uDllComm::DllParams.FparForm = nullptr;
    auto reader = std::make_unique<TFakeTokenReader>();
    FKey = reader.get();
    FAcct->System().SetTokenReader(std::move(reader));
    AddOperator(QStringLiteral("0001"), QStringLiteral("张三"), QStringLiteral("pw-zhang"));
    AddOperator(QStringLiteral("0002"), QStringLiteral("李四"), QStringLiteral("pw-li"));
}

void TestUsersSecurity::cleanup()
{
    FAcct.reset();
}

void TestUsersSecurity::AddOperator(const QString &id, const QString &name, const QString &password)
{
    FAcct->Db().exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
                     {id, id, name});
    FAcct->Db().exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId, Password) VALUES (?, ?)"),
                     {id, accountdb::hashPassword(password)});
}

void TestUsersSecurity::Bind(const QString &id, const QString &code, int level)
{
    QCOMPARE(
        Udlldbservice::ExecuteProcByName(QStringLiteral("P_KOVA_PassToken"),
                                         {"@cMode", "@szEtypeID", "@szPassCode", "@nPassLevel", "@nPassHave"},
                                         {"W", id, code, level, 1}),
        0);
}

int TestUsersSecurity::CheckPassword(const QString &id, const QString &password)
{
    return Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_CheckPassword"),
                                            {"@szOperatorID", "@szPassword"}, {id, password});
}

QStringList TestUsersSecurity::Events()
{
    QStringList events;
    QSqlQuery q = FAcct->Db().exec(QStringLiteral("SELECT Event FROM T_Sys_EventLog ORDER BY EventNo"));
    while (q.next())
        events << q.value(0).toString();
    return events;
}

std::unique_ptr<TfrmChangeOp> TestUsersSecurity::OpenChangeOp(const QString &name)
{
    auto form = std::make_unique<TfrmChangeOp>();
    form->LoadUsers();
    auto *users = Child<QComboBox>(form.get(), "cbUserName");
    users->setCurrentIndex(users->findText(name));
    return form;
}

void TestUsersSecurity::changeOperator_data()
{
    QTest::addColumn<QString>("boundTo"); // the operator's key, empty: not bound
    QTest::addColumn<QString>("plugged"); // the key plugged in, empty: none
    QTest::addColumn<QString>("message"); // empty: the change goes through
    QTest::newRow("not bound") << ""
                               << ""
                               << "";
    QTest::newRow("not bound, a key plugged in") << ""
                                                 << "K-9"
                                                 << "";
    QTest::newRow("bound, no key") << "K-1"
                                   << "" << kMissing;
    QTest::newRow("bound, another key") << "K-1"
                                        << "K-9" << kMismatch;
    QTest::newRow("bound, his key") << "K-1"
                                    << "K-1"
                                    << "";
}

void TestUsersSecurity::changeOperator()
{
    QFETCH(QString, boundTo);
    QFETCH(QString, plugged);
    QFETCH(QString, message);
    if (!boundTo.isEmpty())
        Bind(QStringLiteral("0001"), boundTo, 0);
    if (!plugged.isEmpty())
        FKey->Key = TPassToken{plugged, 0, QString()};
    FAcct->System().SetPubTKCode(QStringLiteral("OLD"));
    auto form = OpenChangeOp(QStringLiteral("张三"));
    Type(form.get(), "edUserPass", QStringLiteral("pw-zhang"));
    Click(form.get(), "btnOK");

    const TLogOnState &s = FAcct->System().State();
    if (!message.isEmpty()) {
        QCOMPARE(FAcct->Messages().Texts(), QStringList{message});
        QVERIFY(!form->Result());
        QCOMPARE(form->result(), int(mrNone)); // stays open
        QCOMPARE(s.OperatorId, QStringLiteral("00000"));
        QCOMPARE(s.TokenCode, QStringLiteral("OLD"));
        return;
    }
    QVERIFY(FAcct->Messages().Texts().isEmpty());
    QVERIFY(form->Result());
    QCOMPARE(s.OperatorId, QStringLiteral("0001"));
    QCOMPARE(s.OperatorName, QStringLiteral("张三"));
    QCOMPARE(s.OperatorCode, QStringLiteral("0001"));
    QCOMPARE(s.TokenCode, boundTo);
    QCOMPARE(s.TokenHave, !boundTo.isEmpty());
    QCOMPARE(s.TokenLevel, boundTo.isEmpty() ? -1 : 0);
    QCOMPARE(FAcct->System().IsNormalToken(), !boundTo.isEmpty());
    QCOMPARE(Events().last(), QStringLiteral("更换操作员为张三"));
}

// Wrong passwords count for whichever operator was chosen; a missing key does not count.
void TestUsersSecurity::threeFailuresAcrossOperators()
{
    Bind(QStringLiteral("0002"), QStringLiteral("K-2"), 1);
    auto form = OpenChangeOp(QStringLiteral("张三"));
    auto *users = Child<QComboBox>(form.get(), "cbUserName");
    Type(form.get(), "edUserPass", QStringLiteral("wrong"));
    Click(form.get(), "btnOK");
    users->setCurrentIndex(users->findText(QStringLiteral("李四")));
    Click(form.get(), "btnOK");
    Type(form.get(), "edUserPass", QStringLiteral("pw-li"));
    Click(form.get(), "btnOK"); // right password, no key: not a failure
    QCOMPARE(form->result(), int(mrNone));
    Type(form.get(), "edUserPass", QStringLiteral("wrong again"));
    Click(form.get(), "btnOK");

    QCOMPARE(FAcct->Messages().Texts(), (QStringList{kWrong, kWrong, kMissing, kWrong, kThreeTimes}));
    QCOMPARE(FAcct->Messages().Messages[0].Caption, QStringLiteral("提示"));
    QCOMPARE(FAcct->Messages().Messages[0].Type, TMessageBoxType::mtWarning);
    QCOMPARE(FAcct->Messages().Messages[4].Type, TMessageBoxType::mtInformation);
    QVERIFY(!form->Result());
    QCOMPARE(form->result(), int(mrCancel));
    QCOMPARE(FAcct->System().State().OperatorId, QStringLiteral("00000"));
}

void TestUsersSecurity::administratorUnderComment()
{
    FAcct->Db().exec(QStringLiteral("UPDATE Employee SET FullName = '管理员全名', Comment = '系统管理员说明' "
                                    "WHERE TypeId = '00000'"));
    TfrmChangeOp form;
    form.LoadUsers();
    auto *users = Child<QComboBox>(&form, "cbUserName");
    QCOMPARE(users->count(), 3);
    QCOMPARE(users->currentIndex(), 0);
    QCOMPARE(users->itemText(0), QStringLiteral("系统管理员说明"));
    QCOMPARE(users->itemText(1), QStringLiteral("张三"));
    QCOMPARE(form.Users().at(1).OperatorId, QStringLiteral("0001"));
}

// The dispatch routine: the modal dialog, then the state of the new operator.
void TestUsersSecurity::changeOperatorEntry()
{
    OnNextModal([](QWidget *modal) {
        QVERIFY(modal && modal->objectName() == QLatin1String("frmChangeOp"));
        auto *users = Child<QComboBox>(modal, "cbUserName");
        users->setCurrentIndex(users->findText(QStringLiteral("李四")));
        Type(modal, "edUserPass", QStringLiteral("pw-li"));
        Click(modal, "btnOK");
    });
    QVERIFY(uChangeOpFrm::ShowChangeOp([] { return true; }));
    QCOMPARE(FAcct->System().State().OperatorId, QStringLiteral("0002"));
    // Other windows kept open: nothing happens.
    QVERIFY(!uChangeOpFrm::ShowChangeOp([] { return false; }));
}

void TestUsersSecurity::changePassword_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("message");
    QTest::newRow("confirmation differs") << "pw-zhang"
                                          << "new-1"
                                          << "New-1"
                                          << "新密码与确认密码不符。";
    QTest::newRow("old password wrong") << "pw-wrong"
                                        << "new-1"
                                        << "new-1"
                                        << "原密码错误，密码修改失败。";
    QTest::newRow("changed") << "pw-zhang"
                             << "new-1"
                             << "new-1"
                             << "密码修改成功。";
}

void TestUsersSecurity::changePassword()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, confirmation);
    QFETCH(QString, message);
    FAcct->ActAs(QStringLiteral("0001"), false);
    TfrmChangePass form;
    Type(&form, "edOldPass", oldPassword);
    Type(&form, "edNewPass", newPassword);
    Type(&form, "edConNewPass", confirmation);
    Click(&form, "btnOK");
    QCOMPARE(FAcct->Messages().Texts(), QStringList{message});
    const bool changed = message == QStringLiteral("密码修改成功。");
    QCOMPARE(form.result(), changed ? int(mrOk) : int(mrNone));
    QCOMPARE(CheckPassword(QStringLiteral("0001"), QStringLiteral("new-1")) == 1, changed);
    QCOMPARE(CheckPassword(QStringLiteral("0001"), QStringLiteral("pw-zhang")) == 1, !changed);
    QCOMPARE(Events().contains(QStringLiteral("修改口令")), changed);
}

void TestUsersSecurity::printPassword_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<bool>("rowMissing"); // the stored print password cannot be written
    QTest::addColumn<QString>("message");
    QTest::newRow("confirmation differs") << ""
                                          << "x" << false << "新密码与确认密码不符。";
    QTest::newRow("-1 old wrong") << "guess"
                                  << "print-1" << false << "原密码录入错误，请检查。";
    QTest::newRow("-2 change failed") << ""
                                      << "print-1" << true << "密码修改失败，请稍后再试。";
    QTest::newRow("changed") << ""
                             << "print-1" << false << "密码修改成功。";
}

void TestUsersSecurity::printPassword()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, confirmation);
    QFETCH(bool, rowMissing);
    QFETCH(QString, message);
    if (rowMissing)
        FAcct->Db().exec(QStringLiteral("DELETE FROM T_Gbl_Security WHERE Name = 'PrintPassword'"));
    TfrmChangePrintPass form;
    Type(&form, "edOldPass", oldPassword);
    Type(&form, "edNewPass", QStringLiteral("print-1"));
    Type(&form, "edConNewPass", confirmation);
    Click(&form, "btnOK");
    QCOMPARE(FAcct->Messages().Texts(), QStringList{message});
    const bool changed = message == QStringLiteral("密码修改成功。");
    QCOMPARE(form.result(), changed ? int(mrOk) : int(mrNone));
    QCOMPARE(Events().contains(QStringLiteral("修改打印密码")), changed);
    if (changed) {
        // The new one is now the old one.
        QCOMPARE(Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_PrintPassword"),
                                                  {"@cMode", "@Password", "@NewPassword"}, {"U", "", "z"}),
                 -1);
        QCOMPARE(Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_PrintPassword"),
                                                  {"@cMode", "@Password", "@NewPassword"},
                                                  {"U", "print-1", "z"}),
                 0);
    }
}

void TestUsersSecurity::bindAndUnbind()
{
    FKey->Key = TPassToken{QStringLiteral("K-7"), 2, QString()};
    TfrmPassToken form;
    form.LoadData();
    auto *grid = Child<TKvGGeneralGrid>(&form, "MainGrid");
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->horizontalHeaderItem(2)->text(), QStringLiteral("安全钥匙号码"));
    grid->setCurrentCell(1, 0);
    QCOMPARE(grid->CellText(1, QStringLiteral("eFullName")), QStringLiteral("张三"));

    OnNextModal([](QWidget *modal) {
        QVERIFY(modal && modal->objectName() == QLatin1String("frmPassTokenBind"));
        QCOMPARE(Child<QLineEdit>(modal, "edtPassCode")->text(), QStringLiteral("K-7"));
        QCOMPARE(Child<QLineEdit>(modal, "edtPassLevel")->text(), QStringLiteral("高级"));
        QCOMPARE(Child<QLineEdit>(modal, "edtEtype")->text(), QStringLiteral("张三"));
        Click(modal, "btnOk");
    });
    Click(&form, "btnBind");
    QCOMPARE(FAcct->Messages().LastText(),
             QStringLiteral("操作员\"张三\"与安全钥匙[K-7]绑定成功，该操作员登录时必须使用安全钥匙。"));
    QCOMPARE(grid->CellText(1, QStringLiteral("Pass_Code")), QStringLiteral("K-7"));
    QCOMPARE(grid->CellText(1, QStringLiteral("PassType")), QStringLiteral("高级"));
    QCOMPARE(grid->CellText(1, QStringLiteral("Pass_Have")), QStringLiteral("1"));

    // The same key for 李四: the list names 张三, the procedure is not asked.
    grid->setCurrentCell(2, 0);
    Click(&form, "btnBind");
    QCOMPARE(FAcct->Messages().LastText(),
             QStringLiteral("该安全钥匙已经绑定到\"张三\"操作员，请更换安全钥匙。"));

    grid->setCurrentCell(1, 0);
    FAcct->Messages().Answers.enqueue(false);
    Click(&form, "btnUnBind");
    QCOMPARE(FAcct->Messages().Messages.last().Kind, QStringLiteral("okcancel"));
    QCOMPARE(grid->CellText(1, QStringLiteral("Pass_Code")), QStringLiteral("K-7"));
    Click(&form, "btnUnBind"); // the recording service answers OK by default
    QCOMPARE(FAcct->Messages().LastText(), QStringLiteral("成功取消操作员\"张三\"的安全钥匙。"));
    QCOMPARE(grid->CellText(1, QStringLiteral("Pass_Have")), QStringLiteral("0"));
    QCOMPARE(Events().mid(Events().size() - 2),
             (QStringList{QStringLiteral("安全钥匙绑定：操作员张三，钥匙K-7"),
                          QStringLiteral("取消安全钥匙绑定：操作员张三")}));
}

void TestUsersSecurity::bindRefusals_data()
{
    QTest::addColumn<QString>("plugged");
    QTest::addColumn<bool>("alreadyBound");
    QTest::addColumn<bool>("unbind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no key") << "" << false << false << "请先插上安全钥匙再绑定，具体操作请见帮助。";
    QTest::newRow("key without number")
        << "-" << false << false << "请先插上安全钥匙再绑定，具体操作请见帮助。";
    QTest::newRow("bound already") << "K-1" << true << false
                                   << "该操作员已经绑定了安全钥匙，若需更换，请先取消绑定。";
    QTest::newRow("unbind, not bound") << "" << false << true << "该操作员没有绑定安全钥匙，不需要取消绑定。";
}

void TestUsersSecurity::bindRefusals()
{
    QFETCH(QString, plugged);
    QFETCH(bool, alreadyBound);
    QFETCH(bool, unbind);
    QFETCH(QString, message);
    if (!plugged.isEmpty())
        FKey->Key = TPassToken{plugged == QLatin1String("-") ? QString() : plugged, 0, QString()};
    if (alreadyBound)
        Bind(QStringLiteral("0001"), QStringLiteral("K-0"), 0);
    TfrmPassToken form;
    form.LoadData();
    Child<TKvGGeneralGrid>(&form, "MainGrid")->setCurrentCell(1, 0);
    Click(&form, unbind ? "btnUnBind" : "btnBind");
    QCOMPARE(FAcct->Messages().Texts(), QStringList{message}); // no confirmation asked either
}

void TestUsersSecurity::passTokenProcedure_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("operatorId");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("result");
    QTest::newRow("W: key bound to another operator") << "W"
                                                      << "0002"
                                                      << "K-1" << -2101;
    QTest::newRow("W: operator bound already") << "W"
                                               << "0001"
                                               << "K-3" << -2102;
    QTest::newRow("W: empty number") << "W"
                                     << "0002"
                                     << "" << -2;
    QTest::newRow("W: unknown operator") << "W"
                                         << "0099"
                                         << "K-3" << -1;
    QTest::newRow("U: operator without binding") << "U"
                                                 << "0002"
                                                 << "" << -2101;
    QTest::newRow("U: bound operator") << "U"
                                       << "0001"
                                       << "" << 0;
}

void TestUsersSecurity::passTokenProcedure()
{
    QFETCH(QString, mode);
    QFETCH(QString, operatorId);
    QFETCH(QString, code);
    QFETCH(int, result);
    Bind(QStringLiteral("0001"), QStringLiteral("K-1"), 0);
    QCOMPARE(
        Udlldbservice::ExecuteProcByName(QStringLiteral("P_KOVA_PassToken;1"),
                                         {"@cMode", "@szEtypeID", "@szPassCode", "@nPassLevel", "@nPassHave"},
                                         {mode, operatorId, code, 0, 1}),
        result);
    QCOMPARE(FAcct->Db()
                 .value(QStringLiteral("SELECT Pass_Have FROM T_GBL_LoginUser WHERE ETypeId = '0001'"))
                 .toInt(),
             result == 0 ? 0 : 1);
}

void TestUsersSecurity::logOnWithToken_data()
{
    QTest::addColumn<QString>("plugged");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("error");
    QTest::newRow("no key") << "" << 0 << kMissing;
    QTest::newRow("another key") << "K-2" << 0 << kMismatch;
    QTest::newRow("his normal key") << "K-1" << 0 << "";
    QTest::newRow("his advanced key") << "K-1" << 1 << "";
}

void TestUsersSecurity::logOnWithToken()
{
    QFETCH(QString, plugged);
    QFETCH(int, level);
    QFETCH(QString, error);
    Bind(QStringLiteral("0001"), QStringLiteral("K-1"), level);
    if (!plugged.isEmpty())
        FKey->Key = TPassToken{plugged, level, QString()};
    QString reason;
    const bool ok = FAcct->Session().LogOn(QStringLiteral("0001"), QStringLiteral("pw-zhang"),
                                           QDate(2024, 5, 2), &reason);
    QCOMPARE(reason, error);
    QCOMPARE(ok, error.isEmpty());
    const TLogOnState &s = FAcct->System().State();
    QCOMPARE(s.OperatorId, ok ? QStringLiteral("0001") : QStringLiteral("00000"));
    QCOMPARE(Events().last(), ok ? QStringLiteral("登录系统") : QStringLiteral("登录被拒绝：") + error);
    if (ok) {
        QCOMPARE(s.TokenCode, QStringLiteral("K-1"));
        QVERIFY(s.TokenHave);
        QCOMPARE(s.TokenLevel, level);
        QCOMPARE(FAcct->System().IsNormalToken(), level == 0);
    }
}

void TestUsersSecurity::logOnWaitsAfterWrongPasswords()
{
    const auto logOn = [this](const QString &password) {
        QString reason;
        FAcct->Session().LogOn(QStringLiteral("0001"), password, QDate(2024, 5, 2), &reason);
        return reason;
    };
    for (int i = 0; i < 3; ++i)
        QCOMPARE(logOn(QStringLiteral("guess")), kWrong);
    // Even the right password waits now, and another operator is not affected.
    QCOMPARE(logOn(QStringLiteral("pw-zhang")), QStringLiteral("密码错误次数过多，请5秒后再试。"));
    QCOMPARE(CheckPassword(QStringLiteral("0001"), QStringLiteral("pw-zhang")), -3);
    QCOMPARE(CheckPassword(QStringLiteral("0002"), QStringLiteral("pw-li")), 1);
    // Once the wait has passed the right password is accepted and the count starts over.
    FAcct->Db().exec(QStringLiteral("UPDATE T_Gbl_LogOnFailure SET LastFailure = ?"),
                     {QDateTime::currentDateTimeUtc().addSecs(-6).toString(Qt::ISODate)});
    QCOMPARE(logOn(QStringLiteral("pw-zhang")), QString());
    QCOMPARE(FAcct->Db().value(QStringLiteral("SELECT count(*) FROM T_Gbl_LogOnFailure")).toInt(), 0);
}

void TestUsersSecurity::logOnDelay_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("seconds");
    QTest::newRow("two") << 2 << 0;
    QTest::newRow("three") << 3 << 5;
    QTest::newRow("four") << 4 << 10;
    QTest::newRow("eight") << 8 << 160;
    QTest::newRow("capped") << 40 << 300;
}

void TestUsersSecurity::logOnDelay()
{
    QFETCH(int, failures);
    QFETCH(int, seconds);
    QCOMPARE(accountdb::logOnDelaySeconds(failures), seconds);
}

void TestUsersSecurity::keyFile_data()
{
    QTest::addColumn<QString>("change"); // what happens to a key file of "K-5", level 0
    QTest::addColumn<bool>("valid");
    QTest::newRow("as made") << "" << true;
    QTest::newRow("level edited") << "level" << false;
    QTest::newRow("number edited") << "number" << false;
    QTest::newRow("made for another account set") << "other" << false;
    QTest::newRow("no file") << "missing" << false;
}

void TestUsersSecurity::keyFile()
{
    QFETCH(QString, change);
    QFETCH(bool, valid);
    QByteArray contents = KeyFile::Make(FAcct->Db(), QStringLiteral("K-5"), 0);
    if (change == QLatin1String("level"))
        contents.replace("level=0", "level=1");
    else if (change == QLatin1String("number"))
        contents.replace("number=K-5", "number=K-6");
    else if (change == QLatin1String("other")) {
        const QTemporaryDir dir;
        const auto other = accountdb::AccountDatabase::create(dir.filePath(QStringLiteral("other.orv")));
        contents = KeyFile::Make(*other, QStringLiteral("K-5"), 0);
    }
    const QString path = QDir(FAcct->Dir()).filePath(QStringLiteral("key.token"));
    if (change != QLatin1String("missing")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    const std::optional<TPassToken> token = TKeyFileTokenReader(path).Read(FAcct->Db());
    QCOMPARE(token.has_value(), valid);
    if (valid) {
        QCOMPARE(token->Code, QStringLiteral("K-5"));
        QCOMPARE(token->Level, 0);
    }
}

// Neither log-on nor print passwords reach the file in clear text, in UTF-8 or UTF-16.
void TestUsersSecurity::noClearTextPassword()
{
    SKIP_ON_SERVER("reads the bytes of the account-set file");
    FAcct->ActAs(QStringLiteral("0001"), false);
    TfrmChangePass form;
    Type(&form, "edOldPass", QStringLiteral("pw-zhang"));
    Type(&form, "edNewPass", QStringLiteral("Secret-Log-On-42"));
    Type(&form, "edConNewPass", QStringLiteral("Secret-Log-On-42"));
    Click(&form, "btnOK");
    TfrmChangePrintPass print;
    Type(&print, "edNewPass", QStringLiteral("Secret-Print-42"));
    Type(&print, "edConNewPass", QStringLiteral("Secret-Print-42"));
    Click(&print, "btnOK");
    QCOMPARE(CheckPassword(QStringLiteral("0001"), QStringLiteral("Secret-Log-On-42")), 1);
    FAcct->Session().CloseDatabase(); // the last connection folds the journal into the file
    QVERIFY(!QFile::exists(FAcct->Path() + QStringLiteral("-wal")));
    QFile file(FAcct->Path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() > 4096);
    for (const QString &secret : {QStringLiteral("Secret-Log-On-42"), QStringLiteral("Secret-Print-42"),
                                  QStringLiteral("pw-zhang")}) {
        QVERIFY2(!bytes.contains(secret.toUtf8()), qPrintable(secret));
        QVERIFY2(
            !bytes.contains(QByteArray(reinterpret_cast<const char *>(secret.utf16()), secret.size() * 2)),
            qPrintable(secret));
    }
}

QTEST_MAIN(TestUsersSecurity)
#include "tst_users_security.moc"
