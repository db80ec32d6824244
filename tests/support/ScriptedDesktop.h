#pragma once

#include "platform/os/Desktop.h"

#include <QList>
#include <QStringList>
#include <functional>

// Answers the program's questions from a script and records every message, so that a
// test runs without a person at the screen. Installed for its lifetime.
class ScriptedDesktop final : public os::Desktop {
public:
    struct Message {
        QString caption;
        QString text;
        Icon icon;
    };

    ScriptedDesktop();
    ~ScriptedDesktop() override;

    bool openPath(const QString& path) override;

    QList<bool> answers;     // answers to the next questions, in order; Yes when it runs out
    QStringList questions;   // the texts asked so far
    QList<Message> messages; // the messages shown so far
    QStringList opened;      // the paths opened so far
    bool openSucceeds = true;
    // Runs while a question or message is "on screen", e.g. to let timers tick behind it.
    std::function<void()> whileShowing;

protected:
    bool question(const QString& caption, const QString& text, Icon icon) override;
    void message(const QString& caption, const QString& text, Icon icon) override;

private:
    os::Desktop* m_previous;
};
