#pragma once
// TAtypeLenManage: the code lengths of account levels 2..9 in use, and their change. A new length is
// applied by the database, which re-codes the chart and refuses (-5) when that would make codes
// collide; the level's system value is written either way.

#include <QString>
#include <array>
#include <memory>

#include "ParamList.h"

class TAtypeLenManage
{
public:
    TAtypeLenManage();
    ~TAtypeLenManage();

    // The current length of level 2..9; 0 outside.
    int Length(int level) const;
    // Applies a new length to level 2..9 (called in level order): the database re-codes the chart when
    // the current length is set and differs; a refusal clears is_TempSign and shows the level's message.
    void SetLength(int level, int length);

    std::unique_ptr<TParamList> vParams;
    bool is_TempSign = true;

    // "缩短第二级科目编码长度可能导致该级科目编码重复，不能缩短。" for level 2, and so on.
    static QString ShortenRefusedText(int level);

private:
    std::array<int, 8> FLengths{}; // Length2 .. Length9
};
