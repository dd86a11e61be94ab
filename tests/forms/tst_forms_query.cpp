// Query parents and the condition box: quick date ranges, the condition line, the box's checks and what
// it writes back, and the grid tools of the MDI query window.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

#include "Kvbasicinfocomponent.h"
#include "Kvcontrols.h"
#include "Kvggeneralgrid.h"
#include "Udlldbservice.h"
#include "tst_forms.h"
#include "uCondBox.h"
#include "uDialogQueryParent.h"
#include "uDllComm.h"
#include "uJXCQueryParent.h"

namespace {
TConditionSet Item(int type, TControlType control, const QString &caption, bool required = false)
{
    TConditionSet item;
    item.ConditionType = type;
    item.ControlType = control;
    item.Caption = caption;
    item.Required = required;
    return item;
}

// Dates 17/18 and a client (5), a quantity (6) and a check (7).
TCondition SampleCondition()
{
    TCondition condition = uCondDefine::DateRangeCondition();
    TConditionSet client = Item(5, TControlType::ctButtonEdit, QStringLiteral("往来单位"));
    client.KVBasicType = QStringLiteral("Btype");
    TConditionSet quantity = Item(6, TControlType::ctEdit, QStringLiteral("数量"));
    quantity.DataType = TCMDataType::cdtFloat;
    condition.ConditionSet << client << quantity
                           << Item(7, TControlType::ctCheckBox, QStringLiteral("含停用"));
    return condition;
}

TGLabelEmptyDate *DateOf(QDialog *box, int type)
{
    return box ? box->findChild<TGLabelEmptyDate *>(QStringLiteral("edtCond%1").arg(type)) : nullptr;
}

TGLabelBtnEdit *EditOf(QDialog *box, int type)
{
    return box ? box->findChild<TGLabelBtnEdit *>(QStringLiteral("edtCond%1").arg(type)) : nullptr;
}

void Click(QDialog *box, const char *name)
{
    if (auto *button = box ? box->findChild<QPushButton *>(QLatin1String(name)) : nullptr)
        button->click();
}
} // namespace

void TestForms::quickDateRange_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("begin");
    QTest::addColumn<QDate>("end");
    QTest::newRow("week from a wednesday")
        << "week" << QDate(2024, 3, 6) << QDate(2024, 3, 4) << QDate(2024, 3, 10);
    QTest::newRow("week from a sunday")
        << "week" << QDate(2024, 3, 10) << QDate(2024, 3, 4) << QDate(2024, 3, 10);
    QTest::newRow("last week across a year")
        << "lastweek" << QDate(2024, 1, 3) << QDate(2023, 12, 25) << QDate(2023, 12, 31);
    QTest::newRow("month of february in a leap year")
        << "month" << QDate(2024, 2, 10) << QDate(2024, 2, 1) << QDate(2024, 2, 29);
    QTest::newRow("last month from january")
        << "lastmonth" << QDate(2024, 1, 31) << QDate(2023, 12, 1) << QDate(2023, 12, 31);
    QTest::newRow("quarter") << "querter" << QDate(2024, 8, 15) << QDate(2024, 7, 1) << QDate(2024, 9, 30);
    QTest::newRow("last quarter from the first")
        << "lastquerter" << QDate(2024, 2, 1) << QDate(2023, 10, 1) << QDate(2023, 12, 31);
    QTest::newRow("year") << "year" << QDate(2024, 6, 30) << QDate(2024, 1, 1) << QDate(2024, 12, 31);
    QTest::newRow("unknown code") << "decade" << QDate(2024, 6, 30) << QDate() << QDate();
}

void TestForms::quickDateRange()
{
    QFETCH(QString, code);
    QFETCH(QDate, today);
    QFETCH(QDate, begin);
    QFETCH(QDate, end);
    QDate b, e;
    QCOMPARE(uCondDefine::QuickDateRange(code, today, b, e), begin.isValid());
    QCOMPARE(b, begin);
    QCOMPARE(e, end);
}

void TestForms::conditionInfoText_data()
{
    QTest::addColumn<bool>("dateTitle");
    QTest::addColumn<bool>("withChoice");
    QTest::addColumn<QString>("expected");
    QTest::newRow("dates with title") << true << false << QStringLiteral("查询期间 : 2024-01-01--2024-01-31");
    QTest::newRow("dates without title") << false << false << QStringLiteral("2024-01-01--2024-01-31");
    QTest::newRow("choice and check after the dates")
        << true << true << QStringLiteral("查询期间 : 2024-01-01--2024-01-31   仓库 : 二号库   含停用 : 是");
}

void TestForms::conditionInfoText()
{
    QFETCH(bool, dateTitle);
    QFETCH(bool, withChoice);
    QFETCH(QString, expected);
    TCondition condition = uCondDefine::DateRangeCondition();
    TOpenParams params;
    params[17] = QStringLiteral("2024-01-01");
    params[18] = QStringLiteral("2024-01-31");
    if (withChoice) {
        TConditionSet stock = Item(9, TControlType::ctValueComBoBox, QStringLiteral("仓库"));
        stock.DisplayValue = {QStringLiteral("一号库"), QStringLiteral("二号库")};
        stock.ReturnValue = {QStringLiteral("S1"), QStringLiteral("S2")};
        TConditionSet hidden = Item(10, TControlType::ctEdit, QStringLiteral("隐藏"));
        hidden.Invisible = true;
        condition.ConditionSet << stock << hidden
                               << Item(7, TControlType::ctCheckBox, QStringLiteral("含停用"));
        params[9] = QStringLiteral("S2");
        params[7] = true;
    }
    QCOMPARE(uCondDefine::ConditionInfoText(condition, params, dateTitle), expected);
}

void TestForms::condBoxCancelKeepsParams()
{
    TOpenParams params;
    params[17] = QStringLiteral("2024-01-01");
    params[18] = QStringLiteral("2024-01-31");
    params[5] = QStringLiteral("甲");
    const TOpenParams before = params;
    bool edited = false;
    OnNextModal([&](QDialog *box) {
        auto *begin = DateOf(box, 17);
        auto *client = EditOf(box, 5);
        if (!begin || !client)
            return;
        begin->SetDate(QDate(2024, 2, 1));
        client->SetText(QStringLiteral("乙"));
        edited = true;
        Click(box, "btnCancel");
    });
    QVERIFY(!ShowCondBox(params, SampleCondition(), 0, true));
    QVERIFY(edited);
    QVERIFY(params == before);
}

void TestForms::condBoxRequired_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty client") << 5 << QString() << QStringLiteral("“往来单位”不能为空，请重新输入。");
    QTest::newRow("blank client") << 5 << QStringLiteral("  ")
                                  << QStringLiteral("“往来单位”不能为空，请重新输入。");
    QTest::newRow("zero quantity") << 6 << QStringLiteral("0")
                                   << QStringLiteral("“数量”不能为0，请重新输入。");
    QTest::newRow("empty quantity") << 6 << QString() << QStringLiteral("“数量”不能为空，请重新输入。");
    QTest::newRow("filled client") << 5 << QStringLiteral("甲") << QString();
    QTest::newRow("filled quantity") << 6 << QStringLiteral("2.5") << QString();
}

void TestForms::condBoxRequired()
{
    QFETCH(int, type);
    QFETCH(QString, value);
    QFETCH(QString, message);
    TCondition condition = SampleCondition();
    for (TConditionSet &item : condition.ConditionSet)
        item.Required = item.ConditionType == type;
    TOpenParams params;
    bool openAfterOK = false;
    OnNextModal([&](QDialog *box) {
        if (auto *edit = EditOf(box, type))
            edit->SetText(value);
        Click(box, "btnOK");
        openAfterOK = box && box->isVisible();
    });
    const bool ok = ShowCondBox(params, condition, 0, false);
    QCOMPARE(ok, message.isEmpty());
    QCOMPARE(openAfterOK, !message.isEmpty());
    if (message.isEmpty())
        QVERIFY(FAcct->Messages().Messages.isEmpty());
    else
        QCOMPARE(FAcct->Messages().LastText(), message);
}

void TestForms::condBoxWritesParams()
{
    TOpenParams params;
    params[17] = QStringLiteral("2024-01-01");
    params[18] = QStringLiteral("2024-01-31");
    params[100] = QStringLiteral("not a condition");
    OnNextModal([&](QDialog *box) {
        if (auto *end = DateOf(box, 18))
            end->SetDate(QDate(2024, 2, 15));
        if (auto *client = EditOf(box, 5))
            client->SetText(QStringLiteral("甲"));
        if (auto *quantity = EditOf(box, 6))
            quantity->SetText(QStringLiteral("3.5"));
        if (auto *check = box ? box->findChild<QCheckBox *>(QStringLiteral("edtCond7")) : nullptr)
            check->setChecked(true);
        Click(box, "btnOK");
    });
    QVERIFY(ShowCondBox(params, SampleCondition(), 4, false));
    QCOMPARE(params[17].toString(), QStringLiteral("2024-01-01"));
    QCOMPARE(params[18].toString(), QStringLiteral("2024-02-15"));
    QCOMPARE(params[5].toString(), QStringLiteral("甲"));
    QCOMPARE(params[6].toDouble(), 3.5);
    QCOMPARE(params[7].toBool(), true);
    QCOMPARE(params[100].toString(), QStringLiteral("not a condition"));
    QCOMPARE(params[ParamSaveDate].toBool(), false);
    QCOMPARE(params[ParamUnitType].toInt(), 4);
}

void TestForms::condBoxSaveDate_data()
{
    QTest::addColumn<bool>("showSaveDate");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("saved");
    QTest::newRow("unchecked") << true << false << false;
    QTest::newRow("checked") << true << true << true;
    QTest::newRow("not offered") << false << false << false;
}

void TestForms::condBoxSaveDate()
{
    QFETCH(bool, showSaveDate);
    QFETCH(bool, check);
    QFETCH(bool, saved);
    HostSystemService &system = FAcct->System();
    system.SetPubDefaultBeginDate(QStringLiteral("2024-01-01"));
    system.SetPubDefaultEndDate(QStringLiteral("2024-01-31"));
    TOpenParams params;
    bool checkBoxShown = false;
    QString caption;
    OnNextModal([&](QDialog *box) {
        auto *saveDate = box ? box->findChild<QCheckBox *>(QStringLiteral("cbxSaveDate")) : nullptr;
        if (!saveDate)
            return;
        checkBoxShown = saveDate->isVisible();
        caption = saveDate->text();
        saveDate->setChecked(check);
        DateOf(box, 17)->SetDate(QDate(2024, 5, 1));
        DateOf(box, 18)->SetDate(QDate(2024, 5, 31));
        Click(box, "btnOK");
    });
    QVERIFY(ShowCondBox(params, uCondDefine::DateRangeCondition(), 0, showSaveDate));
    QCOMPARE(checkBoxShown, showSaveDate);
    QCOMPARE(caption, QStringLiteral("保存查询时间"));
    QCOMPARE(params[17].toString(), QStringLiteral("2024-05-01"));
    QCOMPARE(system.GetPubDefaultBeginDate(),
             saved ? QStringLiteral("2024-05-01") : QStringLiteral("2024-01-01"));
    QCOMPARE(system.GetPubDefaultEndDate(),
             saved ? QStringLiteral("2024-05-31") : QStringLiteral("2024-01-31"));
}

void TestForms::condBoxInitialDates()
{
    FAcct->System().SetPubDefaultBeginDate(QStringLiteral("2024-04-01"));
    FAcct->System().SetPubDefaultEndDate(QStringLiteral("2024-04-30"));
    TOpenParams params;
    params[18] = QStringLiteral("2024-06-30"); // a caller's value wins over the default
    QDate begin, end;
    OnNextModal([&](QDialog *box) {
        if (DateOf(box, 17) && DateOf(box, 18)) {
            begin = DateOf(box, 17)->Date();
            end = DateOf(box, 18)->Date();
        }
        Click(box, "btnCancel");
    });
    ShowCondBox(params, uCondDefine::DateRangeCondition(), 0, false);
    QCOMPARE(begin, QDate(2024, 4, 1));
    QCOMPARE(end, QDate(2024, 6, 30));
}

void TestForms::condBoxQuickRangeRespectsBounds()
{
    const int year = QDate::currentDate().year();
    TCondition condition = uCondDefine::DateRangeCondition();
    condition.ConditionSet[0].MinDate = QDate(year, 2, 1).toString(QStringLiteral("yyyy-MM-dd"));
    TConditionSet range = Item(30, TControlType::ctValueComBoBox, QStringLiteral("期间"));
    range.DisplayValue = {QStringLiteral("自定义"), QStringLiteral("本年")};
    range.ReturnValue = {QString(), QStringLiteral("year")};
    condition.ConditionSet << range;
    TOpenParams params;
    params[17] = QStringLiteral("2000-03-03");
    params[18] = QStringLiteral("2000-03-04");
    QDate begin, end;
    OnNextModal([&](QDialog *box) {
        auto *combo = box ? box->findChild<TGLabelComBox *>(QStringLiteral("edtCond30")) : nullptr;
        if (!combo)
            return;
        combo->SetItemIndex(1);
        begin = DateOf(box, 17)->Date();
        end = DateOf(box, 18)->Date();
        Click(box, "btnCancel");
    });
    ShowCondBox(params, condition, 0, false);
    QCOMPARE(begin, QDate(2000, 3, 3)); // 1 January lies before the begin date's minimum
    QCOMPARE(end, QDate(year, 12, 31));
}

void TestForms::queryParents()
{
    TfrmDialogQueryParent dialog;
    QCOMPARE(dialog.NoDisplayCondition(), QStringLiteral("00000"));
    QCOMPARE(dialog.ConditionName(), QStringLiteral("查询条件 "));
    for (const char *name : {"ToolBar", "sbStatus", "allconditioninfo", "PanelLeft", "PanelRight"})
        QVERIFY2(dialog.findChild<QWidget *>(QLatin1String(name)), name);
    OnNextModal([&](QDialog *box) {
        if (DateOf(box, 17) && DateOf(box, 18)) {
            DateOf(box, 17)->SetDate(QDate(2024, 3, 1));
            DateOf(box, 18)->SetDate(QDate(2024, 3, 31));
        }
        Click(box, "btnOK");
    });
    QVERIFY(dialog.ShowCondition(uCondDefine::DateRangeCondition(), false));
    QCOMPARE(dialog.allconditioninfo->text(), QStringLiteral("查询期间 : 2024-03-01--2024-03-31"));

    TfrmJXCQueryParent mdi;
    QCOMPARE(mdi.NoDisplayCondition(), QStringLiteral("00000"));
    QCOMPARE(mdi.btnGridFilter->text(), QStringLiteral("过滤"));
    QCOMPARE(mdi.btnGridLocation->text(), QStringLiteral("定位"));
    QCOMPARE(mdi.btnGridRef->text(), QStringLiteral("刷新"));
    for (const char *name : {"PanelLeft", "PanelRight", "allconditioninfo", "CMGridTools", "btnGridFilter",
                             "btnGridLocation", "btnGridRef"})
        QVERIFY2(mdi.findChild<QWidget *>(QLatin1String(name)), name);
}

void TestForms::jxcQueryStatusText_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<bool>("baseRights");
    QTest::addColumn<bool>("shown");
    QTest::newRow("base-data rights on") << 6680 << true << true;
    QTest::newRow("base-data rights off") << 6680 << false << false;
    QTest::newRow("edition without base-data rights") << 880 << true << false;
}

void TestForms::jxcQueryStatusText()
{
    QFETCH(int, edition);
    QFETCH(bool, baseRights);
    QFETCH(bool, shown);
    uDllComm::DllParams.PubVersion2 = edition;
    for (int conId = 134; conId <= 138; ++conId)
        FAcct->System().SetOneSysCon(conId, false);
    FAcct->System().SetOneSysCon(136, baseRights);
    TfrmJXCQueryParent form;
    const QString text = QStringLiteral("由于系统管理了基本信息权限，表格可能没有统计所有数据。");
    QCOMPARE(form.StatusText(), shown ? text : QString());
    QCOMPARE(form.sbStatus->SimpleText(), form.StatusText());
}

void TestForms::jxcFreeDomCaptions()
{
    // Bill type 11's grid layout, replaced by the rows of this test.
    Udlldbservice::ExecuteSQL(QStringLiteral("DELETE FROM t_jxc_vchcolumn WHERE vchtype = 11"));
    const QString insert = QStringLiteral(
        "INSERT INTO t_jxc_vchcolumn (vchtype, dataarea, CMKvColumnNo, columnname, FreeDomIndex, "
        "fieldname, fieldnameo) VALUES (?, ?, ?, ?, ?, ?, ?)");
    Udlldbservice::ExecuteSQL(insert,
                              {11, 1, 41, QStringLiteral("Free1"), 1, QStringLiteral("自由项1"), QString()});
    Udlldbservice::ExecuteSQL(
        insert, {11, 1, 42, QStringLiteral("Free2"), 2, QStringLiteral("自由项2"), QStringLiteral("颜色")});
    Udlldbservice::ExecuteSQL(insert, {11, 2, 43, QStringLiteral("Free3"), 3, QStringLiteral("自由项3"),
                                       QStringLiteral("别的区域")});
    Udlldbservice::ExecuteSQL(insert,
                              {11, 1, 200, QStringLiteral("Free17"), 17, QStringLiteral("超出"), QString()});

    TfrmJXCQueryParent form;
    auto *grid = new TKvGGeneralGrid(form.pnlEntry);
    form.QueryLayout()->addWidget(grid);
    grid->SetColumns({{QStringLiteral("Code"), QStringLiteral("编号"), {}, 0, true},
                      {QStringLiteral("Free1"), QStringLiteral("F1"), {}, 1, true},
                      {QStringLiteral("Free2"), QStringLiteral("F2"), {}, 2, true},
                      {QStringLiteral("Free3"), QStringLiteral("F3"), {}, 3, true}});
    form.LoadFreeDomCaptions(11, 1);
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("编号"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("自由项1"));
    QCOMPARE(grid->horizontalHeaderItem(2)->text(), QStringLiteral("颜色"));
    QCOMPARE(grid->horizontalHeaderItem(3)->text(), QStringLiteral("F3"));
}

void TestForms::gridFilterAndLocate()
{
    TKvGGeneralGrid grid;
    TClientDataSet ds({QStringLiteral("Code"), QStringLiteral("Name")});
    for (const auto &[code, name] :
         {std::pair{"01", "红茶"}, std::pair{"02", "绿茶"}, std::pair{"03", "咖啡"}, std::pair{"04", "红酒"}})
        ds.AppendRow({QString::fromUtf8(code), QString::fromUtf8(name)});
    grid.LoadFromDataSet(ds);
    QCOMPARE(grid.rowCount(), 4);
    grid.ApplyFilter(QStringLiteral("茶"));
    QCOMPARE(
        QList<bool>({grid.isRowHidden(0), grid.isRowHidden(1), grid.isRowHidden(2), grid.isRowHidden(3)}),
        QList<bool>({false, false, true, true}));
    grid.ApplyFilter(QString());
    QVERIFY(!grid.isRowHidden(2));
    grid.setCurrentCell(0, 0);
    QVERIFY(grid.Locate(QStringLiteral("红")));
    QCOMPARE(grid.currentRow(), 3); // the next match after the current row
    QVERIFY(grid.Locate(QStringLiteral("红")));
    QCOMPARE(grid.currentRow(), 0); // wraps around
    QVERIFY(!grid.Locate(QStringLiteral("牛奶")));
}
