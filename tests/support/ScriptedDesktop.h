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

    bool askYesNo(const QString& caption, const QString& text, Icon icon) override;
    void showMessage(const QString& caption, const QString& text, Icon icon) override;
    bool openPath(const QString& path) override;

    QList<bool> answers;     // answers to the next questions, in order; Yes when it runs out
    QStringList questions;   // the texts asked so far
    QList<Message> messages; // the messages shown so far
    QStringList opened;      // the paths opened so far
    bool openSucceeds = true;
    // Runs while a message is "on screen", e.g. to let timers tick behind an open box.
    std::function<void()> whileShowing;

private:
    os::Desktop* m_previous;
};
