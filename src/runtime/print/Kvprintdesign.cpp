#include "Kvprintdesign.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kNameRole = Qt::UserRole;

const QList<QPair<QString, QPageSize::PageSizeId>> &Papers()
{
    static const QList<QPair<QString, QPageSize::PageSizeId>> kPapers = {
        {QStringLiteral("A4"), QPageSize::A4},         {QStringLiteral("A3"), QPageSize::A3},
        {QStringLiteral("A5"), QPageSize::A5},         {QStringLiteral("B5"), QPageSize::B5},
        {QStringLiteral("Letter"), QPageSize::Letter}, {QStringLiteral("Legal"), QPageSize::Legal},
    };
    return kPapers;
}

QDoubleSpinBox *MarginEdit(const char *name, qreal value, QWidget *parent)
{
    auto *edit = new QDoubleSpinBox(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setRange(0, 60);
    edit->setDecimals(1);
    edit->setSuffix(QStringLiteral(" mm"));
    edit->setValue(value);
    return edit;
}

} // namespace

TfrmPrintDesign::TfrmPrintDesign(const TPrintLayout &layout,
                                 const std::array<TPrintTable, PrintDetailCount> &details, QWidget *parent)
    : QDialog(parent), FLayout(layout), FDetails(details)
{
    setObjectName(QStringLiteral("frmPrintDesign"));
    setWindowTitle(QStringLiteral("打印设计"));

    auto *columnsBox = new QGroupBox(QStringLiteral("打印列"), this);
    cbxDetail = new QComboBox(columnsBox);
    cbxDetail->setObjectName(QStringLiteral("cbxDetail"));
    for (int d = 0; d < PrintDetailCount; ++d)
        if (!FDetails[d].IsEmpty())
            cbxDetail->addItem(
                FDetails[d].Title.isEmpty() ? QStringLiteral("明细%1").arg(d + 1) : FDetails[d].Title, d);
    lstColumns = new QListWidget(columnsBox);
    lstColumns->setObjectName(QStringLiteral("lstColumns"));
    lstColumns->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    btnUp = new QPushButton(QStringLiteral("上移"), columnsBox);
    btnUp->setObjectName(QStringLiteral("btnUp"));
    btnDown = new QPushButton(QStringLiteral("下移"), columnsBox);
    btnDown->setObjectName(QStringLiteral("btnDown"));
    btnReset = new QPushButton(QStringLiteral("恢复默认"), columnsBox);
    btnReset->setObjectName(QStringLiteral("btnReset"));
    auto *moveButtons = new QVBoxLayout;
    for (QPushButton *b : {btnUp, btnDown, btnReset})
        moveButtons->addWidget(b);
    moveButtons->addStretch(1);
    auto *listRow = new QHBoxLayout;
    listRow->addWidget(lstColumns, 1);
    listRow->addLayout(moveButtons);
    auto *columnsLayout = new QVBoxLayout(columnsBox);
    columnsLayout->addWidget(cbxDetail);
    columnsLayout->addLayout(listRow);

    auto *pageBox = new QGroupBox(QStringLiteral("纸张"), this);
    cbxPaper = new QComboBox(pageBox);
    cbxPaper->setObjectName(QStringLiteral("cbxPaper"));
    for (const auto &[name, id] : Papers())
        cbxPaper->addItem(name, int(id));
    cbxPaper->setCurrentIndex(std::max(0, cbxPaper->findData(int(FLayout.Paper))));
    cbxOrientation = new QComboBox(pageBox);
    cbxOrientation->setObjectName(QStringLiteral("cbxOrientation"));
    cbxOrientation->addItem(QStringLiteral("纵向"), int(QPageLayout::Portrait));
    cbxOrientation->addItem(QStringLiteral("横向"), int(QPageLayout::Landscape));
    cbxOrientation->setCurrentIndex(FLayout.Orientation == QPageLayout::Landscape ? 1 : 0);
    edtMarginLeft = MarginEdit("edtMarginLeft", FLayout.Margins.left(), pageBox);
    edtMarginTop = MarginEdit("edtMarginTop", FLayout.Margins.top(), pageBox);
    edtMarginRight = MarginEdit("edtMarginRight", FLayout.Margins.right(), pageBox);
    edtMarginBottom = MarginEdit("edtMarginBottom", FLayout.Margins.bottom(), pageBox);
    auto *pageLayout = new QFormLayout(pageBox);
    pageLayout->addRow(QStringLiteral("纸张大小"), cbxPaper);
    pageLayout->addRow(QStringLiteral("方向"), cbxOrientation);
    pageLayout->addRow(QStringLiteral("左边距"), edtMarginLeft);
    pageLayout->addRow(QStringLiteral("上边距"), edtMarginTop);
    pageLayout->addRow(QStringLiteral("右边距"), edtMarginRight);
    pageLayout->addRow(QStringLiteral("下边距"), edtMarginBottom);

    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto *body = new QHBoxLayout;
    body->addWidget(columnsBox, 1);
    body->addWidget(pageBox);
    auto *root = new QVBoxLayout(this);
    root->addLayout(body, 1);
    root->addLayout(buttons);

    connect(cbxDetail, &QComboBox::currentIndexChanged, this,
            [this] { ShowDetail(cbxDetail->currentData().toInt()); });
    connect(btnUp, &QPushButton::clicked, this, [this] { MoveCurrent(-1); });
    connect(btnDown, &QPushButton::clicked, this, [this] { MoveCurrent(1); });
    connect(btnReset, &QPushButton::clicked, this, [this] {
        FLayout.Columns[FShownDetail].clear();
        const int detail = FShownDetail;
        FShownDetail = -1;
        ShowDetail(detail);
    });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    if (cbxDetail->count() > 0)
        ShowDetail(cbxDetail->currentData().toInt());
}

void TfrmPrintDesign::ShowDetail(int detail)
{
    KeepDetail();
    FShownDetail = detail;
    lstColumns->clear();
    for (const TPrintColumn &c : FLayout.ColumnsFor(detail, FDetails[detail])) {
        auto *item = new QListWidgetItem(c.Caption.isEmpty() ? c.Name : c.Caption, lstColumns);
        item->setData(kNameRole, c.Name);
        item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
        item->setCheckState(c.Visible ? Qt::Checked : Qt::Unchecked);
    }
}

void TfrmPrintDesign::KeepDetail()
{
    if (FShownDetail < 0)
        return;
    QList<TPrintColumn> columns;
    for (int i = 0; i < lstColumns->count(); ++i) {
        const QListWidgetItem *item = lstColumns->item(i);
        const QString name = item->data(kNameRole).toString();
        const QString caption = item->text().trimmed();
        columns.append({name, caption == name ? QString() : caption, item->checkState() == Qt::Checked});
    }
    FLayout.Columns[FShownDetail] = columns;
}

void TfrmPrintDesign::MoveCurrent(int step)
{
    const int row = lstColumns->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= lstColumns->count())
        return;
    lstColumns->insertItem(target, lstColumns->takeItem(row));
    lstColumns->setCurrentRow(target);
}

TPrintLayout TfrmPrintDesign::Layout()
{
    KeepDetail();
    FLayout.Paper = QPageSize::PageSizeId(cbxPaper->currentData().toInt());
    FLayout.Orientation = QPageLayout::Orientation(cbxOrientation->currentData().toInt());
    FLayout.Margins = QMarginsF(edtMarginLeft->value(), edtMarginTop->value(), edtMarginRight->value(),
                                edtMarginBottom->value());
    return FLayout;
}
