// The names and figures of the demo company.

#include "DemoNames.h"

namespace accountdb::demo {

const QList<GoodsClass> &goodsClasses()
{
    static const QList<GoodsClass> classes = {
        {"电子产品",
         {QStringLiteral("蓝牙耳机"), QStringLiteral("移动电源"), QStringLiteral("智能手环"),
          QStringLiteral("无线鼠标"), QStringLiteral("机械键盘"), QStringLiteral("路由器")},
         40,
         600},
        {"五金工具",
         {QStringLiteral("电钻"), QStringLiteral("扳手套装"), QStringLiteral("卷尺"),
          QStringLiteral("螺丝刀"), QStringLiteral("角磨机"), QStringLiteral("工具箱")},
         8,
         300},
        {"日用百货",
         {QStringLiteral("保温杯"), QStringLiteral("收纳箱"), QStringLiteral("毛巾"), QStringLiteral("雨伞"),
          QStringLiteral("台灯"), QStringLiteral("衣架")},
         3,
         120},
        {"食品饮料",
         {QStringLiteral("绿茶"), QStringLiteral("矿泉水"), QStringLiteral("饼干"), QStringLiteral("咖啡豆"),
          QStringLiteral("坚果礼盒"), QStringLiteral("果汁")},
         2,
         150},
        {"原材料",
         {QStringLiteral("铝板"), QStringLiteral("塑料粒子"), QStringLiteral("铜线"),
          QStringLiteral("包装纸箱"), QStringLiteral("电路板"), QStringLiteral("螺钉")},
         0.5,
         80},
    };
    return classes;
}

const QList<QPair<QString, QString>> &companyValues()
{
    static const QList<QPair<QString, QString>> values = {
        {QStringLiteral("CompanyName"), QStringLiteral("澄湖商贸")},
        {QStringLiteral("CompanyFullName"), QStringLiteral("澄湖商贸制造有限公司")},
        {QStringLiteral("Address"), QStringLiteral("江苏省苏州市工业园区星湖街 88 号")},
        {QStringLiteral("Tel"), QStringLiteral("0512-66881234")},
        {QStringLiteral("LegalMan"), QStringLiteral("周明远")},
        {QStringLiteral("TaxNo"), QStringLiteral("91320594MA1X2Y3Z4K")},
        {QStringLiteral("InventoryAccounting"), QStringLiteral("1")},
    };
    return values;
}

const QStringList &warehouseNames()
{
    static const QStringList names = {QStringLiteral("总仓"), QStringLiteral("东区仓"),
                                      QStringLiteral("西区仓"), QStringLiteral("门店仓")};
    return names;
}

const QStringList &departmentNames()
{
    static const QStringList names = {QStringLiteral("采购部"), QStringLiteral("销售部"),
                                      QStringLiteral("生产部")};
    return names;
}

const QStringList &employeeNames()
{
    static const QStringList names = {QStringLiteral("李娜"), QStringLiteral("王强"), QStringLiteral("陈静"),
                                      QStringLiteral("赵磊")};
    return names;
}

const QStringList &cityNames()
{
    static const QStringList names = {QStringLiteral("苏州"), QStringLiteral("杭州"), QStringLiteral("宁波"),
                                      QStringLiteral("无锡"), QStringLiteral("南京"), QStringLiteral("合肥"),
                                      QStringLiteral("上海"), QStringLiteral("嘉兴")};
    return names;
}

} // namespace accountdb::demo
