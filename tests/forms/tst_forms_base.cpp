// Base forms: rights of the function number, input checks, the paste guard, close handling, titles,
// base-data selection, MDI children and the print header.

#include <QClipboard>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QVBoxLayout>
#include <QtTest>

#include "Kvbasicinfocomponent.h"
#include "Kvcontrols.h"
#include "Kvggeneralgrid.h"
#include "Udllbaseselect.h"
#include "Udlldbservice.h"
#include "tst_forms.h"
#include "uDialogParent.h"
#include "uDllComm.h"
#include "uMDIParent.h"
#include "uOrvaneCommon.h"

namespace {
constexpr int TestFunctionNo = 99001;

// A dialog with one framework control of each kind the base classes treat specially.
class TSampleDialog : public TfrmDialogParent
{
public:
    TSampleDialog()
    {
        auto *layout = new QVBoxLayout(pnlEntry);
        btnSave = new TGKvBitbtn(QStringLiteral("保存"), pnlEntry);
        btnSave->SetLimitDetailNo(3);
        btnPrint = new TKvToolButton(QStringLiteral("打印"), pnlEntry);
        btnPrint->SetLimitDetailNo(3);
        edtClient = new TCMGLabelBtnEdit(QStringLiteral("客户"), pnlEntry);
        edtClient->setObjectName(QStringLiteral("edtClient"));
        edtClient->SetBasicKind(QStringLiteral("Btype"));
        edtSummary = new TGLabelBtnEdit(QStringLiteral("摘要"), pnlEntry);
        edtSummary->setObjectName(QStringLiteral("edtSummary"));
        edtDate = new TGLabelEmptyDate(QStringLiteral("日期"), pnlEntry);
        edtDate->setObjectName(QStringLiteral("edtDate"));
        memComment = new TGLabelMemo(QStringLiteral("备注"), pnlEntry);
        memComment->setObjectName(QStringLiteral("memComment"));
        grid = new TKvGGeneralWGrid(pnlEntry);
        grid->setObjectName(QStringLiteral("grid"));
        for (QWidget *w : std::initializer_list<QWidget *>{btnSave, btnPrint, edtClient, edtSummary, edtDate,
                                                           memComment, grid})
            layout->addWidget(w);
    }
    TGKvBitbtn *btnSave;
    TKvToolButton *btnPrint;
    TCMGLabelBtnEdit *edtClient;
    TGLabelBtnEdit *edtSummary;
    TGLabelEmptyDate *edtDate;
    TGLabelMemo *memComment;
    TKvGGeneralWGrid *grid;
};

// Selection dialogs of the host: answers with a fixed choice and remembers what it was asked.
class TPickingBaseSelect : public IBaseSelect
{
public:
    QString LastKind, LastSearch;
    int Calls = 0;
    TBaseRecordList Choice;
    bool SelectBaseData(const QString &kind, const QString &searchText, bool,
                        TBaseRecordList &selected) override
    {
        ++Calls;
        LastKind = kind;
        LastSearch = searchText;
        selected = Choice;
        return !Choice.isEmpty();
    }
    bool SelectAtype(const QString &, TBaseRecord &) override { return false; }
};

void Exec(const QString &sql, const QVariantList &params = {})
{
    Udlldbservice::ExecuteSQL(sql, params);
}

// An operator "T001" in one group holding the given detail string for the test function, which defines
// the given details.
void SetUpOperatorRights(TestAccountSet &acct, const QList<int> &details, const QString &limitPower)
{
    Exec(QStringLiteral("INSERT INTO T_Gbl_FunctionList (FunctionNo, Caption) VALUES (?, ?)"),
         {TestFunctionNo, QStringLiteral("测试功能")});
    for (int detail : details)
        Exec(QStringLiteral("INSERT INTO T_Gbl_PowerRelation (LimitNo, DetailNo) VALUES (?, ?)"),
             {TestFunctionNo, detail});
    Exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
         {QStringLiteral("T001"), QStringLiteral("T001"), QStringLiteral("测试员")});
    Exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES (?)"), {QStringLiteral("T001")});
    Exec(QStringLiteral("INSERT INTO \"group\" (ID, GroupName) VALUES (?, ?)"),
         {901, QStringLiteral("测试组")});
    Exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES (?, ?)"),
         {QStringLiteral("T001"), 901});
    Exec(QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (?, ?, ?)"),
         {901, TestFunctionNo, limitPower});
    acct.ActAs(QStringLiteral("T001"), false);
}
} // namespace

void TestForms::functionNoZeroLoadsNoRights()
{
    SetUpOperatorRights(*FAcct, {3}, QStringLiteral("000"));
    TSampleDialog form;
    form.SetFunctionNo(0);
    form.show();
    QVERIFY(form.LimitList().isEmpty());
    QVERIFY(!form.DetailLimit()[3]);
    QVERIFY(form.btnSave->isEnabled());
    QVERIFY(!form.btnPrint->isHidden());
}

void TestForms::detailLimits_data()
{
    QTest::addColumn<bool>("manager");
    QTest::addColumn<QList<int>>("details");
    QTest::addColumn<QString>("power");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("manager holds every detail") << true << QList<int>{2, 3} << QString() << true;
    QTest::newRow("detail granted") << false << QList<int>{2, 3} << QStringLiteral("011") << true;
    QTest::newRow("detail denied") << false << QList<int>{2, 3} << QStringLiteral("010") << false;
    QTest::newRow("detail the function does not define")
        << false << QList<int>{2} << QStringLiteral("111") << false;
    QTest::newRow("no grant at all") << false << QList<int>{3} << QString() << false;
}

void TestForms::detailLimits()
{
    QFETCH(bool, manager);
    QFETCH(QList<int>, details);
    QFETCH(QString, power);
    QFETCH(bool, allowed);
    SetUpOperatorRights(*FAcct, details, power);
    if (manager)
        FAcct->ActAs(QStringLiteral("00000"), true);
    TSampleDialog form;
    form.SetFunctionNo(TestFunctionNo);
    QCOMPARE(form.HasDetailRight(3), allowed);
    QCOMPARE(form.btnSave->isEnabled(), allowed);  // buttons are disabled
    QCOMPARE(form.btnPrint->isHidden(), !allowed); // tool buttons are hidden
}

void TestForms::functionNoTwiceLoadsRightsOnce()
{
    SetUpOperatorRights(*FAcct, {2, 3}, QStringLiteral("011"));
    TSampleDialog form;
    form.SetFunctionNo(TestFunctionNo);
    const QString first = form.LimitList();
    QCOMPARE(first.mid(1, 2), QStringLiteral("11")); // details 2 and 3 granted
    // Taking the grant away does not reach a window whose rights are already loaded.
    Exec(QStringLiteral("UPDATE T_Gbl_UserPower SET LimitPower = ? WHERE GroupID = ?"),
         {QStringLiteral("000"), 901});
    form.SetFunctionNo(TestFunctionNo);
    form.show();
    QCOMPARE(form.LimitList(), first);
    QVERIFY(form.btnSave->isEnabled());
    QCOMPARE(form.FunctionNo(), TestFunctionNo);
}

void TestForms::checkInput_data()
{
    QTest::addColumn<QString>("required"); // object name of the control that must not be empty
    QTest::addColumn<bool>("fill");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty button edit") << "edtClient" << false << QStringLiteral("必须输入 客户!");
    QTest::newRow("empty date") << "edtDate" << false << QStringLiteral("必须输入 日期!");
    QTest::newRow("empty memo") << "memComment" << false << QStringLiteral("必须输入 备注!");
    QTest::newRow("blank-only memo") << "memComment" << false << QStringLiteral("必须输入 备注!");
    QTest::newRow("filled button edit") << "edtClient" << true << QString();
    QTest::newRow("filled date") << "edtDate" << true << QString();
    QTest::newRow("nothing required") << QString() << false << QString();
}

void TestForms::checkInput()
{
    QFETCH(QString, required);
    QFETCH(bool, fill);
    QFETCH(QString, message);
    TSampleDialog form;
    if (!required.isEmpty())
        form.findChild<TGLabelControl *>(required)->SetAllowEmpty(false);
    if (QByteArray(QTest::currentDataTag()) == "blank-only memo")
        form.memComment->SetText(QStringLiteral("  \n "));
    if (fill) {
        form.edtClient->SetText(QStringLiteral("甲公司"));
        form.edtDate->SetDate(QDate(2024, 3, 5));
    }
    QCOMPARE(form.CheckInput(), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(FAcct->Messages().Messages.isEmpty());
    } else {
        QCOMPARE(FAcct->Messages().Messages.size(), 1);
        QCOMPARE(FAcct->Messages().LastText(), message);
        QCOMPARE(FAcct->Messages().Messages.last().Caption, QStringLiteral("提示"));
    }
}

void TestForms::pasteGuard_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<bool>("refusePaste");
    QTest::addColumn<bool>("pasted");
    QTest::newRow("apostrophe into base-data edit")
        << "edtClient" << QStringLiteral("O'Neil") << false << false;
    QTest::newRow("double quote into base-data edit")
        << "edtClient" << QStringLiteral("a\"b") << false << false;
    QTest::newRow("ampersand into base-data edit") << "edtClient" << QStringLiteral("A&B") << false << false;
    QTest::newRow("plain text into base-data edit")
        << "edtClient" << QStringLiteral("甲公司") << false << true;
    QTest::newRow("edit refusing any paste") << "edtClient" << QStringLiteral("甲公司") << true << false;
    QTest::newRow("apostrophe into plain button edit")
        << "edtSummary" << QStringLiteral("O'Neil") << false << true;
}

void TestForms::pasteGuard()
{
    QFETCH(QString, target);
    QFETCH(QString, clip);
    QFETCH(bool, refusePaste);
    QFETCH(bool, pasted);
    TSampleDialog form;
    form.show();
    auto *edit = form.findChild<TGLabelBtnEdit *>(target);
    edit->Edit()->SetRefusePaste(refusePaste);
    edit->Edit()->setFocus();
    QGuiApplication::clipboard()->setText(clip);
    QTest::keyClick(edit->Edit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->Text(), pasted ? clip : QString());
}

void TestForms::closeWritesParams()
{
    TSampleDialog form;
    form.edtDate->SetParamIndex(17);
    form.edtDate->SetDate(QDate(2024, 3, 5));
    form.edtClient->SetParamIndex(40);
    form.edtClient->SetRecord({QStringLiteral("00012"), QStringLiteral("A01"), QStringLiteral("甲公司"), {}});
    form.memComment->SetParamIndex(187);
    form.memComment->SetText(QStringLiteral("备注一"));
    form.Params[41] = QStringLiteral("untouched");
    form.show();
    form.reject();
    QCOMPARE(form.result(), int(mrCancel));
    QCOMPARE(form.Params[17].toString(), QStringLiteral("2024-03-05"));
    QCOMPARE(form.Params[40].toString(), QStringLiteral("00012"));
    QCOMPARE(form.Params[187].toString(), QStringLiteral("备注一"));
    QCOMPARE(form.Params[41].toString(), QStringLiteral("untouched"));
    // The empty date goes back as day zero.
    form.edtDate->SetDate(QDate());
    form.done(mrOk);
    QCOMPARE(form.Params[17].toString(), QStringLiteral("1899-12-30"));
}

void TestForms::dialogTitle()
{
    TSampleDialog form;
    form.SetTitle(QStringLiteral("系统日志"));
    QCOMPARE(form.Title(), QStringLiteral("系统日志"));
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("系统日志"));
    QCOMPARE(form.windowTitle(), QStringLiteral("系统日志"));
    QVERIFY(form.Shape1->width() > 8);
    QCOMPARE(form.Shape2->width(), form.Shape1->width());
    QCOMPARE(form.grid->PrintTitle(), QStringLiteral("系统日志"));
    QCOMPARE(form.grid->Title(), QStringLiteral("系统日志"));
    QCOMPARE(form.Version(), QStringLiteral("Quill Frame 2.0 2010-02-01"));
    QCOMPARE(form.UseClassName(), QString::fromLatin1(form.metaObject()->className()));
}

void TestForms::refreshDataLoadsGrid()
{
    TSampleDialog form;
    form.RefreshData(); // no query yet: nothing loaded
    QCOMPARE(form.grid->rowCount(), 0);
    form.cdsGetRecordSet.SetFieldNames({QStringLiteral("Code"), QStringLiteral("Name")});
    form.cdsGetRecordSet.AppendRow({QStringLiteral("01"), QStringLiteral("甲")});
    form.cdsGetRecordSet.AppendRow({QStringLiteral("02"), QStringLiteral("乙")});
    form.RefreshData();
    QCOMPARE(form.grid->rowCount(), 2);
    QCOMPARE(form.grid->CellText(0, QStringLiteral("Name")), QStringLiteral("甲"));
    QCOMPARE(form.grid->CellText(1, QStringLiteral("code")), QStringLiteral("02"));
}

void TestForms::selectBaseInfo()
{
    TPickingBaseSelect select;
    select.Choice = {{QStringLiteral("00007"), QStringLiteral("B07"), QStringLiteral("乙公司"), {}}};
    IBaseSelect *saved = Udllbaseselect::BaseSelect;
    Udllbaseselect::BaseSelect = &select;
    TSampleDialog form;
    form.show();

    QTest::mouseClick(form.edtClient->Button(), Qt::LeftButton);
    QCOMPARE(select.LastKind, QStringLiteral("Btype"));
    QCOMPARE(select.LastSearch, QString());
    QCOMPARE(form.edtClient->Text(), QStringLiteral("乙公司"));
    QCOMPARE(form.edtClient->Value(), QStringLiteral("00007"));

    // Typing drops the choice; Enter searches for the typed text.
    form.edtClient->Edit()->setFocus();
    form.edtClient->Edit()->clear();
    QTest::keyClicks(form.edtClient->Edit(), QStringLiteral("B07"));
    QVERIFY(!form.edtClient->HasRecord());
    QTest::keyClick(form.edtClient->Edit(), Qt::Key_Return);
    QCOMPARE(select.LastSearch, QStringLiteral("B07"));
    QCOMPARE(form.edtClient->Value(), QStringLiteral("00007"));

    // A window may refuse the selection before the dialog opens.
    const int calls = select.Calls;
    form.FOnBeforeSelectBaseInfo = [](TGLabelBtnEdit *, QString &) { return false; };
    QTest::mouseClick(form.edtClient->Button(), Qt::LeftButton);
    QCOMPARE(select.Calls, calls);
    Udllbaseselect::BaseSelect = saved;
}

void TestForms::mdiChildDeletedOnClose_data()
{
    QTest::addColumn<bool>("closeSubWindow");
    QTest::newRow("window closes itself") << false;
    QTest::newRow("sub-window closed") << true;
    QTest::newRow("escape in the window") << false;
}

void TestForms::mdiChildDeletedOnClose()
{
    QFETCH(bool, closeSubWindow);
    QMainWindow main;
    auto *area = new QMdiArea(&main);
    main.setCentralWidget(area);
    main.show();
    uDllComm::DllParams.FparForm = &main;

    QPointer<TfrmMDIParent> form = new TfrmMDIParent;
    form->SetTitle(QStringLiteral("预警"));
    QPointer<QMdiSubWindow> sub = form->ShowMDI();
    QVERIFY(sub);
    QCOMPARE(area->subWindowList().size(), 1);
    QCOMPARE(sub->widget(), form.data());
    QVERIFY(sub->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(form->findChild<QWidget *>(QStringLiteral("sbStatus")));
    QVERIFY(form->findChild<QWidget *>(QStringLiteral("btnExpertPrint")));

    if (closeSubWindow)
        sub->close();
    else if (QByteArray(QTest::currentDataTag()) == "escape in the window")
        QTest::keyClick(form.data(), Qt::Key_Escape);
    else
        form->close();
    QTRY_VERIFY(form.isNull());
    QTRY_VERIFY(sub.isNull());
    QVERIFY(area->subWindowList().isEmpty());
}

void TestForms::printHeaderValues()
{
    uOrvaneCommon::SetSysValue(QStringLiteral("companyfullname"), QStringLiteral("测试公司"));
    uOrvaneCommon::SetSysValue(QStringLiteral("tel"), QStringLiteral("010-1234"));
    FAcct->System().State().OperatorName = QStringLiteral("张三");
    TSampleDialog form;
    form.SetTitle(QStringLiteral("仓库报警"));
    form.edtDate->SetDate(QDate(2024, 3, 5));
    TPrintHeaderValues values;
    form.SetPrintHeaderValues(values);
    form.SetPrintTableValues(values);
    QMap<QString, QString> byName;
    for (const auto &v : values)
        byName.insert(v.first, v.second);
    QCOMPARE(byName.value(QStringLiteral("操作员")), QStringLiteral("张三"));
    QCOMPARE(byName.value(QStringLiteral("公司名称")), QStringLiteral("测试公司"));
    QCOMPARE(byName.value(QStringLiteral("公司电话")), QStringLiteral("010-1234"));
    QCOMPARE(byName.value(QStringLiteral("登录日期")), FAcct->System().GetLogOnDate());
    QCOMPARE(byName.value(QStringLiteral("表名")), QStringLiteral("仓库报警"));
    QCOMPARE(byName.value(QStringLiteral("日期")), QStringLiteral("2024-03-05"));
    QCOMPARE(values.first().first, QStringLiteral("系统日期"));
}
