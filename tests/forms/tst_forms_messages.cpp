// Batch messages (the module's list window and the host's bill box) and the input box.

#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "Kvbasicinfocomponent.h"
#include "tst_forms.h"
#include "uBatchMessage.h"
#include "uBillMessageComm.h"
#include "uInputBox.h"
#include "uMessageComm.h"

namespace {
struct TBatchWindowSeen
{
    bool Seen = false;
    QString Title, OKText, CloseText, Memo;
    bool OKVisible = false;
    int Icon = -1;
};

// Records what the list window shows, then presses the named button ("" = the window's close box).
void WatchBatchWindow(TBatchWindowSeen &seen, const QString &press)
{
    OnNextModal([&seen, press](QDialog *dialog) {
        auto *form = qobject_cast<TfrmBatchMessage *>(dialog);
        if (!form)
            return;
        seen.Seen = true;
        seen.Title = form->windowTitle();
        seen.OKText = form->btnOK->text();
        seen.CloseText = form->btnClose->text();
        seen.OKVisible = form->btnOK->isVisible();
        seen.Icon = form->IconType();
        seen.Memo = form->MsgMemo->toPlainText();
        if (press.isEmpty())
            form->close();
        else
            form->findChild<QPushButton *>(press)->click();
    });
}

TBillMessageInfo Bill(int vchcode, const QString &text)
{
    TBillMessageInfo info;
    info.Vchcode = vchcode;
    info.Vchtype = 11;
    info.Number = QStringLiteral("XS-%1").arg(vchcode);
    info.Message = text;
    return info;
}
} // namespace

void TestForms::addMsgUnique_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("same text twice") << QStringList{"库存不足", "库存不足"} << QStringList{"库存不足"};
    QTest::newRow("other letter case")
        << QStringList{"Item A missing", "ITEM a MISSING"} << QStringList{"Item A missing"};
    QTest::newRow("different texts in order") << QStringList{"b", "a", "B"} << QStringList{"b", "a"};
    QTest::newRow("nothing added") << QStringList{} << QStringList{};
}

void TestForms::addMsgUnique()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, kept);
    TBatchMessage batch;
    for (int i = 0; i < added.size(); ++i)
        i % 2 ? batch.AddDistinctMsg(added.at(i)) : batch.AddMsg(added.at(i));
    QCOMPARE(batch.MsgList(), kept);
    QCOMPARE(batch.HasMsg(), !kept.isEmpty());
    for (const QString &text : kept)
        QVERIFY(batch.Contains(text.toUpper()));
    batch.AssignMsg({QStringLiteral("x")});
    QCOMPARE(batch.MsgList(), QStringList{QStringLiteral("x")});
    batch.ClearMsg();
    QVERIFY(!batch.HasMsg());
}

void TestForms::batchWindow_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("okText");
    QTest::addColumn<QString>("closeText");
    QTest::addColumn<bool>("result");
    QTest::newRow("information") << "show"
                                 << "btnClose"
                                 << "提示" << 2 << "是"
                                 << "关闭" << false;
    QTest::newRow("warning shown as information") << "warning"
                                                  << "btnClose"
                                                  << "提示" << 2 << "是"
                                                  << "关闭" << false;
    QTest::newRow("error") << "error"
                           << "btnClose"
                           << "错误" << 1 << "是"
                           << "关闭" << false;
    QTest::newRow("yes/no answered yes") << "yesno"
                                         << "btnOK"
                                         << "请确认" << 3 << "是"
                                         << "否" << true;
    QTest::newRow("yes/no answered no") << "yesno"
                                        << "btnClose"
                                        << "请确认" << 3 << "是"
                                        << "否" << false;
    QTest::newRow("ok/cancel answered ok") << "okcancel"
                                           << "btnOK"
                                           << "请确认" << 3 << "确定"
                                           << "取消" << true;
}

void TestForms::batchWindow()
{
    QFETCH(QString, operation);
    QFETCH(QString, press);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(QString, okText);
    QFETCH(QString, closeText);
    QFETCH(bool, result);
    TBatchMessage batch;
    batch.AddMsg(QStringLiteral("第一行"));
    batch.AddMsg(QStringLiteral("第二行"));
    TBatchWindowSeen seen;
    WatchBatchWindow(seen, press);
    bool answer = false;
    if (operation == QLatin1String("show"))
        batch.ShowBatchMsg();
    else if (operation == QLatin1String("warning"))
        batch.ShowWarningBatchMsg();
    else if (operation == QLatin1String("error"))
        batch.ShowErrorBatchMsg();
    else if (operation == QLatin1String("yesno"))
        answer = batch.ConfirmYesNoBatchMsg();
    else
        answer = batch.ConfirmOKCancelBatchMsg();
    QVERIFY(seen.Seen);
    QCOMPARE(seen.Title, title);
    QCOMPARE(seen.Icon, icon);
    QCOMPARE(seen.OKText, okText);
    QCOMPARE(seen.CloseText, closeText);
    QCOMPARE(seen.OKVisible, operation == QLatin1String("yesno") || operation == QLatin1String("okcancel"));
    QCOMPARE(seen.Memo, QStringLiteral("第一行\n第二行"));
    QCOMPARE(answer, result);
    QVERIFY(FAcct->Messages().Messages.isEmpty()); // the module's own window, not the host box
}

void TestForms::confirmClosedReturnsFalse()
{
    TBatchMessage batch;
    batch.AddMsg(QStringLiteral("有未审核的单据"));
    TBatchWindowSeen seen;
    WatchBatchWindow(seen, QString());
    QVERIFY(!batch.ConfirmYesNoBatchMsg());
    QVERIFY(seen.Seen);
}

void TestForms::billBatchMessageDedup()
{
    TBillBatchMessage batch;
    QVERIFY(!batch.HasMsg());
    batch.AddMsg(QStringLiteral("保存成功"));
    batch.AddMsg(QStringLiteral("保存成功"));
    batch.AddStockMsg(Bill(1, QStringLiteral("库存不足")));
    batch.AddStockMsg(Bill(1, QStringLiteral("库存不足")));
    batch.AddStockMsg(Bill(2, QStringLiteral("库存不足")));
    batch.AddSerialNoMsg(Bill(1, QStringLiteral("库存不足")));
    batch.AddConsignStockMsg(Bill(3, QStringLiteral("委托不足")));
    QCOMPARE(batch.List(TBillBatchMessage::bmMsg).size(), 1);
    QCOMPARE(batch.List(TBillBatchMessage::bmMsg).first().Message, QStringLiteral("保存成功"));
    QCOMPARE(batch.List(TBillBatchMessage::bmStock).size(), 2);
    QCOMPARE(batch.List(TBillBatchMessage::bmSerialNo).size(), 1);
    QCOMPARE(batch.List(TBillBatchMessage::bmConsignStock).size(), 1);
    QVERIFY(batch.List(TBillBatchMessage::bmCommission).isEmpty());
    QVERIFY(batch.HasMsg());
    batch.ClearMsg();
    QVERIFY(!batch.HasMsg());
    batch.AddWorkShopMsg(Bill(4, QStringLiteral("车间")));
    QVERIFY(batch.HasMsg());
}

void TestForms::billBatchShow_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<int>>("types"); // message type ordinal of each host call
    QTest::addColumn<bool>("result");
    QTest::newRow("show") << "show" << 0 << QList<int>{2} << false;
    QTest::newRow("warning") << "warning" << 0 << QList<int>{0} << false;
    QTest::newRow("error") << "error" << 0 << QList<int>{1} << false;
    QTest::newRow("yes/no accepted") << "yesno" << 0 << QList<int>{3} << true;
    QTest::newRow("yes/no refused") << "yesno" << 1 << QList<int>{3} << false;
    QTest::newRow("ok/cancel accepted") << "okcancel" << 0 << QList<int>{3} << true;
    QTest::newRow("modeless show") << "showModaless" << 0 << QList<int>{2} << false;
    QTest::newRow("modeless yes/no accepted") << "yesnoModaless" << 0 << QList<int>{3} << true;
    QTest::newRow("modeless yes/no kept open") << "yesnoModaless" << 2 << QList<int>{3, 0} << false;
    QTest::newRow("modeless yes/no refused") << "yesnoModaless" << 1 << QList<int>{3} << false;
    QTest::newRow("modeless ok/cancel kept open") << "okcancelModaless" << 2 << QList<int>{3, 0} << false;
}

void TestForms::billBatchShow()
{
    QFETCH(QString, operation);
    QFETCH(int, answer);
    QFETCH(QList<int>, types);
    QFETCH(bool, result);
    RecordingMessageService &messages = FAcct->Messages();
    messages.BatchAnswer = answer;
    TBillBatchMessage batch;
    batch.AddMsg(QStringLiteral("总体"));
    batch.AddFactStockMsg(Bill(5, QStringLiteral("实际库存不足")));
    bool got = false;
    if (operation == QLatin1String("show"))
        batch.ShowBatchMsg();
    else if (operation == QLatin1String("warning"))
        batch.ShowWarningBatchMsg();
    else if (operation == QLatin1String("error"))
        batch.ShowErrorBatchMsg();
    else if (operation == QLatin1String("yesno"))
        got = batch.ConfirmYesNoBatchMsg();
    else if (operation == QLatin1String("okcancel"))
        got = batch.ConfirmOKCancelBatchMsg();
    else if (operation == QLatin1String("showModaless"))
        batch.ShowBatchMsgModaless();
    else if (operation == QLatin1String("yesnoModaless"))
        got = batch.ConfirmYesNoBatchMsgModaless();
    else
        got = batch.ConfirmOKCancelBatchMsgModaless();
    QCOMPARE(got, result);
    QList<int> seenTypes;
    for (const RecordedMessage &m : messages.Messages)
        seenTypes << static_cast<int>(m.Type);
    QCOMPARE(seenTypes, types);
    // All nine lists travel, in their order.
    const auto &lists = messages.Batches.first();
    QCOMPARE(lists[0].size(), 1);
    QCOMPARE(lists[0].first().Message, QStringLiteral("总体"));
    QCOMPARE(lists[3].size(), 1);
    QCOMPARE(lists[3].first().Vchcode, 5);
}

void TestForms::inputValue_data()
{
    QTest::addColumn<int>("dataType");
    QTest::addColumn<int>("layoutNo");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: the box closes with OK
    QTest::addColumn<QString>("result");
    const int price = int(TCMDataType::cdtFloat);
    const int text = int(TCMDataType::cdtString);
    QTest::newRow("price zero") << price << 0 << "0"
                                << "单价不能为零。" << QString();
    QTest::newRow("price below the smallest step") << price << 0 << "0.000001"
                                                   << "单价不能为零。" << QString();
    QTest::newRow("price empty") << price << 0 << ""
                                 << "请输入单价。" << QString();
    QTest::newRow("cost price zero") << price << 60 << "0"
                                     << "成本单价不能为零。" << QString();
    QTest::newRow("cost price empty") << price << 1 << ""
                                      << "请输入成本单价。" << QString();
    QTest::newRow("ordinary price") << price << 0 << "12.5" << QString() << "12.5";
    QTest::newRow("price capped") << price << 0 << "123456789" << QString() << "100000000";
    QTest::newRow("price at the cap") << price << 0 << "100000000" << QString() << "100000000";
    QTest::newRow("negative price capped") << price << 0 << "-200000000" << QString() << "-100000000";
    QTest::newRow("text zero is a value") << text << 0 << "0" << QString() << "0";
}

void TestForms::inputValue()
{
    QFETCH(int, dataType);
    QFETCH(int, layoutNo);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, result);
    bool openAfterOK = false;
    QString title, prompt;
    OnNextModal([&](QDialog *dialog) {
        auto *box = qobject_cast<TfrmInputBox *>(dialog);
        if (!box)
            return;
        title = box->windowTitle();
        prompt = box->lbPrompt->text();
        box->edtInput->SetText(text);
        box->btnOK->click();
        openAfterOK = box->isVisible();
        if (openAfterOK)
            box->btnCancel->click();
    });
    QString value = QStringLiteral("initial");
    const bool ok = InputValue(QStringLiteral("修改单价"), QStringLiteral("单价"), value, layoutNo,
                               static_cast<TCMDataType>(dataType));
    QCOMPARE(title, QStringLiteral("修改单价"));
    QCOMPARE(prompt, QStringLiteral("单价"));
    QCOMPARE(openAfterOK, !message.isEmpty());
    QCOMPARE(ok, message.isEmpty());
    QCOMPARE(value, message.isEmpty() ? result : QStringLiteral("initial"));
    if (message.isEmpty()) {
        QVERIFY(FAcct->Messages().Messages.isEmpty());
    } else {
        QCOMPARE(FAcct->Messages().Messages.size(), 1);
        QCOMPARE(FAcct->Messages().Messages.first().Kind, QStringLiteral("info"));
        QCOMPARE(FAcct->Messages().LastText(), message);
    }
}

void TestForms::inputValueLayout()
{
    TfrmInputBox plain, wide;
    plain.SetDataType(TCMDataType::cdtFloat);
    QCOMPARE(plain.edtInput->MaxLength(), 255);
    plain.ApplyLayoutNo(0);
    QVERIFY(!plain.IsCostPrice);
    wide.ApplyLayoutNo(112);
    QVERIFY(wide.IsCostPrice);
    QCOMPARE(wide.minimumWidth(), 2 * plain.minimumWidth());
    // The cost price box carries its buttons above the entry.
    auto *root = wide.layout();
    QVERIFY(root->indexOf(wide.pnlBottom) < root->indexOf(wide.pnlEntry));
    wide.show();
    QVERIFY(!wide.pnlTitle->isVisible());
    QCOMPARE(wide.edtInput->LabelSpacing(), 5);
}
