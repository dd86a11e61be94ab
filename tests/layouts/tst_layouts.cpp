// Bill layouts: the seeded layouts of every bill type, column and date formulas (stored form, refusals,
// empty formula, copying to all bills), the interval formula, layout edits (required and shown coupled,
// renaming limits, custom columns renamed in all bills, the date switch of custom column 4),
// basic-information bindings with "CS", and a whole configuration read back from the tables and a reopened
// window.

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QQueue>
#include <QTimer>
#include <QtTest>

#include "AccountDatabase.h"
#include "Kvbasicinfocomponent.h"
#include "TestAccountSet.h"
#include "Udllbaseselect.h"
#include "uDateFormula.h"
#include "uDateIntervalFormula.h"
#include "uDllComm.h"
#include "uFormula.h"
#include "uFreeDomBasicSelectSet.h"
#include "uInputBox.h"
#include "uOrvaneCommon.h"
#include "uSetUpBasicSelect.h"
#include "uVchGridConfig.h"

namespace {

constexpr int kSale = 11;
constexpr int kPurchase = 34;

// The host's bill-type choice: the next queued type.
class FakeSelect final : public IBaseSelect
{
public:
    QQueue<int> Picks;
    bool SelectBaseData(const QString &kind, const QString &, bool, TBaseRecordList &selected) override
    {
        if (kind != QLatin1String("Vchtype") || Picks.isEmpty())
            return false;
        const QString type = QString::number(Picks.dequeue());
        selected = {{type, type, type, {}}};
        return true;
    }
    bool SelectAtype(const QString &, TBaseRecord &) override { return false; }
};

// Answers every input box that appears with the next name (none left: cancel).
void AnswerInputBoxes(QObject *owner, QQueue<QString> *names)
{
    auto *timer = new QTimer(owner);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, owner, [names] {
        auto *box = qobject_cast<TfrmInputBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (names->isEmpty()) {
            box->reject();
            return;
        }
        box->edtInput->SetText(names->dequeue());
        box->btnOK->click();
    });
    timer->start();
}

// Runs the action on the first modal window of type T that appears.
template <typename T> void WhenModal(QObject *owner, std::function<void(T *)> action)
{
    auto *timer = new QTimer(owner);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, action] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

int RowOf(TKvGGeneralGrid *grid, const QString &field, const QString &value)
{
    for (int row = 0; row < grid->rowCount(); ++row)
        if (grid->CellText(row, field) == value)
            return row;
    return -1;
}

QTableWidgetItem *Cell(TKvGGeneralGrid *grid, int row, const QString &field)
{
    return grid->item(row, grid->ColumnOfField(field));
}

// The page of the open window showing the tab of that type (and data area 1 for grids).
int PageOf(const TfrmVchGridConfig &form, int tabType)
{
    for (int page = 0; page < form.FTabs.size(); ++page)
        if (form.PageControl->isTabVisible(page) && form.FTabs[page].TabType == tabType)
            return page;
    return -1;
}

} // namespace

class TestLayouts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void seededLayouts_data();
    void seededLayouts();
    void formulaSaved();
    void formulaRefused_data();
    void formulaRefused();
    void emptyFormulaAsksThenDeletes();
    void dateFormulaPattern_data();
    void dateFormulaPattern();
    void dateFormulaToAllBills();
    void intervalTwoOfThree_data();
    void intervalTwoOfThree();
    void editionHidesTabsAndButtons_data();
    void editionHidesTabsAndButtons();
    void requiredAndShownCoupled();
    void renameChecks_data();
    void renameChecks();
    void customColumnRenamedInAllBills();
    void dateSwitchDeletesSelections_data();
    void dateSwitchDeletesSelections();
    void freeItemBinding();
    void freeDomSelectSetCopiesAndClears();
    void configureAndReadBack();

private:
    std::unique_ptr<TestAccountSet> FSet;
    FakeSelect FSelect;
    IBaseSelect *FHostSelect = nullptr;
};

void TestLayouts::init()
{
    FSet = std::make_unique<TestAccountSet>();
    FHostSelect = Udllbaseselect::BaseSelect;
    Udllbaseselect::BaseSelect = &FSelect;
    FSelect.Picks.clear();
}

void TestLayouts::cleanup()
{
    Udllbaseselect::BaseSelect = FHostSelect;
    FSet.reset();
}

// Every bill type has its header and grid; the fields are the bill's own.
void TestLayouts::seededLayouts_data()
{
    QTest::addColumn<int>("vchType");
    QTest::addColumn<QString>("tabs");
    QTest::addColumn<QString>("headerFields");
    QTest::addColumn<QString>("gridColumns");
    QTest::newRow("purchase") << kPurchase << "表头,表体,商品自由项"
                              << "Date,Number,BtypeId,EtypeId,KtypeId,DueDate"
                              << "PUserCode,Qty,Price,Total,TaxTotal,FeeTotal";
    QTest::newRow("sales") << kSale << "表头,表体,商品自由项"
                           << "BtypeId,KtypeId,DueDate"
                           << "Qty,Price,Total,DiscountTotal,CostTotal";
    QTest::newRow("transfer") << 21 << "表头,表体,商品自由项"
                              << "KtypeId,KTypeID2"
                              << "Qty,Price,Total";
    QTest::newRow("assembly two grids") << 16 << "表头,出库商品,出库商品自由项,入库商品,入库商品自由项"
                                        << "Date,Summary"
                                        << "Qty,Total";
    QTest::newRow("other issue") << 141 << "表头,表体,商品自由项"
                                 << "BtypeId,KtypeId"
                                 << "Qty,Price,Total";
}

void TestLayouts::seededLayouts()
{
    QFETCH(int, vchType);
    QFETCH(QString, tabs);
    QFETCH(QString, headerFields);
    QFETCH(QString, gridColumns);
    accountdb::AccountDatabase &db = FSet->Db();
    QCOMPARE(
        db.value(QStringLiteral("SELECT count(*) FROM T_GBL_Vchtype v WHERE NOT EXISTS (SELECT 1 FROM "
                                "T_Jxc_VchColumn c WHERE c.VchType = v.Vchtype AND c.ColumnName = 'Qty')"))
            .toInt(),
        0);
    QStringList names;
    for (const QVariantList &row :
         db.query(
               QStringLiteral("SELECT TabName FROM T_Jxc_BillTabConfig WHERE Vchtype = ? ORDER BY TabOrder"),
               {vchType})
             .rows)
        names << row.at(0).toString();
    QCOMPARE(names.join(u','), tabs);
    for (const QString &field : headerFields.split(u','))
        QVERIFY2(db.value(QStringLiteral(
                              "SELECT count(*) FROM T_Jxc_VchTitle WHERE VchType = ? AND DataField = ?"),
                          {vchType, field})
                         .toInt() == 1,
                 qPrintable(field));
    for (const QString &column : gridColumns.split(u','))
        QVERIFY2(db.value(QStringLiteral(
                              "SELECT count(*) FROM T_Jxc_VchColumn WHERE VchType = ? AND ColumnName = ? "
                              "AND DataArea = 1"),
                          {vchType, column})
                         .toInt() == 1,
                 qPrintable(column));
}

// "数量 * 单价" on 金额: the text as written, the stored form in column names and the columns it reads.
void TestLayouts::formulaSaved()
{
    TfrmFormula form(kSale, 23, 1, QStringLiteral("金额"));
    QCOMPARE(form.lblBill->text(), QStringLiteral(" 单据：销售单-金额"));
    QVERIFY(form.chkCalc->isHidden());
    QVERIFY(form.lbDataField->findItems(QStringLiteral("金额"), Qt::MatchExactly).isEmpty());
    form.lbDataField->setCurrentItem(
        form.lbDataField->findItems(QStringLiteral("数量"), Qt::MatchExactly).value(0));
    form.lbDataFieldDblClick();
    form.btnOperators[2]->click();
    QCOMPARE(form.mFormula->toPlainText(), QStringLiteral(" 数量  * "));
    form.mFormula->setPlainText(QStringLiteral("数量 * 单价"));
    form.btnCon->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("公式验证正确。"));
    form.btnSave->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("公式保存成功。"));
    QVERIFY(form.bChange);
    const accountdb::ResultSet rs = FSet->Db().query(
        QStringLiteral(
            "SELECT FormulaContent, Formula, Calc, FormulaType, ID FROM BillFormula WHERE Vchtype = ? AND "
            "DataArea = 1 AND ColumnName = 'Total'"),
        {kSale});
    QCOMPARE(rs.rows.size(), 1);
    QCOMPARE(rs.rows[0].mid(0, 4),
             (QVariantList{QStringLiteral("数量 * 单价"), QStringLiteral("qty*price"), 1, 0}));
    QStringList details;
    for (const QVariantList &row : FSet->Db()
                                       .query(QStringLiteral("SELECT ColumnName FROM BillFormulaDetail WHERE "
                                                             "FormulaID = ? ORDER BY RowNo"),
                                              {rs.rows[0].at(4)})
                                       .rows)
        details << row.at(0).toString();
    QCOMPARE(details, (QStringList{QStringLiteral("qty"), QStringLiteral("price")}));
    // The dialog opens on the saved text again.
    TfrmFormula reopened(kSale, 23, 1, QStringLiteral("金额"));
    QCOMPARE(reopened.mFormula->toPlainText(), QStringLiteral("数量 * 单价"));
}

void TestLayouts::formulaRefused_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("textFormula");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("message");
    QTest::newRow("the column itself") << 23 << false << "金额 * 2"
                                       << "公式有错误，请检查公式。";
    QTest::newRow("percent sign") << 23 << false << "数量 % 2"
                                  << "公式中不能包含%、&、^、|、,、~、'。";
    QTest::newRow("comment dashes") << 23 << false << "数量 -- 单价"
                                    << "公式中不能包含--、/*或*/。";
    QTest::newRow("beyond the range") << 23 << false << "数量 * 100000000"
                                      << "计算结果超过系统允许的范围。";
    QTest::newRow("text formula quote") << 43 << true << "单价'"
                                        << "公式中不能包含'。";
    QTest::newRow("text formula of 61") << 43 << true << QString(61, u'a') << "公式长度不要超过60位。";
}

void TestLayouts::formulaRefused()
{
    QFETCH(int, column);
    QFETCH(bool, textFormula);
    QFETCH(QString, formula);
    QFETCH(QString, message);
    TfrmFormula form(kSale, column, 1, QStringLiteral("列"));
    QCOMPARE(!form.chkCalc->isHidden(), textFormula);
    if (textFormula) {
        form.chkCalc->click();
        QCOMPARE(form.gbFormula->title(), QStringLiteral("公式内容：最长支持60个字符"));
    }
    form.mFormula->setPlainText(formula);
    form.btnSave->click();
    QCOMPARE(FSet->Messages().LastText(), message);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM BillFormula")).toInt(), 0);
}

// An empty formula asks first; No keeps the old one, Yes deletes it.
void TestLayouts::emptyFormulaAsksThenDeletes()
{
    TfrmFormula form(kSale, 23, 1, QStringLiteral("金额"));
    form.mFormula->setPlainText(QStringLiteral("数量*单价"));
    form.btnSave->click();
    form.mFormula->setPlainText(QStringLiteral("  "));
    const QString question = QStringLiteral(
        "公式内容为空，保存后，将删除【销售单】在【金额】上对应的公式(如果原来有公式)，是否继续？");
    FSet->Messages().Answers.enqueue(false);
    form.btnSave->click();
    QCOMPARE(FSet->Messages().LastText(), question);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM BillFormula")).toInt(), 1);
    FSet->Messages().Answers.enqueue(true);
    form.btnSave->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("公式保存成功。"));
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM BillFormula")).toInt(), 0);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM BillFormulaDetail")).toInt(), 0);
}

void TestLayouts::dateFormulaPattern_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("message");
    const QString wrong = QStringLiteral("公式错误，请检查公式。");
    const QString saved = QStringLiteral("公式保存成功。");
    QTest::newRow("days added") << 113 << "自由项11+30" << saved;
    QTest::newRow("blanks and two offsets") << 113 << " 自由项12 - 5 + 3" << saved;
    QTest::newRow("four digits") << 112 << "自由项11+9999" << saved;
    QTest::newRow("times") << 113 << "自由项11*2" << wrong;
    QTest::newRow("five digits") << 113 << "自由项11+12345" << wrong;
    QTest::newRow("no date item") << 113 << "30+自由项11" << wrong;
    QTest::newRow("itself on 112") << 112 << "自由项12+1" << wrong;
    QTest::newRow("sum over 9999") << 113 << "自由项11+9999+1"
                                   << "计算结果超过系统允许的围范。";
}

void TestLayouts::dateFormulaPattern()
{
    QFETCH(int, column);
    QFETCH(QString, formula);
    QFETCH(QString, message);
    TfrmDateFormula form(kSale, column, 1, QStringLiteral("自由项"));
    form.mFormula->setText(formula);
    form.btnSave->click();
    QCOMPARE(FSet->Messages().LastText(), message);
    const bool accepted = message == QStringLiteral("公式保存成功。");
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM BillFormula")).toInt(), accepted ? 1 : 0);
    if (formula == QStringLiteral("自由项11+30"))
        QCOMPARE(FSet->Db().value(QStringLiteral("SELECT Formula FROM BillFormula")).toString(),
                 QStringLiteral("freedom11+ 30 "));
}

// Every bill whose grid has the column and the date items the formula reads gets it.
void TestLayouts::dateFormulaToAllBills()
{
    accountdb::AccountDatabase &db = FSet->Db();
    // A bill without 自由项11 cannot take a formula reading it.
    db.exec(QStringLiteral("UPDATE T_Jxc_VchColumn SET Display = 0 WHERE VchType = ? AND CMKvColumnNo = 111"),
            {kPurchase});
    TfrmDateFormula form(kSale, 113, 1, QStringLiteral("自由项13"));
    form.mFormula->setText(QStringLiteral("自由项11+7"));
    FSet->Messages().Answers.enqueue(false);
    form.btnAll->click();
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM BillFormula")).toInt(), 0);
    form.btnAll->click();
    QCOMPARE(FSet->Messages().LastText(),
             QStringLiteral("已经将公式：自由项11+7 成功复制到全部单据的【自由项13】下。"));
    const int grids =
        db.value(
              QStringLiteral("SELECT count(*) FROM T_Jxc_VchColumn WHERE CMKvColumnNo = 113 AND VchType > 0"))
            .toInt();
    QCOMPARE(db.value(QStringLiteral(
                          "SELECT count(*) FROM BillFormula WHERE ColumnName = 'FreeDom13' AND Formula = "
                          "'freedom11+ 7 '"))
                 .toInt(),
             grids - 1);
    QCOMPARE(
        db.value(QStringLiteral("SELECT count(*) FROM BillFormula WHERE Vchtype = ?"), {kPurchase}).toInt(),
        0);
    // Copying onto the same bill is refused.
    FSelect.Picks.enqueue(kSale);
    form.btnOther->click();
    QCOMPARE(
        FSet->Messages().LastText(),
        QStringLiteral(
            "当前公式为【销售单-自由项13】的公式，您选择的也是【销售单-自由项13】，不能将公式复制给自己。"));
}

void TestLayouts::intervalTwoOfThree_data()
{
    QTest::addColumn<QList<bool>>("checked");
    QTest::addColumn<QString>("formula");
    QTest::newRow("one") << QList<bool>{true, false, false} << QString();
    QTest::newRow("all three") << QList<bool>{true, true, true} << QString();
    QTest::newRow("11 and 13") << QList<bool>{true, false, true} << "freedom13-freedom11";
    QTest::newRow("12 and 13") << QList<bool>{false, true, true} << "freedom13-freedom12";
}

void TestLayouts::intervalTwoOfThree()
{
    QFETCH(QList<bool>, checked);
    QFETCH(QString, formula);
    TfrmDateIntervalFormula form(kSale, 117, 1, QStringLiteral("日期间隔"));
    for (int i = 0; i < 3; ++i)
        form.chkItems[i]->setChecked(checked[i]);
    form.btnSave->click();
    if (formula.isEmpty()) {
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("必须且只能勾选两个日期自由项。"));
        QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM BillFormula")).toInt(), 0);
        return;
    }
    QCOMPARE(FSet->Db()
                 .value(QStringLiteral("SELECT Formula FROM BillFormula WHERE ColumnName = 'FreeDomDateDif'"))
                 .toString(),
             formula);
    QStringList details;
    for (const QVariantList &row :
         FSet->Db().query(QStringLiteral("SELECT ColumnName FROM BillFormulaDetail ORDER BY RowNo")).rows)
        details << row.at(0).toString();
    QCOMPARE(details.join(u','),
             checked[0] ? QStringLiteral("FreeDom11,FreeDom13") : QStringLiteral("FreeDom12,FreeDom13"));
    // Reopened, the same two items are checked.
    TfrmDateIntervalFormula reopened(kSale, 117, 1, QStringLiteral("日期间隔"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(reopened.chkItems[i]->isChecked(), checked[i]);
}

void TestLayouts::editionHidesTabsAndButtons_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<bool>("formula");
    QTest::addColumn<bool>("basic");
    QTest::newRow("6680") << 6680 << 3 << true << true;
    QTest::newRow("2680") << 2680 << 3 << true << false;
    QTest::newRow("880 without free items") << 880 << 2 << false << false;
}

// The free-item tab is not applicable to edition 880; the formula and basic-information doors follow the
// edition.
void TestLayouts::editionHidesTabsAndButtons()
{
    QFETCH(int, edition);
    QFETCH(int, tabs);
    QFETCH(bool, formula);
    QFETCH(bool, basic);
    const int saved = uDllComm::DllParams.PubVersion2;
    uDllComm::DllParams.PubVersion2 = edition;
    TfrmVchGridConfig form(kSale);
    form.Prepare();
    uDllComm::DllParams.PubVersion2 = saved;
    int shown = 0;
    for (int page = 0; page < form.PageControl->count(); ++page)
        shown += form.PageControl->isTabVisible(page) ? 1 : 0;
    QCOMPARE(shown, tabs);
    QCOMPARE(PageOf(form, 2) >= 0, tabs == 3);
    QCOMPARE(!form.btnFormula->isHidden(), formula);
    QCOMPARE(!form.btnBasic->isHidden(), basic);
    QCOMPARE(!form.btnRelationBasic->isHidden(), basic);
    QCOMPARE(form.PageControl->tabText(form.PageControl->currentIndex()), QStringLiteral("表体"));
}

// Requiring a hidden header field shows it; hiding a required one makes it optional; system fields stay
// shown.
void TestLayouts::requiredAndShownCoupled()
{
    TfrmVchGridConfig form(kSale);
    form.Prepare();
    QVERIFY(form.pnlTree->isHidden());
    const int page = PageOf(form, 0);
    TKvGGeneralWGrid *grid = form.TabGrids[page];
    const int custom = RowOf(grid, QStringLiteral("DataType"), QStringLiteral("62"));
    const int date = RowOf(grid, QStringLiteral("DataType"), QStringLiteral("1"));
    QVERIFY(!(Cell(grid, date, QStringLiteral("Visible"))->flags() & Qt::ItemIsUserCheckable));
    const auto stored = [this](const char *column) {
        return FSet->Db()
            .value(QStringLiteral("SELECT %1 FROM T_Jxc_VchTitle WHERE VchType = ? AND DataType = 62")
                       .arg(QLatin1String(column)),
                   {kSale})
            .toInt();
    };
    QCOMPARE(stored("Visible"), 0);
    Cell(grid, custom, QStringLiteral("required"))->setCheckState(Qt::Checked);
    QCOMPARE(stored("required"), 1);
    QCOMPARE(stored("Visible"), 1);
    QCOMPARE(form.Value(page, custom, QStringLiteral("Visible")), QStringLiteral("1"));
    Cell(grid, custom, QStringLiteral("Visible"))->setCheckState(Qt::Unchecked);
    QCOMPARE(stored("Visible"), 0);
    QCOMPARE(stored("required"), 0);
    QCOMPARE(form.Value(page, custom, QStringLiteral("required")), QStringLiteral("0"));
    QVERIFY(form.FModified);
}

void TestLayouts::renameChecks_data()
{
    QTest::addColumn<int>("tabType");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("column of 41") << 1 << "数量" << QString(41, u'量')
                                  << "显示名称不能超过40个字符，请重新输入。";
    QTest::newRow("column of 40") << 1 << "数量" << QString(40, u'量') << QString();
    QTest::newRow("column forbidden")
        << 1 << "数量"
        << "件(数)"
        << "显示名称不能包含以下特殊字符：\n    ', ~, `, !, @, #, $, %, ^, &, *, (, ), ;";
    QTest::newRow("column empty") << 1 << "数量"
                                  << " "
                                  << "显示名称不能为空。";
    QTest::newRow("header custom of 13")
        << 0 << "自定义1" << QString(13, u'字') << "表头自定义字段名称不能超过12个字符，请重新输入。";
    QTest::newRow("header custom of 12") << 0 << "自定义1" << QString(12, u'字') << QString();
    QTest::newRow("header custom forbidden")
        << 0 << "自定义1"
        << "a;b"
        << "表头自定义字段名称不能包含以下特殊字符：\n    ', ~, `, !, @, #, $, %, ^, &, *, (, ), ;";
    QTest::newRow("header field of 13") << 0 << "摘要" << QString(13, u'字') << QString();
}

// A refused name shows its message and the box asks again (here: cancelled); a good one is stored.
void TestLayouts::renameChecks()
{
    QFETCH(int, tabType);
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, message);
    TfrmVchGridConfig form(kSale);
    form.Prepare();
    const int page = PageOf(form, tabType);
    form.PageControl->setCurrentIndex(page);
    TKvGGeneralWGrid *grid = form.TabGrids[page];
    const QString keyField = tabType == 0 ? QStringLiteral("TitleName") : QStringLiteral("FieldName");
    grid->setCurrentCell(RowOf(grid, keyField, key), 0);
    QQueue<QString> names;
    names.enqueue(name);
    QObject scope;
    AnswerInputBoxes(&scope, &names);
    form.btnColumn->click();
    const QString table = tabType == 0
                              ? QStringLiteral("T_Jxc_VchTitle WHERE TitleName = ?")
                              : QStringLiteral("T_Jxc_VchColumn WHERE DataArea = 1 AND FieldName = ?");
    const QString stored =
        FSet->Db()
            .value(QStringLiteral("SELECT FieldNameO FROM ") + table + QStringLiteral(" AND VchType = ?"),
                   {key, kSale})
            .toString();
    if (message.isEmpty()) {
        QCOMPARE(stored, name);
        QCOMPARE(grid->CellText(grid->currentRow(), QStringLiteral("ShowName")), name);
    } else {
        QCOMPARE(FSet->Messages().LastText(), message);
        QCOMPARE(stored, QString());
    }
}

// A custom column renamed "in all bills" changes every bill and empties the bill windows' saved captions.
void TestLayouts::customColumnRenamedInAllBills()
{
    accountdb::AccountDatabase &db = FSet->Db();
    db.exec(QStringLiteral(
                "INSERT INTO KV_GridFieldConfig (ModuleNo, FieldName, CaptionStr) VALUES (?, 'FreeDom3', "
                "'旧标题')"),
            {QStringLiteral("%1001").arg(2000 + kPurchase)});
    TfrmVchGridConfig form(kSale);
    form.Prepare();
    const int page = PageOf(form, 2);
    form.PageControl->setCurrentIndex(page);
    TKvGGeneralWGrid *grid = form.TabGrids[page];
    grid->setCurrentCell(RowOf(grid, QStringLiteral("CMKvColumnNo"), QStringLiteral("43")), 0);
    QQueue<QString> names;
    names.enqueue(QStringLiteral("颜色"));
    QObject scope;
    AnswerInputBoxes(&scope, &names);
    FSet->Messages().Answers.enqueue(true);
    form.btnColumn->click();
    QCOMPARE(FSet->Messages().Texts().value(0),
             QStringLiteral("是否将所有单据【自由项3】列的显示名称全部修改为【颜色】？"));
    QCOMPARE(db.value(QStringLiteral(
                          "SELECT count(*) FROM T_Jxc_VchColumn WHERE CMKvColumnNo = 43 AND FieldNameO <> "
                          "'颜色'"))
                 .toInt(),
             0);
    QCOMPARE(db.value(QStringLiteral("SELECT CaptionStr FROM KV_GridFieldConfig")).toString(), QString());
}

void TestLayouts::dateSwitchDeletesSelections_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

// Custom column 4 switched to date on the root node: every bill's selection of it is deleted.
void TestLayouts::dateSwitchDeletesSelections()
{
    QFETCH(bool, confirm);
    accountdb::AccountDatabase &db = FSet->Db();
    accountdb::ProcParams p{
        {QStringLiteral("@VchType"), kPurchase}, {QStringLiteral("@CMKvColumnNo"), 126},
        {QStringLiteral("@BasicType"), 2},       {QStringLiteral("@ReturnTypeName"), QStringLiteral("全名")},
        {QStringLiteral("@DataArea"), 1},        {QStringLiteral("@Version"), QStringLiteral("CS")}};
    QCOMPARE(db.callProc(QStringLiteral("P_KOVA_UpdateFreeDomBasicSelect"), p), 0);
    TfrmVchGridConfig form(0);
    form.Prepare();
    QVERIFY(!form.pnlTree->isHidden());
    QCOMPARE(form.FVchtype, 0);
    const int page = PageOf(form, 1);
    TKvGGeneralWGrid *grid = form.TabGrids[page];
    const int row = RowOf(grid, QStringLiteral("CMKvColumnNo"), QStringLiteral("126"));
    QTableWidgetItem *type = Cell(grid, row, QStringLiteral("ColumnType"));
    QVERIFY(type->flags() & Qt::ItemIsEditable);
    QCOMPARE(type->text(), QStringLiteral("文本"));
    FSet->Messages().Answers.enqueue(confirm);
    type->setText(QStringLiteral("日期"));
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("当前操作将会覆盖所有单据的设置，请确认继续。"));
    QCOMPARE(uOrvaneCommon::GetSysValue(QStringLiteral("BillColumnType_Custom4")),
             confirm ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM T_GBL_FreeDomBasicSelect")).toInt(),
             confirm ? 0 : 1);
    QCOMPARE(type->text(), confirm ? QStringLiteral("日期") : QStringLiteral("文本"));
    // The column of bill 11 can no longer take a basic-information binding while it is a date.
    if (confirm) {
        TfrmVchGridConfig bill(kSale);
        bill.Prepare();
        const int billPage = PageOf(bill, 1);
        bill.PageControl->setCurrentIndex(billPage);
        TKvGGeneralWGrid *billGrid = bill.TabGrids[billPage];
        billGrid->setCurrentCell(RowOf(billGrid, QStringLiteral("CMKvColumnNo"), QStringLiteral("126")), 0);
        bill.btnBasic->click();
        QCOMPARE(FSet->Messages().LastText(),
                 QStringLiteral("自定义3和4的类型必须选择文本才能设置基本信息选择。"));
    }
}

// Binding a free item to goods: a return field is required, kind 34 is not offered, "CS" is written, and
// copying to the same bill, to another and clearing behave.
void TestLayouts::freeItemBinding()
{
    accountdb::AccountDatabase &db = FSet->Db();
    TfrmSetUpBasicSelect form(kSale, 43, 1, QStringLiteral("自由项3"));
    QVERIFY(form.tvList->findItems(QStringLiteral("会计科目"), Qt::MatchExactly).isEmpty());
    form.btnOk->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("请选择一项基本信息。"));
    form.tvList->setCurrentItem(form.tvList->findItems(QStringLiteral("存货"), Qt::MatchExactly).value(0));
    form.MainGrid->setCurrentCell(
        RowOf(form.MainGrid, QStringLiteral("ReturnTypeName"), QStringLiteral("全名")), 0);
    FSelect.Picks.enqueue(kSale);
    form.btnOtherVchtype->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("不能将设置复制给自己。"));
    FSelect.Picks.enqueue(kPurchase);
    form.btnOtherVchtype->click();
    QCOMPARE(FSet->Messages().LastText(),
             QStringLiteral("已经将基本信息选择成功复制到【进货单】的【自由项3】下。"));
    form.btnOk->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("保存成功。"));
    const accountdb::ResultSet rs = db.query(QStringLiteral(
        "SELECT VchType, BasicType, ReturnTypeName, Version FROM T_GBL_FreeDomBasicSelect ORDER BY VchType"));
    QCOMPARE(rs.rows, (QList<QVariantList>{{kSale, 2, QStringLiteral("全名"), QStringLiteral("CS")},
                                           {kPurchase, 2, QStringLiteral("全名"), QStringLiteral("CS")}}));
    // Reopened on the binding; cleared after the question, basic type -1.
    TfrmSetUpBasicSelect again(kSale, 43, 1, QStringLiteral("自由项3"));
    QCOMPARE(again.tvList->currentItem()->text(0), QStringLiteral("存货"));
    QCOMPARE(again.MainGrid->CellText(again.MainGrid->currentRow(), QStringLiteral("ReturnTypeName")),
             QStringLiteral("全名"));
    FSet->Messages().Answers.enqueue(true);
    again.btnClearBasic->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("清空成功。"));
    QCOMPARE(
        db.value(QStringLiteral("SELECT BasicType FROM T_GBL_FreeDomBasicSelect WHERE VchType = ?"), {kSale})
            .toInt(),
        -1);
}

// The stand-alone window lists a bill's free items; an empty binding is not copied; clearing asks.
void TestLayouts::freeDomSelectSetCopiesAndClears()
{
    accountdb::AccountDatabase &db = FSet->Db();
    TfrmFreeDomBasicSelectSet form;
    QTreeWidgetItem *sale =
        form.tvList->findItems(QStringLiteral("销售单"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
    QVERIFY(sale);
    QCOMPARE(sale->parent()->text(0), QStringLiteral("销售"));
    form.tvList->setCurrentItem(sale);
    const int row = RowOf(form.MainGrid, QStringLiteral("CMKvColumnNo"), QStringLiteral("81"));
    form.MainGrid->setCurrentCell(row, 0);
    form.btnOtherVchtype->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("自由项选择内容为空，不能应用到其他单据。"));
    accountdb::ProcParams p{{QStringLiteral("@VchType"), kSale},
                            {QStringLiteral("@CMKvColumnNo"), 81},
                            {QStringLiteral("@BasicType"), 3},
                            {QStringLiteral("@ReturnTypeName"), QStringLiteral("地址")},
                            {QStringLiteral("@Version"), QStringLiteral("CS")}};
    QCOMPARE(db.callProc(QStringLiteral("P_KOVA_UpdateFreeDomBasicSelect"), p), 0);
    form.LoadGrid();
    QCOMPARE(form.MainGrid->CellText(row, QStringLiteral("BasicFullName")), QStringLiteral("仓库"));
    FSelect.Picks.enqueue(kPurchase);
    form.btnOtherVchtype->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("已经将设置成功复制到【进货单】的【自由项7】下。"));
    FSet->Messages().Answers.enqueue(true);
    form.btnClearBasic->click();
    QCOMPARE(form.MainGrid->currentRow(), row);
    QCOMPARE(form.MainGrid->CellText(row, QStringLiteral("BasicFullName")), QString());
    QCOMPARE(db.value(QStringLiteral("SELECT BasicType FROM T_GBL_FreeDomBasicSelect WHERE VchType = ?"),
                      {kPurchase})
                 .toInt(),
             3);
}

// Bill 11: a column hidden, a custom column renamed for this bill only, a formula added through the window;
// all of it is in the tables and in a reopened window.
void TestLayouts::configureAndReadBack()
{
    accountdb::AccountDatabase &db = FSet->Db();
    {
        TfrmVchGridConfig form(kSale);
        form.Prepare();
        const int grid1 = PageOf(form, 1);
        form.PageControl->setCurrentIndex(grid1);
        TKvGGeneralWGrid *grid = form.TabGrids[grid1];
        Cell(grid, RowOf(grid, QStringLiteral("columnname"), QStringLiteral("Standard")),
             QStringLiteral("Visible"))
            ->setCheckState(Qt::Unchecked);
        grid->setCurrentCell(RowOf(grid, QStringLiteral("columnname"), QStringLiteral("Total")), 0);
        QVERIFY(form.btnFormula->isEnabled());
        WhenModal<TfrmFormula>(this, [](TfrmFormula *dialog) {
            dialog->mFormula->setPlainText(QStringLiteral("数量 * 单价"));
            dialog->btnSave->click();
            dialog->btnExit->click();
        });
        form.btnFormula->click();
        QCOMPARE(grid->CellText(grid->currentRow(), QStringLiteral("FormulaName")),
                 QStringLiteral("数量 * 单价"));

        const int free = PageOf(form, 2);
        form.PageControl->setCurrentIndex(free);
        TKvGGeneralWGrid *items = form.TabGrids[free];
        items->setCurrentCell(RowOf(items, QStringLiteral("CMKvColumnNo"), QStringLiteral("42")), 0);
        QQueue<QString> names;
        names.enqueue(QStringLiteral("尺码"));
        QObject scope;
        AnswerInputBoxes(&scope, &names);
        FSet->Messages().Answers.enqueue(false);
        form.btnColumn->click();
        QVERIFY(form.FModified);
    }
    QCOMPARE(
        db.value(QStringLiteral(
                     "SELECT Visible FROM T_Jxc_VchColumn WHERE VchType = ? AND ColumnName = 'Standard'"),
                 {kSale})
            .toInt(),
        0);
    QCOMPARE(db.value(QStringLiteral(
                          "SELECT count(*) FROM T_Jxc_VchColumn WHERE CMKvColumnNo = 42 AND FieldNameO = "
                          "'尺码'"))
                 .toInt(),
             1);
    QCOMPARE(
        db.value(QStringLiteral("SELECT Formula FROM BillFormula WHERE Vchtype = ? AND ColumnName = 'Total'"),
                 {kSale})
            .toString(),
        QStringLiteral("qty*price"));

    TfrmVchGridConfig reopened(kSale);
    reopened.Prepare();
    const int grid1 = PageOf(reopened, 1);
    TKvGGeneralWGrid *grid = reopened.TabGrids[grid1];
    QCOMPARE(reopened.Value(grid1, RowOf(grid, QStringLiteral("columnname"), QStringLiteral("Standard")),
                            QStringLiteral("Visible")),
             QStringLiteral("0"));
    QCOMPARE(grid->CellText(RowOf(grid, QStringLiteral("columnname"), QStringLiteral("Total")),
                            QStringLiteral("FormulaName")),
             QStringLiteral("数量 * 单价"));
    const int free = PageOf(reopened, 2);
    QCOMPARE(reopened.TabGrids[free]->CellText(
                 RowOf(reopened.TabGrids[free], QStringLiteral("CMKvColumnNo"), QStringLiteral("42")),
                 QStringLiteral("ShowName")),
             QStringLiteral("尺码"));
}

QTEST_MAIN(TestLayouts)
#include "tst_layouts.moc"
