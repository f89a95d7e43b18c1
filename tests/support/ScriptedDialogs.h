#pragma once

#include "kit_Dialogs.h"

#include <QList>

// Answers the program's message boxes in place of a user, and records what each box showed.
// Boxes beyond the scripted answers are answered OK.
class ScriptedDialogs {
public:
    explicit ScriptedDialogs(QList<kit_Dialogs::TModalResult> answers = {});
    ~ScriptedDialogs();
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    QList<kit_Dialogs::BoxRequest> shown;
    QList<kit_Dialogs::TModalResult> answers;

    QStringList texts() const;
};
