#include "uSNDef.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Kvtable.h"
#include "Udllbaseselect.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"

namespace {

const QStringList kTokens = {
    QStringLiteral("c"),      QStringLiteral("d"),       QStringLiteral("dd"),     QStringLiteral("ddd"),
    QStringLiteral("dddd"),   QStringLiteral("ddddd"),   QStringLiteral("dddddd"), QStringLiteral("m"),
    QStringLiteral("mm"),     QStringLiteral("mmm"),     QStringLiteral("mmmm"),   QStringLiteral("yy"),
    QStringLiteral("yyyy"),   QStringLiteral("h"),       QStringLiteral("hh"),     QStringLiteral("n"),
    QStringLiteral("nn"),     QStringLiteral("s"),       QStringLiteral("ss"),     QStringLiteral("z"),
    QStringLiteral("zzz"),    QStringLiteral("t"),       QStringLiteral("tt"),     QStringLiteral("am/pm"),
    QStringLiteral("a/p"),    QStringLiteral("ampm"),    QStringLiteral("[00]"),   QStringLiteral("[000]"),
    QStringLiteral("[0000]"), QStringLiteral("[00000]"), QStringLiteral("机器名"), QStringLiteral("单据前缀"),
    QStringLiteral("操作员")};
const QStringList kSeparators = {QStringLiteral("年"),   QStringLiteral("月"),   QStringLiteral("日"),
                                 QStringLiteral("上午"), QStringLiteral("下午"), QStringLiteral("-"),
                                 QStringLiteral("."),    QStringLiteral(":")};
const int kSwitchTags[] = {13, 48, 72, 132, 133};
constexpr int kFirstVchType = 11;
const QString kTooLong = QStringLiteral("单据编号格式总长度超出系统范围，请重新设置编号规则。");

void Inform(const QString &text)
{
    Udllmessageintf::SuperMessageBox(text, QString(), TMessageBoxType::mtInformation);
}

QString VchTypeName(int vchType)
{
    return Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT Name FROM GetVchtype WHERE VchType = ?"),
                                          {vchType})
        .toString();
}

} // namespace

TfrmSNDefDlg::TfrmSNDefDlg(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmSNDefDlg"));
    setWindowTitle(QStringLiteral("单据编号规则及样式"));
    auto *root = new QVBoxLayout(pnlEntry);

    lbl1 = new QLabel(QStringLiteral("编号样式由以下十个部分依次组成："), pnlEntry);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    root->addWidget(lbl1);
    auto *partsRow = new QHBoxLayout;
    cb = uNumberingCommon::CreateParts(pnlEntry, kTokens, kSeparators);
    for (QComboBox *part : cb) {
        partsRow->addWidget(part);
        connect(part, &QComboBox::editTextChanged, this, [this] { RefreshSample(); });
    }
    root->addLayout(partsRow);
    auto *sampleRow = new QHBoxLayout;
    lblSample = new QLabel(QStringLiteral("样例"), pnlEntry);
    lblSample->setObjectName(QStringLiteral("lblSample"));
    Lbsample = new QLabel(pnlEntry);
    Lbsample->setObjectName(QStringLiteral("Lbsample"));
    sampleRow->addWidget(lblSample);
    sampleRow->addWidget(Lbsample, 1);
    root->addLayout(sampleRow);

    PageControl1 = new QTabWidget(pnlEntry);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    root->addWidget(PageControl1, 1);

    tsStyle = new QWidget;
    tsStyle->setObjectName(QStringLiteral("tsStyle"));
    auto *styles = new QGridLayout(tsStyle);
    const QStringList styleNames = {QStringLiteral("样式一"), QStringLiteral("样式二"),
                                    QStringLiteral("样式三"), QStringLiteral("样式四"),
                                    QStringLiteral("样式五")};
    const QStringList samples = {QStringLiteral("XS-2004-01-01-00001"), QStringLiteral("XS-2004-00001"),
                                 QStringLiteral("XS-01-01-00001"), QStringLiteral("XS-20040101-00001"),
                                 QStringLiteral("PC1-XS-2004-01-01-00001")};
    for (int i = 0; i < 5; ++i) {
        auto *button = new QRadioButton(styleNames[i], tsStyle);
        button->setObjectName(QStringLiteral("RB%1").arg(i + 1));
        button->setProperty("tag", i + 1);
        connect(button, &QRadioButton::clicked, this, [this, i] { RB1Click(i + 1); });
        auto *sample = new QLabel(samples[i], tsStyle);
        sample->setObjectName(QStringLiteral("lb%1").arg(i + 1));
        styles->addWidget(button, i, 0);
        styles->addWidget(sample, i, 1);
        RB << button;
        lb << sample;
    }
    PageControl1->addTab(tsStyle, QStringLiteral("常用编号样式"));

    tsRule = new QWidget;
    tsRule->setObjectName(QStringLiteral("tsRule"));
    auto *rules = new QVBoxLayout(tsRule);
    rg1 = new TRadioGroup(QStringLiteral("rg1"), QStringLiteral("规则一"),
                          {QStringLiteral("一种单据连续编号"), QStringLiteral("所有单据连续编号")}, tsRule);
    rg3 = new TRadioGroup(
        QStringLiteral("rg3"), QStringLiteral("规则二"),
        {QStringLiteral("全年编号递增"), QStringLiteral("每月编号递增"), QStringLiteral("每日编号递增")},
        tsRule);
    connect(rg1, &TRadioGroup::clicked, this, [this] { rg1Click(); });
    lbl2 = new QLabel(QStringLiteral("规则一决定各种单据是否共用一个编号计数器，"), tsRule);
    lbl2->setObjectName(QStringLiteral("lbl2"));
    lbl3 = new QLabel(QStringLiteral("规则二决定编号计数器按年、按月还是按日重新开始。"), tsRule);
    lbl3->setObjectName(QStringLiteral("lbl3"));
    rules->addWidget(rg1);
    rules->addWidget(rg3);
    rules->addWidget(lbl2);
    rules->addWidget(lbl3);
    rules->addStretch(1);
    PageControl1->addTab(tsRule, QStringLiteral("编号规则"));

    tsSwitch = new QWidget;
    tsSwitch->setObjectName(QStringLiteral("tsSwitch"));
    auto *switchLayout = new QVBoxLayout(tsSwitch);
    gbSwitch = new QGroupBox(QStringLiteral("编号配置"), tsSwitch);
    gbSwitch->setObjectName(QStringLiteral("gbSwitch"));
    auto *boxes = new QVBoxLayout(gbSwitch);
    for (int i = 0; i < 5; ++i) {
        auto *box = new QCheckBox(gbSwitch);
        box->setObjectName(QStringLiteral("CheckB%1").arg(i + 1));
        box->setProperty("tag", kSwitchTags[i]);
        boxes->addWidget(box);
        CheckB << box;
    }
    switchLayout->addWidget(gbSwitch);
    switchLayout->addStretch(1);
    PageControl1->addTab(tsSwitch, QStringLiteral("编号配置"));

    const auto guarded = [this](void (TfrmSNDefDlg::*handler)()) {
        return [this, handler] { Kvtable::RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    SBtnClear = AddBottomButton(QStringLiteral("SBtnClear"), QStringLiteral("计数器清零"));
    SBtnOther = AddBottomButton(QStringLiteral("SBtnOther"), QStringLiteral("设置其他单据"));
    SBtnAll = AddBottomButton(QStringLiteral("SBtnAll"), QStringLiteral("应用到所有单据"));
    BitbOK = AddBottomButton(QStringLiteral("BitbOK"), QStringLiteral("确定"));
    BitbCancel = AddBottomButton(QStringLiteral("BitbCancel"), QStringLiteral("取消"), mrCancel);
    connect(SBtnClear, &QPushButton::clicked, this, guarded(&TfrmSNDefDlg::SBtnClearClick));
    connect(SBtnOther, &QPushButton::clicked, this, guarded(&TfrmSNDefDlg::SBtnOtherClick));
    connect(SBtnAll, &QPushButton::clicked, this, guarded(&TfrmSNDefDlg::SBtnAllClick));
    connect(BitbOK, &QPushButton::clicked, this, guarded(&TfrmSNDefDlg::BitbOKClick));
}

TfrmSNDefDlg::~TfrmSNDefDlg() = default;

QStringList TfrmSNDefDlg::StyleParts(int style)
{
    const QString head = QStringLiteral("单据前缀"), dash = QStringLiteral("-"),
                  seq = QStringLiteral("[00000]");
    const QString y = QStringLiteral("yyyy"), m = QStringLiteral("mm"), d = QStringLiteral("dd");
    QStringList parts;
    switch (style) {
    case 1:
        parts = {head, dash, y, dash, m, dash, d, dash, seq};
        break;
    case 2:
        parts = {head, dash, y, dash, seq};
        break;
    case 3:
        parts = {head, dash, m, dash, d, dash, seq};
        break;
    case 4:
        parts = {head, dash, y, m, d, dash, seq};
        break;
    case 5:
        parts = {QStringLiteral("机器名"), head, dash, y, dash, m, dash, d, dash, seq};
        break;
    default:
        break;
    }
    while (parts.size() < uNumberingCommon::PartCount)
        parts << QString();
    return parts;
}

bool TfrmSNDefDlg::Prepare()
{
    SetTitle(QStringLiteral("单据编号格式设置  "));
    if (FVchType > 0) {
        PageControl1->setCurrentWidget(tsStyle);
        LoadVchType(FVchType);
    } else {
        SBtnOtherClick();
        if (FVchType <= 0)
            return false;
    }
    RefreshSample();
    LoadSwitches();
    return true;
}

void TfrmSNDefDlg::LoadVchType(int vchType)
{
    const QString pattern =
        Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT SNFormat FROM GetVchtype WHERE VchType = ?"),
                                       {vchType})
            .toString();
    QStringList parts = uNumberingCommon::SplitParts(pattern);
    parts[0].remove(QLatin1Char('"'));
    for (int i = 0; i < cb.size(); ++i)
        cb[i]->setEditText(parts[i]);
    setWindowTitle(QStringLiteral("%1-[%2]").arg(windowTitle(), VchTypeName(vchType)));
    int matched = 1; // a pattern of no style shows style one, its parts kept
    for (int style = 1; style <= 5; ++style)
        if (StyleParts(style) == parts)
            matched = style;
    RB[matched - 1]->setChecked(true);
    rg1->SetItemIndex(uOrvaneCommon::GetSysValue(QStringLiteral("SNLex1")).trimmed().toInt());
    rg3->SetItemIndex(uOrvaneCommon::GetSysValue(QStringLiteral("SNLex3")).trimmed().toInt());
    rg3->setEnabled(rg1->ItemIndex() != 1);
}

void TfrmSNDefDlg::LoadSwitches()
{
    TClientDataSet rows;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT Name, Stats, ConId FROM T_GBL_SysCon WHERE ConId IN "
                                          "(13, 48, 72, 132, 133) ORDER BY ConId"),
                           rows);
    for (rows.First(); !rows.Eof(); rows.Next())
        for (QCheckBox *box : CheckB)
            if (box->property("tag").toInt() == rows.FieldByName(QStringLiteral("ConId")).AsInteger()) {
                box->setText(rows.FieldByName(QStringLiteral("Name")).AsString());
                box->setChecked(rows.FieldByName(QStringLiteral("Stats")).AsInteger() == 1);
            }
    // The basic edition numbers by the bill date always: its switch is hidden (the layout closes the gap).
    for (QCheckBox *box : CheckB)
        if (box->property("tag").toInt() == 72)
            box->setVisible(uDllComm::DllParams.PubVersion2 != 880);
    rg3->setEnabled(rg1->ItemIndex() != 1);
}

QString TfrmSNDefDlg::Pattern() const
{
    QStringList parts;
    for (const QComboBox *part : cb)
        parts << part->currentText();
    return uNumberingCommon::JoinParts(parts);
}

void TfrmSNDefDlg::RefreshSample()
{
    const QString pattern = Pattern();
    if (pattern.size() > uNumberingCommon::MaxPatternLength) {
        Udllmessageintf::ShowWarningMsg(kTooLong);
        return;
    }
    Lbsample->setText(uNumberingCommon::SampleNumber(pattern, FVchType, 0, QDateTime::currentDateTime()));
}

bool TfrmSNDefDlg::Validate()
{
    const QString pattern = Pattern();
    if (RB[1]->isChecked() && rg3->ItemIndex() != 0) {
        Udllmessageintf::ShowErrorMsg(QStringLiteral(
            "单据编号格式使用了“样式二”，编号设置必须选择“全年编号递增”，请重新设置编号规则。"));
        return false;
    }
    if (pattern.size() > uNumberingCommon::MaxPatternLength) {
        Udllmessageintf::ShowErrorMsg(kTooLong);
        return false;
    }
    static const QString special = QStringLiteral("~`!@#$%^&*\"<");
    const QString trimmed = pattern.trimmed();
    if (std::any_of(special.begin(), special.end(), [&trimmed](QChar c) { return trimmed.contains(c); })) {
        QStringList listed;
        for (QChar c : special)
            listed << QString(c);
        Udllmessageintf::ShowWarningMsg(QStringLiteral("单据编号不能包含以下特殊字符：\n    ") +
                                        listed.join(QStringLiteral(", ")));
        return false;
    }
    if (pattern.count(QLatin1Char('\'')) % 2) {
        Udllmessageintf::ShowErrorMsg(QStringLiteral("单据编号格式中的'必须成对出现，请重新设置编号规则。"));
        return false;
    }
    return true;
}

void TfrmSNDefDlg::SavePattern(int vchType)
{
    Udlldbservice::ExecuteProcByName(QStringLiteral("P_KOVA_SaveBillSNFormat"),
                                     {QStringLiteral("@VchType"), QStringLiteral("@SNFormat")},
                                     {vchType, Pattern()});
    uOrvaneCommon::SetSysValue(QStringLiteral("SNLex1"), QString::number(rg1->ItemIndex()));
    uOrvaneCommon::SetSysValue(QStringLiteral("SNLex3"), QString::number(rg3->ItemIndex()));
}

void TfrmSNDefDlg::RB1Click(int style)
{
    const QStringList parts = StyleParts(style);
    for (int i = 0; i < cb.size(); ++i)
        cb[i]->setEditText(parts[i]);
    RefreshSample();
}

void TfrmSNDefDlg::rg1Click()
{
    if (rg1->ItemIndex() == 1)
        rg3->SetItemIndex(0);
    rg3->setEnabled(rg1->ItemIndex() != 1);
}

void TfrmSNDefDlg::SBtnOtherClick()
{
    if (FVchType > 0 &&
        Udllmessageintf::ConfirmOKCancel(QStringLiteral("保存当前单据的编号样式吗？"),
                                         TMessageBoxType::mtInformation, QStringLiteral("提示信息"))) {
        if (!Validate())
            return;
        SavePattern(FVchType);
    }
    TBaseRecordList picked;
    if (!Udllbaseselect::SelectBaseData(QStringLiteral("Vchtype"), QString(), false, picked) ||
        picked.isEmpty())
        return;
    for (QComboBox *part : cb)
        part->setEditText(QString());
    const int vchType = picked.first().TypeId.toInt();
    LoadVchType(vchType);
    FVchType = vchType;
    const QString name = VchTypeName(vchType);
    SetTitle(QStringLiteral("单据编号格式设置-[%1]").arg(name)); // the title line (also the caption) first
    setWindowTitle(QStringLiteral("单据编号规则及样式-[%1]").arg(name));
    RefreshSample();
}

void TfrmSNDefDlg::SBtnAllClick()
{
    if (!Validate())
        return;
    SavePattern(0);
    Inform(QStringLiteral("已成功将当前编号规则应用到所有单据。"));
}

void TfrmSNDefDlg::BitbOKClick()
{
    if (!Validate())
        return;
    Udlldbservice::TTransaction transaction;
    SavePattern(FVchType);
    for (const QCheckBox *box : CheckB)
        uOrvaneCommon::SetSysConStats(box->property("tag").toInt(), box->isChecked());
    transaction.Commit();
    done(mrOk);
}

void TfrmSNDefDlg::SBtnClearClick()
{
    if (FVchType <= 0 ||
        !Udllmessageintf::ConfirmOKCancel(QStringLiteral("将全部单据的编号计数器设置为'0',确定要继续吗？"),
                                          TMessageBoxType::mtInformation, QString()))
        return;
    Udlldbservice::TTransaction transaction;
    Udlldbservice::ExecuteSQL(
        QStringLiteral("UPDATE T_GBL_Vchtype SET SNMax = 0; UPDATE billdaynumber SET MaxNo = 0; "
                       "UPDATE billmonthnumber SET MaxNo = 0; UPDATE BillYearNumber SET MaxNo = 0; "
                       "UPDATE AllBillsNumber SET MaxNo = 0"));
    uOrvaneCommon::SetSysValue(QStringLiteral("SNMax"), QStringLiteral("0"));
    transaction.Commit();
}

bool TfrmSNDefDlg::Execute()
{
    TfrmSNDefDlg form;
    form.FVchType = kFirstVchType;
    if (form.Prepare())
        form.exec();
    return true;
}
