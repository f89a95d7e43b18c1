#include "ScriptedDialogs.h"

#include <QStringList>

using namespace kit_Dialogs;

ScriptedDialogs::ScriptedDialogs(QList<TModalResult> scripted) : answers(std::move(scripted))
{
    setResponder([this](const BoxRequest &request) {
        shown.append(request);
        return answers.isEmpty() ? TModalResult::mrOk : answers.takeFirst();
    });
}

ScriptedDialogs::~ScriptedDialogs()
{
    setResponder({});
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const BoxRequest &r : shown)
        result << r.text;
    return result;
}
