#include "uPreviewAtype.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Udlldbservice.h"

namespace {
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kRecordRole = Qt::UserRole;
constexpr int kSelectedImageRole = Qt::UserRole + 2;
const QString kRoot = QStringLiteral("00000");

void SetImage(QTreeWidgetItem *node, int image)
{
    if (node->childCount() == 0)
        return; // a leaf keeps no picture

    node->setData(0, kImageRole, image);
    const QStyle *style = QApplication::style();
    node->setIcon(0, style->standardIcon(image == 1 ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
}
} // namespace

void TDataSetFormater::CopyDataSetStructure(const TClientDataSet &source, TClientDataSet &target)
{
    target.SetFieldNames(source.FieldNames());
}

void TDataSetFormater::CloneDataSet(const TClientDataSet &source, TClientDataSet &target)
{
    CopyDataSetStructure(source, target);
    for (int i = 0; i < source.RowCountAll(); ++i)
        target.AppendRow(source.RowAt(i));
    target.First();
}

void TDataSetFormater::CopyDataSetCurrentRecord(const TClientDataSet &source, TClientDataSet &target)
{
    TClientDataSet::Row row(target.FieldCount());
    const TClientDataSet::Row &current = source.CurrentRow();
    for (int i = 0; i < row.size() && i < current.size(); ++i)
        row[i] = current[i];
    target.AppendRow(row);
}

std::unique_ptr<TClientDataSet> TDataSetFormater::Create(const TClientDataSet &source)
{
    auto copy = std::make_unique<TClientDataSet>();
    CopyDataSetStructure(source, *copy);
    return copy;
}

TfrmPreviewAtype::TfrmPreviewAtype(int tradeId, QWidget *parent) : TfrmDialogParent(parent), FTradeID(tradeId)
{
    setObjectName(QStringLiteral("frmPreviewAtype"));
    SetTitle(QStringLiteral("科目预览"));
    tvAtype = new QTreeWidget(pnlEntry);
    tvAtype->setObjectName(QStringLiteral("tvAtype"));
    tvAtype->setHeaderHidden(true);
    tvAtype->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvAtype->setMinimumSize(360, 420);
    auto *layout = new QVBoxLayout(pnlEntry);
    layout->addWidget(tvAtype);
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"), mrOk);
    connect(tvAtype, &QTreeWidget::itemCollapsed, this, [](QTreeWidgetItem *node) { SetImage(node, 0); });
    connect(tvAtype, &QTreeWidget::itemExpanded, this, [](QTreeWidgetItem *node) { SetImage(node, 1); });
}

TfrmPreviewAtype::~TfrmPreviewAtype() = default;

int TfrmPreviewAtype::ImageIndex(const QTreeWidgetItem *node)
{
    const QVariant image = node->data(0, kImageRole);
    return image.isValid() ? image.toInt() : -1;
}

void TfrmPreviewAtype::FillTree()
{
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT typeId, parid, leveal, FullName, UserCode FROM TradeAtypeCW "
                       "WHERE TradeID = ? AND leveal > 0 ORDER BY leveal, typeId"),
        {FTradeID}, cdsGetRecordSet);
    tvAtype->clear();
    AddChildren(kRoot, nullptr);
    tvAtype->expandAll();
    if (tvAtype->topLevelItemCount() > 0)
        tvAtype->setCurrentItem(tvAtype->topLevelItem(0));
}

void TfrmPreviewAtype::AddChildren(const QString &parentId, QTreeWidgetItem *parent)
{
    TClientDataSet children;
    TDataSetFormater::CloneDataSet(cdsGetRecordSet, children);
    const int parid = children.FieldIndex(QStringLiteral("parid"));
    children.SetFilter([parid, parentId](const TClientDataSet &, const TClientDataSet::Row &row) {
        return row.value(parid).toString() == parentId;
    });
    children.SetFiltered(true);
    if (children.IsEmpty())
        return;
    children.SetIndexFieldNames(QStringLiteral("UserCode;FullName"));
    for (children.First(); !children.Eof(); children.Next()) {
        QVariantMap record;
        for (const char *field : {"typeid", "parid", "leveal", "FullName", "UserCode"})
            record.insert(QLatin1String(field),
                          children.Fields(children.FieldIndex(QLatin1String(field))).Value());
        const QString text = record.value(QStringLiteral("UserCode")).toString() + u' ' +
                             record.value(QStringLiteral("FullName")).toString();
        auto *node = parent ? new QTreeWidgetItem(parent, {text}) : new QTreeWidgetItem(tvAtype, {text});
        node->setData(0, kRecordRole, record);
        AddChildren(record.value(QStringLiteral("typeid")).toString(), node);
    }
    if (parent) {
        SetImage(parent, 0);
        parent->setData(0, kSelectedImageRole, 2);
    }
}

void TfrmPreviewAtype::Execute(int tradeId)
{
    TfrmPreviewAtype form(tradeId);
    form.FillTree();
    form.exec();
}
