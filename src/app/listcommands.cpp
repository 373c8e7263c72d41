#include "listcommands.h"

#include <array>

#include "commandids.h"

namespace corvane {
namespace {

struct Entry {
    int id;
    const char16_t* text;
    const char16_t* prompt;
    const char16_t* tip;
};

constexpr std::array<Entry, 11> kListCommands{{
    {ID_LIST_INSERT_ROW, u"插入一行(&I)", u"当前列表插入一行数据", u"插入一行"},
    {ID_LIST_DELETE_CHECKED, u"删除勾选行(&C)", u"删除当前勾选的行", u"删除勾选行"},
    {ID_LIST_MOVE_UP, u"上移一行(&U)", u"上移当前选择的列表行", u"上移一行"},
    {ID_LIST_MOVE_DOWN, u"下移一行(&D)", u"下移当前选择的列表行", u"下移一行"},
    {ID_LIST_MOVE_FIRST, u"移到首行(&T)", u"将当前选择行移动到首行位置", u"移到首行"},
    {ID_LIST_MOVE_LAST, u"移到末行(&E)", u"将选择的列表行移动到末行", u"移到末行"},
    {ID_LIST_COPY_LINE_TO_CHECKED, u"勾选点的电力线为所选点的电力线(&U)",
     u"设置勾选点为当前电力线点", u"设置勾选点为当前电力线"},
    {ID_LIST_LINE_POINT_SELECT, u"电力线点选择(&S)...", u"选择电力线点", u"电力线选择"},
    {ID_LIST_DATA_CALCULATION, u"电力数据计算(&M)", u"对当前的电力数据进行计算", u"数据计算"},
    {ID_LIST_AUTO_SELECT_LINE, u"自动选择电力线(A)", u"各点按照最近距离自动选择电力线点",
     u"自动电力线"},
    {ID_LIST_POINT_PROJECT, u"测点投影到电力线(&P)...", u"测点投影到电力线", u"测点投影"},
}};

}  // namespace

ListCommandText listCommandText(int id) {
    for (const Entry& e : kListCommands)
        if (e.id == id)
            return {QString::fromUtf16(e.text), QString::fromUtf16(e.prompt),
                    QString::fromUtf16(e.tip)};
    return {};
}

}  // namespace corvane
