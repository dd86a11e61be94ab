#include <QtTest>

#include "tst_forms.h"
#include "uDllComm.h"

void TestForms::init()
{
    FAcct = std::make_unique<TestAccountSet>();
    uDllComm::DllParams.FparForm = nullptr;
    uDllComm::DllParams.PubVersion2 = 6680;
    uDllComm::DllParams.PubVersion3.clear();
}

void TestForms::cleanup()
{
    FAcct.reset();
}

QTEST_MAIN(TestForms)
