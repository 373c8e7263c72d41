#pragma once

#include <QString>

namespace corvane {

/// The texts of a command of the List menu, which the table's context menu repeats.
struct ListCommandText {
    QString text;    // menu text with its access key
    QString prompt;  // status bar prompt
    QString tip;     // tool tip
};

/// The texts of List command `id`; empty texts for an id that is not one.
ListCommandText listCommandText(int id);

}  // namespace corvane
