#include "BillListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>

#include "AccountDatabase.h"
#include "BillStore.h"
#include "HostBaseData.h"
#include "HostBillConfig.h"
#include "Kvbasicfun.h"

BillListWindow::BillListWindow(std::function<accountdb::AccountDatabase *()> db, int vchType, TOpenBill open,
                               QWidget *parent)
    : QWidget(parent), FDb(std::move(db)), FVchType(vchType), FOpen(std::move(open))
{
    setObjectName(QStringLiteral("frmBillList"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(HostBillConfig(FDb).GetBillName(vchType) + QStringLiteral("列表"));
    auto *layout = new QVBoxLayout(this);
    auto *filters = new QHBoxLayout;
    const auto edit = [&](const char *name, const QString &caption, const QString &value) {
        auto *e = new QLineEdit(value, this);
        e->setObjectName(QString::fromLatin1(name));
        filters->addWidget(new QLabel(caption, this));
        filters->addWidget(e);
        connect(e, &QLineEdit::returnPressed, this, &BillListWindow::Search);
        return e;
    };
    const auto [first, last] = BillStore::OpenDates(*FDb());
    edtDateFrom = edit("edtDateFrom", QStringLiteral("日期"), first);
    edtDateTo = edit("edtDateTo", QStringLiteral("至"), last);
    edtNumber = edit("edtNumber", QStringLiteral("单据编号"), QString());
    edtPartner = edit("edtPartner", QStringLiteral("往来单位"), QString());
    auto *search = new QPushButton(QStringLiteral("查询"), this);
    search->setObjectName(QStringLiteral("btnSearch"));
    connect(search, &QPushButton::clicked, this, &BillListWindow::Search);
    filters->addWidget(search);
    layout->addLayout(filters);

    grdBills = new QTableWidget(0, 6, this);
    grdBills->setObjectName(QStringLiteral("grdBills"));
    grdBills->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("单据编号"),
                                         QStringLiteral("往来单位"), QStringLiteral("金额"),
                                         QStringLiteral("状态"), QStringLiteral("摘要")});
    grdBills->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdBills->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdBills->horizontalHeader()->setStretchLastSection(true);
    connect(grdBills, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { FOpen(CodeAt(row), FVchType); });
    layout->addWidget(grdBills, 1);
    Search();
}

qint64 BillListWindow::CodeAt(int row) const
{
    const QTableWidgetItem *item = grdBills->item(row, 0);
    return item ? item->data(Qt::UserRole).toLongLong() : 0;
}

void BillListWindow::Search()
{
    const QString number = QStringLiteral("%") + HostBaseData::EscapeLike(edtNumber->text().trimmed()) + u'%';
    const QString partner =
        QStringLiteral("%") + HostBaseData::EscapeLike(edtPartner->text().trimmed()) + u'%';
    QSqlQuery q = FDb()->exec(
        QStringLiteral(
            "SELECT n.Vchcode, n.Date, n.Number, coalesce(b.FullName, ''), n.Total, n.Draft, n.RedWord, "
            "n.RedOld, n.Summary FROM DlyNdx n LEFT JOIN btype b ON b.typeId = n.BtypeId "
            "WHERE n.Vchtype = ? AND n.Date >= ? AND n.Date <= ? "
            "AND upper(n.Number) LIKE upper(?) ESCAPE '\\' "
            "AND (upper(coalesce(b.FullName, '')) LIKE upper(?) ESCAPE '\\' "
            "OR upper(coalesce(b.UserCode, '')) LIKE upper(?) ESCAPE '\\') "
            "ORDER BY n.Date, n.Vchcode"),
        {FVchType, edtDateFrom->text().trimmed(), edtDateTo->text().trimmed(), number, partner, partner});
    grdBills->setRowCount(0);
    while (q.next()) {
        const int row = grdBills->rowCount();
        grdBills->insertRow(row);
        const int draft = q.value(5).toInt();
        QString state = draft == 2   ? QStringLiteral("已过账")
                        : draft == 1 ? QStringLiteral("草稿")
                                     : QStringLiteral("审核中");
        if (q.value(6).toString() == QLatin1String("T"))
            state += QStringLiteral("（红字）");
        else if (q.value(7).toString() == QLatin1String("T"))
            state += QStringLiteral("（已红冲）");
        const QStringList cells = {q.value(1).toString(),
                                   q.value(2).toString(),
                                   q.value(3).toString(),
                                   Kvbasicfun::FloatToStringBit(q.value(4).toDouble(), 2),
                                   state,
                                   q.value(8).toString()};
        for (int c = 0; c < cells.size(); ++c)
            grdBills->setItem(row, c, new QTableWidgetItem(cells[c]));
        grdBills->item(row, 0)->setData(Qt::UserRole, q.value(0).toLongLong());
    }
}
