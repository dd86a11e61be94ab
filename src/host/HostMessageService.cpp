#include "HostMessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace {
QMessageBox::Icon IconOf(TMessageBoxType type)
{
    switch (type) {
    case TMessageBoxType::mtError:
    case TMessageBoxType::mtFailure:
    case TMessageBoxType::mtStop:
        return QMessageBox::Critical;
    case TMessageBoxType::mtWarning:
        return QMessageBox::Warning;
    case TMessageBoxType::mtConfirmation:
    case TMessageBoxType::mtQuery:
        return QMessageBox::Question;
    case TMessageBoxType::mtNone:
        return QMessageBox::NoIcon;
    default:
        return QMessageBox::Information;
    }
}

struct ButtonMap
{
    TMessageBoxButton Ours;
    QMessageBox::StandardButton Qt;
};
constexpr ButtonMap kButtons[] = {
    {TMessageBoxButton::mbYes, QMessageBox::Yes},         {TMessageBoxButton::mbNo, QMessageBox::No},
    {TMessageBoxButton::mbCancel, QMessageBox::Cancel},   {TMessageBoxButton::mbAbort, QMessageBox::Abort},
    {TMessageBoxButton::mbOK, QMessageBox::Ok},           {TMessageBoxButton::mbRetry, QMessageBox::Retry},
    {TMessageBoxButton::mbIgnore, QMessageBox::Ignore},   {TMessageBoxButton::mbAll, QMessageBox::YesToAll},
    {TMessageBoxButton::mbNoToAll, QMessageBox::NoToAll}, {TMessageBoxButton::mbHelp, QMessageBox::Help},
};

int Ask(const QString &text, const QString &caption, TMessageBoxType type,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton def)
{
    QMessageBox box(IconOf(type), caption, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(def);
    return box.exec();
}
} // namespace

QString HostMessageService::DefaultCaption(TMessageBoxType type)
{
    switch (type) {
    case TMessageBoxType::mtError:
        return QStringLiteral("错误");
    case TMessageBoxType::mtWarning:
        return QStringLiteral("警告");
    case TMessageBoxType::mtConfirmation:
        return QStringLiteral("确认");
    default:
        return QStringLiteral("提示");
    }
}

TMessageBoxButton HostMessageService::SuperMessageBox(const QString &text, const QString &caption,
                                                      TMessageBoxType type, TMessageBoxButtons buttons,
                                                      TMessageBoxButton defaultButton)
{
    QMessageBox::StandardButtons qtButtons;
    QMessageBox::StandardButton qtDefault = QMessageBox::NoButton;
    for (const ButtonMap &b : kButtons) {
        if (buttons & (1u << static_cast<int>(b.Ours)))
            qtButtons |= b.Qt;
        if (b.Ours == defaultButton)
            qtDefault = b.Qt;
    }
    if (!qtButtons)
        qtButtons = QMessageBox::Ok;
    const int answer =
        Ask(text, caption.isEmpty() ? DefaultCaption(type) : caption, type, qtButtons, qtDefault);
    for (const ButtonMap &b : kButtons)
        if (b.Qt == answer)
            return b.Ours;
    return TMessageBoxButton::mbCancel;
}

bool HostMessageService::ConfirmYesNo(const QString &text, TMessageBoxType, const QString &caption)
{
    return Ask(text, caption.isEmpty() ? QStringLiteral("确认") : caption, TMessageBoxType::mtConfirmation,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool HostMessageService::ConfirmOKCancel(const QString &text, TMessageBoxType, const QString &caption)
{
    return Ask(text, caption.isEmpty() ? QStringLiteral("确认") : caption, TMessageBoxType::mtConfirmation,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

void HostMessageService::ShowErrorMsg(const QString &text)
{
    Ask(text, DefaultCaption(TMessageBoxType::mtError), TMessageBoxType::mtError, QMessageBox::Ok,
        QMessageBox::Ok);
}

void HostMessageService::ShowWarningMsg(const QString &text)
{
    Ask(text, DefaultCaption(TMessageBoxType::mtWarning), TMessageBoxType::mtWarning, QMessageBox::Ok,
        QMessageBox::Ok);
}

void HostMessageService::ShowInfoMessage(const QString &text)
{
    Ask(text, DefaultCaption(TMessageBoxType::mtInformation), TMessageBoxType::mtInformation, QMessageBox::Ok,
        QMessageBox::Ok);
}

const QStringList &HostMessageService::BatchCategoryNames()
{
    static const QStringList names = {
        QStringLiteral("单据"),       QStringLiteral("库存"),     QStringLiteral("委托代销库存"),
        QStringLiteral("实际库存"),   QStringLiteral("提示"),     QStringLiteral("序列号"),
        QStringLiteral("实际序列号"), QStringLiteral("生产库存"), QStringLiteral("委托加工库存"),
    };
    return names;
}

QString HostMessageService::BatchText(const std::array<TBillMessageList, 9> &lists)
{
    QStringList blocks;
    for (int i = 0; i < 9; ++i) {
        if (lists[i].isEmpty())
            continue;
        QStringList lines{QStringLiteral("【%1】").arg(BatchCategoryNames().at(i))};
        for (const TBillMessageInfo &m : lists[i])
            lines << (m.Number.isEmpty() ? m.Message : m.Number + QStringLiteral("：") + m.Message);
        blocks << lines.join(QLatin1Char('\n'));
    }
    return blocks.join(QStringLiteral("\n\n"));
}

int HostMessageService::SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &lists,
                                                 TMessageBoxType type, bool flag1, bool, bool)
{
    // flag1: the caller lets the user go on (OK) or stop (Cancel); 0 is acceptance, 2 a stop.
    const QMessageBox::StandardButtons buttons =
        flag1 ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok;
    const int answer = Ask(BatchText(lists), DefaultCaption(type), type, buttons,
                           flag1 ? QMessageBox::Cancel : QMessageBox::Ok);
    return answer == QMessageBox::Ok ? 0 : 2;
}

void HostMessageService::SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &lists,
                                                          TMessageBoxType type, bool)
{
    auto *box = new QMessageBox(IconOf(type), DefaultCaption(type), BatchText(lists), QMessageBox::Ok,
                                QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
