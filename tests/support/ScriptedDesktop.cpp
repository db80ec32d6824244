#include "ScriptedDesktop.h"

ScriptedDesktop::ScriptedDesktop()
    : m_previous(install(this))
{
}

ScriptedDesktop::~ScriptedDesktop()
{
    install(m_previous);
}

bool ScriptedDesktop::question(const QString&, const QString& text, Icon)
{
    questions.append(text);
    if (whileShowing)
        whileShowing();
    return answers.isEmpty() ? true : answers.takeFirst();
}

void ScriptedDesktop::message(const QString& caption, const QString& text, Icon icon)
{
    messages.append({caption, text, icon});
    if (whileShowing)
        whileShowing();
}

bool ScriptedDesktop::openPath(const QString& path)
{
    opened.append(path);
    return openSucceeds;
}
