#include "celltext.h"

namespace corvane {

bool isAcceptableCellText(const QString& text) {
    for (QChar c : text) {
        if (c == u',' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

QString refusedCellTextMessage() {
    return QStringLiteral("单元格内容不能包含逗号“,”或换行，否则导出的文件会错行。");
}

int findInitialChoice(const QStringList& choices, const QString& text) {
    const int n = static_cast<int>(choices.size());
    if (text.isEmpty() || n == 0)
        return -1;
    for (int k = 1; k <= n; ++k) {
        const int i = k % n;
        if (choices[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

}  // namespace corvane
