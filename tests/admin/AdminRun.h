#pragma once
// The outcome of one orvane-admin process, for the command-line tests.

#include <QString>

struct Run
{
    int code = -1; // -1: did not finish normally
    QString out;
    QString err;
};
