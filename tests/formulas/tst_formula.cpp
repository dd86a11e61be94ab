// Formula engine and formula services: evaluation by rewriting, the value limit, the check before
// saving with its messages, the stored form and the column list XML.

#include <QtTest>

#include "ClientDataSet.h"
#include "QuillInterfaces.h"
#include "Udllmessageintf.h"
#include "uFormulaCalculate.h"
#include "uFormulaCommon.h"

namespace {
struct Shown
{
    QString Text;
    TMessageBoxType Type;
    QString Caption;
};

// Records every message the services show.
class TRecordingMessages final : public IDllMessageCon
{
public:
    QList<Shown> Messages;

    TMessageBoxButton SuperMessageBox(const QString &text, const QString &caption, TMessageBoxType type,
                                      TMessageBoxButtons, TMessageBoxButton) override
    {
        Messages.append({text, type, caption});
        return TMessageBoxButton::mbOK;
    }
    bool ConfirmYesNo(const QString &text, TMessageBoxType type, const QString &caption) override
    {
        Messages.append({text, type, caption});
        return true;
    }
    bool ConfirmOKCancel(const QString &text, TMessageBoxType type, const QString &caption) override
    {
        Messages.append({text, type, caption});
        return true;
    }
    void ShowErrorMsg(const QString &text) override { Messages.append({text, TMessageBoxType::mtError, {}}); }
    void ShowWarningMsg(const QString &text) override
    {
        Messages.append({text, TMessageBoxType::mtWarning, {}});
    }
    void ShowInfoMessage(const QString &text) override
    {
        Messages.append({text, TMessageBoxType::mtInformation, {}});
    }
    int SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &, TMessageBoxType, bool, bool,
                                 bool) override
    {
        return 0;
    }
    void SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &, TMessageBoxType,
                                          bool) override
    {}
};

// The column list of a bill as the formula dialog loads it.
TClientDataSet BillColumns()
{
    TClientDataSet columns({QStringLiteral("fieldname"), QStringLiteral("ColumnName")});
    columns.AppendRow({QStringLiteral("数量"), QStringLiteral("Qty")});
    columns.AppendRow({QStringLiteral("单价"), QStringLiteral("price")});
    columns.AppendRow({QStringLiteral("金额"), QStringLiteral("total")});
    return columns;
}
// One row of evalResults: the expression, its result text and whether the value limit was hit.
void AddEval(const char *name, const char *expression, const char *expected, bool returnMax = false)
{
    QTest::newRow(name) << QString::fromUtf8(expression) << QString::fromUtf8(expected) << returnMax;
}
} // namespace

class TestFormula : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        FMessages.Messages.clear();
        Udllmessageintf::DllMessage = &FMessages;
    }
    void cleanup() { Udllmessageintf::DllMessage = nullptr; }

    void evalResults_data();
    void evalResults();
    void evalRejected_data();
    void evalRejected();
    void signCollapse_data();
    void signCollapse();
    void isReturnMaxStaysSet();

    void tokens_data();
    void tokens();
    void storedForm();
    void detailXml_data();
    void detailXml();
    void checkFormula_data();
    void checkFormula();
    void checkIgnoresFilterOfTheList();

private:
    TRecordingMessages FMessages;
};

void TestFormula::evalResults_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("returnMax");

    AddEval("group first", "(1+2)*3", "9");
    AddEval("braces and square brackets", "[1+2]*{3}", "9");
    AddEval("upper case and line breaks", "SQRT(9)+\r\n1", "4");
    AddEval("blanks around operators", " 1.50 * 1.50 * 1.1 ", "2.475");
    // Precedence and grouping from the left.
    AddEval("product before sum", "2+3*4", "14");
    AddEval("subtraction from the left", "1-2-3", "-4");
    AddEval("division from the left", "8/2/2", "2");
    AddEval("mixed levels", "10-6/3*2+1", "7");
    AddEval("nested groups", "((1+2)*(3+4))/7", "3");
    AddEval("nested mixed brackets", "2*[3-{4-(5-6)}]", "-4");
    AddEval("groups side by side", "(1+1)*(2+3)-(4)", "6");
    // Signs and negative intermediate values.
    AddEval("minus minus", "5--3", "8");
    AddEval("plus minus", "5+-3", "2");
    AddEval("blank inside a sign run", "5 - -3", "8");
    AddEval("negative sum then product", "1-5*2", "-9");
    AddEval("negative group times", "(1-5)*2", "-8");
    AddEval("times negative group", "2*(1-5)", "-8");
    AddEval("two negative groups", "(1-5)*(2-7)", "20");
    AddEval("divided by a negative group", "10/(2-4)", "-5");
    AddEval("negative times negative", "-3*-2", "6");
    AddEval("minus a negative group", "0-(0-3)", "3");
    AddEval("negative left operand", "-2-3+10", "5");
    AddEval("negative product chain", "3*-2*-2", "12");
    // Division by zero is no error.
    AddEval("divide by zero", "7/0", "0");
    AddEval("divide by a zero group", "1+7/(2-2)", "1");
    // Functions of one number.
    AddEval("sqrt", "sqrt(16)", "4");
    AddEval("abs", "abs(-5)", "5");
    AddEval("max gives its argument", "max(7)", "7");
    AddEval("min count sum avg", "min(1)+count(2)+sum(3)+avg(4)", "10");
    AddEval("sign of a negative group", "sign(2-5)", "-1");
    AddEval("sign of zero", "sign(0)", "0");
    AddEval("cos of zero", "cos(0)*5", "5");
    AddEval("function of a group", "abs(2-7)*2", "10");
    AddEval("function without parentheses", "abs 5", "5");
    // Every intermediate value is written back in its shortest decimal text.
    AddEval("shortest text of a sum", "0.1+0.2", "0.30000000000000004");
    AddEval("third times three", "1/3*3", "1");
    AddEval("trailing point", "5.*2", "10");
    // Exponent notation is converted to eight decimals before anything else.
    AddEval("exponent plus", "1e3+1", "1001");
    AddEval("exponent with sign", "1.5E+2*2", "300");
    AddEval("exponent rounded to eight places", "1.23456789e-3*1000", "1.23457");
    AddEval("tiny exponent is zero", "2e-9*1+1", "1");
    AddEval("empty exponent keeps the mantissa", "12e/4", "3");
    AddEval("exponent inside groups", "(2e2)/(1e1)", "20");
    AddEval("negative exponent number", "-1e2+50", "-50");
    // Below the smallest double is still below the smallest value: 0, not a fault. The minus
    // before it belongs to the exponent number, so "5-1e-400" reads as "5" followed by "0".
    AddEval("exponent below the smallest double", "1e-400*2+1", "1");
    AddEval("sign taken by a vanishing exponent", "5-1e-400", "50");
    // The value limit.
    AddEval("product above the limit", "100000*10000", "100000000", true);
    AddEval("exactly the limit", "10000*10000", "100000000");
    AddEval("exponent above the limit", "1e10-1", "99999999", true);
    AddEval("overflow cut to the positive limit", "0-200000000", "100000000", true);
    AddEval("below the smallest value", "0.000000001*1", "0");
    AddEval("the smallest value", "0.00000001*1", "0.00000001");
    AddEval("small difference", "1.000000001-1", "0");
    AddEval("small negative difference", "0-0.000000009", "0");
}

void TestFormula::evalResults()
{
    QFETCH(QString, expression);
    QFETCH(QString, expected);
    QFETCH(bool, returnMax);

    TFormulaCalculate calc;
    QString result = QStringLiteral("unset");
    calc.Eval(expression, result);
    QCOMPARE(result, expected);
    QVERIFY(!calc.isAbort);
    QCOMPARE(calc.isReturnMax, returnMax);
}

void TestFormula::evalRejected_data()
{
    QTest::addColumn<QString>("expression");

    QTest::newRow("two numbers apart") << "2 3";
    QTest::newRow("number before a group") << "2(3)";
    QTest::newRow("number after a group") << "(2)3";
    QTest::newRow("two stars") << "2**3";
    QTest::newRow("star slash with blank") << "2/ *3";
    QTest::newRow("unbalanced") << "(1+2";
    QTest::newRow("unbalanced brackets") << "[1+2))";
    QTest::newRow("no number") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("dangling operator") << "1+";
    QTest::newRow("unknown name") << "qty*2";
    QTest::newRow("groups apart") << "(2) (3)";
    QTest::newRow("empty group") << "()+1";
    QTest::newRow("square root of a negative") << "sqrt(-4)";
    QTest::newRow("square root of a negative group") << "1+sqrt(1-5)";
    QTest::newRow("exponent without digits") << "2e+*3";
    QTest::newRow("exponent out of range") << "1e999*0";
    QTest::newRow("leading operator") << "*2";
    QTest::newRow("no digit before the point") << ".5*2";
}

void TestFormula::evalRejected()
{
    QFETCH(QString, expression);

    TFormulaCalculate calc;
    QString result = QStringLiteral("unset");
    calc.Eval(expression, result);
    QCOMPARE(result, QStringLiteral("0"));
    QVERIFY(calc.isAbort);
}

void TestFormula::signCollapse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("minus plus") << "5-+3"
                                << "5-3";
    QTest::newRow("minus minus") << "--3"
                                 << "+3";
    QTest::newRow("three minuses") << "---3"
                                   << "-3";
    QTest::newRow("alternating") << "+-+-3"
                                 << "+3";
    QTest::newRow("long run") << "1+++-++--2"
                              << "1-2";
    QTest::newRow("nothing to collapse") << "1-2*3"
                                         << "1-2*3";
}

void TestFormula::signCollapse()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TFormulaCalculate::SignCollapse(text), expected);
}

void TestFormula::isReturnMaxStaysSet()
{
    // One instance per evaluation: only isAbort is cleared by the next Eval.
    TFormulaCalculate calc;
    QString result;
    calc.Eval(QStringLiteral("2 3"), result);
    QVERIFY(calc.isAbort);
    calc.Eval(QStringLiteral("99999999*2"), result);
    QVERIFY(!calc.isAbort);
    QVERIFY(calc.isReturnMax);
    calc.Eval(QStringLiteral("1+1"), result);
    QCOMPARE(result, QStringLiteral("2"));
    QVERIFY(calc.isReturnMax);
}

void TestFormula::tokens_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("captions and number") << "数量*单价*1.1" << QStringList{"数量", "*", "单价", "*", "1.1"};
    QTest::newRow("groups and blanks")
        << " 数量 * ( 单价 + 1.1 ) " << QStringList{"数量", "*", "(", "单价", "+", "1.1", ")"};
    QTest::newRow("adjacent operators") << "-(金额)/-2" << QStringList{"-", "(", "金额", ")", "/", "-", "2"};
    QTest::newRow("blank caption inside") << "数量 单价" << QStringList{"数量 单价"};
    QTest::newRow("empty") << "   " << QStringList{};
}

void TestFormula::tokens()
{
    QFETCH(QString, formula);
    QFETCH(QStringList, expected);
    QCOMPARE(uFormulaCommon::GetFormulaTokens(formula), expected);
}

void TestFormula::storedForm()
{
    const TClientDataSet columns = BillColumns();
    QCOMPARE(uFormulaCommon::ConvertFormula(QStringLiteral("数量*单价*1.1"), columns),
             QStringLiteral("qty*price* 1.1 "));
    QCOMPARE(uFormulaCommon::ConvertFormula(QStringLiteral("数量*单价*1.1"), columns, true),
             QStringLiteral(" 1.50 * 1.50 * 1.1 "));
    QCOMPARE(uFormulaCommon::ConvertFormula(QStringLiteral("(金额 - 数量) / 2"), columns),
             QStringLiteral("(total-qty)/ 2 "));
    // An unknown caption stays as written, lower-cased, and then fails evaluation.
    QCOMPARE(uFormulaCommon::ConvertFormula(QStringLiteral("Rate*数量"), columns),
             QStringLiteral(" rate *qty"));
}

void TestFormula::detailXml_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("expected");

    QTest::newRow("quantity times price")
        << "数量*单价*1.1"
        << R"(<Root><Record ColumnName="qty" /><Record ColumnName="price" /></Root>)";
    QTest::newRow("once per occurrence")
        << "数量*数量+金额"
        << R"(<Root><Record ColumnName="qty" /><Record ColumnName="qty" /><Record ColumnName="total" /></Root>)";
    QTest::newRow("numbers only") << "1+2"
                                  << "<Root></Root>";
}

void TestFormula::detailXml()
{
    QFETCH(QString, formula);
    QFETCH(QString, expected);
    QCOMPARE(uFormulaCommon::GetFormulaDetailXML(formula, BillColumns()), expected);
}

void TestFormula::checkFormula_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<bool>("isCalc");
    QTest::addColumn<bool>("expected");
    QTest::addColumn<QString>("message");

    const QString sum250 = QStringLiteral("1+").repeated(124) + QStringLiteral("11");
    QTest::newRow("calc 250 characters") << sum250 << true << true << "";
    QTest::newRow("calc 251 characters") << sum250 + "1" << true << false << "公式长度不要超过250位。";
    QTest::newRow("calc length after trimming") << "  " + sum250 + "  " << true << true << "";
    QTest::newRow("text 60 characters") << QString(60, QLatin1Char('a')) << false << true << "";
    QTest::newRow("text 61 characters")
        << QString(61, QLatin1Char('a')) << false << false << "公式长度不要超过60位。";
    QTest::newRow("text quote") << "数量'" << false << false << "公式中不能包含'。";
    QTest::newRow("text empty") << "" << false << true << "";
    QTest::newRow("text anything else") << "数量 ** (" << false << true << "";

    QTest::newRow("calc ok") << "数量*单价*1.1" << true << true << "";
    QTest::newRow("calc groups") << "(数量+金额)/单价" << true << true << "";
    QTest::newRow("calc double minus") << "数量--1" << true << false << "公式中不能包含--、/*或*/。";
    QTest::newRow("calc comment open") << "数量/*1" << true << false << "公式中不能包含--、/*或*/。";
    QTest::newRow("calc comment close") << "数量*/1" << true << false << "公式中不能包含--、/*或*/。";
    const QString forbidden = QStringLiteral("公式中不能包含%、&、^、|、,、~、'。");
    QTest::newRow("calc percent") << "数量%2" << true << false << forbidden;
    QTest::newRow("calc ampersand") << "数量&2" << true << false << forbidden;
    QTest::newRow("calc quote") << "数量'" << true << false << forbidden;
    QTest::newRow("calc comma") << "max(数量,2)" << true << false << forbidden;
    QTest::newRow("calc caret") << "数量^2" << true << false << forbidden;
    QTest::newRow("calc bar") << "数量|2" << true << false << forbidden;
    QTest::newRow("calc tilde") << "~数量" << true << false << forbidden;
    const QString wrong = QStringLiteral("公式有错误，请检查公式。");
    QTest::newRow("calc dangling operator") << "数量*" << true << false << wrong;
    QTest::newRow("calc unknown caption") << "数量*税率" << true << false << wrong;
    QTest::newRow("calc captions apart") << "数量 单价" << true << false << wrong;
    QTest::newRow("calc unbalanced") << "(数量+1" << true << false << wrong;
    QTest::newRow("calc empty") << "" << true << false << wrong;
    QTest::newRow("calc above the limit")
        << "数量*100000000" << true << false << "计算结果超过系统允许的范围。";
}

void TestFormula::checkFormula()
{
    QFETCH(QString, formula);
    QFETCH(bool, isCalc);
    QFETCH(bool, expected);
    QFETCH(QString, message);

    const TClientDataSet columns = BillColumns();
    QCOMPARE(uFormulaCommon::CheckFormula(formula, columns, isCalc, false), expected);
    QVERIFY(FMessages.Messages.isEmpty());

    QCOMPARE(uFormulaCommon::CheckFormula(formula, columns, isCalc, true), expected);
    if (message.isEmpty()) {
        QVERIFY(FMessages.Messages.isEmpty());
    } else {
        QCOMPARE(FMessages.Messages.size(), 1);
        QCOMPARE(FMessages.Messages.first().Text, message);
        QCOMPARE(FMessages.Messages.first().Type, TMessageBoxType::mtWarning);
    }
}

void TestFormula::checkIgnoresFilterOfTheList()
{
    // The dialog may leave a filter on its column list; captions are looked up in every row.
    TClientDataSet columns = BillColumns();
    columns.SetFilter([](const TClientDataSet &ds, const TClientDataSet::Row &row) {
        return ds.ValueIn(row, QStringLiteral("fieldname")).toString() == QStringLiteral("金额");
    });
    columns.SetFiltered(true);
    QVERIFY(uFormulaCommon::CheckFormula(QStringLiteral("数量*单价"), columns, true, true));
    QCOMPARE(uFormulaCommon::ConvertFormula(QStringLiteral("数量*单价"), columns),
             QStringLiteral("qty*price"));
    QCOMPARE(columns.RecordCount(), 1);
}

QTEST_GUILESS_MAIN(TestFormula)
#include "tst_formula.moc"
