#pragma once
// The names and figures of the demo company: its system values, warehouses, departments, staff,
// the cities of its partners and its goods classes.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace accountdb::demo {

// Goods class: name, the nouns of its items and the range of their costs. The fifth class holds the
// raw materials, the fourth (food) is kept by batch.
struct GoodsClass
{
    const char *name;
    QStringList nouns;
    double minCost;
    double maxCost;
};

const QList<GoodsClass> &goodsClasses();
const QList<QPair<QString, QString>> &companyValues(); // system value name, value
const QStringList &warehouseNames();
const QStringList &departmentNames();
const QStringList &employeeNames();
const QStringList &cityNames();

} // namespace accountdb::demo
