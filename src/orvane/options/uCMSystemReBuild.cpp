#include "uCMSystemReBuild.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Udllaccountintf.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uSqlFileCommon.h"

using namespace uCMSystemReBuildCore;

// The pictures live in this static library; a library's resources are registered by a call.
void InitOptionsPictures()
{
    Q_INIT_RESOURCE(options);
}

namespace {

constexpr int kFunctionNo = 1324;

struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

template <typename T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox *NewCheck(const char *name, const QString &text, QWidget *parent)
{
    return Named(new QCheckBox(text, parent), name);
}

QGroupBox *NewGroup(const char *name, const QString &title, QWidget *parent,
                    std::initializer_list<QCheckBox **> boxes,
                    std::initializer_list<std::pair<const char *, QString>> captions)
{
    auto *group = Named(new QGroupBox(title, parent), name);
    auto *layout = new QVBoxLayout(group);
    auto caption = captions.begin();
    for (QCheckBox **box : boxes) {
        *box = NewCheck(caption->first, caption->second, group);
        layout->addWidget(*box);
        ++caption;
    }
    return group;
}

} // namespace

TfrmCMSystemReBuild::TfrmCMSystemReBuild(QWidget *parent) : TfrmDialogParent(parent)
{
    InitOptionsPictures();
    BuildControls();
    Prepare();
}

TfrmCMSystemReBuild::~TfrmCMSystemReBuild() = default;

bool TfrmCMSystemReBuild::Execute()
{
    if (uCMSystemReBuildCore::NormalTokenRefused())
        return false;
    TfrmCMSystemReBuild form;
    return form.exec() == mrOk;
}

void TfrmCMSystemReBuild::BuildControls()
{
    auto *outer = new QHBoxLayout(pnlEntry);
    imgleft = Named(new QLabel(pnlEntry), "imgleft");
    imgleft->setPixmap(QPixmap(QStringLiteral(":/options/RebuildLeft")));
    imgleft1 = Named(new QLabel(pnlEntry), "imgleft1");
    imgleft1->setPixmap(QPixmap(QStringLiteral(":/options/RebuildLeftGL")));
    outer->addWidget(imgleft);
    outer->addWidget(imgleft1);
    pgMain = Named(new QTabWidget(pnlEntry), "pgMain");
    outer->addWidget(pgMain, 1);

    tsCondition = Named(new QWidget, "tsCondition");
    auto *page = new QVBoxLayout(tsCondition);
    Infore_GroupBox = Named(new QGroupBox(tsCondition), "Infore_GroupBox");
    auto *info = new QVBoxLayout(Infore_GroupBox);
    Inform_Label1 = Named(
        new QLabel(QStringLiteral("系统重建是非常重要的操作，请用户根据需要选择重建选项："), Infore_GroupBox),
        "Inform_Label1");
    Inform_Label2 =
        Named(new QLabel(QStringLiteral("1 请根据需要选择重建选项。"), Infore_GroupBox), "Inform_Label2");
    Inform_Label3 = Named(new QLabel(QStringLiteral("2 系统重建前，请先做好数据备份。"), Infore_GroupBox),
                          "Inform_Label3");
    Inform_Label4 = Named(new QLabel(QStringLiteral("3 重建期间请停止关于账套的其他操作。"), Infore_GroupBox),
                          "Inform_Label4");
    for (QLabel *label : {Inform_Label1, Inform_Label2, Inform_Label3, Inform_Label4})
        info->addWidget(label);
    page->addWidget(Infore_GroupBox);
    grpIniData = NewGroup("grpIniData", QStringLiteral("期初数据"), tsCondition, {&chkIniData},
                          {{"chkIniData", QStringLiteral("保留期初数据")}});
    grpGeneralManage = NewGroup("grpGeneralManage", QStringLiteral("出纳管理"), tsCondition, {&chkGMData},
                                {{"chkGMData", QStringLiteral("保留出纳数据")}});
    grpOther = NewGroup("grpOther", QStringLiteral("其他"), tsCondition,
                        {&chkOrders, &chkCheckedOrders, &chkDraft, &chkPriceTrack},
                        {{"chkOrders", QStringLiteral("保留所有订单")},
                         {"chkCheckedOrders", QStringLiteral("保留已审核订单")},
                         {"chkDraft", QStringLiteral("保留草稿")},
                         {"chkPriceTrack", QStringLiteral("保留价格跟踪数据")}});
    for (QGroupBox *group : {grpIniData, grpGeneralManage, grpOther})
        page->addWidget(group);
    page->addStretch(1);
    pgMain->addTab(tsCondition, QStringLiteral("重建选项"));

    tsWorktable = Named(new QWidget, "tsWorktable");
    auto *work = new QVBoxLayout(tsWorktable);
    grpTask = NewGroup("grpTask", QStringLiteral("任务单选项"), tsWorktable,
                       {&chkAllTask, &chkTaskDone, &chkTaskUnDone},
                       {{"chkAllTask", QStringLiteral("保留所有任务单")},
                        {"chkTaskDone", QStringLiteral("保留已完成任务单")},
                        {"chkTaskUnDone", QStringLiteral("保留未完成任务单")}});
    grpMsg =
        NewGroup("grpMsg", QStringLiteral("消息选项"), tsWorktable, {&chkAllMsg, &chkMsgRead, &chkMsgUnRead},
                 {{"chkAllMsg", QStringLiteral("保留所有消息")},
                  {"chkMsgRead", QStringLiteral("保留已读消息")},
                  {"chkMsgUnRead", QStringLiteral("保留未读消息")}});
    grpSchedule = NewGroup("grpSchedule", QStringLiteral("日程选项"), tsWorktable,
                           {&chkAllSchedule, &chkScheduleDone, &chkScheduleUnDone},
                           {{"chkAllSchedule", QStringLiteral("保留所有日程")},
                            {"chkScheduleDone", QStringLiteral("保留已完成日程")},
                            {"chkScheduleUnDone", QStringLiteral("保留未完成日程")}});
    // Tasks and schedules are not offered; their boxes stay unchecked and are read all the same.
    grpTask->setVisible(false);
    grpSchedule->setVisible(false);
    for (QGroupBox *group : {grpTask, grpMsg, grpSchedule})
        work->addWidget(group);
    work->addStretch(1);
    pgMain->addTab(tsWorktable, QStringLiteral("工作台重建选项"));

    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnOK, &QPushButton::clicked, this, &TfrmCMSystemReBuild::btnOKClick);
    connect(chkOrders, &QCheckBox::clicked, this, &TfrmCMSystemReBuild::chkOrdersClick);
    connect(chkCheckedOrders, &QCheckBox::clicked, this, &TfrmCMSystemReBuild::chkCheckedOrdersClick);
    connect(chkPriceTrack, &QCheckBox::clicked, this, &TfrmCMSystemReBuild::chkCheckedOrdersClick);
}

void TfrmCMSystemReBuild::Prepare()
{
    SetTitle(QStringLiteral("系统重建"));
    SetFunctionNo(kFunctionNo);
    const TDllParams &params = uDllComm::DllParams;
    imgleft->setVisible(!params.IsGL);
    imgleft1->setVisible(params.IsGL);
    chkPriceTrack->setVisible(!params.IsGL);
    pgMain->setCurrentWidget(tsCondition);
    if (params.PubVersion2 == 880) {
        grpGeneralManage->setVisible(false);
        chkDraft->setVisible(false);
        chkCheckedOrders->setVisible(false);
        grpOther->move(grpOther->x(), grpGeneralManage->y());
        chkPriceTrack->move(chkPriceTrack->x(), chkCheckedOrders->y());
        grpOther->setFixedHeight(38);
    }
    grpOther->setVisible(!params.IsGL);
    pgMain->setTabVisible(pgMain->indexOf(tsWorktable), params.PubVersion2 > 880);
    chkPriceTrack->setChecked(true);
}

TRebuildOptions TfrmCMSystemReBuild::Options() const
{
    TRebuildOptions o;
    o.IniData = chkIniData->isChecked();
    o.GMData = chkGMData->isChecked();
    o.Orders = chkOrders->isChecked();
    o.CheckedOrders = chkCheckedOrders->isChecked();
    o.Draft = chkDraft->isChecked();
    o.PriceTrack = chkPriceTrack->isChecked();
    o.AllTask = chkAllTask->isChecked();
    o.TaskDone = chkTaskDone->isChecked();
    o.TaskUnDone = chkTaskUnDone->isChecked();
    o.AllMsg = chkAllMsg->isChecked();
    o.MsgRead = chkMsgRead->isChecked();
    o.MsgUnRead = chkMsgUnRead->isChecked();
    o.AllSchedule = chkAllSchedule->isChecked();
    o.ScheduleDone = chkScheduleDone->isChecked();
    o.ScheduleUnDone = chkScheduleUnDone->isChecked();
    return o;
}

bool TfrmCMSystemReBuild::Rebuild()
{
    using Udllmessageintf::ConfirmOKCancel;
    if (!ConfirmOKCancel(ConfirmText))
        return false;
    TWaitCursor wait;
    const TRebuildOptions options = Options();
    for (const QString &question : DataQuestions())
        if (!ConfirmOKCancel(question))
            return false;
    if (Udllmessageintf::ConfirmYesNo(BackupQuestion)) {
        const int code = Udllaccountintf::BackUpDataBase(
            QStringLiteral("系统重建前备份") +
                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")),
            Udllsystemintf::GetPubZtName());
        if (uSqlFileCommon::BackupFailed(code)) {
            Udllmessageintf::ShowErrorMsg(uSqlFileCommon::BackupResultMessage(code));
            return false;
        }
    }
    const TRunResult result = Run(options);
    switch (result.Status) {
    case TRunStatus::Done:
        break;
    case TRunStatus::Busy:
        Udllmessageintf::ShowWarningMsg(result.Message);
        return false;
    case TRunStatus::PlugInFailed:
        Udllmessageintf::ShowErrorMsg(result.Message);
        return false;
    case TRunStatus::Refused:
        return false;
    }
    Udllmessageintf::SuperMessageBox(DoneText);
    Udllsystemintf::RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
    return true;
}

void TfrmCMSystemReBuild::btnOKClick()
{
    done(Rebuild() ? mrOk : mrCancel);
}

void TfrmCMSystemReBuild::chkOrdersClick()
{
    if (chkOrders->isChecked())
        chkCheckedOrders->setChecked(true);
}

void TfrmCMSystemReBuild::chkCheckedOrdersClick()
{
    if (!chkCheckedOrders->isChecked())
        chkOrders->setChecked(false);
}
