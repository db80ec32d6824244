#pragma once

#include <QString>

namespace os {

// The program's questions and messages to the operator, and the shell's "open".
// Everything goes through the installed instance, so tests can answer every box.
class Desktop {
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~Desktop() = default;

    // A Yes/No question, Yes being the default button; true when the answer is Yes.
    bool askYesNo(const QString& caption, const QString& text, Icon icon = Icon::Question);
    // A message with one OK button, shown until the operator closes it.
    void showMessage(const QString& caption, const QString& text, Icon icon);
    // Opens a folder or file with the desktop's default application; false when that failed.
    virtual bool openPath(const QString& path) = 0;

    // True while a question or message is open. Its event loop still delivers timer ticks:
    // what would open another box on top of it, or start work behind it, waits instead.
    static bool boxOpen();

    // The installed instance; the program installs one before its first window.
    static Desktop& current();
    // Replaces the current instance (not owned) and returns the one it replaced.
    static Desktop* install(Desktop* desktop);

protected:
    // The boxes themselves, for askYesNo and showMessage.
    virtual bool question(const QString& caption, const QString& text, Icon icon) = 0;
    virtual void message(const QString& caption, const QString& text, Icon icon) = 0;
};

} // namespace os
