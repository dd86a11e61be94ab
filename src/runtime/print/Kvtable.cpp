#include "Kvtable.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "Kvprintdesign.h"
#include "QuillExceptions.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"

TCMKvPrintBtn::TCMKvPrintBtn(QWidget *parent, const QString &text) : TKvToolButton(text, parent)
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    const auto addAction = [this](const char *name, const QString &caption,
                                  void (TCMKvPrintBtn::*command)()) {
        QAction *action = PopupMenu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this,
                [this, command] { Kvtable::RunGuarded([=, this] { (this->*command)(); }); });
        return action;
    };
    actPrint = addAction("actPrint", QStringLiteral("打印"), &TCMKvPrintBtn::Print);
    actPreview = addAction("actPreview", QStringLiteral("打印预览"), &TCMKvPrintBtn::Preview);
    actPdf = addAction("actPdf", QStringLiteral("导出PDF"), &TCMKvPrintBtn::ExportPdf);
    PopupMenu->addSeparator();
    actDesign = addAction("actDesign", QStringLiteral("打印设计"), &TCMKvPrintBtn::Design);
    setMenu(PopupMenu);
    setPopupMode(QToolButton::InstantPopup);
    connect(PopupMenu, &QMenu::aboutToShow, this, [this] {
        bool refused = true;
        Kvtable::RunGuarded([this, &refused] {
            if (OnBeforePrintPopmenu)
                OnBeforePrintPopmenu(this);
            refused = false;
        });
        if (refused)
            QTimer::singleShot(0, PopupMenu, &QMenu::close);
    });
}

QWidget *TCMKvPrintBtn::MainGrid(int no) const
{
    return no >= 1 && no <= PrintDetailCount ? FGrids[no - 1].data() : nullptr;
}

void TCMKvPrintBtn::SetMainGrid(int no, QWidget *grid)
{
    if (no >= 1 && no <= PrintDetailCount)
        FGrids[no - 1] = grid;
}

void TCMKvPrintBtn::ClearMainGrids()
{
    FGrids.fill(nullptr);
}

void TCMKvPrintBtn::Prepare()
{
    if (OnPrintRight)
        OnPrintRight();
    if (OnBeforePrint)
        OnBeforePrint(this);
    if (FEngine.Title().isEmpty())
        for (const auto &[name, value] : FEngine.Header())
            if (name == QLatin1String("表名"))
                FEngine.SetTitle(value);
    if (FPrintID != 0 && Udlldbservice::DatabaseSvr)
        FEngine.SetLayout(TPrintLayout::Load(FPrintID, FTemplate));
}

void TCMKvPrintBtn::Finished()
{
    if (OnAfterPrint)
        OnAfterPrint(this);
    emit Printed();
}

void TCMKvPrintBtn::Print()
{
    Prepare();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(FEngine.Layout().PageLayout());
    printer.setDocName(FEngine.Title());
    QPrintDialog dialog(&printer, window());
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    FEngine.Paint(&printer);
    Finished();
}

void TCMKvPrintBtn::Preview()
{
    Prepare();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(FEngine.Layout().PageLayout());
    QPrintPreviewDialog dialog(&printer, window());
    dialog.setObjectName(QStringLiteral("dlgPrintPreview"));
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *target) { FEngine.Paint(target); });
    dialog.exec();
    Finished();
}

void TCMKvPrintBtn::ExportPdf()
{
    Prepare();
    const QString fileName = QFileDialog::getSaveFileName(window(), QStringLiteral("导出PDF"),
                                                          FEngine.Title() + QStringLiteral(".pdf"),
                                                          QStringLiteral("PDF 文件 (*.pdf)"));
    if (fileName.isEmpty())
        return;
    QString error;
    if (!FEngine.WritePdf(fileName, &error)) {
        Udllmessageintf::ShowErrorMsg(QStringLiteral("不能写入文件“%1”：%2").arg(fileName, error));
        return;
    }
    Finished();
}

void TCMKvPrintBtn::Design()
{
    if (OnBeforePrintMenu)
        OnBeforePrintMenu(this);
    Prepare();
    std::array<TPrintTable, PrintDetailCount> details;
    for (int d = 0; d < PrintDetailCount; ++d)
        details[d] = FEngine.Detail(d);
    TfrmPrintDesign dialog(FEngine.Layout(), details, window());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TPrintLayout layout = dialog.Layout();
    layout.Save(FPrintID, FTemplate);
    FEngine.SetLayout(layout);
}

bool TCMKvPrintBtn::WritePdf(const QString &fileName, QString *error)
{
    Prepare();
    if (!FEngine.WritePdf(fileName, error))
        return false;
    Finished();
    return true;
}

namespace Kvtable {

void RunGuarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const EAbort &) {
    } catch (const EDatabaseError &e) {
        Udllmessageintf::ShowErrorMsg(e.Message());
    } catch (const std::exception &e) {
        Udllmessageintf::ShowErrorMsg(QString::fromUtf8(e.what()));
    }
}

int GetRadioCheckEx(const QString &caption, const QStringList &choices, int defaultChoice, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmRadioCheck"));
    dialog.setWindowTitle(caption);
    auto *root = new QVBoxLayout(&dialog);
    QButtonGroup group(&dialog);
    for (int i = 0; i < choices.size(); ++i) {
        auto *radio = new QRadioButton(choices[i], &dialog);
        radio->setObjectName(QStringLiteral("rbChoice%1").arg(i + 1));
        radio->setChecked(i + 1 == defaultChoice);
        group.addButton(radio, i + 1);
        root->addWidget(radio);
    }
    auto *ok = new QPushButton(QStringLiteral("确定"), &dialog);
    ok->setObjectName(QStringLiteral("btnOK"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), &dialog);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    root->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted || group.checkedId() < 0)
        return -1;
    return group.checkedId();
}

} // namespace Kvtable
